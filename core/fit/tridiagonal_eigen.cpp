// Divide and conquer on a symmetric tridiagonal matrix; see the header for the method.
// The matrix is scaled to entries of at most 1 first, so that the deflation tolerance
// and the secular equation work on numbers of order one.
#include "core/fit/tridiagonal_eigen.h"

#include <Eigen/Jacobi>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

void TridiagonalEigen::compute(Eigen::VectorXd& d, const Eigen::VectorXd& e, Eigen::MatrixXd& z)
{
    const Eigen::Index n = d.size();
    z.setZero(n, n);
    if (n == 0)
        return;
    const double scale = std::max(d.cwiseAbs().maxCoeff(), n > 1 ? e.cwiseAbs().maxCoeff() : 0.0);
    if (scale == 0.0) {
        z.setIdentity();
        return;
    }
    d_ = d / scale;
    e_ = e / scale;
    values_.resize(n);
    w_.resize(n);
    rows_.resize(static_cast<std::size_t>(n));
    for (auto* v : {&order_, &kept_, &deflated_, &grouped_, &sorted_})
        v->reserve(static_cast<std::size_t>(n));
    delta_.resize(n);
    weight_.resize(n);
    z_hat_.resize(n);
    eigenvalues_.resize(n);
    roots_.resize(static_cast<std::size_t>(n));
    columns_.resize(n, n);
    secular_.resize(n, n);
    spare_.resize(n);
    solve(0, n, z);
    d = d_ * scale;
}

void TridiagonalEigen::solve(Eigen::Index first, Eigen::Index size, Eigen::MatrixXd& z)
{
    if (size == 1) {
        z(first, first) = 1.0;
        return;
    }
    // T = diag(T₁ − |β|·eₗₐₛₜ·eₗₐₛₜᵀ, T₂ − |β|·e₁·e₁ᵀ) + |β|·u·uᵀ, u = (eₗₐₛₜ, sign(β)·e₁).
    const Eigen::Index top = size / 2;
    const double beta = e_(first + top - 1);
    d_(first + top - 1) -= std::fabs(beta);
    d_(first + top) -= std::fabs(beta);
    solve(first, top, z);
    solve(first + top, size - top, z);
    merge(first, top, size, beta, z);
}

void TridiagonalEigen::merge(Eigen::Index first, Eigen::Index top, Eigen::Index size, double beta, Eigen::MatrixXd& z)
{
    auto q = z.block(first, first, size, size);
    // z = Qᵀ·u / √2, a unit vector, and ρ = 2·|β|.
    const double half = std::sqrt(0.5);
    const double sign = beta < 0.0 ? -1.0 : 1.0;
    for (Eigen::Index j = 0; j < size; ++j) {
        w_(j) = j < top ? half * q(top - 1, j) : sign * half * q(top, j);
        values_(j) = d_(first + j);
        rows_[static_cast<std::size_t>(j)] = j < top ? 1 : 2;
    }
    const double rho = 2.0 * std::fabs(beta);
    deflate(q, size, rho);
    // The deflated eigenpairs after the kept ones, their columns set aside while the
    // kept ones' take their place.
    const auto kept = static_cast<Eigen::Index>(kept_.size());
    for (std::size_t t = 0; t < deflated_.size(); ++t) {
        eigenvalues_(kept + Eigen::Index(t)) = values_(deflated_[t]);
        columns_.col(kept + Eigen::Index(t)).head(size) = q.col(deflated_[t]);
    }
    update_eigenvectors(q, top, size, rho);
    for (Eigen::Index j = kept; j < size; ++j)
        q.col(j) = columns_.col(j).head(size);
    sort_eigenpairs(q, first, size);
}

// Sorts the merged block's eigenpairs by increasing eigenvalue in place: column p takes
// column sorted_[p], one cycle of the permutation at a time through one spare column.
void TridiagonalEigen::sort_eigenpairs(Eigen::Block<Eigen::MatrixXd> q, Eigen::Index first, Eigen::Index size)
{
    sorted_.resize(static_cast<std::size_t>(size));
    std::iota(sorted_.begin(), sorted_.end(), Eigen::Index(0));
    std::sort(sorted_.begin(), sorted_.end(),
              [&](Eigen::Index a, Eigen::Index b) { return eigenvalues_(a) < eigenvalues_(b); });
    placed_.assign(static_cast<std::size_t>(size), false);
    for (Eigen::Index p = 0; p < size; ++p) {
        if (placed_[std::size_t(p)])
            continue;
        spare_.head(size) = q.col(p);
        const double value = eigenvalues_(p);
        for (Eigen::Index target = p;;) {
            placed_[std::size_t(target)] = true;
            const Eigen::Index source = sorted_[std::size_t(target)];
            if (source == p) {
                q.col(target) = spare_.head(size);
                d_(first + target) = value;
                break;
            }
            q.col(target) = q.col(source);
            d_(first + target) = eigenvalues_(source);
            target = source;
        }
    }
}

