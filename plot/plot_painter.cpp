// The plot painter: turns the document the view points at into one picture on a canvas:
// the spectrum pane, and the pane column beside it (plot_extra_panes.cpp).
// Layout, ranges and transform first, then frame, excluded ranges, difference band with
// its chi-square, axes, the spectrum layers clipped to the pane, the difference curve
// and the note box. Values that are not finite are left out of every range and never
// reach the canvas: a polygon is cut into runs at them and markers skip them.
#include <algorithm>
#include <cmath>
#include <cwchar>
#include <numeric>
#include <set>

#include "core/fit/fit_points.h"
#include "core/model/colors.h"
#include "core/spectrum/fir_filter.h"
#include "core/spectrum/savitzky_golay.h"
#include "plot/axis_ticks.h"
#include "plot/plot_ranges.h"
#include "plot/plot_view.h"

namespace {

bool finite_point(const FloatPoint& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// An integer pixel of a coordinate that may be far off or not a number.
int pixel(double v)
{
    if (!(v > -1e8))
        return -100000000;
    return v < 1e8 ? static_cast<int>(std::floor(v)) : 100000000;
}

std::wstring printf_text(const wchar_t* format, double a, double b = 0.0, double c = 0.0)
{
    wchar_t buffer[200];
    const int n = std::swprintf(buffer, 200, format, a, b, c);
    return n > 0 ? std::wstring(buffer, static_cast<std::size_t>(n)) : std::wstring();
}

DVector to_dvector(const std::vector<double>& v)
{
    DVector out(v.size());
    std::copy(v.begin(), v.end(), out.begin());
    return out;
}

// Smoothing half width of the difference curve: about N/50 points, but never a window
// that cannot hold a polynomial of the order with a degree of freedom to spare.
unsigned smoothing_half_width(std::size_t n, unsigned order)
{
    return std::max<unsigned>(static_cast<unsigned>((n + 49) / 50), order / 2 + 1);
}

}  // namespace

void PlotView::SetTransform(double xmin, double xmax, double ymin, double ymax, double ylow, int left, int top,
                            int width, int height)
{
    transform.a11 = static_cast<float>(width / (xmax - xmin));
    transform.b1 = static_cast<float>(left - width * xmin / (xmax - xmin));
    transform.a22 = static_cast<float>(-height / (ymax - ymin));
    transform.b2 = static_cast<float>(top + height * ymax / (ymax - ymin));
    transform.a12 = transform.a21 = 0.0f;
    const PlotRect client = ClientRect();
    rect.left = client.left + left;
    rect.top = client.top + top;
    rect.right = std::max(rect.left + width, rect.left);
    rect.bottom = std::max(client.top + pixel(transform.a22 * ylow + transform.b2 + 0.5), rect.top);
}

DataPoint PlotView::DataToClient(double x, double y) const
{
    return {double(transform.a11) * x + double(transform.a21) * y + double(transform.b1),
            double(transform.a12) * x + double(transform.a22) * y + double(transform.b2)};
}

void PlotView::DrawDataPolygon(Canvas& canvas, const FloatPoint* pts, unsigned count, double width,
                               COLORREF stroke, double stroke_opacity, COLORREF fill, double fill_opacity) const
{
    std::vector<FloatPoint> out(count);
    const PlotTransform& t = transform;
    for (unsigned i = 0; i < count; ++i)
        out[i] = {t.a21 * pts[i].y + t.a11 * pts[i].x + t.b1, t.a22 * pts[i].y + t.a12 * pts[i].x + t.b2};
    // A value that is not a number cuts the polygon into the runs around it.
    auto run = out.begin();
    while (run != out.end()) {
        run = std::find_if(run, out.end(), finite_point);
        const auto end = std::find_if_not(run, out.end(), finite_point);
        if (end - run > 1)
            canvas.DrawPolygon(&*run, static_cast<unsigned>(end - run), width, stroke, stroke_opacity, fill,
                               fill_opacity);
        run = end;
    }
}

void PlotView::DrawPlot(Canvas& canvas, PlotText& text)
{
    const PlotPalette& pal = *palette;
    const bool grey = is_grey_palette(palette);

    // 1. Options that can take effect.
    const bool has_data = data && !data->x().empty();
    const bool has_model = model && model->has_components() && parameters;
    std::int32_t avail = 0x7F7B;
    if (!has_data)
        avail &= ~0x4009;
    if (!has_model)
        avail &= ~0x80A;
    if (!has_model || model->component_count() == 0)
        avail &= ~0x10;
    if (!(avail & (OptPoints | OptEnvelope)))
        avail &= ~OptGrid;
    if (!(avail & OptEnvelope))
        avail &= ~OptNormalize;
    available_mask = avail;
    const std::int32_t eff = options & avail;
    const double W = canvas.width;

    const std::vector<double> empty;
    const std::vector<double>& xs = has_data ? data->x() : empty;
    const std::vector<double>& ys = has_data ? data->y() : empty;
    const std::vector<double>& sigmas = has_data ? data->std_dev() : empty;
    const std::size_t count = std::min({xs.size(), ys.size(), sigmas.size()});

    // 2. Horizontal range.
    double xmin = -9.0, xmax = 9.0;
    if (zoom.valid()) {
        xmin = zoom.xmin;
        xmax = zoom.xmax;
    } else {
        ValueRange r;
        for (double x : xs)
            r.take(x);
        if (!r.empty() && r.low < r.high) {
            const double widen = 3.0 / std::max(W, 1.0) * (r.high - r.low);
            xmin = r.low - widen;
            xmax = r.high + widen;
        } else if (const auto* ranged = has_model ? dynamic_cast<const IModelWithRange*>(model) : nullptr) {
            double low = 0.0, high = 0.0;
            ranged->velocity_range(*parameters, low, high);
            if (low < high && std::isfinite(low) && std::isfinite(high)) {
                xmin = low;
                xmax = high;
            }
        }
    }

    // 3. Model at the data points.
    const DVector data_x = to_dvector(std::vector<double>(xs.begin(), xs.begin() + count));
    DVector m(count);
    const bool has_values = has_data && has_model;
    if (has_values)
        model->evaluate(data_x, 0, count, *parameters, m);

    // 4. The pane column's entries; the distributions' points, read once for the column
    // and for the degrees of freedom of the chi-square.
    std::vector<DistPointParams> distributions;
    if (has_model && (eff & OptExtraPanes))
        if (const auto* dist = dynamic_cast<const IDistParams*>(model))
            dist->point_params(distributions);
    const std::vector<ExtraPane> extra = has_model ? ExtraPaneList(eff, distributions) : std::vector<ExtraPane>();

    // 5. Layout.
    const int font_height = text.FontHeight();
    const int margin = (eff & OptFontMargin) ? text.FontAscent() : 2;
    int L = margin, T = margin;
    if (eff & OptLabels) {
        L = margin + text.Measure(L"100000000").cx;
        T = margin + font_height;
    }
    // A column narrower than 20 pixels is left out.
    const int column = extra.empty() || canvas.width / 3 < 20 ? 0 : canvas.width / 3;
    const int right_margin = column ? column + 2 * margin : margin;
    const int total_width = std::max(canvas.width, L + 10 + right_margin);
    const int right = total_width - right_margin;
    const int pane_width = right - L;
    const int B = std::max(2 * T + 10, canvas.height) - T;
    const int plot_height = B - T;

    // 6. Baseline and normalisation.
    const auto* baseline = has_model ? dynamic_cast<const IModelWithBaseline*>(model) : nullptr;
    const double N0 = baseline ? baseline->baseline_level(*parameters) : 0.0;
    const bool normalize = (eff & OptNormalize) && N0 != 0.0 && baseline;
    const double diff_scale = normalize ? 100.0 / N0 : 1.0;
    const auto normalized = [&](const DVector& x, DVector& values) {
        if (normalize)
            baseline->to_percent_of_level(x, *parameters, values);
    };

    // 7. Samples across the pane.
    const double sample = std::max(1.0, text.PointsToLogical(0.5));
    const int n = static_cast<int>(std::max(2.0, pane_width / sample));

    // 8. Envelope.
    ValueRange yr;
    std::vector<FloatPoint> envelope;
    if (eff & OptEnvelope) {
        std::vector<std::pair<double, double>> env;
        DVector shown = m;
        normalized(data_x, shown);
        for (std::size_t i = 0; i < count; ++i)
            if (xs[i] >= xmin && xs[i] <= xmax)
                env.emplace_back(xs[i], shown(i));
        std::sort(env.begin(), env.end());
        std::vector<double> sorted_x(env.size());
        std::transform(env.begin(), env.end(), sorted_x.begin(), [](const auto& p) { return p.first; });
        std::vector<double> added;
        envelope_gap_positions(sorted_x, xmin, xmax, 2.0 * (xmax - xmin) / n, added);
        const DVector added_x = to_dvector(added);
        DVector added_y(added.size());
        if (!added.empty()) {
            model->evaluate(added_x, 0, added.size(), *parameters, added_y);
            normalized(added_x, added_y);
        }
        for (std::size_t i = 0; i < added.size(); ++i)
            env.emplace_back(added[i], added_y(i));
        std::sort(env.begin(), env.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        envelope.reserve(env.size());
        for (const auto& [x, y] : env) {
            envelope.push_back({float(x), float(y)});
            yr.take(y);
        }
    }

    // 9. Vertical ranges.
    if (baseline && !normalize && N0 != 0.0)
        yr.take(N0);
    DVector shown_y(count);
    std::copy(ys.begin(), ys.begin() + count, shown_y.begin());
    normalized(data_x, shown_y);
    if (eff & OptPoints)
        for (double y : shown_y)
            yr.take(y);
    ValueRange spectrum = spectrum_y_range(yr);
    double ymin = spectrum.low, ymax = spectrum.high;
    if (zoom.valid()) {
        ymin = zoom.ymin;
        ymax = zoom.ymax;
    }
    std::vector<double> differences(count);
    double sigma_max = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        differences[i] = (ys[i] - m(i)) * diff_scale;
        const double s = sigmas[i] * diff_scale;
        if (std::isfinite(s))
            sigma_max = std::max(sigma_max, s);
    }
    Band band;
    if (eff & OptDifference)
        band = difference_band(differences, sigma_max);
    const double u = band.upper, l = band.lower;
    double ylower = ymin - (u - l);
    const double pad = zoom.valid() ? 0.0 : 0.05 * ((ymax - ylower) + (u - l));
    const double ylow = ymin - pad;
    ylower -= pad;
    double yupper = ymax + pad;

    // 10. Transform, with room for the line combs above the spectrum.
    SetTransform(xmin, xmax, ylower, yupper, ylow, L, T, pane_width, plot_height);
    const auto* line_model = has_model ? dynamic_cast<const ILinePosModel*>(model) : nullptr;
    const bool combs = (eff & OptEnvelope) && (eff & OptComponents) && line_model;
    std::vector<std::vector<std::vector<double>>> groups;
    if (combs) {
        std::size_t total = 0;
        groups.resize(model->component_count());
        for (unsigned c = 0; c < groups.size(); ++c) {
            line_model->line_positions(c, *parameters, groups[c]);
            total += groups[c].size();
        }
        const double needed = (double(total) + 6.0) * text.PointsToLogical(3.0) * (yupper - ylower) / plot_height;
        if (needed > pad) {
            yupper += needed - pad;
            SetTransform(xmin, xmax, ylower, yupper, ylow, L, T, pane_width, plot_height);
        }
    }
    const auto py = [&](double y) { return DataToClient(0.0, y).y; };
    const double band_top_px = py(ylow);

    // 11. Frame, background, excluded ranges.
    text.FrameRect(L - 1, T - 1, right + 1, B + 1, 3.0, pal[3]);
    if (pal[4] != 0xFFFFFF)
        text.FillOpaque({L, T, right, B}, pal[4]);
    const auto* xranges = model ? dynamic_cast<const IModelWithXRanges*>(model) : nullptr;
    if (xranges) {
        for (unsigned i = 0; i < xranges->xrange_count(); ++i) {
            double from = 0.0, to = 0.0;
            xranges->get_xrange(i, from, to);
            int x1 = pixel(transform.a11 * from + transform.b1 + 0.5);
            int x2 = pixel(transform.a11 * to + transform.b1 + 0.5);
            if (x1 > x2)
                std::swap(x1, x2);
            const PlotRect shade{std::max(x1, L), T, std::min(x2, right), B};
            if (!shade.empty())
                text.FillOpaque(shade, pal[7]);
        }
    }

    // 12. Difference band, chi-square and 3σ.
    std::vector<FloatPoint> diff_points;
    std::wstring readout;
    if (has_values && l < u) {
        diff_points.reserve(count);
        for (std::size_t i = 0; i < count; ++i)
            diff_points.push_back({float(xs[i]), float(differences[i] + ylower - l)});
        std::vector<double> fx, fy, fs, fm(m.begin(), m.end());
        if (xranges) {
            select_fit_points(*data, *xranges, fx, fy, fs, &fm);
        } else {
            fy.assign(ys.begin(), ys.begin() + count);
            fs.assign(sigmas.begin(), sigmas.begin() + count);
        }
        // A point without a deviation carries no weight (it would make χ² infinite).
        double chi = 0.0;
        std::size_t N = 0;
        for (std::size_t i = 0; i < fy.size(); ++i) {
            const double r = (fy[i] - fm[i]) / fs[i];
            if (fs[i] > 0.0 && std::isfinite(r)) {
                chi += r * r;
                ++N;
            }
        }
        std::set<unsigned> point_params;
        for (const auto& r : distributions)
            for (std::size_t k = 0; k < r.deviations.size(); ++k)
                point_params.insert(unsigned(r.first_weight + k));
        double k = 0.0;
        if (lock_info)
            for (unsigned p = 0; p < model->param_count(); ++p)
                if (lock_info->is_varied(p) && !point_params.count(p))
                    k += 1.0;
        const double nu = double(N) - k;
        readout = printf_text(L"\u03C7\u00B2=%.2f (%.3f\u00B1%.3f)", chi, chi / nu, std::sqrt(2.0 / nu));

        const double top = py(u + ylower - l), zero = py(ylower - l);
        canvas.Line(L, top, right, top);
        if (l < 0.0 && 0.0 < u)
            canvas.Line(L, zero, right, zero);
        canvas.DrawPath(2.0, pal[3], 1.0, 0, 0.0);
        const double t = 3.0 * sigma_max;
        const double D = t * std::fabs(transform.a22);
        const double upper_line = zero - D - 0.5, lower_line = zero + D + 0.5;
        if (l < t && t < u)
            canvas.Line(L, upper_line, right, upper_line);
        if (l < -t && -t < u)
            canvas.Line(L, lower_line, right, lower_line);
        canvas.DrawPath(1.0, pal[10], 1.0, 0, 0.0);
        if (eff & OptLabels) {
            const int x = L - static_cast<int>(text.PointsToLogical(3.0));
            const int half = font_height / 2;
            if (2.0 * D <= text.Measure(L"\u00B13\u03C3").cy) {
                text.Write(x, pixel(zero) - half, TextRight | TextTop, L"\u00B13\u03C3");
            } else {
                text.Write(x, pixel(upper_line) - half, TextRight | TextTop, L"+3\u03C3");
                text.Write(x, pixel(lower_line) - half, TextRight | TextTop, L"-3\u03C3");
            }
        }
    }

    // 13. Read-out.
    const bool emission = model && model->is_emission();
    if (has_data && data->analysis(emission).valid) {
        if (!readout.empty())
            readout += L"   ";
        readout += printf_text(L"Q=%.0f", data->analysis(emission).Q);
    }
    if (!readout.empty())
        text.Write(L + pane_width / 2, B + 5, TextCenter | TextTop, readout);

    // 14. Axes.
    if (avail & OptGrid) {
        if (!(eff & OptGrid) && (eff & OptLabels)) {
            const std::wstring format = format_tick_label(yupper - ylower, 1);
            text.Write(L - 5, T - font_height / 2, TextRight | TextTop, format_tick_value(format, yupper));
            text.Write(L - 5, B, TextRight | TextTop, format_tick_value(format, ylower));
        } else if (eff & OptGrid) {
            double x_step = nice_tick_step(xmax - xmin);
            double y_step = nice_tick_step((yupper - ylower) - (u - l));
            if (xmax > xmin && (yupper - ylower) - (u - l) > 0.0)
                FitTickSteps(text, x_step, y_step, std::max(std::fabs(xmin), std::fabs(xmax)));
            DrawXTicks(canvas, text, x_step, xmin, xmax, T, band_top_px, eff);
            DrawYTicks(canvas, text, y_step, ylow, yupper, L, right + 1, eff);
            canvas.DrawPath(0.5, pal[3], 1.0, 0, 0.0);
        }
        if (eff & OptLabels) {
            const std::wstring format = format_tick_label(xmax - xmin, 3);
            text.Write(L, B + 5, TextLeft | TextTop, format_tick_value(format, xmin));
            text.Write(right, B + 5, TextRight | TextTop, format_tick_value(format, xmax));
        }
    }

    // 15. Spectrum layers.
    canvas.SetClip(L, T, right, pixel(band_top_px + 0.5));
    if (eff & OptEnvelope)
        DrawDataPolygon(canvas, envelope.data(), unsigned(envelope.size()), 5.0, pal[0], 0.5, 0, 0.0);
    if ((eff & OptEnvelope) && (eff & OptComponents)) {
        DVector grid(n);
        for (int k = 0; k < n; ++k)
            grid(k) = xmin + (xmax - xmin) * k / (n - 1);
        std::vector<FloatPoint> array(n);
        DVector base(n);
        if (!normalize && baseline && baseline->baseline_values(grid, *parameters, base)) {
            array.resize(2 * n);
            for (int k = 0; k < n; ++k)
                array[2 * n - 1 - k] = {float(grid(k)), float(base(k))};
        } else if (normalize) {
            array.push_back({float(xmax), 100.0f});
            array.push_back({float(xmin), 100.0f});
        }
        const auto* colors = dynamic_cast<const Colors::ISubSpColor*>(model);
        DVector curve(n);
        unsigned row = 0;
        const double tick = text.PointsToLogical(5.0);
        for (int pass = 0; pass < 2; ++pass) {
            for (unsigned c = 0; c < model->component_count(); ++c) {
                const bool selected = selected_component >= 0 && unsigned(selected_component) == c;
                const COLORREF color = grey || !colors ? pal[8] : colors->color_of(c);
                if (selected == (pass == 1)) {
                    model->evaluate_component(c, grid, *parameters, curve);
                    normalized(grid, curve);
                    for (int k = 0; k < n; ++k)
                        array[k] = {float(grid(k)), float(curve(k))};
                    if (grey || (baseline && baseline->is_level_param(c))) {
                        DrawDataPolygon(canvas, array.data(), n, selected ? 2.0 : 1.0, color, 1.0, 0, 0.0);
                    } else {
                        DrawDataPolygon(canvas, array.data(), unsigned(array.size()), 0.0, 0, 0.0, color,
                                        selected ? 0.8 : 0.4);
                        if (selected)
                            DrawDataPolygon(canvas, array.data(), n, 2.0, color, 1.0, 0, 0.0);
                    }
                }
                if (pass != 0 || !combs)
                    continue;
                for (const auto& group : groups[c]) {
                    const double y = T + text.PointsToLogical(2.0) + row * text.PointsToLogical(3.0) + 0.5;
                    ++row;
                    ValueRange span;
                    for (double p : group) {
                        const double x = std::floor(transform.a11 * p + transform.b1) + 0.5;
                        if (!std::isfinite(x))
                            continue;
                        canvas.Line(x, y, x, y + tick);
                        span.take(x);
                    }
                    if (!span.empty())
                        canvas.Line(span.low, y, span.high, y);
                }
                canvas.DrawPath(selected ? 2.0 : 1.0, color, 1.0, 0, 0.0);
            }
        }
    }
    points.clear();
    hovered_point = -1;
    if (eff & OptPoints) {
        const double size = text.PointsToLogical(1.5);
        for (std::size_t i = 0; i < count; ++i) {
            const DataPoint s = DataToClient(xs[i], shown_y(i));
            if (!std::isfinite(s.x) || !std::isfinite(s.y))
                continue;
            double error = -1.0;
            if (eff & OptStdDevBars) {
                error = std::fabs(py(shown_y(i) + sigmas[i] * diff_scale) - s.y);
                if (!std::isfinite(error))
                    error = -1.0;
            }
            canvas.Marker(0, s.x, s.y, size, error);
            points.push_back({float(s.x), float(s.y), xs[i], shown_y(i)});
        }
        canvas.DrawPath(1.0, pal[2], 0.8, 0, 0.0);
    }
    if (eff & OptDetectedLines) {
        const SpectrumAnalysis* analysis = nullptr;
        if (analysis_override && analysis_override->valid)
            analysis = analysis_override;
        else if (has_data && model && data->analysis(emission).valid)
            analysis = &data->analysis(emission);
        if (analysis) {
            for (const SpectrumLine& line : analysis->lines) {
                DVector x(2, line.x), y(2);
                y(0) = analysis->N0;
                y(1) = line.count;
                normalized(x, y);
                const DataPoint a = DataToClient(line.x, y(0)), b = DataToClient(line.x, y(1));
                if (std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(b.y))
                    canvas.Line(a.x, a.y, b.x, b.y);
            }
            canvas.DrawPath(1.0, pal[9], 1.0, 0, 0.0);
        }
    }

    // 16. Difference curve.
    if (!diff_points.empty()) {
        canvas.SetClip(L, T, right, B);
        if (eff & OptSmoothDifference) {
            std::vector<FloatPoint> finite;
            std::copy_if(diff_points.begin(), diff_points.end(), std::back_inserter(finite), finite_point);
            std::vector<double> kernel;
            savitzky_golay_coefficients(4, smoothing_half_width(finite.size(), 4), 0, kernel);
            std::vector<FloatPoint> smoothed(finite.size());
            fir_filter_points<FloatPoint>(kernel, finite, smoothed);
            for (std::size_t i = 0; i < finite.size(); ++i)
                smoothed[i].x = finite[i].x;
            diff_points = std::move(smoothed);
        }
        DrawDataPolygon(canvas, diff_points.data(), unsigned(diff_points.size()), 1.0, pal[9], 1.0, 0, 0.0);
    }

    // 17. Note box.
    if (!note.empty()) {
        PlotRect r = text.MeasureNote(note, pane_width - 16);
        const int w = r.right - r.left;
        const int h = std::min(r.bottom - r.top, plot_height - 16);
        r = {L + 8, B - 8 - h, L + 8 + w, B - 8};
        canvas.FillRect(r.left - 3, r.top - 3, r.right + 3, r.bottom + 3, 0x80FF00, 0.5);
        text.FrameRect(r.left - 3, r.top - 3, r.right + 3, r.bottom + 3, 1.0, 0xFFFFFF);
        text.WriteNote(r, note);
    }

    // 18. The spectrum pane for the mouse.
    panes.clear();
    panes.push_back({SpectrumPane, -1, transform, PlotTransform{}, rect});

    // 19. The pane column.
    if (column)
        DrawExtraPanes(canvas, text, extra, distributions, eff, total_width - column - margin, total_width - margin, T,
                       B);
}
