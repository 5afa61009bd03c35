// The automatic analysis of a spectrum, read once as an absorption and once as an
// emission spectrum. Baselines come from the means of the first and last ten counts;
// the smoothing width from the extent of a line right of the centre; the counts are
// smoothed and differentiated with order-4 Savitzky-Golay kernels (in time linear in
// the points, however wide the kernels), lines are the sign changes of the slope. The
// standard errors of the centroid and the dispersion are error propagations whose inner
// sums over all points separate into two whole-spectrum sums,
// Σ_k (x_k·W − A)·((x_k + 2·x_i)·W − 3·A) = C1 + 2·x_i·W·C2, so they cost linear time
// instead of n².
#include "core/spectrum/analyze_spectrum.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <stdexcept>
#include <vector>

#include "core/spectrum/savitzky_golay_filter.h"

namespace {

// The first index from `start`, stepping by `step` while inside v, whose value
// satisfies `hit`; `start` when there is none.
template <class Hit>
std::ptrdiff_t find_from(std::span<const double> v, std::ptrdiff_t start, int step, Hit hit)
{
    const auto n = std::ptrdiff_t(v.size());
    for (std::ptrdiff_t i = start; i >= 0 && i < n; i += step)
        if (hit(v[std::size_t(i)]))
            return i;
    return start;
}

struct ReadingMoments {
    double centroid;
    double centroid_err;
    double dispersion;
    double dispersion_err;
};

// Centroid and dispersion (about the mean velocity) of one reading with their
// standard errors; the signal of point k is sign·(level − y[k]): N0 − y[k] for the
// absorption reading (sign +1), y[k] − N0_e for the emission one (sign −1). A total
// signal that is zero to rounding gives the centre of the velocity interval as centroid
// and zeros otherwise: for a spectrum of at most ten points the level is the mean of
// all its counts, so the total is rounding residue, which would make the centroid huge
// and the dispersion of any sign. The bound is that of the rounding in the level (a
// mean of up to ten counts) and in the sum of n differences.
ReadingMoments reading_moments(std::span<const double> x, std::span<const double> y, std::span<const double> sigma,
                               double x_mean, double x_centre, double level, double sign)
{
    const std::size_t n = x.size();
    auto signal = [&](std::size_t k) { return sign * (level - y[k]); };
    double W = 0.0, A = 0.0, magnitude = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
        W += signal(k);
        A += signal(k) * x[k];
        magnitude += std::abs(level) + std::abs(y[k]);
    }
    const double rounding = double(n + 10) * std::numeric_limits<double>::epsilon() * magnitude;
    if (std::abs(W) <= rounding)
        return {x_centre, 0.0, 0.0, 0.0};

    double spread = 0.0, c1 = 0.0, c2 = 0.0, centroid_var = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
        const double dx = x[k] - x_mean;
        spread += signal(k) * dx * dx;
        const double u = x[k] * W - A;
        c1 += u * (x[k] * W - 3.0 * A);
        c2 += u;
        const double t = (A - x[k] * W) * sigma[k];
        centroid_var += t * t;
    }
    double dispersion_var = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double p = signal(i) * (c1 + 2.0 * x[i] * W * c2);
        const double u = x[i] * W - A;
        const double t = (p - u * u * W) * sigma[i];
        dispersion_var += t * t;
    }
    const double W2 = W * W;
    return {A / W, std::sqrt(centroid_var) / W2, spread / W, std::sqrt(dispersion_var) / (W2 * W2)};
}

// Left-rectangle area of |signal(ys[k])| over the velocity steps.
template <class Signal>
double area(std::span<const double> x, const std::vector<double>& ys, Signal signal)
{
    double s = 0.0;
    for (std::size_t k = 1; k < x.size(); ++k)
        s += std::abs(signal(ys[k - 1])) * (x[k] - x[k - 1]);
    return s;
}

