#include "lineshapes/simple_sextets.h"

#include "subspec/subspec_impl.h"

void SimplePseudoVoigtSextet::extent_of(const Isotope* isotope, std::span<const double> p, double& min,
                                        double& max) const
{
    sextet_extent(required_isotope(isotope), p[3], p[4], p[5], 0.0, 0.0, p[6], p[7], p[8], 0.0, 0.0, 0.0, min, max);
}

void SimplePseudoVoigtSextet::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis,
                                          std::span<double> p) const
{
    const Isotope& iso = required_isotope(isotope);
    start_sextet(iso, analysis, p);
    p[6] = 3.0 * iso.Γτ;
    p[7] = 1.0;
    p[8] = 1.0;
    p[9] = 0.0;
}

void SimpleVoigtSextet::extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const
{
    sextet_extent(required_isotope(isotope), p[3], p[4], p[5], 0.0, 0.0, p[6], 1.0, 1.0, 0.0, 0.0, 0.0, min, max);
}

void SimpleVoigtSextet::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis,
                                    std::span<double> p) const
{
    const Isotope& iso = required_isotope(isotope);
    start_sextet(iso, analysis, p);
    p[6] = 2.0 * iso.Γτ;
    p[7] = 0.01;
    p[8] = 1.0;
    p[9] = 1.0;
}
