#include "lineshapes/hamilton.h"

#include <algorithm>
#include <cmath>

#include "core/spectrum/spectrum_analysis.h"
#include "lineshapes/sextet.h"

void lines_extent(const Multiplet<double, 8>& lines, double& min, double& max)
{
    double width = 0.0;
    for (const double w : lines.width)
        width = std::max(width, std::fabs(w));
    const auto [lowest, highest] = std::minmax_element(lines.position.begin(), lines.position.end());
    min = *lowest - 12.0 * width;
    max = *highest + 12.0 * width;
}

namespace {

void start_values(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p, std::size_t widths)
{
    const Isotope& iso = required_isotope(isotope);
    std::array<double, 6> sextet;
    start_sextet(iso, analysis, sextet);
    p[0] = 1.0;
    p[1] = 54.735610317245346;  // cos²γ = 1/3: the intensities of a random powder
    p[2] = sextet[3];
    p[3] = 0.0;
    p[4] = iso.K != 0.0 ? sextet[5] : 0.0;
    p[5] = 0.0;
    p[6] = 0.0;
    p[7] = 0.0;
    std::fill_n(p.begin() + 8, widths, 3.0 * iso.Γτ);
    p[8 + widths] = 0.0;
}

}  // namespace

void Hamilton::extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const
{
    lines_extent(hamilton_lines(required_isotope(isotope), p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7],
                                same_widths(p[8])),
                 min, max);
}

void Hamilton::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const
{
    start_values(isotope, analysis, p, 1);
}

void Hamilton8::extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const
{
    lines_extent(hamilton_lines(required_isotope(isotope), p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], widths(p)),
                 min, max);
}

void Hamilton8::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const
{
    start_values(isotope, analysis, p, 8);
}
