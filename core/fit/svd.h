// Singular value decompositions (ALGLIB) of the fit's square normal-equation matrices:
// the damped least-squares step and the pseudo-inverse that gives the covariance.
// Singular values below 1e-10 of the largest count as zero in both, so directions the
// data do not determine get no step and no variance. The cutoff is taken after a
// symmetric diagonal scaling to unit diagonal, so that it does not depend on the units
// of the parameters: a baseline of 1e6 counts next to a shift in mm/s spreads the
// diagonal of JᵀJ over more than ten orders of magnitude, and relative to the largest
// unscaled singular value its well-determined direction would count as zero.
#pragma once

#include <linalg.h>

#include "core/numerics/ublas_types.h"

// ALGLIB's arrays, the scale and the scratch of the back substitutions, kept between
// calls so that a fit allocates them once.
struct SvdWorkspace {
    alglib::real_2d_array a, u, vt;
    alglib::real_1d_array w;
    DVector scale;
    DVector t;
    DMatrix scaled_ut;
};

// With B = a + shift·I (a square) and D = diag(B)^(−1/2) (1 where a diagonal entry of B
// is not positive and finite), decomposes D·B·D into ws.w (decreasing), ws.u and ws.vt,
// both full, and leaves D's diagonal in ws.scale. False when an entry is not finite or
// ALGLIB fails.
bool svd_decompose(const DMatrix& a, double shift, SvdWorkspace& ws);

// x = D·pinv(D·(a + shift·I)·D)·D·b, which is (a + shift·I)⁻¹·b when no singular value
// of the scaled matrix is cut off; false (x untouched) when the decomposition fails.
bool svd_solve(const DMatrix& a, double shift, const DVector& b, DVector& x, SvdWorkspace& ws);

// p = D·pinv(D·a·D)·D, which is a⁻¹ when nothing is cut off and otherwise a generalised
// inverse (a·p·a = a) that gives every combination the data determine its variance and
// the undetermined ones none; negative diagonal entries are set to 0.
// With `directions`, it becomes the M × (M + 1) matrix whose row i is the right
// singular vector i of D·a·D (a unit vector; component j is a change of parameter j in
// units of 1/√aⱼⱼ, its error with all others held fixed, so the components compare
// parameters of any units), followed by its relative singular value wᵢ / w₀ in [0, 1]
// (0 for a discarded one). When the decomposition fails, p and the directions are zero
// matrices and the result is false.
bool svd_pseudo_inverse(const DMatrix& a, DMatrix& p, DMatrix* directions, SvdWorkspace& ws);
