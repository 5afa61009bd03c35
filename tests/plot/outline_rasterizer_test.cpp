// Coverage from the outline rasterizer against closed forms: covered fractions of
// pixels, polygon areas, the non-zero rule, automatic closing and clipping.
#include "plot/outline_rasterizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <map>
#include <random>
#include <utility>
#include <vector>

namespace {

using Coverage = std::map<std::pair<int, int>, int>;  // (x, y) → alpha

struct Recorder {
    Coverage& out;
    void cell(int x, int y, std::uint8_t a) { out[{x, y}] = a; }
    void span(int x, int y, int length, std::uint8_t a)
    {
        for (int i = 0; i < length; ++i)
            out[{x + i, y}] = a;
    }
};

using Outline = std::vector<std::vector<std::pair<double, double>>>;  // sub-paths, not closed

Coverage rasterize(const Outline& outline, const Box<double>* clip = nullptr)
{
    OutlineRasterizer r;
    if (clip)
        r.clip_box(clip->x1, clip->y1, clip->x2, clip->y2);
    for (const auto& sub_path : outline) {
        r.move_to(sub_path[0].first, sub_path[0].second);
        for (std::size_t i = 1; i < sub_path.size(); ++i)
            r.line_to(sub_path[i].first, sub_path[i].second);
    }
    Coverage c;
    r.sweep(Recorder{c});
    return c;
}

int at(const Coverage& c, int x, int y)
{
    const auto it = c.find({x, y});
    return it == c.end() ? 0 : it->second;
}

std::vector<std::pair<double, double>> rectangle(double x1, double y1, double x2, double y2)
{
    return {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
}

// A pixel covered by the fraction f gets alpha 256·f (rounded down), at most 255.
TEST(OutlineRasterizer, EdgePixelsCarryTheCoveredFraction)
{
    const Coverage c = rasterize({rectangle(10.25, 5.5, 20.75, 9.0)});
    EXPECT_EQ(at(c, 10, 6), 192);  // 3/4 of the width
    EXPECT_EQ(at(c, 20, 6), 192);
    EXPECT_EQ(at(c, 15, 5), 128);  // half the height
    EXPECT_EQ(at(c, 10, 5), 96);   // 3/4 · 1/2
    EXPECT_EQ(at(c, 15, 6), 255);
    EXPECT_EQ(at(c, 9, 6), 0);
    EXPECT_EQ(at(c, 21, 6), 0);
    EXPECT_EQ(at(c, 15, 9), 0);
    EXPECT_EQ(c.size(), 11u * 4u);
}

double shoelace_area(const std::vector<std::pair<double, double>>& p)
{
    double twice = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const auto& [x1, y1] = p[i];
        const auto& [x2, y2] = p[(i + 1) % p.size()];
        twice += x1 * y2 - x2 * y1;
    }
    return std::fabs(twice) / 2;
}

// Over a simple polygon the coverages add up to its area: each pixel loses less than
// 1/256 to rounding down, and full pixels count 255/256.
TEST(OutlineRasterizer, CoverageAddsUpToTheArea)
{
    std::mt19937 rng(21);
    std::uniform_real_distribution<double> radius(8.0, 40.0);
    for (int trial = 0; trial < 20; ++trial) {
        std::vector<std::pair<double, double>> star;  // star-shaped about (60, 50): simple
        const int n = 5 + trial;
        for (int i = 0; i < n; ++i) {
            const double a = 2 * std::numbers::pi * i / n, r = radius(rng);
            star.push_back({60.3 + r * std::cos(a), 50.7 + r * std::sin(a)});
        }
        const Coverage c = rasterize({star});
        double sum = 0;
        for (const auto& [pixel, alpha] : c)
            sum += alpha / 256.0;
        const double area = shoelace_area(star);
        EXPECT_NEAR(sum, area, 1e-3 * area + c.size() / 256.0) << trial;
        EXPECT_GT(sum, area * 0.99) << trial;
    }
}

TEST(OutlineRasterizer, NonZeroRuleAndAutomaticClosing)
{
    const auto square_a = rectangle(0, 0, 10, 10);
    const auto square_b = rectangle(5, 5, 15, 15);
    auto reversed_b = square_b;
    std::reverse(reversed_b.begin(), reversed_b.end());

    // The same direction: winding 2 in the overlap, still fully covered.
    const Coverage same = rasterize({square_a, square_b});
    EXPECT_EQ(at(same, 7, 7), 255);
    EXPECT_EQ(at(same, 2, 2), 255);
    EXPECT_EQ(at(same, 12, 12), 255);
    // Opposite directions: the windings cancel in the overlap.
    const Coverage opposite = rasterize({square_a, reversed_b});
    EXPECT_EQ(at(opposite, 7, 7), 0);
    EXPECT_EQ(at(opposite, 2, 2), 255);
    EXPECT_EQ(at(opposite, 12, 12), 255);

    // A sub-path ends where the next begins, closed or not.
    auto closed = square_a;
    closed.push_back(closed.front());
    EXPECT_EQ(rasterize({square_a, square_b}), rasterize({closed, square_b}));
}

// Inside the clip box the coverage is the unclipped one (within the rounding of the cut
// points), outside it nothing is drawn.
TEST(OutlineRasterizer, ClippingKeepsTheInsideExact)
{
    const std::vector<std::pair<double, double>> star = {{50, -30}, {62, 40}, {130, 45}, {65, 58},
                                                         {80, 130}, {50, 70}, {-20, 110}, {35, 55},
                                                         {-30, 20}, {38, 38}};
    const Box<double> box{20, 15, 90, 80};
    const Coverage clipped = rasterize({star}, &box);
    const Coverage full = rasterize({star});
    int compared = 0;
    for (const auto& [pixel, alpha] : clipped) {
        EXPECT_GE(pixel.first, 20);
        EXPECT_LT(pixel.first, 90);
        EXPECT_GE(pixel.second, 15);
        EXPECT_LT(pixel.second, 80);
    }
    for (int y = 15; y < 80; ++y)
        for (int x = 20; x < 90; ++x, ++compared)
            EXPECT_NEAR(at(clipped, x, y), at(full, x, y), 2) << x << ", " << y;
    EXPECT_EQ(compared, 70 * 65);
}

// A band reaching a billion pixels to either side still fills exactly its rows.
TEST(OutlineRasterizer, FarOffVerticesStayExact)
{
    const Box<double> view{0, 0, 600, 40};
    const Coverage c = rasterize({{{-1e9, 10.0}, {1e9, 10.0}, {1e9, 20.0}, {-1e9, 20.5}}}, &view);
    for (int x : {0, 50, 500})
        for (int y = 10; y < 20; ++y)
            EXPECT_EQ(at(c, x, y), 255) << x << ", " << y;
    EXPECT_EQ(at(c, 0, 9), 0);
    EXPECT_NEAR(at(c, 0, 20), 64, 1);  // the lower edge passes x = 0 at y = 20.25
}

}  // namespace
