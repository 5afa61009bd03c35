#include "relaxation/fluctuating_fields.h"

#include <cmath>

#include "core/spectrum/spectrum_analysis.h"
#include "subspec/subspec_impl.h"

void FluctuatingEFG::extent_of(const Isotope*, std::span<const double> p, double& min, double& max) const
{
    const double margin = std::fabs(p[3]) + 12.0 * std::fabs(p[5]);
    min = p[2] - margin;
    max = p[2] + margin;
}

void FluctuatingEFG::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const
{
    const double natural = required_isotope(isotope).Γτ;
    p[0] = 1.0;
    p[1] = 1.0;
    p[2] = analysis.XSc;
    p[3] = 3.0 * natural;
    p[4] = 0.0;
    p[5] = 2.0 * natural;
}

void FluctuatingMMF::extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const
{
    sextet_extent(required_isotope(isotope), p[3], p[4], p[5], 0.0, 0.0, p[7], 1.0, 1.0, 1.0, 1.0, 1.0, min, max);
}

void FluctuatingMMF::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const
{
    const Isotope& iso = required_isotope(isotope);
    start_sextet(iso, analysis, p);
    p[6] = 0.0;
    p[7] = 2.0 * iso.Γτ;
}
