#include "lineshapes/singlets.h"

#include <cmath>

#include "core/spectrum/spectrum_analysis.h"
#include "lineshapes/start_values.h"
#include "subspec/eval_ranges.h"
#include "subspec/subspec_impl.h"

void SingleLine::extent_of(const Isotope*, std::span<const double> p, double& min, double& max) const
{
    const double margin = 12.0 * std::fabs(p[2]);
    min = p[1] - margin;
    max = p[1] + margin;
}

void LorenzLine::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const
{
    p[0] = 1.0;
    p[1] = analysis.XSc;
    p[2] = 3.0 * natural_width(isotope, analysis);
}

void LorenzLine::lorentz_params(const ParamRange& p, double& amplitude, double& position, double& width) const
{
    const std::span<const double> v = range_params(p, n_params);
    amplitude = 0.3183098861837907 / v[2] * (2.0 * v[0]);
    position = v[1];
    width = v[2];
}

void PseudoVoigtLine::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const
{
    p[0] = 1.0;
    p[1] = analysis.XSc;
    p[2] = 3.0 * natural_width(isotope, analysis);
    p[3] = 0.0;
}

void VoigtLine::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const
{
    p[0] = 1.0;
    p[1] = analysis.XSc;
    p[2] = 2.0 * natural_width(isotope, analysis);
    p[3] = 0.01;
}
