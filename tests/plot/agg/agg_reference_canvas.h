// The anti-aliased canvas's operations written directly with Anti-Grain Geometry, as the
// reference the portable renderer is compared with (natively, where the library is
// installed): a rendering buffer over the bits, 32-bit blue-green-red pixels blended
// through AGG's gamma 2.2 table, the base renderer, the scanline rasterizer, a path
// storage, the stroke converter with butt caps, miter joins and miter limit 4, and
// circles as Bézier arcs through the curve converter.
#pragma once

#include <agg_basics.h>
#include <agg_bezier_arc.h>
#include <agg_conv_curve.h>
#include <agg_conv_stroke.h>
#include <agg_gamma_lut.h>
#include <agg_path_storage.h>
#include <agg_pixfmt_rgb.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_rendering_buffer.h>
#include <agg_scanline_p.h>

#include <cstddef>
#include <cstdint>

#include "plot/plot_types.h"

namespace test_support {

class AggReferenceCanvas {
public:
    AggReferenceCanvas(std::uint8_t* bits, int width, int height, std::ptrdiff_t stride)
        : buffer_(bits, width, height, static_cast<int>(stride)), gamma_(2.2), pixels_(buffer_), base_(pixels_)
    {
        pixels_.blender().gamma(gamma_);
    }

    void DrawPolygon(const FloatPoint* points, unsigned count, double width, ColorRef stroke_color,
                     double stroke_opacity, ColorRef fill, double fill_opacity)
    {
        if (count < 2)
            return;
        agg::path_storage polygon;
        polygon.move_to(points[0].x, points[0].y);
        for (unsigned i = 1; i < count; ++i)
            polygon.line_to(points[i].x, points[i].y);
        if (fill_opacity > 0)
            render(polygon, fill, fill_opacity);
        if (width > 0 && stroke_opacity > 0)
            stroke(polygon, width, stroke_color, stroke_opacity);
    }
    void FillRect(int left, int top, int right, int bottom, ColorRef color, double opacity)
    {
        base_.blend_bar(left, top, right, bottom, agg::rgba8(color_red(color), color_green(color), color_blue(color)),
                        static_cast<agg::cover_type>(opacity * 255));
    }
    void SetClip(int left, int top, int right, int bottom) { rasterizer_.clip_box(left, top, right, bottom); }
    void Line(double x1, double y1, double x2, double y2)
    {
        path_.move_to(x1, y1);
        path_.line_to(x2, y2);
    }
    void LineRel(double dx, double dy) { path_.line_rel(dx, dy); }
    void LineTo(double x, double y) { path_.line_to(x, y); }
    void MoveTo(double x, double y) { path_.move_to(x, y); }
    void Marker(int type, double x, double y, double s, double e)
    {
        if (type == 1) {
            const double h = 2 * s * 0.8660254037844386;
            path_.move_to(x - 2 * s, y + h);
            path_.line_rel(2 * s, -2 * h);
            path_.line_rel(2 * s, 2 * h);
            path_.line_rel(-4 * s, 0);
        } else if (type == 2) {
            path_.move_to(x - 0.866 * s, y - 0.5 * s);
            path_.line_rel(1.732 * s, s);
            path_.move_to(x - 0.5 * s, y + 0.866 * s);
            path_.line_rel(s, -1.732 * s);
        } else {
            agg::bezier_arc arc(x, y, s, s, 0.0, 2.0 * agg::pi);
            agg::conv_curve<agg::bezier_arc> curve(arc);
            path_.concat_path(curve);
        }
        if (e > 0) {
            path_.move_to(x - 2 * s, y - e);
            path_.hline_rel(4 * s);
            path_.move_rel(-2 * s, 0);
            path_.line_rel(0, 2 * e);
            path_.move_rel(-2 * s, 0);
            path_.hline_rel(4 * s);
        }
    }
    void DrawPath(double width, ColorRef stroke_color, double stroke_opacity, ColorRef fill, double fill_opacity)
    {
        if (fill_opacity > 0)
            render(path_, fill, fill_opacity);
        if (width > 0 && stroke_opacity > 0)
            stroke(path_, width, stroke_color, stroke_opacity);
        path_.remove_all();
    }

private:
    using Blender = agg::blender_rgb_gamma<agg::rgba8, agg::order_bgr, agg::gamma_lut<>>;
    using Pixels = agg::pixfmt_alpha_blend_rgb<Blender, agg::rendering_buffer, 4>;

    template <class Source>
    void render(Source& source, ColorRef color, double opacity)
    {
        rasterizer_.add_path(source);
        agg::render_scanlines_aa_solid(
            rasterizer_, scanline_, base_,
            agg::rgba8(agg::rgba(color_red(color) / 255.0, color_green(color) / 255.0, color_blue(color) / 255.0,
                                 opacity)));
    }
    void stroke(agg::path_storage& path, double width, ColorRef color, double opacity)
    {
        agg::conv_stroke<agg::path_storage> outline(path);
        outline.width(width);
        outline.line_cap(agg::butt_cap);
        outline.line_join(agg::miter_join);
        outline.miter_limit(4.0);
        render(outline, color, opacity);
    }

    agg::rendering_buffer buffer_;
    agg::gamma_lut<> gamma_;
    Pixels pixels_;
    agg::renderer_base<Pixels> base_;
    agg::rasterizer_scanline_aa<> rasterizer_;
    agg::scanline_p8 scanline_;
    agg::path_storage path_;
};

}  // namespace test_support
