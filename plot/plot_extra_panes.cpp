// The pane column at the right of the plot: for each distribution component its point
// values over their abscissa with their weights in a strip below, the marked point
// ranges and the smoothness read-out; for each component with extra graphs its curves,
// with error bands when the fit's covariance is at hand, or the component's error
// message when it cannot compute them (a parameter value outside the model's domain).
// Distribution panes take part in the mouse gestures (their two transforms join the
// pane list); extra graphs do not.
#include <algorithm>
#include <cmath>
#include <exception>
#include <string>
#include <string_view>

#include "core/model/colors.h"
#include "core/text/c_format.h"
#include "core/text/text.h"
#include "plot/axis_ticks.h"
#include "plot/plot_ranges.h"
#include "plot/plot_view.h"

namespace {

// Σ of the squared second differences over their smoothing deviations, the ends taken
// against zero outside the distribution; defined for two points or more.
double smoothness(const DVector& values, std::int32_t first, const std::vector<double>& v)
{
    const std::size_t k = v.size();
    const auto p = [&](std::size_t i) { return values(static_cast<std::size_t>(first) + i); };
    double s = std::pow((2.0 * p(0) - p(1)) / v[0], 2) + std::pow((2.0 * p(k - 1) - p(k - 2)) / v[k - 1], 2);
    for (std::size_t i = 1; i + 1 < k; ++i)
        s += std::pow((2.0 * p(i) - p(i - 1) - p(i + 1)) / v[i], 2);
    return s;
}

// The words of `text` in lines no wider than `width` pixels (a longer word keeps a line
// of its own).
std::vector<std::wstring> wrapped_lines(const PlotText& text, std::wstring_view message, int width)
{
    std::vector<std::wstring> lines;
    std::wstring line;
    std::size_t start = 0;
    while (start < message.size()) {
        const std::size_t end = std::min(message.find(L' ', start), message.size());
        const std::wstring_view word = message.substr(start, end - start);
        const std::wstring longer = line.empty() ? std::wstring(word) : line + L' ' + std::wstring(word);
        if (!line.empty() && text.Measure(longer).cx > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
        start = end + 1;
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

struct Curve {
    std::vector<double> x, y, err;
};

}  // namespace

std::vector<PlotView::ExtraPane> PlotView::ExtraPaneList(std::int32_t effective,
                                                         const std::vector<DistPointParams>& distributions) const
{
    std::vector<ExtraPane> list;
    if (!(effective & OptExtraPanes) || !model || !parameters)
        return list;
    if (const auto* dist = dynamic_cast<const IDistParams*>(model))
        for (unsigned n = 0; n < distributions.size(); ++n)
            list.push_back({static_cast<std::int32_t>(dist->component_index(n)), static_cast<std::int32_t>(n), false});
    if (const auto* graphs = dynamic_cast<const IModelWithEG*>(model))
        for (unsigned c = 0; c < model->component_count(); ++c)
            if (graphs->graph_count(c) != 0)
                list.push_back({static_cast<std::int32_t>(c), -1, true});
    std::stable_sort(list.begin(), list.end(), [](const ExtraPane& a, const ExtraPane& b) {
        return a.component != b.component ? a.component < b.component : a.graphs < b.graphs;
    });
    list.erase(std::unique(list.begin(), list.end()), list.end());
    return list;
}

void PlotView::DrawExtraPanes(Canvas& canvas, PlotText& text, const std::vector<ExtraPane>& list,
                              const std::vector<DistPointParams>& distributions, std::int32_t eff, int left,
                              int right, int T, int B)
{
    const int count = static_cast<int>(list.size());
    if (count == 0)
        return;
    const int h = (B - T - (count - 1) * 2 * T) / count;
    if (h <= 10)
        return;
    const PlotPalette& pal = *palette;
    const bool grey = is_grey_palette(palette);
    const auto* colors = dynamic_cast<const Colors::ISubSpColor*>(model);
    const auto* dist = dynamic_cast<const IDistParams*>(model);
    const auto* graphs = dynamic_cast<const IModelWithEG*>(model);
    const bool labels = (eff & OptLabels) != 0;
    const bool errors = (eff & OptPaneErrors) && covariance && covariance->size1() == parameters->size();

    std::vector<DistPointParams> scaled;
    if (dist && data)
        dist->scaled_point_params(data->analysis(model->is_emission()), scaled);
    // The spectrum's transform stays the view's once the column is drawn.
    const PlotTransform spectrum_transform = transform;
    const PlotRect spectrum_rect = rect;

    for (int e = 0; e < count; ++e) {
        const ExtraPane& pane = list[e];
        const int top = T + e * (h + 2 * T);
        const int bottom = e == count - 1 ? B : top + h;
        const COLORREF color = grey || !colors ? pal[11] : colors->color_of(static_cast<unsigned>(pane.component));
        canvas.SetClip(0, 0, canvas.width, canvas.height);
        text.FrameRect(left - 1, top - 1, right + 2, bottom + 2, 3.0, pal[3]);
        if (pal[4] != 0xFFFFFF)
            text.FillOpaque({left, top, right, bottom}, pal[4]);
        const int inner_left = left + 3, inner_width = right - 3 - inner_left;

        if (pane.graphs) {
            double width = 2.0;
            const unsigned curves = graphs->graph_count(static_cast<unsigned>(pane.component));
            std::vector<Curve> computed(curves);
            try {
                for (unsigned j = 0; j < curves; ++j) {
                    Curve& c = computed[j];
                    if (errors)
                        graphs->graph_with_errors(pane.component, j, *parameters, *covariance, c.x, c.y, c.err);
                    else
                        graphs->graph(pane.component, j, *parameters, c.x, c.y);
                }
            } catch (const std::exception& e) {
                const int line_height = text.FontHeight();
                int y = top + 5;
                for (const std::wstring& line : wrapped_lines(text, utf8_to_wide(e.what()), inner_width)) {
                    text.Write((left + right) / 2, y, TextCenter | TextTop, line);
                    y += line_height;
                }
                continue;
            }
            for (unsigned j = 0; j < curves; ++j) {
                std::vector<double>& x = computed[j].x;
                std::vector<double>& y = computed[j].y;
                std::vector<double>& err = computed[j].err;
                if (err.size() != y.size())
                    err.clear();
                const std::size_t n = std::min(x.size(), y.size());
                if (n < 2)
                    continue;
                ValueRange xr, yr;
                double largest_error = 0.0;
                for (std::size_t i = 0; i < n; ++i) {
                    xr.take(x[i]);
                    yr.take(y[i]);
                    if (!err.empty() && std::isfinite(err[i]))
                        largest_error = std::max(largest_error, std::fabs(err[i]));
                }
                if (xr.empty() || !(xr.low < xr.high))
                    continue;
                double ymin = yr.low - largest_error, ymax = yr.high + largest_error;
                if (!(ymin < ymax))
                    ymin -= 1.0, ymax += 1.0;
                canvas.SetClip(left, top, right, bottom);
                SetTransform(xr.low, xr.high, ymin, ymax, ymin, left + 4, top + 5, right - left - 8, bottom - top - 10);
                const auto to_client = [&](double px, double py) { return DataToClient(px, py); };
                canvas.MoveTo(to_client(x[0], y[0]).x, to_client(x[0], y[0]).y);
                for (std::size_t i = 1; i < n; ++i)
                    canvas.LineTo(to_client(x[i], y[i]).x, to_client(x[i], y[i]).y);
                if (j == 1)
                    err.empty() ? canvas.DrawPath(width, color, 0.8, color, 0.5) : canvas.DrawPath(0.0, color, 0.0, color, 0.5);
                else
                    canvas.DrawPath(width, color, 0.8, 0, 0.0);
                if (!err.empty()) {
                    canvas.MoveTo(to_client(x[0], y[0] + err[0]).x, to_client(x[0], y[0] + err[0]).y);
                    for (std::size_t i = 1; i < n; ++i)
                        canvas.LineTo(to_client(x[i], y[i] + err[i]).x, to_client(x[i], y[i] + err[i]).y);
                    for (std::size_t i = n; i-- > 0;)
                        canvas.LineTo(to_client(x[i], y[i] - err[i]).x, to_client(x[i], y[i] - err[i]).y);
                    canvas.DrawPath(1.0, ~color & 0xFFFFFF, 1.0, 0, 0.0);
                }
                if (labels && (j == 2 || (j == 0 && curves == 1))) {
                    text.Write(left, bottom + 5, TextLeft | TextTop, (c_format(L"%.1f") % x[0]).str());
                    text.Write(right, bottom + 5, TextRight | TextTop, (c_format(L"%.1f") % x[n - 1]).str());
                }
                if (width > 1.0)
                    width -= 1.0;
            }
            continue;
        }

        const DistPointParams& record = distributions.at(static_cast<std::size_t>(pane.ordinal));
        const unsigned n = static_cast<unsigned>(pane.ordinal);
        const std::size_t k = record.deviations.size();
        const auto value = [&](std::size_t i) { return (*parameters)(static_cast<std::size_t>(record.first_weight) + i); };

        // 1. The abscissa's axis.
        double first = 0.0, last = 0.0;
        std::wstring name;
        if ((eff & OptGrid) && dist->distributed_param(n, *parameters, first, last, name) && first != last) {
            const double lo = std::min(first, last), hi = std::max(first, last);
            SetTransform(lo, hi, 0.0, 1.0, 0.0, inner_left, top, inner_width, bottom - top);
            double step = nice_tick_step(hi - lo), no_y_step = -1.0;
            FitTickSteps(text, step, no_y_step, std::max(std::fabs(first), std::fabs(last)));
            DrawXTicks(canvas, text, step, lo, hi, top, bottom, eff);
            if (labels)
                text.Write(left, bottom + 5, TextLeft | TextTop, name);
        }
        canvas.DrawPath(1.0, pal[3], 0.5, 0, 0.0);

        // 2. Smoothness.
        if (labels && pane.ordinal < static_cast<std::int32_t>(scaled.size()) && k >= 2 &&
            scaled[n].deviations.size() == k)
            text.Write((left + right) / 2, bottom + 5, TextCenter | TextTop,
                       (c_format(L"\u03C7\u00B2 = %.2f") % smoothness(*parameters, record.first_weight, scaled[n].deviations)).str());

        // 3. Marked point ranges.
        const double last_index = std::max<double>(1.0, static_cast<double>(k) - 1.0);
        PointRangeList marks;
        dist->marked_ranges(n, marks);
        if (!marks.empty()) {
            SetTransform(0.0, last_index, 0.0, 1.0, 0.0, inner_left, top, inner_width, bottom - top);
            for (std::size_t j = 0; j < marks.size(); ++j) {
                const double xa = DataToClient(marks[j].first, 0.0).x, xb = DataToClient(marks[j].second, 0.0).x;
                canvas.MoveTo(xa, top);
                canvas.LineTo(xb, top);
                canvas.LineTo(xb, bottom);
                canvas.LineTo(xa, bottom);
                canvas.LineTo(xa, top);
                canvas.DrawPath(0.0, 0, 0.0, subspectrum_color(static_cast<unsigned>(j % subspectrum_color_count)), 0.2);
            }
        }

        // 4. Scales.
        double pmax = 0.0, wmax = 0.0;
        for (std::size_t i = 0; i < k; ++i) {
            pmax = std::max(pmax, value(i));
            wmax = std::max(wmax, std::fabs(record.deviations[i]));
        }
        if (!(pmax > 0.0))
            pmax = 0.1;
        wmax = std::max(wmax, 0.1);

        // 5. The weight strip.
        canvas.SetClip(left, top, right, bottom);
        SetTransform(0.0, last_index, -1.05 * wmax, 1.05 * wmax, -1.05 * wmax, inner_left, top, inner_width,
                     bottom - top);
        const double zero_weight = DataToClient(0.0, 0.0).y;
        canvas.Line(left, zero_weight, right, zero_weight);
        canvas.DrawPath(1.0, pal[3], 0.5, 0, 0.0);
        for (std::size_t i = 0; i < k; ++i) {
            const DataPoint p = DataToClient(static_cast<double>(i), -std::fabs(record.deviations[i]));
            canvas.Marker(1, p.x, p.y, 2.0, -1.0);
        }
        canvas.DrawPath(1.0, pal[3], 1.0, 0, 0.0);
        const PlotTransform weights = transform;

        // 6. The values.
        SetTransform(0.0, last_index, -0.05 * pmax, 1.1 * pmax, -0.05 * pmax, inner_left, top, inner_width,
                     bottom - top);
        panes.push_back({DistributionPane, pane.ordinal, weights, transform, {left, top, right, bottom}});
        const double zero_value = DataToClient(0.0, 0.0).y;
        canvas.Line(left, zero_value, right, zero_value);
        canvas.DrawPath(1.0, color, 0.5, 0, 0.0);
        for (std::size_t i = 0; i < k; ++i) {
            const DataPoint p = DataToClient(static_cast<double>(i), value(i));
            i == 0 ? canvas.MoveTo(p.x, p.y) : canvas.LineTo(p.x, p.y);
        }
        canvas.DrawPath(1.0, color, 0.6, 0, 0.0);
        COLORREF marker_color = color;
        for (std::size_t i = 0; i < k; ++i) {
            const std::size_t index = static_cast<std::size_t>(record.first_weight) + i;
            const COLORREF c = lock_info && !lock_info->is_varied(static_cast<unsigned>(index)) ? pal[12] : color;
            if (c != marker_color && i > 0)
                canvas.DrawPath(1.0, marker_color, 1.0, 0, 0.0);
            marker_color = c;
            const DataPoint p = DataToClient(static_cast<double>(i), value(i));
            double error = -1.0;
            if (errors && (*covariance)(index, index) > 0.0)
                error = std::fabs(DataToClient(0.0, value(i) + std::sqrt((*covariance)(index, index))).y - p.y);
            canvas.Marker(0, p.x, p.y, 2.5, error);
        }
        canvas.DrawPath(1.0, marker_color, 1.0, 0, 0.0);
    }
    transform = spectrum_transform;
    rect = spectrum_rect;
}
