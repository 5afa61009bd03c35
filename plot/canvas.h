// The plot's drawing interface. The painter collects lines, markers and filled areas on
// it in device pixels and asks it to fill and stroke them. The shape slots are portable
// (a recording canvas stands in for the real ones off Windows); on Windows texts, tick
// labels and pane frames are drawn with GDI on `dc`, through the non-virtual helpers
// here. One canvas serves one rendering and is destroyed afterwards. The plot view names
// this class as its nested Canvas.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#endif

#include <cstdint>
#include <string_view>

#include "core/model/colors.h"
#include "plot/plot_types.h"

#if defined(_WIN32)
using CanvasDC = HDC;
#else
using CanvasDC = void*;  // no device context off Windows
#endif

class Canvas {
public:
    Canvas(CanvasDC dc, std::int32_t width, std::int32_t height) : width(width), height(height), dc(dc) {}
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

#if defined(_WIN32)
    // A length in points (1/72 inch) in logical units of `dc`.
    double PointsToLogical(double points) const;
    // Outlines (left, top, right + 1, bottom + 1) with a solid pen `width` points wide.
    void FrameRect(int left, int top, int right, int bottom, double width, COLORREF color) const;
    // ExtTextOutW of the text; the second form measures a terminated string.
    void DrawString(int x, int y, UINT options, const RECT* clip, std::wstring_view text, const INT* spacing) const;
    void DrawString(int x, int y, UINT options, const RECT* clip, const wchar_t* text, const INT* spacing) const;
#endif

    std::int32_t width;   // of the area to plot into, device pixels
    std::int32_t height;
    CanvasDC dc;          // not owned
};
