#include "lineshapes/doublets.h"

#include <algorithm>
#include <cmath>

#include "core/spectrum/spectrum_analysis.h"
#include "lineshapes/start_values.h"
#include "subspec/subspec_impl.h"

namespace {

void extent_about(double shift, double quadrupole, double width, double& min, double& max)
{
    const double margin = std::fabs(quadrupole) + 12.0 * width;
    min = shift - margin;
    max = shift + margin;
}

}  // namespace

double Doublet::line_distance_of(const Isotope*, std::span<const double> p) const
{
    return 2.0 * p[3];
}

void Doublet::start_doublet(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p)
{
    p[0] = 1.0;
    p[1] = 1.0;
    if (analysis.lines.size() == 2) {
        const double p1 = analysis.lines[0].x, p2 = analysis.lines[1].x;
        p[2] = (p1 + p2) * 0.5;
        p[3] = (p2 - p1) * 0.5;
    } else {
        p[2] = analysis.XSc;
        p[3] = 3.0 * natural_width(isotope, analysis);
    }
}

void PseudoVoigtDoublet::extent_of(const Isotope*, std::span<const double> p, double& min, double& max) const
{
    extent_about(p[2], p[3], std::max(std::fabs(p[4]), std::fabs(p[4] * p[5])), min, max);
}

void PseudoVoigtDoublet::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis,
                                     std::span<double> p) const
{
    start_doublet(isotope, analysis, p);
    p[4] = 3.0 * natural_width(isotope, analysis);
    p[5] = 1.0;
    p[6] = 0.0;
}

void VoigtDoublet::extent_of(const Isotope*, std::span<const double> p, double& min, double& max) const
{
    extent_about(p[2], p[3], std::fabs(p[4]), min, max);
}

void VoigtDoublet::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const
{
    start_doublet(isotope, analysis, p);
    p[4] = 2.0 * natural_width(isotope, analysis);
    p[5] = 0.01;
    p[6] = 1.0;
}
