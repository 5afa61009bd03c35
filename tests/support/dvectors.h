// DVectors as the tests and benchmarks build them: from a list of values, and
// equidistant velocity grids.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "core/numerics/ublas_types.h"

namespace test_support {

inline DVector vec(const std::vector<double>& values)
{
    DVector out(values.size());
    std::copy(values.begin(), values.end(), out.begin());
    return out;
}

// n equidistant points from `from` to `to`, both ends included; a single point stands
// at `from`.
inline DVector grid(double from, double to, std::size_t n)
{
    DVector x(n);
    for (std::size_t i = 0; i < n; ++i)
        x(i) = n == 1 ? from : from + (to - from) * double(i) / double(n - 1);
    return x;
}

}  // namespace test_support
