// The anti-aliased canvas without its Windows wrapping: draws into the 32-bit pixels of a
// bitmap (rows of any stride, see BgraSurface) through a gamma 2.2 blend. Shapes gather
// in the current path and reach the pixels only with DrawPath, which fills the path
// (non-zero rule, sub-paths closed) and then strokes it (butt caps, miter joins, miter
// limit 4); DrawPolygon and FillRect draw at once. Widths are pixels; colours are COLORREF
// values with an opacity from 0 to 1.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plot/bgra_surface.h"
#include "plot/gamma_table.h"
#include "plot/outline_rasterizer.h"
#include "plot/plot_types.h"
#include "plot/stroker.h"
#include "plot/vector_path.h"

class AntiAliasedCanvas {
public:
    AntiAliasedCanvas(std::uint8_t* bits, int bitmap_width, int bitmap_height, std::ptrdiff_t stride);
    AntiAliasedCanvas(const AntiAliasedCanvas&) = delete;
    AntiAliasedCanvas& operator=(const AntiAliasedCanvas&) = delete;

    // Fills, then strokes the polygon of `count` points (nothing below two); the current
    // path stays as it is. The stroke is an open polyline from the first point to the last.
    void DrawPolygon(const FloatPoint* points, unsigned count, double width, ColorRef stroke, double stroke_opacity,
                     ColorRef fill, double fill_opacity);
    // The pixels between the corners, both included, at coverage opacity·255 (truncated);
    // clipped only to the bitmap.
    void FillRect(int left, int top, int right, int bottom, ColorRef color, double opacity);
    // Limits later fills and strokes of paths and polygons to the rectangle.
    void SetClip(int left, int top, int right, int bottom);

    void Line(double x1, double y1, double x2, double y2);
    void LineRel(double dx, double dy);
    void LineTo(double x, double y);
    void MoveTo(double x, double y);
    // Type 1 a triangle, 2 two crossed strokes, any other a circle of radius `size`; an
    // error bar when `error` > 0.
    void Marker(int type, double x, double y, double size, double error);
    // Fills (when fill_opacity > 0) and strokes (when width and stroke_opacity > 0) the
    // current path, then empties it.
    void DrawPath(double width, ColorRef stroke, double stroke_opacity, ColorRef fill, double fill_opacity);

    void FillPath(const VectorPath& path, ColorRef color, double opacity);
    void StrokePath(const VectorPath& path, double width, ColorRef color, double opacity);

private:
    void render(ColorRef color, double opacity);

    GammaTable gamma_;
    BgraSurface surface_;
    OutlineRasterizer rasterizer_;
    Stroker stroker_;
    VectorPath path_;
    VectorPath polygon_;
};
