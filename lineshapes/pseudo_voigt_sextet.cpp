#include "lineshapes/pseudo_voigt_sextet.h"

#include <cmath>

#include "core/spectrum/spectrum_analysis.h"
#include "subspec/eval_ranges.h"
#include "subspec/subspec_impl.h"

double PseudoVoigtSextet::line_distance_of(const Isotope* isotope, std::span<const double> p) const
{
    std::array<double, 6> positions;
    sextet_positions(required_isotope(isotope), p[3], p[4], p[5], p[6], p[7], positions);
    return positions[5] - positions[0];
}

void PseudoVoigtSextet::extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const
{
    sextet_extent(required_isotope(isotope), p[3], p[4], p[5], p[6], p[7], p[8], p[9], p[10], p[11], p[12], p[13],
                  min, max);
}

void PseudoVoigtSextet::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis,
                                    std::span<double> p) const
{
    const Isotope& iso = required_isotope(isotope);
    start_sextet(iso, analysis, p);
    p[6] = 0.0;
    p[7] = 0.0;
    p[8] = 3.0 * iso.Γτ;
    for (int k = 9; k < 14; ++k)
        p[k] = 1.0;
    p[14] = 0.0;
}

void PseudoVoigtSextet::init_from_peaks(const SpectrumAnalysis& analysis, DVector& params, unsigned first,
                                        unsigned count) const
{
    const std::span<double> p = init_slice(params, first, count, n_params);
    const Isotope& iso = required_isotope(static_cast<const SubSpecImpl<PseudoVoigtSextet>&>(*this).isotope());
    const auto q = [&](std::size_t j) { return analysis.lines[j - 1].x; };
    switch (analysis.lines.size()) {
    case 2:
        p[3] = (q(2) + q(1)) * 0.5;
        p[4] = 0.0;
        p[5] = (q(2) - q(1)) / std::fabs(iso.β * iso.K);
        break;
    case 4:
        p[3] = (q(4) + q(1)) * 0.5;
        p[4] = 0.0;
        p[5] = (q(4) - q(1)) / std::fabs(iso.α * iso.K);
        break;
    case 6:
        p[3] = ((q(2) + q(5)) + (q(6) + q(1))) * 0.25;
        p[4] = ((q(6) + q(1)) - q(5) - q(2)) * 0.25;
        p[5] = (q(6) - q(1)) / std::fabs(iso.K);
        break;
    default:
        break;
    }
    if (analysis.line_width > 0.0)
        p[8] = analysis.line_width;
}
