// The canvas that draws with GDI pens and brushes on any device context (Windows only),
// the fallback where no DIB bits are at hand. Paths are stroked only, as polylines with
// a geometric pen (square ends, bevel joins) whose width is in points; colours are
// scaled by their opacity instead of being blended, and markers are crosses.
#pragma once

#include <vector>

#include "plot/canvas.h"
#include "plot/pen_path.h"

class GDICanvas final : public Canvas {
public:
    GDICanvas(HDC dc, std::int32_t width, std::int32_t height) : Canvas(dc, width, height) {}
    // Deselects the clip region from the DC.
    ~GDICanvas() override;

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
    // Strokes the point list (the fill is ignored) and empties it; the current point stays.
    void DrawPath(double width, COLORREF stroke, double stroke_opacity, COLORREF fill, double fill_opacity) override;

private:
    HPEN CreateStrokePen(double width, COLORREF color, double opacity) const;

    PenPath path_;
    Polylines polylines_;
    std::vector<POINT> polygon_;
};
