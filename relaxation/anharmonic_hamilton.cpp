#include "relaxation/anharmonic_hamilton.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/spectrum/spectrum_analysis.h"

void AnharmonicSpinModulationHamilton::extent_of(const Isotope* isotope, std::span<const double> p, double& min,
                                                 double& max) const
{
    sextet_extent(required_isotope(isotope), p[2], p[3] / 4.0, p[6] + std::fabs(p[7]), 0.0, 0.0, p[9], 1.0, 1.0, 0.0,
                  0.0, 0.0, min, max);
}

void AnharmonicSpinModulationHamilton::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis,
                                                   std::span<double> p) const
{
    const Isotope& iso = required_isotope(isotope);
    std::array<double, 6> sextet;
    start_sextet(iso, analysis, sextet);
    std::fill(p.begin(), p.end(), 0.0);
    p[0] = 1.0;
    p[1] = 54.735610317245346;  // cos²γ = 1/3: the intensities of a random powder
    p[2] = sextet[3];
    p[6] = sextet[5];
    p[9] = 2.0 * iso.Γτ;
}

void AnharmonicSpinModulationHamilton::extra_graph(unsigned curve, std::vector<double>& x, std::vector<double>& y,
                                                   std::vector<double>& y_errors, const CovarianceRange*,
                                                   const Isotope*, std::span<const double> p) const
{
    const std::size_t samples = static_cast<std::size_t>(hpoints());
    if (curve == profile_curve)
        modulation_profile(p[8], 200, x, y, y_errors);
    else if (curve == histogram_curve)
        legendre_field_histogram(p[6], p[7], p[8], {200, false, samples, 1.0 / static_cast<double>(samples)}, x, y,
                                 y_errors);
}
