#include "plot/gdi_canvas.h"

#include <cstddef>
#include <new>

#include "core/text/errors.h"

namespace {

static_assert(sizeof(IntPoint) == sizeof(POINT) && offsetof(POINT, y) == offsetof(IntPoint, y),
              "PolyPolyline reads the polylines' points as POINTs");

// Each channel times the opacity, truncated.
COLORREF scaled(COLORREF color, double opacity)
{
    const double k = clamped_opacity(opacity);
    return RGB(static_cast<int>(GetRValue(color) * k), static_cast<int>(GetGValue(color) * k),
               static_cast<int>(GetBValue(color) * k));
}

// Selects an object for one drawing call; restores the old one and deletes its own, also
// when an exception leaves the call.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object, bool owned) : dc_(dc), object_(object), old_(SelectObject(dc, object)), owned_(owned) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection()
    {
        SelectObject(dc_, old_);
        if (owned_)
            DeleteObject(object_);
    }

private:
    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ old_;
    bool owned_;
};

// Runs a step that grows a point array, reporting exhausted memory as E_OUTOFMEMORY.
template <class Step>
void growing(Step step)
{
    try {
        step();
    } catch (const std::bad_alloc&) {
        throw com_error("GDICanvas", static_cast<int>(E_OUTOFMEMORY));
    }
}

}  // namespace

GDICanvas::~GDICanvas()
{
    SelectClipRgn(dc, nullptr);
}

HPEN GDICanvas::CreateStrokePen(double width, COLORREF color, double opacity) const
{
    const LOGBRUSH brush{BS_SOLID, scaled(color, opacity), 0};
    const double logical = PointsToLogical(width);
    return ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL,
                        logical > 0.0 ? static_cast<DWORD>(logical) : 0, &brush, 0, nullptr);
}

void GDICanvas::DrawPolygon(const FloatPoint* points, unsigned count, double width, COLORREF stroke,
                            double stroke_opacity, COLORREF fill, double fill_opacity)
{
    if (count < 2)
        return;
    growing([&] { polygon_.resize(count); });
    for (unsigned i = 0; i < count; ++i)
        polygon_[i] = {gdi_coordinate(points[i].x), gdi_coordinate(points[i].y)};

    const bool stroked = width > 0.0 && stroke_opacity > 0.0;
    if (fill_opacity > 0.0) {
        const Selection brush(dc, CreateSolidBrush(fill), true);
        const Selection pen(dc, stroked ? CreateStrokePen(width, stroke, stroke_opacity) : GetStockObject(NULL_PEN),
                            stroked);
        Polygon(dc, polygon_.data(), static_cast<int>(count));
    } else if (stroked) {
        const Selection pen(dc, CreateStrokePen(width, stroke, stroke_opacity), true);
        Polyline(dc, polygon_.data(), static_cast<int>(count));
    }
}

void GDICanvas::FillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, COLORREF color,
                         double opacity)
{
    const RECT rect{left, top, right, bottom};
    const COLORREF old = SetBkColor(dc, scaled(color, opacity));
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, L"", 0, nullptr);
    SetBkColor(dc, old);
}

void GDICanvas::SetClip(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    POINT corners[2] = {{left, top}, {right, bottom}};
    LPtoDP(dc, corners, 2);
    HRGN region = CreateRectRgn(corners[0].x, corners[0].y, corners[1].x, corners[1].y);
    SelectClipRgn(dc, region);
    DeleteObject(region);
}

void GDICanvas::Line(double x1, double y1, double x2, double y2)
{
    growing([&] { path_.Line(x1, y1, x2, y2); });
}

void GDICanvas::LineRel(double dx, double dy)
{
    growing([&] { path_.LineRel(dx, dy); });
}

void GDICanvas::LineTo(double x, double y)
{
    growing([&] { path_.LineTo(x, y); });
}

void GDICanvas::MoveTo(double x, double y)
{
    growing([&] { path_.MoveTo(x, y); });
}

void GDICanvas::Marker(std::int32_t type, double x, double y, double size, double error)
{
    growing([&] { path_.Marker(type, x, y, size, error); });
}

void GDICanvas::DrawPath(double width, COLORREF stroke, double stroke_opacity, COLORREF, double)
{
    growing([&] { path_.polylines(polylines_); });
    path_.clear();
    if (polylines_.counts.empty())
        return;
    const Selection pen(dc, CreateStrokePen(width, stroke, stroke_opacity), true);
    PolyPolyline(dc, reinterpret_cast<const POINT*>(polylines_.points.data()),
                 reinterpret_cast<const DWORD*>(polylines_.counts.data()), static_cast<DWORD>(polylines_.counts.size()));
}
