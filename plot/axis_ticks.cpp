// Tick steps, tick labels and the grid lines of the spectrum pane. The tick loops
// accumulate the step as the labels are placed; a step that does not advance the value
// (below the spacing of doubles) or that would give more than max_ticks_per_axis ticks
// draws nothing, so no span can make them loop.
#include "plot/axis_ticks.h"

#include <cmath>
#include <cwchar>

#include "plot/plot_view.h"

double nice_tick_step(double span)
{
    if (!(span > 0.0) || !std::isfinite(span))
        return std::nan("");
    const double p = std::pow(10.0, std::floor(std::log10(span)));
    if (span <= 2.0 * p)
        return 0.1 * p;
    if (span <= 5.0 * p)
        return 0.2 * p;
    return 0.5 * p;
}

std::wstring format_tick_label(double span, int extra_digits)
{
    const double d = std::floor(std::log10(span)) - extra_digits;
    if (d > -10.0 && d < 0.0)
        return L"%." + std::to_wstring(static_cast<int>(-d)) + L"f";
    return L"%.0f";
}

std::wstring format_tick_value(const std::wstring& format, double value)
{
    wchar_t buffer[400];
    const int n = std::swprintf(buffer, sizeof buffer / sizeof buffer[0], format.c_str(), value);
    return n > 0 ? std::wstring(buffer, static_cast<std::size_t>(n)) : std::wstring();
}

namespace {

// The first tick at or above `from`, or NaN when the ticks up to `to` could not be
// walked: a step that is not positive, too many ticks, or a step lost in rounding.
double first_tick(double step, double from, double to)
{
    if (!(step > 0.0) || !std::isfinite(step) || !std::isfinite(from) || !std::isfinite(to))
        return std::nan("");
    if ((to - from) / step > max_ticks_per_axis)
        return std::nan("");
    const double v = std::ceil(from / step) * step;
    if (v + step == v)
        return std::nan("");
    return v;
}

}  // namespace

void PlotView::FitTickSteps(const PlotText& text, double& x_step, double& y_step, double widest_x) const
{
    // A step that is not positive never grows by doubling: nothing to fit.
    if (!(x_step > 0.0))
        return;
    while (std::isfinite(x_step) && std::isfinite(y_step)) {
        const TextExtent label = text.Measure(format_tick_value(format_tick_label(x_step, 0), widest_x));
        const double label_width = label.cx + 8.0;
        const double a = std::fabs(double(transform.a11) * x_step + double(transform.a21) * y_step);
        const double b = std::fabs(double(transform.a12) * x_step + double(transform.a22) * y_step);
        const bool x_fits = a > label_width;
        const bool y_fits = y_step <= 0.0 || b > label.cy;
        if (x_fits && y_fits)
            return;
        if (!x_fits)
            x_step *= 2.0;
        if (!y_fits)
            y_step *= 2.0;
    }
}

void PlotView::DrawXTicks(Canvas& canvas, PlotText& text, double step, double xmin, double xmax, double y1,
                          double y2, std::int32_t opts) const
{
    double v = first_tick(step, xmin, xmax);
    if (std::isnan(v))
        return;
    const std::wstring format = format_tick_label(step, 0);
    const double h = (xmax - xmin) * 0.001;
    for (; v < xmax - h; v += step) {
        if (v <= xmin + h)
            continue;
        const double px = transform.a11 * v + transform.b1;
        canvas.Line(px, y1, px, y2);
        if (opts & OptLabels)
            text.Write(static_cast<int>(px), static_cast<int>(y1) - 4, TextCenter | TextBottom,
                       format_tick_value(format, v));
    }
}

void PlotView::DrawYTicks(Canvas& canvas, PlotText& text, double step, double ymin, double ymax, double x1,
                          double x2, std::int32_t opts) const
{
    double v = first_tick(step, ymin, ymax);
    if (std::isnan(v))
        return;
    const std::wstring format = format_tick_label(step, 0);
    const int label_x = static_cast<int>(x1) - static_cast<int>(text.PointsToLogical(3.0));
    const int half_height = text.FontHeight() / 2;
    for (; v < ymax; v += step) {
        const double py = std::floor(transform.a22 * v + transform.b2 + 0.5);
        canvas.Line(x1, py, x2, py);
        if (opts & OptLabels)
            text.Write(label_x, static_cast<int>(py) - half_height, TextRight | TextTop,
                       format_tick_value(format, v));
    }
}
