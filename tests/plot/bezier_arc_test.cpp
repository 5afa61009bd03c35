// Flattened circles: closed, round within the half-pixel tolerance, finer when larger.
#include "plot/bezier_arc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

TEST(BezierArc, CirclesAreFlattenedWithinHalfAPixel)
{
    std::size_t previous = 0;
    for (const double r : {1.0, 2.0, 10.0, 100.0, 1000.0}) {
        SCOPED_TRACE(r);
        VectorPath path;
        add_circle(path, 5.5, -3.25, r);
        ASSERT_GE(path.size(), 5u);
        EXPECT_TRUE(path[0].move);
        EXPECT_DOUBLE_EQ(path[0].x, 5.5 + r);
        EXPECT_NEAR(path[0].y, -3.25, 1e-12 * r);
        EXPECT_NEAR(path[path.size() - 1].x, path[0].x, 1e-12 * r);
        EXPECT_NEAR(path[path.size() - 1].y, path[0].y, 1e-12 * r);
        double turned = 0;
        for (std::size_t i = 1; i < path.size(); ++i) {
            EXPECT_FALSE(path[i].move);
            const double a0 = std::atan2(path[i - 1].y + 3.25, path[i - 1].x - 5.5);
            const double a1 = std::atan2(path[i].y + 3.25, path[i].x - 5.5);
            const double step = std::remainder(a1 - a0, 2 * std::numbers::pi);
            EXPECT_GT(step, 0.0);  // towards increasing angle
            turned += step;
            // The chord's middle, where a polyline strays farthest, stays near the circle.
            const double mx = (path[i - 1].x + path[i].x) / 2 - 5.5, my = (path[i - 1].y + path[i].y) / 2 + 3.25;
            EXPECT_LT(r - std::hypot(mx, my), 0.5);
            EXPECT_LT(std::fabs(std::hypot(path[i].x - 5.5, path[i].y + 3.25) - r), 0.5);
        }
        EXPECT_NEAR(turned, 2 * std::numbers::pi, 1e-9);
        EXPECT_GE(path.size(), previous);
        previous = path.size();
    }
    VectorPath small, large;
    add_circle(small, 0, 0, 10);
    add_circle(large, 0, 0, 1000);
    EXPECT_GT(large.size(), 4 * small.size());
}

}  // namespace
