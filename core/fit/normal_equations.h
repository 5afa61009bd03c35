// The normal equations of a linear least-squares problem from its Jacobian stored
// transposed (one row per parameter, one column per residual row): A = JᵀJ and g = Jᵀr.
#pragma once

#include "core/numerics/ublas_types.h"

// a (M × M, symmetric) and g (M) from jt (M × R) and r (R). Every entry is one sum over
// the rows in row order, whatever the number of threads, so the result is reproducible.
void normal_equations(const DMatrix& jt, const DVector& r, DMatrix& a, DVector& g);