// Width and centre of the region from the first to the last smoothed count that is
// `inside`; the whole interval when there is none.
template <class Inside>
void region(std::span<const double> x, const std::vector<double>& ys, Inside inside,
            double& width, double& centre)
{
    const auto first = std::find_if(ys.begin(), ys.end(), inside);
    const auto last = std::find_if(ys.rbegin(), ys.rend(), inside);
    const std::size_t i1 = first == ys.end() ? 0 : std::size_t(first - ys.begin());
    const std::size_t i2 = last == ys.rend() ? ys.size() - 1 : std::size_t(ys.rend() - last) - 1;
    width = x[i2] - x[i1];
    centre = (x[i2] + x[i1]) / 2.0;
}

// Lines on the thresholded slope d. Sign +1: a minimum where d turns from negative to
// non-negative; within `reach` points a negative slope rejects it, and the first
// positive slope whose midpoint j has a smoothed count below `level` confirms it as a
// line at j. Sign −1 mirrors everything for maxima above `level`.
void find_lines(std::span<const double> x, const std::vector<double>& ys, const std::vector<double>& d,
                std::size_t reach, double sign, double level, std::vector<SpectrumLine>& lines)
{
    const std::size_t m = d.size();
    for (std::size_t i = 0; i + 3 < m; ++i) {
        if (!(sign * d[i] < 0.0 && sign * d[i + 1] >= 0.0))
            continue;
        for (std::size_t c = 1; c < reach && i + c < m; ++c) {
            const double slope = sign * d[i + c];
            if (slope < 0.0)
                break;
            const std::size_t j = i + c / 2;
            if (slope > 0.0 && sign * (level - ys[j]) > 0.0) {
                lines.push_back({x[j], ys[j], std::int32_t(j)});
                break;
            }
        }
    }
}

}  // namespace

double mean_of_range(std::span<const double> v, std::size_t first, std::size_t count)
{
    if (first > v.size() || count > v.size() - first)
        throw std::out_of_range("mean_of_range: range beyond the vector");
    const auto begin = v.begin() + std::ptrdiff_t(first);
    return std::accumulate(begin, begin + std::ptrdiff_t(count), 0.0) / double(count);
}

std::ptrdiff_t find_level_crossing(std::span<const double> v, std::ptrdiff_t start, int step,
                                   double level)
{
    return find_from(v, start, step, [level](double value) { return value <= level; });
}

