// One line of a short level chain (see level_chain.h) as a sum of complex Lorentzians:
// with the populations P the chain matrix A (rows i: lower[i], own[i] − lower[i] −
// upper[i], upper[i]) is similar, by D = diag(√P), to a complex symmetric tridiagonal T
// (off-diagonal upper[i]·√(Pᵢ/Pᵢ₊₁), by detailed balance). With T = Q·Λ·Qᵀ, Qᵀ·Q = I,
//     Σᵢ Pᵢ·xᵢ(v) = Σₖ uₖ² / (λₖ − i·v),  uₖ = qₖᵀ·√P,
// so the velocity enters only through n reciprocals per point. Q and Λ are found once per
// call on the values (complex_symmetric_eigen); the derivatives of λₖ and uₖ follow by
// first-order perturbation on the number type R: B = Qᵀ·(T − own[0]·I)·Q carries them,
// λₖ = own[0] + Bₖₖ and uₖ = Σₘ (qₘᵀ√P)·(δₘₖ + Bₘₖ/(λₖ − λₘ)) (m ≠ k in the sum). At each
// point a pole adds Re[cₖ·r + bₖ·r²] with r = 1/(λₖ⁰ − i·v) on doubles (λₖ⁰ the value),
// cₖ = uₖ² and bₖ = −cₖ·(λₖ − λₖ⁰), whose value is zero and whose derivatives are the
// pole's shift; so parameters that shift all levels alike (a line's centre and width)
// reach bₖ only, and the sums skip the derivatives that are zero.
//
// Near coalescing eigenvalues Q is ill-conditioned, and at rates that dwarf the width the
// small remainder of the rates in the slowest pole is lost to rounding; so the form is
// used only when Q is well-conditioned and the sum agrees with solve_rate_chain at every
// pole's centre, value and derivatives; otherwise prepare refuses, for the caller to solve.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

#include "core/numerics/complex_dual.h"
#include "relaxation/complex_reciprocal.h"
#include "relaxation/complex_symmetric_eigen.h"
#include "relaxation/tridiagonal_solver.h"

namespace chain_poles_detail {

inline std::complex<double> value_of(const std::complex<double>& z)
{
    return z;
}

template <std::size_t N>
std::complex<double> value_of(const std::complex<Dual<N>>& z)
{
    return {z.real()[0], z.imag()[0]};
}

template <class R>
std::complex<R> times(const std::complex<R>& a, const std::complex<double>& q)
{
    return {a.real() * q.real() - a.imag() * q.imag(), a.real() * q.imag() + a.imag() * q.real()};
}

template <class R>
std::complex<R> times(const R& a, const std::complex<double>& q)
{
    return {a * q.real(), a * q.imag()};
}

}  // namespace chain_poles_detail

// One line of a chain of n ≤ Levels levels as poles, formed once and summed at any points.
template <class R, std::size_t Levels>
class ChainLinePoles {
public:
    // Forms the poles of scale·Σᵢ Pᵢ·Re xᵢ, or returns false where that form would not be
    // exact to rounding. lower[0] and upper[n − 1] are not read.
    bool prepare(std::size_t n, const R& scale, const std::complex<R>* own, const R* population, const R* lower,
                 const R* upper);

    // Adds the line at every point of x to out. On dual numbers by blocks of points: the
    // partials of each block (the reciprocals' parts) once, then every derivative as one
    // product of the block's partials with the coefficients' derivatives.
    void add(std::span<const double> x, R* out) const
    {
        if constexpr (std::is_same_v<R, double>) {
            for (std::size_t i = 0; i < x.size(); ++i)
                out[i] += at(x[i]);
        } else {
            constexpr std::size_t derivatives = sizeof(R) / sizeof(double) - 1;  // Dual<N>: N + 1 doubles
            constexpr std::size_t points = 16;
            const std::size_t terms = 4 * count_;
            for (std::size_t first = 0; first < x.size(); first += points) {
                const std::size_t block = std::min(points, x.size() - first);
                double partial[4 * Levels][points] = {};
                for (std::size_t p = 0; p < block; ++p)
                    for (std::size_t k = 0; k < count_; ++k) {
                        const std::complex<double> r =
                            complex_reciprocal(centre_[k] - std::complex<double>(0.0, x[first + p]));
                        const std::complex<double> r2 = r * r;
                        partial[4 * k][p] = r.real();
                        partial[4 * k + 1][p] = r.imag();
                        partial[4 * k + 2][p] = r2.real();
                        partial[4 * k + 3][p] = r2.imag();
                    }
                for (std::size_t d = 0; d <= derivatives; ++d) {
                    double sum[points] = {};
                    for (std::size_t t = 0; t < terms; ++t) {
                        const double c = coefficient_[t][d];
                        if (c == 0.0)
                            continue;
                        for (std::size_t p = 0; p < points; ++p)
                            sum[p] += c * partial[t][p];
                    }
                    for (std::size_t p = 0; p < block; ++p)
                        out[first + p][d] += sum[p];
                }
            }
        }
    }

private:
    R at(double v) const
    {
        R value = R(0.0);
        for (std::size_t k = 0; k < count_; ++k) {
            const std::complex<double> r = complex_reciprocal(centre_[k] - std::complex<double>(0.0, v));
            const std::complex<double> r2 = r * r;
            value += coefficient_[4 * k] * r.real();
            value += coefficient_[4 * k + 1] * r.imag();
            value += coefficient_[4 * k + 2] * r2.real();
            value += coefficient_[4 * k + 3] * r2.imag();
        }
        return value;
    }

