#include "relaxation/anharmonic_sextets.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/spectrum/spectrum_analysis.h"

namespace {

// Zeros, then I = 1, I₂/I₁ = 2/3, I₃/I₁ = 1/3, δ and the field (at `field`) as a sextet
// starts, and the widths from `width` on: Γ₁ = 2·Γτ and the two ratios 1.
void start_modulated_sextet(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p,
                            std::size_t field, std::size_t width)
{
    const Isotope& iso = required_isotope(isotope);
    std::array<double, 6> sextet;
    start_sextet(iso, analysis, sextet);
    std::fill(p.begin(), p.end(), 0.0);
    std::copy_n(sextet.begin(), 4, p.begin());
    p[field] = sextet[5];
    p[width] = 2.0 * iso.Γτ;
    p[width + 1] = 1.0;
    p[width + 2] = 1.0;
}

}  // namespace

void AnharmonicSpinModulation::extent_of(const Isotope* isotope, std::span<const double> p, double& min,
                                         double& max) const
{
    sextet_extent(required_isotope(isotope), p[3], p[4] + std::fabs(p[5]), p[7] + std::fabs(p[8]), 0.0, 0.0, p[10],
                  p[11], p[12], 0.0, 0.0, 0.0, min, max);
}

void AnharmonicSpinModulation::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis,
                                           std::span<double> p) const
{
    start_modulated_sextet(isotope, analysis, p, 7, 10);
}

void AnharmonicSpinModulation::extra_graph(unsigned curve, std::vector<double>& x, std::vector<double>& y,
                                           std::vector<double>& y_errors, const CovarianceRange*, const Isotope*,
                                           std::span<const double> p) const
{
    const std::size_t bins = static_cast<std::size_t>(dpoints());
    const std::size_t samples = static_cast<std::size_t>(hpoints());
    if (curve == profile_curve)
        modulation_profile(p[9], bins, x, y, y_errors);
    else if (curve == histogram_curve)
        legendre_field_histogram(p[7], p[8], p[9], {bins, true, samples, p[0] / static_cast<double>(samples)}, x, y,
                                 y_errors);
}

void AnharmonicSpinModulationAnisotropic::extent_of(const Isotope* isotope, std::span<const double> p, double& min,
                                                    double& max) const
{
    sextet_extent(required_isotope(isotope), p[3], 4.0 * p[5], std::sqrt(p[11] * p[11] + p[12] * p[12] + p[13] * p[13]),
                  0.0, 0.0, p[16], p[17], p[18], 0.0, 0.0, 0.0, min, max);
}

void AnharmonicSpinModulationAnisotropic::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis,
                                                      std::span<double> p) const
{
    start_modulated_sextet(isotope, analysis, p, 11, 16);
    p[12] = p[11];
    p[13] = p[11];
}

void AnharmonicSpinModulationAnisotropic::extra_graph(unsigned curve, std::vector<double>& x,
                                                      std::vector<double>& y, std::vector<double>& y_errors,
                                                      const CovarianceRange*, const Isotope*,
                                                      std::span<const double> p) const
{
    const std::size_t bins = static_cast<std::size_t>(dpoints());
    const std::size_t samples = static_cast<std::size_t>(hpoints());
    if (curve == profile_curve) {
        modulation_profile(p[14], bins, x, y, y_errors);
        return;
    }
    if (curve != histogram_curve)
        return;
    const SpinModulation<double> modulation(p[14]);
    const AnisotropicField<double> field_at(p[8], p[9], p[10], p[15], p[11], p[12], p[13]);
    const auto magnitude = [&](double phase) { return field_magnitude(field_at(modulation, phase)); };
    double lo = std::numeric_limits<double>::infinity(), hi = 0.0;
    for (std::size_t s = 0; s < bins; ++s) {
        const double h = magnitude(modulation_phase(s, bins));
        lo = std::min(lo, h);
        hi = std::max(hi, h);
    }
    magnitude_histogram(lo, hi, {bins, true, samples, 1.0 / static_cast<double>(samples)}, magnitude, x, y, y_errors);
}
