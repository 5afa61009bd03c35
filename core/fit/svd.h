// Singular value decompositions of the fit's symmetric positive semi-definite
// normal-equation matrices: the damped least-squares step and the pseudo-inverse that
// gives the covariance. Singular values below 1e-10 of the largest count as zero in both,
// so directions the data do not determine get no step and no variance. The cutoff is
// taken after a symmetric diagonal scaling to unit diagonal, so that it does not depend on
// the units of the parameters: a baseline of 1e6 counts next to a shift in mm/s spreads
// the diagonal of JᵀJ over more than ten orders of magnitude, and relative to the largest
// unscaled singular value its well-determined direction would count as zero.
//
// The matrices are symmetric, so the decomposition is a symmetric eigen-decomposition (a
// symmetric matrix's singular values are the magnitudes of its eigenvalues, its singular
// vectors its eigenvectors); a step or a pseudo-inverse without directions where no
// singular value is cut comes from a Cholesky factorisation instead.
#pragma once

#include <Eigen/Cholesky>
#include <Eigen/Core>
#include <vector>

#include "core/fit/symmetric_eigen.h"
#include "core/numerics/ublas_types.h"

// The factorisations, the scale and the scratch, kept between calls so that a fit
// allocates them once.
struct SvdWorkspace {
    Eigen::MatrixXd scaled;  // D·B·D
    Eigen::LLT<Eigen::MatrixXd> cholesky;  // S, when nothing is cut
    SymmetricEigen eigen;
    Eigen::VectorXd scale;         // D's diagonal
    Eigen::VectorXd rhs;           // D·b, then the solution of the scaled system
    Eigen::VectorXd inverted;      // per eigenvalue: 1/λ, or 0 when cut
    std::vector<Eigen::Index> order;  // eigenvalues by decreasing magnitude
    Eigen::MatrixXd weighted;      // the kept eigenvectors times their 1/λ
    Eigen::MatrixXd product;
};

// x = D·pinv(D·(a + shift·I)·D)·D·b with D = diag(a + shift·I)^(−1/2) (1 where a diagonal
// entry is not positive and finite): (a + shift·I)⁻¹·b when no singular value of the
// scaled matrix is cut off. False (x untouched) when an entry is not finite or the
// decomposition fails.
bool svd_solve(const DMatrix& a, double shift, const DVector& b, DVector& x, SvdWorkspace& ws);

// p = D·pinv(D·a·D)·D, which is a⁻¹ when nothing is cut off and otherwise a generalised
// inverse (a·p·a = a) that gives every combination the data determine its variance and
// the undetermined ones none; negative diagonal entries are set to 0.
// With `directions`, it becomes the M × (M + 1) matrix whose row i is the right
// singular vector i of D·a·D (a unit vector; component j is a change of parameter j in
// units of 1/√aⱼⱼ, its error with all others held fixed, so the components compare
// parameters of any units), followed by its relative singular value wᵢ / w₀ in [0, 1]
// (0 for a discarded one), in decreasing order. When the decomposition fails, p and the
// directions are zero matrices and the result is false.
bool svd_pseudo_inverse(const DMatrix& a, DMatrix& p, DMatrix* directions, SvdWorkspace& ws);
