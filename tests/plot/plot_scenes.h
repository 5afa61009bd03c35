// Scenes drawn on any canvas with the anti-aliased canvas's operations, so that the
// portable renderer and the AGG reference draw the very same calls: sharp strokes, a
// hairline, small circle markers with error bars, a polygon crossing the clip, the other
// marker types and rectangles, at opacities 0.4 and 0.8 over a coloured background.
#pragma once

#include <cmath>
#include <vector>

#include "plot/plot_types.h"

namespace test_support {

constexpr int scene_width = 240;
constexpr int scene_height = 160;

template <class AnyCanvas>
void draw_background(AnyCanvas& c)
{
    c.FillRect(0, 0, scene_width - 1, scene_height - 1, 0xE0F0FA, 1.0);
    c.FillRect(scene_width / 2, 0, scene_width - 1, scene_height - 1, 0x402010, 1.0);
}

// A zig-zag whose corners sharpen from 90° to a few degrees, so that the last miters
// are cut at the limit.
template <class AnyCanvas>
void draw_zigzag(AnyCanvas& c)
{
    draw_background(c);
    double x = 12.3;
    c.MoveTo(x, 120.2);
    for (int i = 0; i < 9; ++i) {
        x += 24.0 - 2.5 * i;
        c.LineTo(x, i % 2 == 0 ? 30.7 + 3.1 * i : 120.2);
    }
    c.DrawPath(7.0, 0x2040C0, 0.8, 0, 0.0);
    c.MoveTo(20.5, 140.5);
    c.LineTo(220.25, 138.0);
    c.LineTo(30.0, 150.75);
    c.DrawPath(4.5, 0x10A060, 0.4, 0, 0.0);
}

// A 0.5 px hairline curve and a single-pixel-wide one.
template <class AnyCanvas>
void draw_hairline(AnyCanvas& c)
{
    draw_background(c);
    for (int i = 0; i <= 200; ++i) {
        const double x = 10 + i * 1.1, y = 80 + 50 * std::sin(i * 0.07) * std::exp(-i * 0.004);
        if (i == 0)
            c.MoveTo(x, y);
        else
            c.LineTo(x, y);
    }
    c.DrawPath(0.5, 0x000000, 1.0, 0, 0.0);
    c.Line(5.2, 10.6, 234.8, 150.1);
    c.DrawPath(1.0, 0xC00000, 0.8, 0, 0.0);
}

// Circle markers of radius 2 px at fractional positions, with error bars, in one path;
// filled, then stroked.
template <class AnyCanvas>
void draw_markers(AnyCanvas& c)
{
    draw_background(c);
    for (int i = 0; i < 60; ++i) {
        const double x = 8.37 + i * 3.83, y = 80 + 55 * std::cos(i * 0.21) + 0.31 * (i % 3);
        c.Marker(0, x, y, 2.0, i % 4 == 0 ? 0.0 : 3.0 + (i % 5));
    }
    c.DrawPath(1.0, 0x0000A0, 0.8, 0x00C0FF, 0.4);
}

// A filled and outlined star crossing the clip rectangle, and a rectangle drawn after it
// that the clip does not limit.
template <class AnyCanvas>
void draw_clipped_polygon(AnyCanvas& c)
{
    draw_background(c);
    std::vector<FloatPoint> star;
    for (int i = 0; i < 11; ++i) {
        const double r = i % 2 == 0 ? 95.0 : 35.0, a = i * 0.6283185307179586 + 0.1;
        star.push_back({static_cast<float>(121.3 + r * std::sin(a)), static_cast<float>(79.6 - r * std::cos(a))});
    }
    c.SetClip(30, 20, 190, 130);
    c.DrawPolygon(star.data(), static_cast<unsigned>(star.size()), 3.0, 0x006000, 0.8, 0x2080FF, 0.4);
    c.FillRect(200, 150, 170, 140, 0x0000FF, 0.8);
    c.MoveTo(0.5, 0.5);
    c.LineTo(239.5, 159.5);
    c.DrawPath(2.0, 0xFF0000, 0.4, 0, 0.0);
}

// Triangles and crossed strokes with error bars, and rectangles at both opacities.
template <class AnyCanvas>
void draw_other_markers(AnyCanvas& c)
{
    draw_background(c);
    for (int i = 0; i < 12; ++i)
        c.Marker(1 + i % 2, 15.5 + i * 18.7, 60.25 + 4 * (i % 3), 4.0, 6.5);
    c.DrawPath(1.5, 0x800080, 0.8, 0x80FF80, 0.4);
    c.FillRect(10, 100, 110, 150, 0x3060F0, 0.4);
    c.FillRect(130, 150, 60, 120, 0x30F060, 0.8);
    c.Line(3.0, 3.0, 3.0, 3.0);  // nothing to stroke: a single point
    c.DrawPath(3.0, 0x000000, 1.0, 0x000000, 1.0);
}

}  // namespace test_support