    std::size_t count_ = 0;
    std::array<std::complex<double>, Levels> centre_;  // λₖ⁰
    std::array<R, 4 * Levels> coefficient_;            // of Re r, Im r, Re r², Im r² per pole
};

template <class R, std::size_t Levels>
bool ChainLinePoles<R, Levels>::prepare(std::size_t n, const R& scale, const std::complex<R>* own,
                                        const R* population, const R* lower, const R* upper)
{
    using C = std::complex<R>;
    using CD = std::complex<double>;
    using chain_poles_detail::times;
    using chain_poles_detail::value_of;
    count_ = 0;
    if (n < 2 || n > Levels)
        return false;

    // T − own[0]·I on R and on doubles (the shift common to all levels kept apart, so
    // that its parameters move the poles only).
    std::array<R, Levels> root, off;
    std::array<C, Levels> diagonal;
    std::array<CD, Levels> e;
    for (std::size_t l = 0; l < n; ++l) {
        if (!(dual_value(population[l]) > 0.0) || !std::isfinite(dual_value(population[l])))
            return false;
        root[l] = sqrt(population[l]);
        diagonal[l] = own[l] - own[0];
        if (l > 0)
            diagonal[l] -= lower[l];
        if (l + 1 < n) {
            diagonal[l] -= upper[l];
            off[l] = upper[l] * sqrt(population[l] / population[l + 1]);
            e[l] = dual_value(off[l]);
        }
        centre_[l] = value_of(diagonal[l]);
    }
    std::array<CD, Levels * Levels> q;
    if (!complex_symmetric_eigen(n, centre_.data(), e.data(), q.data()))
        return false;
    for (std::size_t k = 0; k < n; ++k)
        centre_[k] += value_of(own[0]);
    for (std::size_t k = 0; k < n; ++k) {
        double norm = 0.0;
        for (std::size_t l = 0; l < n; ++l)
            norm += std::norm(q[l * n + k]);
        if (!(norm < 100.0))
            return false;
    }

    // The root populations and B = Qᵀ·(T − own[0]·I)·Q (symmetric) in the eigenbasis,
    // then each pole with its derivatives.
    std::array<C, Levels> projected;
    std::array<C, Levels * Levels> rotated;
    for (std::size_t m = 0; m < n; ++m) {
        projected[m] = times(root[0], q[m]);
        for (std::size_t l = 1; l < n; ++l)
            projected[m] += times(root[l], q[l * n + m]);
        for (std::size_t k = m; k < n; ++k) {
            C entry = times(diagonal[0], q[m] * q[k]);
            for (std::size_t l = 1; l < n; ++l)
                entry += times(diagonal[l], q[l * n + m] * q[l * n + k]);
            for (std::size_t l = 0; l + 1 < n; ++l)
                entry += times(off[l], q[l * n + m] * q[(l + 1) * n + k] + q[(l + 1) * n + m] * q[l * n + k]);
            rotated[m * n + k] = rotated[k * n + m] = entry;
        }
    }
    for (std::size_t k = 0; k < n; ++k) {
        C u = projected[k], lambda = rotated[k * n + k];
        for (std::size_t m = 0; m < n; ++m)
            if (m != k)
                u += times(projected[m] * rotated[m * n + k], complex_reciprocal(centre_[k] - centre_[m]));
        const C c = u * u * scale;
        lambda += own[0];
        const C shift = lambda - C(R(dual_value(lambda.real())), R(dual_value(lambda.imag())));
        const C b = -(c * shift);
        coefficient_[4 * k] = c.real();
        coefficient_[4 * k + 1] = -c.imag();
        coefficient_[4 * k + 2] = b.real();
        coefficient_[4 * k + 3] = -b.imag();
    }
    count_ = n;

    // The sum against the solve at each pole's centre, where an error shows most, value
    // and derivatives each against its largest size there.
    constexpr std::size_t components = sizeof(R) / sizeof(double);  // Dual<N>: N + 1 doubles
    std::array<C, Levels> solution;
    std::array<double, components> peak{}, worst{};
    for (std::size_t k = 0; k < n; ++k) {
        const double v = centre_[k].imag();
        solve_rate_chain(static_cast<std::uint32_t>(n), C(R(0.0), R(-v)), lower, own, upper, solution.data());
        R solved = population[0] * solution[0].real();
        for (std::size_t l = 1; l < n; ++l)
            solved += population[l] * solution[l].real();
        solved *= scale;
        const R sum = at(v);
        for (std::size_t d = 0; d < components; ++d) {
            const double a = reinterpret_cast<const double*>(&solved)[d];
            const double difference = std::fabs(a - reinterpret_cast<const double*>(&sum)[d]);
            if (std::isnan(difference)) {
                count_ = 0;
                return false;
            }
            peak[d] = std::max(peak[d], std::fabs(a));
            worst[d] = std::max(worst[d], difference);
        }
    }
    for (std::size_t d = 0; d < components; ++d)
        if (!(worst[d] <= (d == 0 ? 1e-11 : 1e-9) * peak[d]))
            count_ = 0;
    return count_ > 0;
}