bool analyze_spectrum(SpectrumAnalysis& a, std::span<const double> x, std::span<const double> y,
                      std::span<const double> std_dev, unsigned filter_width)
{
    if (x.size() != y.size() || std_dev.size() != y.size())
        throw std::invalid_argument("analyze_spectrum: x, counts and deviations differ in length");
    a.lines.clear();
    a.lines_e.clear();
    const std::size_t n = y.size();
    if (n == 0)
        return false;

    const auto [min_it, max_it] = std::minmax_element(y.begin(), y.end());  // first min, last max
    const std::size_t i_min = std::size_t(min_it - y.begin());
    const std::size_t i_max = std::size_t(max_it - y.begin());

    const std::size_t ends = std::min<std::size_t>(n, 10);
    const double a0 = mean_of_range(y, 0, ends);
    const double a1 = mean_of_range(y, n - ends, ends);
    auto below_one_is_zero = [](double level) { return std::abs(level) < 1.0 ? 0.0 : level; };
    a.N0 = below_one_is_zero(std::max(a0, a1));
    a.N0_e = below_one_is_zero(std::min(a0, a1));

    const double mean = std::accumulate(y.begin(), y.end(), 0.0) / double(n);
    const double mid = (a.N0 + a.N0_e) / 2.0;
    a.height_e = y[i_max] - a.N0_e;
    a.peaks_up = mean > mid;
    a.depth = a.N0 - y[i_min];

    // Extent of a line right of the centre, for the automatic smoothing width.
    auto level = [&a](double f) { return a.N0 - f * a.depth; };
    auto at_or_below = [](double l) { return [l](double v) { return v <= l; }; };
    auto at_or_above = [](double l) { return [l](double v) { return v >= l; }; };
    const auto h = std::ptrdiff_t(n / 2);
    std::ptrdiff_t s = 0, u = 0;
    if (a.peaks_up) {
        const std::ptrdiff_t s0 = find_from(y, h, 1, at_or_below(level(0.2)));
        s = find_from(y, s0, 1, at_or_above(level(0.5)));
        u = find_from(y, s + 2, 1, at_or_below(level(0.4)));
    } else {
        const std::ptrdiff_t s0 = find_from(y, h, 1, at_or_above(level(0.2)));
        s = find_from(y, s0, 1, at_or_below(level(0.5)));
        u = find_from(y, s + 2, 1, at_or_above(level(0.4)));
    }
    const auto line_extent = std::size_t((u - s) / 2);
    a.auto_filter_width = std::uint32_t(std::max<std::size_t>(2, line_extent));

    // Below six points w < 2 and the order-4 kernels fall back to lower orders (see
    // savitzky_golay_coefficients): ys then follows the raw counts, and d is the
    // 5-point slope (w = 1) or zero (w = 0, where no line is searched anyway).
    std::size_t w = filter_width != 0 ? filter_width : line_extent;
    w = std::min(std::max<std::size_t>(w, 2), n / 3);
    std::vector<double> ys, d;
    savitzky_golay_filter(4, unsigned(w), 0, y, ys);
    savitzky_golay_filter(4, unsigned(2 * w), 1, y, d);

    const double half_depth = a.N0 - a.depth / 2.0;
    region(x, ys, at_or_below(half_depth), a.WH2, a.XWH2);
    const double half_height = a.N0_e + a.height_e / 2.0;
    region(x, ys, at_or_above(half_height), a.WH2_e, a.XWH2_e);

    a.Q = (a.N0 - y[i_min] - std_dev[i_min]) / std_dev[i_min];
    a.Q_e = (y[i_max] - a.N0_e - std_dev[i_max]) / std_dev[i_max];

    a.Xc = (x.front() + x.back()) / 2.0;
    const double x_mean = std::accumulate(x.begin(), x.end(), 0.0) / double(n);
    const double N0 = a.N0, N0_e = a.N0_e;
    const ReadingMoments absorption = reading_moments(x, y, std_dev, x_mean, a.Xc, N0, 1.0);
    const ReadingMoments emission = reading_moments(x, y, std_dev, x_mean, a.Xc, N0_e, -1.0);
    a.XSc = absorption.centroid;
    a.XSc_err = absorption.centroid_err;
    a.Dv = absorption.dispersion;
    a.Dv_err = absorption.dispersion_err;
    a.XSc_e = emission.centroid;
    a.XSc_e_err = emission.centroid_err;
    a.Dv_e = emission.dispersion;
    a.Dv_e_err = emission.dispersion_err;

    a.S = area(x, ys, [N0](double v) { return N0 - v; });
    a.S_e = area(x, ys, [N0_e](double v) { return v - N0_e; });

    const auto [d_min, d_max] = std::minmax_element(d.begin(), d.end());
    const double threshold = 0.1 * std::max(std::abs(*d_min), std::abs(*d_max));
    for (double& v : d)
        if (std::abs(v) < threshold)
            v = 0.0;
    find_lines(x, ys, d, 4 * w, 1.0, N0, a.lines);
    find_lines(x, ys, d, 4 * w, -1.0, N0_e, a.lines_e);

    // Full width at half height of the first line found.
    a.line_width = 0.0;
    const bool dip = !a.lines.empty();
    if (dip || !a.lines_e.empty()) {
        const SpectrumLine& first = dip ? a.lines.front() : a.lines_e.front();
        const double half = (first.count + (dip ? N0 : N0_e)) / 2.0;
        auto outside = [dip, half](double v) { return dip ? v >= half : v <= half; };
        const std::ptrdiff_t left = find_from(ys, first.index, -1, outside);
        const std::ptrdiff_t right = find_from(ys, first.index, 1, outside);
        a.line_width = x[std::size_t(right)] - x[std::size_t(left)];
    }
    return true;
}
