#include "relaxation/nmr_anharmonic.h"

#include <algorithm>
#include <cmath>

#include "core/spectrum/spectrum_analysis.h"

void NMR_AnharmonicSpinModulation::extent_of(const Isotope*, std::span<const double> p, double& min,
                                             double& max) const
{
    const double spread = std::fabs(p[2]) + 8.0 * p[4];
    min = p[1] - spread;
    max = p[1] + spread;
}

void NMR_AnharmonicSpinModulation::init_params(const Isotope*, const SpectrumAnalysis& analysis,
                                               std::span<double> p) const
{
    p[0] = 1.0;
    p[3] = 0.0;
    p[5] = 0.0;
    p[6] = 1.0;
    if (analysis.lines.size() == 2) {
        const double first = analysis.lines[0].x, second = analysis.lines[1].x;
        p[1] = 0.6666666666666666 * first + 0.3333333333333333 * second;
        p[2] = 0.6666666666666666 * (second - first);
        p[4] = std::max(min_nmr_width, 0.1 * std::fabs(second - first));
    } else {
        p[1] = analysis.XSc;
        p[2] = 0.0;
        p[4] = 0.1;
    }
}

void NMR_AnharmonicSpinModulation::extra_graph(unsigned curve, std::vector<double>& x, std::vector<double>& y,
                                               std::vector<double>& y_errors, const CovarianceRange*, const Isotope*,
                                               std::span<const double> p) const
{
    if (curve == profile_curve)
        modulation_profile(p[3], 200, x, y, y_errors);
    else if (curve == histogram_curve)
        legendre_field_histogram(p[1], p[2], p[3], {200, false, 50000, 2e-5}, x, y, y_errors);
}
