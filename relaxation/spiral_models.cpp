#include "relaxation/spiral_models.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/spectrum/spectrum_analysis.h"
#include "lineshapes/hamilton.h"

namespace {

// Zeros, then I = 1, δ at `shift` and hc₁ at `field` as a sextet starts, hb/hc = 1 just
// before hc₁.
void start_spiral(const Isotope& iso, const SpectrumAnalysis& analysis, std::span<double> p, std::size_t shift,
                  std::size_t field)
{
    std::array<double, 6> sextet;
    start_sextet(iso, analysis, sextet);
    std::fill(p.begin(), p.end(), 0.0);
    p[0] = 1.0;
    p[shift] = sextet[3];
    p[field - 1] = 1.0;
    p[field] = sextet[5];
}

}  // namespace

SpiralField<double> spiral_field_of(std::span<const double> p, std::size_t b0, std::size_t c0, std::size_t phi,
                                    std::size_t ratio, std::size_t first_amplitude)
{
    return {p[b0], p[c0], p[ratio], p[phi], odd_amplitudes(p, first_amplitude)};
}

double spiral_field_bound(double b0, double c0, double ratio, std::span<const double> amplitudes)
{
    double sum = 0.0;
    for (const double a : amplitudes)
        sum += std::fabs(a);
    return std::hypot(std::fabs(b0) + std::fabs(ratio) * sum, std::fabs(c0) + sum);
}

void Spiral_Spin_Sextet::extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const
{
    const Isotope& iso = required_isotope(isotope);
    const double field = spiral_field_bound(p[6], p[7], p[13], p.subspan(14, odd_harmonic_count));
    const double eps = std::fabs(p[4]);
    double lo, hi;
    sextet_extent(iso, p[3], eps, field, 0.0, 0.0, p[8], p[9], p[10], 1.0, 1.0, 1.0, min, max);
    sextet_extent(iso, p[3], -eps, field, 0.0, 0.0, p[8], p[9], p[10], 1.0, 1.0, 1.0, lo, hi);
    min = std::min(min, lo);
    max = std::max(max, hi);
}

void Spiral_Spin_Sextet::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis,
                                     std::span<double> p) const
{
    const Isotope& iso = required_isotope(isotope);
    start_spiral(iso, analysis, p, 3, 14);
    p[1] = 0.6666666666666666;
    p[2] = 0.3333333333333333;
    p[8] = 2.0 * iso.Γτ;
    p[9] = 1.0;
    p[10] = 1.0;
}

void Spiral_Spin_Sextet::extra_graph(unsigned curve, std::vector<double>& x, std::vector<double>& y,
                                     std::vector<double>& y_errors, const CovarianceRange*, const Isotope*,
                                     std::span<const double> p) const
{
    spiral_graph(curve, spiral_field_of(p, 6, 7, 12, 13, 14), points(), x, y, y_errors);
}

void Spiral_Spin_Hamilton::extent_of(const Isotope* isotope, std::span<const double> p, double& min,
                                     double& max) const
{
    const Isotope& iso = required_isotope(isotope);
    const double field = spiral_field_bound(p[4], p[5], p[9], p.subspan(10, odd_harmonic_count));
    const std::array<double, 8> widths{p[6], p[6], p[6], p[6], p[6], p[6], p[6], p[6]};
    min = std::numeric_limits<double>::infinity();
    max = -min;
    for (const double theta : {0.0, 90.0}) {
        double lo, hi;
        lines_extent(hamilton_lines(iso, 1.0, p[1], p[2], p[3], field, theta, 0.0, 0.0, widths), lo, hi);
        min = std::min(min, lo);
        max = std::max(max, hi);
    }
}

void Spiral_Spin_Hamilton::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis,
                                       std::span<double> p) const
{
    const Isotope& iso = required_isotope(isotope);
    start_spiral(iso, analysis, p, 2, 10);
    p[1] = 54.735610317245346;  // cos²γ = 1/3: the intensities of a random powder
    p[6] = 2.0 * iso.Γτ;
}

void Spiral_Spin_Hamilton::extra_graph(unsigned curve, std::vector<double>& x, std::vector<double>& y,
                                       std::vector<double>& y_errors, const CovarianceRange*, const Isotope*,
                                       std::span<const double> p) const
{
    spiral_graph(curve, spiral_field_of(p, 4, 5, 8, 9, 10), points(), x, y, y_errors);
}
