// Shared by the line-model tests: components made from parameter lists, their values,
// line lists, areas and starting values, and analyses that found given lines.
#pragma once

#include <cmath>
#include <vector>

#include "core/spectrum/spectrum_analysis.h"
#include "subspec/subspec.h"
#include "tests/support/dvectors.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/subspec_ranges.h"

namespace line_test {

using namespace test_support;

inline std::vector<double> values(const ISubSpec& s, const std::vector<double>& p, const DVector& x)
{
    return values_of(s, x, vec(p));
}

inline double value_at(const ISubSpec& s, const std::vector<double>& p, double v)
{
    return values(s, p, vec({v}))[0];
}

// Simpson's rule over [from, to] with `steps` (even) intervals.
inline double area(const ISubSpec& s, const std::vector<double>& p, double from, double to, std::size_t steps)
{
    const DVector x = grid(from, to, steps + 1);
    const std::vector<double> y = values(s, p, x);
    double sum = y.front() + y.back();
    for (std::size_t i = 1; i < steps; ++i)
        sum += (i % 2 ? 4.0 : 2.0) * y[i];
    return sum * (to - from) / double(steps) / 3.0;
}

inline std::vector<LineInfo> line_info(const ISubSpec& s, const std::vector<double>& p, const DMatrix& covariance)
{
    std::vector<LineInfo> out;
    dynamic_cast<const ILineInfo&>(s).line_info(all_of(vec(p)), all_of(covariance), out);
    return out;
}

// The lines of the line list with a zero covariance: positions, widths, intensities.
inline std::vector<LineInfo> lines_of(const ISubSpec& s, const std::vector<double>& p)
{
    return line_info(s, p, DMatrix(p.size(), p.size(), 0.0));
}

inline std::vector<std::vector<double>> positions_of(const ISubSpec& s, const std::vector<double>& p)
{
    std::vector<std::vector<double>> groups;
    dynamic_cast<const ILinePos&>(s).line_positions(all_of(vec(p)), groups);
    return groups;
}

inline void extent_of(const ISubSpec& s, const std::vector<double>& p, double& min, double& max)
{
    dynamic_cast<const ISubSpecRange&>(s).extent(all_of(vec(p)), min, max);
}

// An automatic analysis that found lines at `positions`, with its centroid XSc, the
// width WH2 of the region below half depth and the width of the first line.
inline SpectrumAnalysis found_lines(const std::vector<double>& positions, double centroid, double half_depth_width,
                                    double line_width)
{
    SpectrumAnalysis a;
    a.XSc = centroid;
    a.WH2 = half_depth_width;
    a.line_width = line_width;
    for (double x : positions)
        a.lines.push_back({x, 0.0, 0});
    return a;
}

// The starting values a component gives itself from an analysis.
inline std::vector<double> start_values(const ISubSpec& s, const SpectrumAnalysis& analysis)
{
    DVector p(s.param_count());
    s.init_params(analysis, p, 0, s.param_count());
    return std::vector<double>(p.begin(), p.end());
}

}  // namespace line_test
