#include "relaxation/spin_relax_sextet.h"

#include <cmath>

#include "core/spectrum/spectrum_analysis.h"
#include "subspec/subspec_impl.h"

void SpinRelaxSextet::extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const
{
    sextet_extent(required_isotope(isotope), p[3], p[4], p[5], 0.0, 0.0, p[8], 1.0, 1.0, 1.0, 1.0, 1.0, min, max);
}

void SpinRelaxSextet::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const
{
    const Isotope& iso = required_isotope(isotope);
    p[0] = 1.0;
    p[1] = 0.6666666666666666;
    p[2] = 0.3333333333333333;
    p[3] = analysis.XSc;
    p[4] = 0.0;
    p[5] = std::fabs(analysis.WH2 / iso.K);
    p[6] = 0.0;
    p[7] = 0.0;
    p[8] = 2.0 * iso.Γτ;
    p[9] = 5.0;
    p[10] = 8.0;
    p[11] = 9.0;
}
