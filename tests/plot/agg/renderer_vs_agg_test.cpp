// The portable anti-aliased renderer against Anti-Grain Geometry: the same canvas calls
// must give the same pixels within 2 levels per channel, and the geometry it builds
// (gamma tables, flattened circles) must be AGG's.
#include "plot/anti_aliased_canvas.h"

#include <gtest/gtest.h>

#include <agg_bezier_arc.h>
#include <agg_conv_curve.h>
#include <agg_gamma_lut.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "plot/bezier_arc.h"
#include "plot/gamma_table.h"
#include "tests/plot/agg/agg_reference_canvas.h"
#include "tests/plot/plot_scenes.h"

namespace {

using test_support::AggReferenceCanvas;
using test_support::scene_height;
using test_support::scene_width;

constexpr std::ptrdiff_t stride = -4 * scene_width;  // bottom-up, as in a DIB

struct Scene {
    const char* name;
    void (*ours)(AntiAliasedCanvas&);
    void (*agg)(AggReferenceCanvas&);
};

#define VX_SCENE(f) Scene{#f, &test_support::f<AntiAliasedCanvas>, &test_support::f<AggReferenceCanvas>}

const Scene scenes[] = {VX_SCENE(draw_zigzag), VX_SCENE(draw_hairline), VX_SCENE(draw_markers),
                        VX_SCENE(draw_clipped_polygon), VX_SCENE(draw_other_markers)};

struct Difference {
    int largest = 0;
    int pixels = 0;  // pixels with any channel off
};

Difference compare(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    Difference d;
    for (std::size_t i = 0; i < a.size(); i += 4) {
        int largest = 0;
        for (std::size_t c = 0; c < 3; ++c)
            largest = std::max(largest, std::abs(int(a[i + c]) - int(b[i + c])));
        d.largest = std::max(d.largest, largest);
        d.pixels += largest > 0;
    }
    return d;
}

TEST(RendererVsAgg, ScenesMatchWithinTwoLevels)
{
    for (const Scene& scene : scenes) {
        SCOPED_TRACE(scene.name);
        std::vector<std::uint8_t> ours(4 * scene_width * scene_height, 0), agg(ours.size(), 0);
        {
            AntiAliasedCanvas canvas(ours.data(), scene_width, scene_height, stride);
            scene.ours(canvas);
        }
        {
            AggReferenceCanvas canvas(agg.data(), scene_width, scene_height, stride);
            scene.agg(canvas);
        }
        const Difference d = compare(ours, agg);
        EXPECT_LE(d.largest, 2) << d.pixels << " pixels differ";
        // The scene drew something besides its background.
        std::vector<std::uint8_t> background(ours.size(), 0);
        {
            AntiAliasedCanvas canvas(background.data(), scene_width, scene_height, stride);
            test_support::draw_background(canvas);
        }
        EXPECT_GT(compare(ours, background).pixels, 100);
    }
}

TEST(RendererVsAgg, GammaTablesAreAggs)
{
    const GammaTable ours(2.2);
    const agg::gamma_lut<> agg(2.2);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(ours.forward(static_cast<std::uint8_t>(i)), agg.dir(static_cast<std::uint8_t>(i))) << i;
        EXPECT_EQ(ours.inverse(static_cast<std::uint8_t>(i)), agg.inv(static_cast<std::uint8_t>(i))) << i;
    }
}

TEST(RendererVsAgg, FlattenedCirclesAreAggs)
{
    for (const double r : {0.0, 0.4, 2.0, 7.5, 120.0}) {
        SCOPED_TRACE(r);
        VectorPath ours;
        add_circle(ours, 13.25, -4.5, r);

        agg::bezier_arc arc(13.25, -4.5, r, r, 0.0, 2.0 * agg::pi);
        agg::conv_curve<agg::bezier_arc> curve(arc);
        curve.rewind(0);
        std::vector<PathVertex> agg;
        double x, y;
        for (unsigned cmd; !agg::is_stop(cmd = curve.vertex(&x, &y));)
            agg.push_back({x, y, agg::is_move_to(cmd)});

        ASSERT_EQ(ours.size(), agg.size());
        for (std::size_t i = 0; i < agg.size(); ++i) {
            EXPECT_EQ(ours[i].move, agg[i].move) << i;
            EXPECT_NEAR(ours[i].x, agg[i].x, 1e-12) << i;
            EXPECT_NEAR(ours[i].y, agg[i].y, 1e-12) << i;
        }
    }
}

}  // namespace
