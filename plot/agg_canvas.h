// The anti-aliased canvas over the 32-bit bits of a DIB section (Windows only): the
// portable AntiAliasedCanvas with row 0 at the top of the bottom-up DIB, and GDI output
// queued on the DC flushed before it writes pixels of shapes. Widths are pixels.
#pragma once

#include "plot/anti_aliased_canvas.h"
#include "plot/canvas.h"

class AGGCanvas final : public Canvas {
public:
    // The bitmap may be larger than the area to plot into (width × height).
    AGGCanvas(HDC dc, std::int32_t width, std::int32_t height, int bitmap_width, int bitmap_height, void* bits);

    void DrawPolygon(const FloatPoint* points, unsigned count, double width, COLORREF stroke, double stroke_opacity,
                     COLORREF fill, double fill_opacity) override;
    void FillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, COLORREF color,
                  double opacity) override;
    void SetClip(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
    void Line(double x1, double y1, double x2, double y2) override;
    void LineRel(double dx, double dy) override;
    void LineTo(double x, double y) override;
    void MoveTo(double x, double y) override;
    void Marker(std::int32_t type, double x, double y, double size, double error) override;
    void DrawPath(double width, COLORREF stroke, double stroke_opacity, COLORREF fill, double fill_opacity) override;

private:
    AntiAliasedCanvas pixels_;
};