// Splits the merged block's columns, in increasing order of their values, into kept_
// (for the secular equation, with their poles δ and weights ρ·zᵢ²) and deflated_ (exact
// eigenpairs to within the tolerance), rotating pairs of columns of q where two values
// are close. The tolerance is that of the tridiagonal algorithms: 8·ε times the larger of
// the diagonal and the update.
void TridiagonalEigen::deflate(Eigen::Block<Eigen::MatrixXd> q, Eigen::Index size, double rho)
{
    constexpr double eps = std::numeric_limits<double>::epsilon();
    order_.resize(static_cast<std::size_t>(size));
    std::iota(order_.begin(), order_.end(), Eigen::Index(0));
    std::sort(order_.begin(), order_.end(), [&](Eigen::Index a, Eigen::Index b) { return values_(a) < values_(b); });
    const double tol = 8.0 * eps *
                       std::max(values_.head(size).cwiseAbs().maxCoeff(), rho * w_.head(size).cwiseAbs().maxCoeff());
    kept_.clear();
    deflated_.clear();
    Eigen::Index pending = -1;  // the last column not deflated, kept unless the next one is close
    for (const Eigen::Index j : order_) {
        if (rho * std::fabs(w_(j)) <= tol) {
            deflated_.push_back(j);
            continue;
        }
        if (pending >= 0) {
            // The rotation of columns p and j that moves z's component p into j: the
            // values become its diagonal, and its off-diagonal c·s·(dⱼ − dₚ) is dropped.
            const Eigen::Index p = pending;
            const double r = std::hypot(w_(p), w_(j));
            const double c = w_(j) / r, s = -w_(p) / r;
            if (std::fabs((values_(j) - values_(p)) * c * s) <= tol) {
                // (qₚ, qⱼ) ← (c·qₚ + s·qⱼ, c·qⱼ − s·qₚ): Eigen's rotation with −s.
                q.applyOnTheRight(p, j, Eigen::JacobiRotation<double>(c, -s));
                const double dp = values_(p), dj = values_(j);
                values_(p) = dp * c * c + dj * s * s;
                values_(j) = dp * s * s + dj * c * c;
                w_(p) = 0.0;
                w_(j) = r;
                rows_[std::size_t(p)] = rows_[std::size_t(j)] = rows_[std::size_t(p)] | rows_[std::size_t(j)];
                deflated_.push_back(p);
            } else {
                kept_.push_back(p);
            }
        }
        pending = j;
    }
    if (pending >= 0)
        kept_.push_back(pending);
    for (std::size_t i = 0; i < kept_.size(); ++i) {
        delta_(Eigen::Index(i)) = values_(kept_[i]);
        weight_(Eigen::Index(i)) = rho * w_(kept_[i]) * w_(kept_[i]);
    }
}

// q's first k columns = the eigenvectors of the merged block for the k kept columns
// (which are set aside in columns_ first): Q_kept times the eigenvectors of diag(δ) + ρ·ẑ·ẑᵀ, whose column j is
// (ẑᵢ/(δᵢ − λⱼ))ᵢ normalised.
void TridiagonalEigen::update_eigenvectors(Eigen::Block<Eigen::MatrixXd> q, Eigen::Index top, Eigen::Index size,
                                           double rho)
{
    const auto k = static_cast<Eigen::Index>(kept_.size());
    if (k == 0)
        return;
    const auto poles = delta_.head(k);
    for (Eigen::Index j = 0; j < k; ++j)
        roots_[std::size_t(j)] = secular_root(poles, weight_.head(k), j);

    // ẑᵢ² = ∏ⱼ (λⱼ − δᵢ) / (ρ·∏ⱼ≠ᵢ (δⱼ − δᵢ)): the z for which the computed roots are the
    // exact eigenvalues. Every factor is positive by the interlacing of roots and poles.
    z_hat_.head(k).setConstant(1.0 / rho);
    for (Eigen::Index j = 0; j < k; ++j) {
        const auto [origin, offset] = roots_[std::size_t(j)];
        for (Eigen::Index i = 0; i < k; ++i) {
            const double gap = (delta_(origin) - delta_(i)) + offset;  // λⱼ − δᵢ
            z_hat_(i) *= i == j ? gap : gap / (delta_(j) - delta_(i));
        }
    }
    for (Eigen::Index i = 0; i < k; ++i)
        z_hat_(i) = std::copysign(std::sqrt(z_hat_(i)), w_(kept_[std::size_t(i)]));

    // The kept columns of Q grouped by their nonzero rows (top only, both, bottom only),
    // so that each half of the product multiplies only the columns nonzero there.
    grouped_.clear();
    for (const int rows : {1, 3, 2})
        for (Eigen::Index i = 0; i < k; ++i)
            if (rows_[std::size_t(kept_[std::size_t(i)])] == rows)
                grouped_.push_back(i);
    const auto count = [&](int rows) {
        return static_cast<Eigen::Index>(std::count_if(kept_.begin(), kept_.end(),
                                                       [&](Eigen::Index c) { return rows_[std::size_t(c)] == rows; }));
    };
    const Eigen::Index top_only = count(1), both = count(3), bottom_only = count(2);
    for (Eigen::Index r = 0; r < k; ++r)
        columns_.col(r).head(size) = q.col(kept_[std::size_t(grouped_[std::size_t(r)])]);
    for (Eigen::Index j = 0; j < k; ++j) {
        const auto [origin, offset] = roots_[std::size_t(j)];
        auto v = secular_.col(j).head(k);
        for (Eigen::Index r = 0; r < k; ++r) {
            const Eigen::Index i = grouped_[std::size_t(r)];
            v(r) = z_hat_(i) / ((delta_(i) - delta_(origin)) - offset);
        }
        v /= v.norm();
    }
    for (Eigen::Index j = 0; j < k; ++j)
        eigenvalues_(j) = delta_(roots_[std::size_t(j)].origin) + roots_[std::size_t(j)].offset;
    const Eigen::Index bottom = size - top;
    const Eigen::Index upper = top_only + both, lower = both + bottom_only;
    auto product_top = q.block(0, 0, top, k);
    auto product_bottom = q.block(top, 0, bottom, k);
    if (upper > 0)
        product_top.noalias() = columns_.block(0, 0, top, upper) * secular_.block(0, 0, upper, k);
    else
        product_top.setZero();
    if (lower > 0)
        product_bottom.noalias() = columns_.block(top, top_only, bottom, lower) * secular_.block(top_only, 0, lower, k);
    else
        product_bottom.setZero();
}
