#include "lineshapes/sextet.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "core/spectrum/spectrum_analysis.h"

void sextet_extent(const Isotope& isotope, double shift, double quadrupole, double field, double outer_shift,
                   double inner_shift, double width, double r2, double r3, double r4, double r5, double r6,
                   double& min, double& max)
{
    std::array<double, 6> positions;
    Sextet::sextet_positions(isotope, shift, quadrupole, field, outer_shift, inner_shift, positions);
    const double widths[6] = {std::fabs(width),      std::fabs(width * r2),      std::fabs(width * r3),
                              std::fabs(width * r3 * r4), std::fabs(width * r2 * r5), std::fabs(width * r6)};
    const auto [lowest, highest] = std::minmax_element(positions.begin(), positions.end());
    const auto is_nan = [](double v) { return std::isnan(v); };
    // Comparisons skip a NaN: let it reach both ends instead.
    const bool nan = std::any_of(positions.begin(), positions.end(), is_nan) ||
                     std::any_of(std::begin(widths), std::end(widths), is_nan);
    const double margin = nan ? std::numeric_limits<double>::quiet_NaN()
                              : 12.0 * *std::max_element(std::begin(widths), std::end(widths));
    min = *lowest - margin;
    max = *highest + margin;
}

void start_sextet(const Isotope& isotope, const SpectrumAnalysis& analysis, std::span<double> p)
{
    double distance;
    p[0] = 1.0;
    p[1] = 0.6666666666666666;
    p[2] = 0.3333333333333333;
    if (analysis.lines.size() < 5) {
        p[3] = analysis.XSc;
        distance = analysis.WH2;
    } else {
        const double first = analysis.lines.front().x, last = analysis.lines.back().x;
        p[3] = (first + last) * 0.5;
        distance = last - first;
    }
    p[4] = 0.0;
    p[5] = distance / std::fabs(isotope.K);
}
