// Damped least-squares steps and pseudo-inverses of symmetric matrices. The matrix B (A,
// or A + mu·I for a damped step) is first scaled symmetrically to unit diagonal,
// S = D·B·D with D = diag(B)^(−1/2); from S = V·diag(λ)·Vᵀ (Householder
// tridiagonalisation and divide and conquer, see symmetric_eigen.h) follows
// pinv(B) = D·V·diag(λ⁺)·Vᵀ·D with λ⁺ᵢ = 1/λᵢ, or 0 where |λᵢ| is below 1e-10 of the
// largest |λ|. This is the pseudo-inverse from the singular value decomposition: the
// singular values of S are the |λᵢ|, its singular vectors the eigenvectors (the left
// ones times the sign of λᵢ). Without a cut it is B⁻¹ whatever the scale: the scaling
// only decides which directions count as undetermined, and makes that independent of the
// parameters' units. The scale of a damped step comes from A + mu·I itself, not from A
// alone, so that S keeps a unit diagonal (λ_max ≤ M) and a heavy damping of a parameter
// with a small diagonal cannot push other, well-determined directions below the cutoff.
//
// A step or a pseudo-inverse needs the eigenvectors only when a direction is cut. With
// c = 1e-10·‖S‖_F (‖S‖_F ≥ λ_max), a Cholesky factorisation of S − c·I exists exactly
// when every eigenvalue of S exceeds c (Sylvester's law of inertia); then none is cut,
// pinv(S) = S⁻¹, and a Cholesky solve with S gives the step, or S⁻¹ itself, at a small
// fraction of the eigen-decomposition's cost. Otherwise, when S is not positive
// definite, or when the directions are asked for, the eigen-decomposition gives them.
#include "core/fit/svd.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>

namespace {

constexpr double relative_cutoff = 1e-10;

// 1/wᵢ, or 0 for a singular value that counts as zero (also every one when w₀ is 0).
double inverted_singular_value(double wi, double w0)
{
    return wi > 0.0 && !(w0 * relative_cutoff > wi) ? 1.0 / wi : 0.0;
}

// D's diagonal: 1/√bⱼⱼ with bⱼⱼ = aⱼⱼ + shift, or 1 where bⱼⱼ is not positive and finite
// (a pinned parameter's empty row and column, or a matrix the decomposition refuses).
void diagonal_scale(const DMatrix& a, double shift, Eigen::VectorXd& scale)
{
    const std::size_t m = a.size1();
    scale.resize(static_cast<Eigen::Index>(m));
    for (std::size_t j = 0; j < m; ++j) {
        const double b = a(j, j) + shift;
        scale(j) = b > 0.0 && std::isfinite(b) ? 1.0 / std::sqrt(b) : 1.0;
    }
}

// ws.scaled = D·(a + shift·I)·D; false when an entry is not finite. Row i of a becomes
// column i of ws.scaled, which is the same for a symmetric a and writes contiguously.
bool scale_matrix(const DMatrix& a, double shift, SvdWorkspace& ws)
{
    const std::size_t m = a.size1();
    diagonal_scale(a, shift, ws.scale);
    ws.scaled.resize(static_cast<Eigen::Index>(m), static_cast<Eigen::Index>(m));
    for (std::size_t i = 0; i < m; ++i) {
        double* column = &ws.scaled(0, static_cast<Eigen::Index>(i));
        for (std::size_t j = 0; j < m; ++j) {
            const double v = ws.scale(i) * (a(i, j) + (i == j ? shift : 0.0)) * ws.scale(j);
            if (!std::isfinite(v))
                return false;
            column[j] = v;
        }
    }
    return true;
}

// ws.cholesky = the factorisation of S when no eigenvalue of S is cut (see the top);
// false when one may be.
bool factorise_uncut(SvdWorkspace& ws)
{
    const double c = relative_cutoff * ws.scaled.norm();
    if (!(c > 0.0))
        return false;
    const auto m = ws.scaled.rows();
    ws.cholesky.compute(ws.scaled - c * Eigen::MatrixXd::Identity(m, m));
    if (ws.cholesky.info() != Eigen::Success)
        return false;
    ws.cholesky.compute(ws.scaled);
    return ws.cholesky.info() == Eigen::Success;
}

// The eigen-decomposition of ws.scaled, with ws.inverted and ws.order; false when the
// solver fails.
bool decompose(SvdWorkspace& ws)
{
    if (!ws.eigen.compute(ws.scaled))
        return false;
    const Eigen::VectorXd& lambda = ws.eigen.eigenvalues();
    const Eigen::Index m = lambda.size();
    ws.order.resize(static_cast<std::size_t>(m));
    std::iota(ws.order.begin(), ws.order.end(), Eigen::Index(0));
    std::stable_sort(ws.order.begin(), ws.order.end(),
                     [&](Eigen::Index i, Eigen::Index j) { return std::fabs(lambda(i)) > std::fabs(lambda(j)); });
    const double w0 = m > 0 ? std::fabs(lambda(ws.order[0])) : 0.0;
    ws.inverted.resize(m);
    for (Eigen::Index k = 0; k < m; ++k)
        ws.inverted(k) = inverted_singular_value(std::fabs(lambda(k)), w0) != 0.0 ? 1.0 / lambda(k) : 0.0;
    return true;
}

// ws.product's lower triangle = pinv(S) from the eigen-decomposition, with the
// directions when asked for; false when the solver fails.
bool pseudo_inverse_from_eigenvectors(DMatrix* directions, SvdWorkspace& ws)
{
    if (!decompose(ws))
        return false;
    const Eigen::VectorXd& lambda = ws.eigen.eigenvalues();
    const Eigen::MatrixXd& v = ws.eigen.eigenvectors();
    const auto m = static_cast<std::size_t>(lambda.size());
    if (directions) {
        const double w0 = m > 0 ? std::fabs(lambda(ws.order[0])) : 0.0;
        for (std::size_t i = 0; i < m; ++i) {
            const Eigen::Index k = ws.order[i];
            for (std::size_t j = 0; j < m; ++j)
                (*directions)(i, j) = v(static_cast<Eigen::Index>(j), k);
            (*directions)(i, m) = ws.inverted(k) != 0.0 ? std::fabs(lambda(k)) / w0 : 0.0;
        }
    }
    // pinv(S) = V·diag(λ⁺)·Vᵀ, symmetric: only its lower triangle is computed.
    ws.weighted.noalias() = v * ws.inverted.asDiagonal();
    ws.product.resize(lambda.size(), lambda.size());
    ws.product.triangularView<Eigen::Lower>() = ws.weighted * v.transpose();
    return true;
}

}  // namespace

