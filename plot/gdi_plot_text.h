// The painter's texts on Windows: GDI on the canvas's device context, in the font the
// DC holds, black on a transparent background (the note white).
#pragma once

#include "plot/canvas.h"
#include "plot/plot_text.h"

class GdiPlotText final : public PlotText {
public:
    // Reads the font's metrics once and sets black transparent text.
    explicit GdiPlotText(Canvas& canvas);

    double PointsToLogical(double points) const override;
    int FontHeight() const override { return metrics_.tmHeight; }
    int FontAscent() const override { return metrics_.tmAscent; }
    TextExtent Measure(std::wstring_view text) const override;
    void Write(int x, int y, unsigned align, std::wstring_view text) override;
    void FrameRect(int left, int top, int right, int bottom, double width, COLORREF color) override;
    void FillOpaque(const PlotRect& rect, COLORREF color) override;
    PlotRect MeasureNote(std::wstring_view text, int width) const override;
    void WriteNote(const PlotRect& rect, std::wstring_view text) override;

private:
    Canvas& canvas_;
    TEXTMETRICW metrics_{};
};
