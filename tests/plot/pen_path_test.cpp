// The GDI canvas's point list: pen-up points, markers as crosses, and its split into the
// polylines of one PolyPolyline call.
#include "plot/pen_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

std::vector<std::vector<std::pair<int, int>>> runs(const PenPath& path)
{
    Polylines p;
    path.polylines(p);
    std::vector<std::vector<std::pair<int, int>>> out;
    std::size_t next = 0;
    for (std::uint32_t count : p.counts) {
        out.emplace_back();
        for (std::uint32_t i = 0; i < count; ++i, ++next)
            out.back().push_back({p.points[next].x, p.points[next].y});
    }
    EXPECT_EQ(next, p.points.size());
    return out;
}

using Runs = std::vector<std::vector<std::pair<int, int>>>;

TEST(PenPath, MovesLinesAndTheCurrentPoint)
{
    PenPath path;
    path.MoveTo(1, 2);
    path.MoveTo(3, 4);  // replaces the pen-up point
    path.LineRel(10, 0);
    path.LineTo(20.9, -5.9);
    path.Line(0, 0, 7, 7);
    path.LineRel(1, 1);
    ASSERT_EQ(path.points().size(), 6u);
    EXPECT_FALSE(path.points()[0].pen_down);
    EXPECT_EQ(path.points()[0].x, 3);
    EXPECT_EQ(runs(path), (Runs{{{3, 4}, {13, 4}, {20, -5}}, {{0, 0}, {7, 7}, {8, 8}}}));

    // Emptying keeps the current point.
    path.clear();
    path.LineRel(2, 0);
    EXPECT_EQ(path.points()[0].x, 10);
}

// A pen-up point with no pen-down point after it would be a polyline of one point,
// which makes GDI refuse the whole PolyPolyline call: it is left out, the rest stays.
TEST(PenPath, SinglePointRunsAreDropped)
{
    PenPath path;
    path.LineTo(5, 5);  // the list's start begins a run too
    path.MoveTo(1, 1);
    path.LineTo(2, 2);
    path.Line(9, 9, 10, 10);
    path.MoveTo(30, 30);  // dangling
    EXPECT_EQ(runs(path), (Runs{{{1, 1}, {2, 2}}, {{9, 9}, {10, 10}}}));

    PenPath lone;
    lone.MoveTo(4, 4);
    EXPECT_TRUE(runs(lone).empty());
    lone.LineTo(4, 4);  // two equal points are a polyline GDI accepts
    EXPECT_EQ(runs(lone), (Runs{{{4, 4}, {4, 4}}}));
}

TEST(PenPath, UnusableCoordinatesEndTheirRun)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    PenPath path;
    path.MoveTo(0, 0);
    path.LineTo(10, 0);
    path.LineTo(nan, 5);
    path.LineTo(20, 5);
    path.LineTo(30, 5);
    path.MoveTo(-1.9, 1e12);
    path.LineTo(-1e12, 3.7);
    EXPECT_EQ(runs(path), (Runs{{{0, 0}, {10, 0}}, {{20, 5}, {30, 5}}, {{-1, (1 << 27) - 1}, {-(1 << 27) + 1, 3}}}));
}

TEST(PenPath, MarkersAreCrossesWithErrorBars)
{
    for (int type : {0, 1, 2, 7}) {
        PenPath path;
        path.Marker(type, 50, 40, 3, 0);
        EXPECT_EQ(runs(path), (Runs{{{47, 37}, {53, 43}}, {{47, 43}, {53, 37}}})) << type;
    }
    PenPath path;
    path.Marker(0, 50, 40, 3, 8);
    EXPECT_EQ(runs(path), (Runs{{{47, 37}, {53, 43}},
                                {{47, 43}, {53, 37}},
                                {{44, 32}, {56, 32}},
                                {{50, 32}, {50, 48}},
                                {{44, 48}, {56, 48}}}));
}

}  // namespace
