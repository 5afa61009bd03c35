// The normal equations of a linear least-squares problem from its Jacobian stored
// transposed (one row per parameter, one column per residual row): A = JᵀJ and g = Jᵀr.
#pragma once

#include <cstddef>

#include "core/numerics/ublas_types.h"

// a (M × M, symmetric) and g (M) from jt (M × R) and r (R). Every entry is one sum over
// the rows in row order, whatever the number of threads, so the result is reproducible.
// The rows from `dense_rows` on may hold few nonzero entries (the smoothness rows of the
// distributions): their products are added for the nonzero entries only, which gives
// the same sums at a fraction of the cost.
void normal_equations(const DMatrix& jt, const DVector& r, std::size_t dense_rows, DMatrix& a, DVector& g);
