#include "plot/anti_aliased_canvas.h"

#include "plot/bezier_arc.h"
#include "plot/error_bar.h"

namespace {

constexpr double display_gamma = 2.2;

// Opacity 0 to 1 as an 8-bit alpha, rounded.
std::uint8_t alpha_of(double opacity)
{
    return static_cast<std::uint8_t>(clamped_opacity(opacity) * 255.0 + 0.5);
}

}  // namespace

AntiAliasedCanvas::AntiAliasedCanvas(std::uint8_t* bits, int bitmap_width, int bitmap_height, std::ptrdiff_t stride)
    : gamma_(display_gamma), surface_(bits, bitmap_width, bitmap_height, stride, gamma_)
{
}

void AntiAliasedCanvas::SetClip(int left, int top, int right, int bottom)
{
    rasterizer_.clip_box(left, top, right, bottom);
}

void AntiAliasedCanvas::FillRect(int left, int top, int right, int bottom, ColorRef color, double opacity)
{
    const auto cover = static_cast<std::uint8_t>(clamped_opacity(opacity) * 255.0);
    surface_.blend_bar(left, top, right, bottom, BlendColor(color, 255, gamma_), cover);
}

void AntiAliasedCanvas::render(ColorRef color, double opacity)
{
    const BlendColor c(color, alpha_of(opacity), gamma_);
    struct Sink {
        const BgraSurface& surface;
        const BlendColor& color;
        void cell(int x, int y, std::uint8_t alpha)
        {
            if (x >= 0 && x < surface.width() && y >= 0 && y < surface.height())
                surface.blend_pixel(surface.row(y) + 4 * x, color, alpha);
        }
        void span(int x, int y, int length, std::uint8_t alpha) { surface.blend_hline(x, y, length, color, alpha); }
    };
    rasterizer_.sweep(Sink{surface_, c});
}

void AntiAliasedCanvas::FillPath(const VectorPath& path, ColorRef color, double opacity)
{
    rasterizer_.reset();
    for (const PathVertex& v : path) {
        if (v.move)
            rasterizer_.move_to(v.x, v.y);
        else
            rasterizer_.line_to(v.x, v.y);
    }
    render(color, opacity);
}

void AntiAliasedCanvas::StrokePath(const VectorPath& path, double width, ColorRef color, double opacity)
{
    rasterizer_.reset();
    stroker_.stroke(path, width, rasterizer_);
    render(color, opacity);
}

void AntiAliasedCanvas::DrawPolygon(const FloatPoint* points, unsigned count, double width, ColorRef stroke,
                                    double stroke_opacity, ColorRef fill, double fill_opacity)
{
    if (count < 2)
        return;
    polygon_.clear();
    polygon_.move_to(points[0].x, points[0].y);
    for (unsigned i = 1; i < count; ++i)
        polygon_.line_to(points[i].x, points[i].y);
    if (fill_opacity > 0.0)
        FillPath(polygon_, fill, fill_opacity);
    if (width > 0.0 && stroke_opacity > 0.0)
        StrokePath(polygon_, width, stroke, stroke_opacity);
}

void AntiAliasedCanvas::Line(double x1, double y1, double x2, double y2)
{
    path_.move_to(x1, y1);
    path_.line_to(x2, y2);
}

void AntiAliasedCanvas::LineRel(double dx, double dy)
{
    path_.line_rel(dx, dy);
}

void AntiAliasedCanvas::LineTo(double x, double y)
{
    path_.line_to(x, y);
}

void AntiAliasedCanvas::MoveTo(double x, double y)
{
    path_.move_to(x, y);
}

void AntiAliasedCanvas::Marker(int type, double x, double y, double size, double error)
{
    if (type == 1) {
        const double h = 2 * size * 0.8660254037844386;  // √3·s
        path_.move_to(x - 2 * size, y + h);
        path_.line_rel(2 * size, -2 * h);
        path_.line_rel(2 * size, 2 * h);
        path_.line_rel(-4 * size, 0.0);
    } else if (type == 2) {
        path_.move_to(x - 0.866 * size, y - 0.5 * size);
        path_.line_rel(1.732 * size, size);
        path_.move_to(x - 0.5 * size, y + 0.866 * size);
        path_.line_rel(size, -1.732 * size);
    } else {
        add_circle(path_, x, y, size);
    }
    if (error > 0.0)
        add_error_bar(*this, x, y, size, error);
}

void AntiAliasedCanvas::DrawPath(double width, ColorRef stroke, double stroke_opacity, ColorRef fill,
                                 double fill_opacity)
{
    if (fill_opacity > 0.0)
        FillPath(path_, fill, fill_opacity);
    if (width > 0.0 && stroke_opacity > 0.0)
        StrokePath(path_, width, stroke, stroke_opacity);
    path_.clear();
}
