// The plot's drawing interface (Windows only). The painter collects lines, markers and
// filled areas on it in device pixels and asks it to fill and stroke them; texts, tick
// labels and pane frames it draws with GDI on `dc`, through the non-virtual helpers here.
// One canvas serves one rendering and is destroyed afterwards. The plot view names this
// class as its nested Canvas.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "plot/plot_types.h"

class Canvas {
public:
    Canvas(HDC dc, std::int32_t width, std::int32_t height) : width(width), height(height), dc(dc) {}
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    virtual ~Canvas() = default;

    virtual void DrawPolygon(const FloatPoint* points, unsigned count, double width, COLORREF stroke,
                             double stroke_opacity, COLORREF fill, double fill_opacity) = 0;
    virtual void FillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                          COLORREF color, double opacity) = 0;
    virtual void SetClip(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) = 0;
    virtual void Line(double x1, double y1, double x2, double y2) = 0;
    virtual void LineRel(double dx, double dy) = 0;
    virtual void LineTo(double x, double y) = 0;
    virtual void MoveTo(double x, double y) = 0;
    virtual void Marker(std::int32_t type, double x, double y, double size, double error) = 0;
    virtual void DrawPath(double width, COLORREF stroke, double stroke_opacity, COLORREF fill,
                          double fill_opacity) = 0;

    // A length in points (1/72 inch) in logical units of `dc`.
    double PointsToLogical(double points) const;
    // Outlines (left, top, right + 1, bottom + 1) with a solid pen `width` points wide.
    void FrameRect(int left, int top, int right, int bottom, double width, COLORREF color) const;
    // ExtTextOutW of the text; the second form measures a terminated string.
    void DrawString(int x, int y, UINT options, const RECT* clip, std::wstring_view text, const INT* spacing) const;
    void DrawString(int x, int y, UINT options, const RECT* clip, const wchar_t* text, const INT* spacing) const;

    std::int32_t width;   // of the area to plot into, device pixels
    std::int32_t height;
    HDC dc;               // not owned
};
