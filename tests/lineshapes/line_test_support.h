// Shared by the line-model tests: the program's own isotope table, components made
// from parameter lists, their values, line lists and areas.
#pragma once

#include <cmath>
#include <initializer_list>
#include <stdexcept>
#include <vector>

#include "core/isotope.h"
#include "core/text.h"
#include "subspec/subspec.h"

namespace line_test {

namespace ublas = boost::numeric::ublas;

// The table of data/isotope.txt, loaded once.
inline const IsotopeTable& program_isotopes()
{
    static const IsotopeTable table = [] {
        IsotopeTable t;
        t.load(utf8_to_wide(VX_TEST_DATA_DIR "/../../data/isotope.txt"));
        return t;
    }();
    return table;
}

inline const Isotope& iron()
{
    const Isotope* iso = program_isotopes().find(L"57Fe");
    if (!iso)
        throw std::runtime_error("57Fe missing from isotope.txt");
    return *iso;
}

inline DVector vec(const std::vector<double>& v)
{
    DVector out(v.size());
    std::copy(v.begin(), v.end(), out.begin());
    return out;
}

inline XPoints all_of(const DVector& v)
{
    return XPoints(v, ublas::range(0, v.size()));
}

inline DVector grid(double from, double to, std::size_t n)
{
    DVector x(n);
    for (std::size_t i = 0; i < n; ++i)
        x(i) = from + (to - from) * double(i) / double(n - 1);
    return x;
}

inline std::vector<double> values(const ISubSpec& s, const std::vector<double>& p, const DVector& x)
{
    std::vector<double> y(x.size());
    s.evaluate(all_of(x), all_of(vec(p)), y.data());
    return y;
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
    const CovarianceRange block(covariance, ublas::range(0, covariance.size1()), ublas::range(0, covariance.size2()));
    dynamic_cast<const ILineInfo&>(s).line_info(all_of(vec(p)), block, out);
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

}  // namespace line_test
