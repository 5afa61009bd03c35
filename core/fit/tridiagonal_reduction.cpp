// Blocked Householder tridiagonalisation; see the header. Column j's reflector
// H = I − h·v·vᵀ (v₀ = 1) zeroes A(j + 2:n, j); its vector is kept below the subdiagonal
// as Eigen's Householder sequences expect it.
#include "core/fit/tridiagonal_reduction.h"

#include <algorithm>

namespace {

constexpr Eigen::Index panel_width = 32;

}  // namespace

void TridiagonalReduction::compute(const Eigen::MatrixXd& a)
{
    const Eigen::Index n = a.rows();
    packed_ = a;
    coefficients_.setZero(std::max<Eigen::Index>(n - 1, 0));
    diagonal_.resize(n);
    subdiagonal_.resize(std::max<Eigen::Index>(n - 1, 0));
    w_.resize(n, panel_width);
    products_.resize(panel_width);
    for (Eigen::Index first = 0; first < n; first += panel_width) {
        const Eigen::Index columns = std::min(panel_width, n - first);
        reduce_panel(first, columns);
        // A(k:n, k:n) −= V·Wᵀ + W·Vᵀ over the panel's rows below it, lower triangle only.
        const Eigen::Index k = first + columns, rest = n - k;
        if (rest > 0) {
            both_.resize(rest, 2 * columns);
            swapped_.resize(rest, 2 * columns);
            both_ << packed_.block(k, first, rest, columns), w_.block(k, 0, rest, columns);
            swapped_ << w_.block(k, 0, rest, columns), packed_.block(k, first, rest, columns);
            packed_.bottomRightCorner(rest, rest).triangularView<Eigen::Lower>() -= both_ * swapped_.transpose();
        }
        // The reflectors' leading 1s stood in the subdiagonal for the products above.
        for (Eigen::Index j = first; j < k && j + 1 < n; ++j)
            packed_(j + 1, j) = subdiagonal_(j);
    }
}

// LAPACK's dlatrd for the lower triangle: the panel's columns first … first + columns − 1
// reduced, W(:, c) = the vector whose rank-2 update with column c's reflector the trailing
// matrix still owes.
void TridiagonalReduction::reduce_panel(Eigen::Index first, Eigen::Index columns)
{
    const Eigen::Index n = packed_.rows();
    for (Eigen::Index c = 0; c < columns; ++c) {
        const Eigen::Index j = first + c, below = n - j;
        auto column = packed_.col(j).tail(below);
        if (c > 0) {
            // The updates owed by the panel's earlier reflectors.
            column.noalias() -= packed_.block(j, first, below, c) * w_.row(j).head(c).transpose();
            column.noalias() -= w_.block(j, 0, below, c) * packed_.row(j).segment(first, c).transpose();
        }
        diagonal_(j) = packed_(j, j);
        if (j + 1 == n)
            break;
        const Eigen::Index rest = below - 1;
        double h, beta;
        packed_.col(j).tail(rest).makeHouseholderInPlace(h, beta);
        coefficients_(j) = h;
        subdiagonal_(j) = beta;
        packed_(j + 1, j) = 1.0;
        const auto v = packed_.col(j).tail(rest);
        auto w = w_.col(c).tail(rest);
        w.noalias() = packed_.bottomRightCorner(rest, rest).selfadjointView<Eigen::Lower>() * v;
        if (c > 0) {
            const auto panel_v = packed_.block(j + 1, first, rest, c);
            const auto panel_w = w_.block(j + 1, 0, rest, c);
            products_.head(c).noalias() = panel_w.transpose() * v;
            w.noalias() -= panel_v * products_.head(c);
            products_.head(c).noalias() = panel_v.transpose() * v;
            w.noalias() -= panel_w * products_.head(c);
        }
        w *= h;
        w += (-0.5 * h * w.dot(v)) * v;
    }
}

TridiagonalReduction::Reflectors TridiagonalReduction::matrixQ() const
{
    return Reflectors(packed_, coefficients_).setLength(std::max<Eigen::Index>(packed_.rows() - 1, 0)).setShift(1);
}
