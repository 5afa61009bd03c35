#include "relaxation/modulation_graphs.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "relaxation/spin_modulation.h"

void modulation_axis_names(unsigned curve, std::wstring& x_name, std::wstring& y_name)
{
    if (curve == profile_curve) {
        x_name = L"qx";
        y_name = L"sinϑ(qx)";
    } else if (curve == histogram_curve) {
        x_name = L"H";
        y_name = L"p(H)";
    }
}

void spiral_axis_names(unsigned curve, std::wstring& x_name, std::wstring& y_name)
{
    modulation_axis_names(curve, x_name, y_name);
    if (curve == profile_curve)
        y_name = L"cosθ(qx)";
}

void spiral_profile(const SpiralField<double>& field, std::size_t n, std::vector<double>& x, std::vector<double>& y,
                    std::vector<double>& errors)
{
    x.resize(n + 1);
    y.resize(n + 1);
    errors.clear();
    for (std::size_t i = 0; i <= n; ++i) {
        x[i] = period_angle(i, n);
        const FieldComponents<double> f = field(x[i]);
        const double size = std::sqrt(f.squared());
        if (size != 0.0)
            y[i] = f.c / size;
        else
            y[i] = i == 0 || i == n ? 0.0 : (f.c < 0.0 ? -1.0 : 1.0);
    }
}

void period_histogram(const std::function<double(double)>& magnitude, std::vector<double>& x,
                      std::vector<double>& y, std::vector<double>& errors)
{
    constexpr std::size_t scan = 100;
    double lo = std::numeric_limits<double>::infinity(), hi = 0.0;
    for (std::size_t i = 0; i < scan; ++i) {
        const double q = magnitude(period_angle(i, scan));
        lo = std::min(lo, q);
        hi = std::max(hi, q);
    }
    if (hi == 0.0)
        return;
    magnitude_histogram(lo, hi, {200, false, 50000, 2e-5},
                        [&](double phase) { return magnitude(two_pi * (phase + 0.5)); }, x, y, errors);
}

// Curve 0 is empty; 1 the direction profile, 2 the histogram of |H|.
void spiral_graph(unsigned curve, const SpiralField<double>& field, int points, std::vector<double>& x,
                  std::vector<double>& y, std::vector<double>& y_errors)
{
    if (curve == 0) {
        x.clear();
        y.clear();
        y_errors.clear();
    } else if (curve == profile_curve) {
        spiral_profile(field, static_cast<std::size_t>(std::max(points, 1)), x, y, y_errors);
    } else if (curve == histogram_curve) {
        period_histogram([&](double qx) { return std::sqrt(field(qx).squared()); }, x, y, y_errors);
    }
}

void modulation_profile(double m, std::size_t points, std::vector<double>& x, std::vector<double>& y,
                        std::vector<double>& errors)
{
    const SpinModulation<double> modulation(m);
    x.resize(points);
    y.resize(points);
    errors.clear();
    for (std::size_t i = 0; i < points; ++i) {
        x[i] = static_cast<double>(i) * (1.0 / static_cast<double>(points - 1));
        y[i] = modulation.sn(x[i]);
    }
}

void magnitude_histogram(double lo, double hi, const HistogramLayout& layout,
                         const std::function<double(double)>& magnitude, std::vector<double>& x,
                         std::vector<double>& y, std::vector<double>& errors)
{
    // A field constant over the period but for rounding has a range of no width, not a
    // histogram of its rounding errors.
    if (hi - lo <= 1e-12 * std::fabs(hi))
        hi = lo;
    const double margin = 0.1 * (hi - lo);
    const double upper = hi + margin;
    const double lower = std::max(0.0, lo - margin);
    const std::size_t bins = layout.bins;
    const double width = (upper - lower) / static_cast<double>(bins);
    x.resize(bins);
    y.assign(bins, 0.0);
    errors.clear();
    const double offset = layout.centred ? 0.5 : 0.0;
    for (std::size_t j = 0; j < bins; ++j)
        x[j] = lower + (static_cast<double>(j) + offset) * width;
    for (std::size_t s = 0; s < layout.samples; ++s) {
        const double t = width > 0.0 ? (magnitude(modulation_phase(s, layout.samples)) - lower) / width : 0.0;
        std::size_t bin = 0;
        if (t >= static_cast<double>(bins))
            bin = bins - 1;
        else if (t >= 0.0)
            bin = static_cast<std::size_t>(t);
        y[bin] += 1.0;
    }
    for (double& count : y)
        count *= layout.scale;
}

void legendre_field_histogram(double isotropic, double anisotropic, double m, const HistogramLayout& layout,
                              std::vector<double>& x, std::vector<double>& y, std::vector<double>& errors)
{
    const SpinModulation<double> modulation(m);
    const double a = std::fabs(isotropic - 0.5 * anisotropic), b = std::fabs(isotropic + anisotropic);
    const bool sign_change = (isotropic - 0.5 * anisotropic) * (isotropic + anisotropic) < 0.0;
    const double lo = sign_change ? 0.0 : std::min(a, b), hi = std::max(a, b);
    if (lo == hi)
        return;
    magnitude_histogram(lo, hi, layout,
                        [&](double phase) {
                            double sin2, p2;
                            modulation.legendre(phase, sin2, p2);
                            return std::fabs(isotropic + anisotropic * p2);
                        },
                        x, y, errors);
}
