#include "plot/agg_canvas.h"

#include <cstddef>

AGGCanvas::AGGCanvas(HDC dc, std::int32_t width, std::int32_t height, int bitmap_width, int bitmap_height, void* bits)
    : Canvas(dc, width, height),
      pixels_(static_cast<std::uint8_t*>(bits), bitmap_width, bitmap_height,
              -4 * static_cast<std::ptrdiff_t>(bitmap_width))
{
}

void AGGCanvas::DrawPolygon(const FloatPoint* points, unsigned count, double width, COLORREF stroke,
                            double stroke_opacity, COLORREF fill, double fill_opacity)
{
    if (count < 2)
        return;
    GdiFlush();
    pixels_.DrawPolygon(points, count, width, stroke, stroke_opacity, fill, fill_opacity);
}

void AGGCanvas::FillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, COLORREF color,
                         double opacity)
{
    pixels_.FillRect(left, top, right, bottom, color, opacity);
}

void AGGCanvas::SetClip(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    pixels_.SetClip(left, top, right, bottom);
}

void AGGCanvas::Line(double x1, double y1, double x2, double y2)
{
    pixels_.Line(x1, y1, x2, y2);
}

void AGGCanvas::LineRel(double dx, double dy)
{
    pixels_.LineRel(dx, dy);
}

void AGGCanvas::LineTo(double x, double y)
{
    pixels_.LineTo(x, y);
}

void AGGCanvas::MoveTo(double x, double y)
{
    pixels_.MoveTo(x, y);
}

void AGGCanvas::Marker(std::int32_t type, double x, double y, double size, double error)
{
    pixels_.Marker(type, x, y, size, error);
}

void AGGCanvas::DrawPath(double width, COLORREF stroke, double stroke_opacity, COLORREF fill, double fill_opacity)
{
    GdiFlush();
    pixels_.DrawPath(width, stroke, stroke_opacity, fill, fill_opacity);
}
