#include "plot/gdi_plot_text.h"

namespace {

constexpr UINT note_format = DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL;

UINT text_align(unsigned align)
{
    UINT a = TA_TOP;
    if (align & TextBottom)
        a = TA_BOTTOM;
    if ((align & 3) == TextCenter)
        a |= TA_CENTER;
    else if ((align & 3) == TextRight)
        a |= TA_RIGHT;
    return a;
}

}  // namespace

GdiPlotText::GdiPlotText(Canvas& canvas) : canvas_(canvas)
{
    GetTextMetricsW(canvas.dc, &metrics_);
    SetTextColor(canvas.dc, 0x000000);
    SetBkMode(canvas.dc, TRANSPARENT);
}

double GdiPlotText::PointsToLogical(double points) const
{
    return canvas_.PointsToLogical(points);
}

TextExtent GdiPlotText::Measure(std::wstring_view text) const
{
    SIZE size{};
    GetTextExtentPoint32W(canvas_.dc, text.data(), static_cast<int>(text.size()), &size);
    return {size.cx, size.cy};
}

void GdiPlotText::Write(int x, int y, unsigned align, std::wstring_view text)
{
    SetTextAlign(canvas_.dc, text_align(align));
    canvas_.DrawString(x, y, 0, nullptr, text, nullptr);
}

void GdiPlotText::FrameRect(int left, int top, int right, int bottom, double width, COLORREF color)
{
    canvas_.FrameRect(left, top, right, bottom, width, color);
}

void GdiPlotText::FillOpaque(const PlotRect& rect, COLORREF color)
{
    const RECT r{rect.left, rect.top, rect.right, rect.bottom};
    const COLORREF old = SetBkColor(canvas_.dc, color);
    canvas_.DrawString(0, 0, ETO_OPAQUE, &r, L"", nullptr);
    SetBkColor(canvas_.dc, old);
}

PlotRect GdiPlotText::MeasureNote(std::wstring_view text, int width) const
{
    RECT r{0, 0, width, 0};
    DrawTextW(canvas_.dc, text.data(), static_cast<int>(text.size()), &r, DT_CALCRECT | note_format);
    return {r.left, r.top, r.right, r.bottom};
}

void GdiPlotText::WriteNote(const PlotRect& rect, std::wstring_view text)
{
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    const COLORREF old = SetTextColor(canvas_.dc, 0xFFFFFF);
    SetTextAlign(canvas_.dc, TA_LEFT | TA_TOP);
    DrawTextW(canvas_.dc, text.data(), static_cast<int>(text.size()), &r, note_format);
    SetTextColor(canvas_.dc, old);
}
