#include "relaxation/modulation_graphs.h"

#include <algorithm>
#include <cmath>

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
