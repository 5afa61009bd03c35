// The ranges a component is called with, each over a whole vector or matrix, and a
// component's values at given velocities.
#pragma once

#include <vector>

#include "subspec/subspec.h"
#include "tests/support/dvectors.h"

namespace test_support {

// Velocities or parameters: every element of v.
inline XPoints all_of(const DVector& v)
{
    return XPoints(v, boost::numeric::ublas::range(0, v.size()));
}

// A Jacobian block: every row and column of m.
inline JacobianRange all_of(DMatrix& m)
{
    return JacobianRange(m, boost::numeric::ublas::range(0, m.size1()), boost::numeric::ublas::range(0, m.size2()));
}

// A covariance block: every row and column of m.
inline CovarianceRange all_of(const DMatrix& m)
{
    return CovarianceRange(m, boost::numeric::ublas::range(0, m.size1()),
                           boost::numeric::ublas::range(0, m.size2()));
}

inline std::vector<double> values_of(const ISubSpec& s, const DVector& x, const DVector& p)
{
    std::vector<double> y(x.size());
    s.evaluate(all_of(x), all_of(p), y.data());
    return y;
}

}  // namespace test_support
