#include "relaxation/two_state_models.h"

#include <algorithm>
#include <cmath>

#include "core/spectrum/spectrum_analysis.h"
#include "subspec/subspec_impl.h"

void RelaxDoublet::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const
{
    const double natural = required_isotope(isotope).Γτ;
    p[0] = 1.0;
    p[1] = 1.0;
    p[2] = p[4] = analysis.XSc;
    p[3] = p[5] = 3.0 * natural;
    p[6] = 0.0;
    p[7] = 1.0;
    p[8] = 2.0 * natural;
}

void RelaxSextet::extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const
{
    sextet_extent(required_isotope(isotope), p[3], p[4], p[5], 0.0, 0.0, p[8], 1.0, 1.0, 1.0, 1.0, 1.0, min, max);
}

void RelaxSextet::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const
{
    const Isotope& iso = required_isotope(isotope);
    start_sextet(iso, analysis, p);
    p[6] = 0.0;
    p[7] = 1.0;
    p[8] = 2.0 * iso.Γτ;
}

void TwoStateRelaxSextet::extent_of(const Isotope* isotope, std::span<const double> p, double& min,
                                    double& max) const
{
    const Isotope& iso = required_isotope(isotope);
    double min_b, max_b;
    sextet_extent(iso, p[3], p[4], p[5], 0.0, 0.0, p[11], 1.0, 1.0, 1.0, 1.0, 1.0, min, max);
    sextet_extent(iso, p[6], p[7], p[8], 0.0, 0.0, p[11], 1.0, 1.0, 1.0, 1.0, 1.0, min_b, max_b);
    min = std::min(min, min_b);
    max = std::max(max, max_b);
}

void TwoStateRelaxSextet::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis,
                                      std::span<double> p) const
{
    const Isotope& iso = required_isotope(isotope);
    p[0] = 1.0;
    p[1] = 0.6666666666666666;
    p[2] = 0.3333333333333333;
    p[3] = p[6] = analysis.XSc;
    p[4] = p[7] = 0.0;
    p[5] = p[8] = std::fabs(analysis.WH2 / iso.K);
    p[9] = 0.0;
    p[10] = 1.0;
    p[11] = 2.0 * iso.Γτ;
}
