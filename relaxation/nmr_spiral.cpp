#include "relaxation/nmr_spiral.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/spectrum/spectrum_analysis.h"

namespace {

SpiralField<double> frequency_of(std::span<const double> p)
{
    return {p[1] + p[7] * p[2], p[2], p[7], p[6], odd_amplitudes(p, 8)};
}

}  // namespace

std::wstring PeriodArea::area_expr(unsigned component) const
{
    return L"6.283185307179586*" + DefaultArea::area_expr(component);
}

void NMR_Spiral_Spin::extent_of(const Isotope*, std::span<const double> p, double& min, double& max) const
{
    const SpiralField<double> frequency = frequency_of(p);
    double lo = std::numeric_limits<double>::infinity(), hi = 0.0;
    for (std::size_t i = 0; i < 100; ++i) {
        const double nu = std::sqrt(frequency(period_angle(i, 100)).squared());
        lo = std::min(lo, nu);
        hi = std::max(hi, nu);
    }
    const double margin = 8.0 * std::max({std::fabs(p[3]), std::fabs(p[3] + p[4]), min_nmr_width}) + 0.1;
    min = lo - margin;
    max = hi + margin;
}

void NMR_Spiral_Spin::init_params(const Isotope*, const SpectrumAnalysis& analysis, std::span<double> p) const
{
    std::fill(p.begin(), p.end(), 0.0);
    p[0] = 1.0;
    p[3] = 0.1;
    p[7] = 1.0;
    p[8] = analysis.lines.size() == 2 ? 0.5 * (analysis.lines[0].x + analysis.lines[1].x) : analysis.XSc;
}

void NMR_Spiral_Spin::extra_graph(unsigned curve, std::vector<double>& x, std::vector<double>& y,
                                  std::vector<double>& y_errors, const CovarianceRange*, const Isotope*,
                                  std::span<const double> p) const
{
    spiral_graph(curve, frequency_of(p), points(), x, y, y_errors);
}
