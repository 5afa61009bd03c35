#include "plot/plot_ranges.h"

#include <algorithm>

ValueRange spectrum_y_range(ValueRange r)
{
    if (r.empty())
        return {0.0, 1.0};
    if (r.low == r.high) {
        const double v = r.low;
        if (v == 0.0)
            return {0.0, 1.005};
        return {std::min(v - 0.005 * v, 1.005 * v), std::max(v - 0.005 * v, 1.005 * v)};
    }
    return r;
}

Band difference_band(std::span<const double> differences, double sigma_max)
{
    ValueRange r;
    for (double d : differences)
        r.take(d);
    const double s = std::isfinite(sigma_max) ? 4.0 * sigma_max : 0.0;
    const double upper = r.empty() ? s : std::max(s, r.high);
    const double lower = r.empty() ? -s : std::min(-s, r.low);
    const double pad = 0.05 * (upper - lower);
    return {upper + pad, lower - pad};
}

void envelope_gap_positions(std::span<const double> sorted_x, double xmin, double xmax, double gap,
                            std::vector<double>& out)
{
    if (!(gap > 0.0) || !std::isfinite(gap))
        return;
    if (sorted_x.empty() || xmin < sorted_x.front())
        out.push_back(xmin);
    const auto fill = [&](double from, double to) {
        const double width = to - from;
        if (!(width > gap))
            return;
        const double k = std::ceil(width / gap);
        for (double j = 1.0; j < k; j += 1.0)
            out.push_back(from + j * width / k);
    };
    double previous = xmin;
    for (double x : sorted_x) {
        fill(previous, x);
        previous = x;
    }
    fill(previous, xmax);
    if (sorted_x.empty() || sorted_x.back() < xmax)
        out.push_back(xmax);
}
