// The anti-aliased renderer behind the plot's canvas interface on plain memory, for
// tests and benchmarks off Windows (on Windows AGGCanvas wraps it over a DIB section).
#pragma once

#include <cstdint>
#include <vector>

#include "plot/anti_aliased_canvas.h"
#include "plot/canvas.h"

class PixelCanvas final : public Canvas {
public:
    PixelCanvas(int width, int height)
        : Canvas(nullptr, width, height),
          bits(std::size_t(4) * width * height, 0xFF),
          pixels_(bits.data(), width, height, 4 * std::ptrdiff_t(width))
    {
    }

    void DrawPolygon(const FloatPoint* p, unsigned count, double width, COLORREF stroke, double stroke_opacity,
                     COLORREF fill, double fill_opacity) override
    {
        pixels_.DrawPolygon(p, count, width, stroke, stroke_opacity, fill, fill_opacity);
    }
    void FillRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, COLORREF c, double o) override
    {
        pixels_.FillRect(l, t, r, b, c, o);
    }
    void SetClip(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override
    {
        pixels_.SetClip(l, t, r, b);
    }
    void Line(double x1, double y1, double x2, double y2) override { pixels_.Line(x1, y1, x2, y2); }
    void LineRel(double dx, double dy) override { pixels_.LineRel(dx, dy); }
    void LineTo(double x, double y) override { pixels_.LineTo(x, y); }
    void MoveTo(double x, double y) override { pixels_.MoveTo(x, y); }
    void Marker(std::int32_t type, double x, double y, double size, double error) override
    {
        pixels_.Marker(type, x, y, size, error);
    }
    void DrawPath(double width, COLORREF stroke, double so, COLORREF fill, double fo) override
    {
        pixels_.DrawPath(width, stroke, so, fill, fo);
    }

    std::vector<std::uint8_t> bits;  // 32-bit pixels, row 0 at the top

private:
    AntiAliasedCanvas pixels_;
};
