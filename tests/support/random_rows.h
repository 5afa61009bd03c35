// Random input for the normal equations: Jᵀ and the residuals, entries uniform in
// [−1, 1), drawn from the caller's engine (Jᵀ first, in storage order).
#pragma once

#include <cstddef>
#include <random>

#include "core/numerics/ublas_types.h"

namespace test_support {

struct RandomRows {
    DMatrix jt;  // m × rows
    DVector r;   // rows
};

inline RandomRows random_rows(std::size_t m, std::size_t rows, std::mt19937& rng)
{
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    RandomRows out{DMatrix(m, rows), DVector(rows)};
    for (double& e : out.jt.data())
        e = u(rng);
    for (double& e : out.r.data())
        e = u(rng);
    return out;
}

}  // namespace test_support