bool svd_solve(const DMatrix& a, double shift, const DVector& b, DVector& x, SvdWorkspace& ws)
{
    if (!scale_matrix(a, shift, ws))
        return false;
    const std::size_t m = a.size1();
    ws.rhs.resize(static_cast<Eigen::Index>(m));
    for (std::size_t j = 0; j < m; ++j)
        ws.rhs(j) = ws.scale(j) * b(j);
    if (factorise_uncut(ws)) {
        ws.cholesky.solveInPlace(ws.rhs);
    } else {
        if (!decompose(ws))
            return false;
        const Eigen::MatrixXd& v = ws.eigen.eigenvectors();
        ws.weighted.resize(static_cast<Eigen::Index>(m), 1);
        ws.weighted.col(0).noalias() = v.transpose() * ws.rhs;
        ws.weighted.col(0).array() *= ws.inverted.array();
        ws.rhs.noalias() = v * ws.weighted.col(0);
    }
    x.resize(m, false);
    for (std::size_t i = 0; i < m; ++i)
        x(i) = ws.scale(i) * ws.rhs(i);
    return true;
}

bool svd_pseudo_inverse(const DMatrix& a, DMatrix& p, DMatrix* directions, SvdWorkspace& ws)
{
    const std::size_t m = a.size1();
    p.resize(m, m, false);
    p.clear();
    if (directions) {
        directions->resize(m, m + 1, false);
        directions->clear();
    }
    if (!scale_matrix(a, 0.0, ws))
        return false;
    if (!directions && factorise_uncut(ws)) {
        // Nothing cut: pinv(S) = S⁻¹.
        ws.product.setIdentity(static_cast<Eigen::Index>(m), static_cast<Eigen::Index>(m));
        ws.cholesky.solveInPlace(ws.product);
    } else if (!pseudo_inverse_from_eigenvectors(directions, ws)) {
        return false;
    }
    for (std::size_t j = 0; j < m; ++j) {
        const double* column = &ws.product(0, static_cast<Eigen::Index>(j));
        for (std::size_t i = j; i < m; ++i) {
            const double e = ws.scale(i) * column[i] * ws.scale(j);
            p(i, j) = e;
            p(j, i) = e;
        }
    }
    for (std::size_t i = 0; i < m; ++i)
        if (p(i, i) < 0.0)
            p(i, i) = 0.0;
    return true;
}
