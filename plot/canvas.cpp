#include "plot/canvas.h"

#include "plot/pen_path.h"

double Canvas::PointsToLogical(double points) const
{
    POINT ends[2] = {{0, 0}, {gdi_coordinate(GetDeviceCaps(dc, LOGPIXELSX) * points), 0}};
    DPtoLP(dc, ends, 2);
    return (ends[1].x - ends[0].x) * 0.013888888888888888;  // 1/72
}

void Canvas::FrameRect(int left, int top, int right, int bottom, double width, COLORREF color) const
{
    HPEN pen = CreatePen(PS_SOLID, static_cast<int>(PointsToLogical(width)), color);
    HGDIOBJ old_pen = SelectObject(dc, pen);
    HGDIOBJ old_brush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, left, top, right + 1, bottom + 1);
    SelectObject(dc, old_brush);
    SelectObject(dc, old_pen);
    DeleteObject(pen);
}

void Canvas::DrawString(int x, int y, UINT options, const RECT* clip, std::wstring_view text,
                        const INT* spacing) const
{
    ExtTextOutW(dc, x, y, options, clip, text.data(), static_cast<UINT>(text.size()), spacing);
}

void Canvas::DrawString(int x, int y, UINT options, const RECT* clip, const wchar_t* text, const INT* spacing) const
{
    ExtTextOutW(dc, x, y, options, clip, text, static_cast<UINT>(lstrlenW(text)), spacing);
}
