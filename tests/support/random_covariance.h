// A covariance matrix of full rank with correlations everywhere, as a fit may give:
// scale · (B·Bᵀ/n + 0.1·1) with B uniform in (−1, 1).
#pragma once

#include <random>

#include "core/numerics/ublas_types.h"

namespace test_support {

inline DMatrix random_covariance(unsigned n, unsigned seed, double scale)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    DMatrix b(n, n);
    for (double& e : b.data())
        e = uniform(random);
    DMatrix v(n, n, 0.0);
    for (unsigned i = 0; i < n; ++i)
        for (unsigned j = 0; j < n; ++j) {
            for (unsigned k = 0; k < n; ++k)
                v(i, j) += b(i, k) * b(j, k);
            v(i, j) = scale * (v(i, j) / n + (i == j ? 0.1 : 0.0));
        }
    return v;
}

}  // namespace test_support
