// Singular value decompositions (ALGLIB) of the fit's square normal-equation matrices:
// the damped least-squares step and the pseudo-inverse that gives the covariance.
// Singular values below 1e-10 of the largest count as zero in both, so directions the
// data do not determine get no step and no variance.
#pragma once

#include <linalg.h>

#include "core/ublas_types.h"

// ALGLIB's arrays and the scratch of the back substitutions, kept between calls so that
// a fit allocates them once.
struct SvdWorkspace {
    alglib::real_2d_array a, u, vt;
    alglib::real_1d_array w;
    DVector t;
    DMatrix scaled_ut;
};

// Decomposes a + shift·I (a square) into ws.w (decreasing), ws.u and ws.vt, both full.
// False when an entry is not finite or ALGLIB fails.
bool svd_decompose(const DMatrix& a, double shift, SvdWorkspace& ws);

// x = pinv(a + shift·I) · b; false (x untouched) when the decomposition fails.
bool svd_solve(const DMatrix& a, double shift, const DVector& b, DVector& x, SvdWorkspace& ws);

// p = pinv(a) with negative diagonal entries set to 0. With `directions`, it becomes
// the M × (M + 1) matrix whose row i is the right singular vector i (Vᵀ) followed by
// the relative singular value wᵢ / w₀ (0 for a discarded one). When the decomposition
// fails, p and the directions are zero matrices and the result is false.
bool svd_pseudo_inverse(const DMatrix& a, DMatrix& p, DMatrix* directions, SvdWorkspace& ws);
