// One line of a short level chain (see level_chain.h) as a sum of complex Lorentzians:
// with the populations P the chain matrix A (rows i: lower[i], own[i] − lower[i] −
// upper[i], upper[i]) is similar, by D = diag(√P), to own[0]·I plus a complex symmetric
// tridiagonal T (off-diagonal upper[i]·√(Pᵢ/Pᵢ₊₁), by detailed balance). With
// T = Q·Λ·Qᵀ, Qᵀ·Q = I,
//     Σᵢ Pᵢ·xᵢ(v) = Σₖ uₖ² / (own[0] + λₖ − i·v),  uₖ = qₖᵀ·√P,
// so the velocity enters only through n reciprocals per point (pole_sum.h). Q and Λ are
// found once per call on the values (complex_symmetric_eigen), the derivatives of λₖ and
// uₖ by first-order perturbation on the number type R: with δT and δ√P the derivative
// parts, δλₖ = qₖᵀ·δT·qₖ and δuₖ = qₖᵀ·δ√P + Σₘ gₘ·qₘᵀ·δT·qₖ/(λₖ − λₘ) (m ≠ k,
// gₘ = qₘᵀ·√P), the latter as Σ over the entries of δT with H = Q·G, Gₘₖ = gₘ/(λₖ − λₘ),
// formed once on doubles: linear in the number of derivatives, not cubic.
//
// At rates that dwarf the width the eigenvalues carry an error of rounding times the
// rates, which the narrowed line (the slowest pole) cannot bear: that pole is found anew
// from the chain's last pivot, which keeps full accuracy at every rate (refine_slowest),
// and its residue is the sum rule's rest, ΣP less the other residues.
// Near coalescing eigenvalues Q is ill-conditioned; so the form is used only when Q is
// well-conditioned and the sum agrees with solve_rate_chain beside every pole's centre,
// value and derivatives; otherwise prepare refuses, for the caller to solve.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstddef>
#include <cstdint>

#include "core/numerics/complex_dual.h"
#include "relaxation/complex_reciprocal.h"
#include "relaxation/complex_symmetric_eigen.h"
#include "relaxation/pole_sum.h"
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
std::complex<R> constant(const std::complex<double>& z)
{
    return {R(z.real()), R(z.imag())};
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

// One line of a chain of n ≤ Levels levels as poles, formed once and added to a PoleSum.
template <class R, std::size_t Levels>
class ChainLinePoles {
public:
    // Forms the poles of Σᵢ Pᵢ·Re xᵢ, or returns false where that form would not be exact
    // to rounding. lower[0] and upper[n − 1] are not read.
    bool prepare(std::size_t n, const std::complex<R>* own, const R* population, const R* lower, const R* upper);

    // Adds the prepared line times `weight` to `sum` as the line of a chain whose own[0] is
    // `own0`; mirrored, as the line of the chain whose own − own[0] is the conjugate
    // (its poles and residues the conjugates).
    template <std::size_t Poles, std::size_t Lines>
    void add_to(PoleSum<R, Poles, Lines>& sum, const R& weight, const std::complex<R>& own0,
                bool mirrored = false) const
    {
        using C = std::complex<R>;
        sum.add_line(weight);
        for (std::size_t k = 0; k < count_; ++k) {
            const C lambda = own0 + (mirrored ? std::conj(pole_[k]) : pole_[k]);
            const C residue = mirrored ? std::conj(residue_[k]) : residue_[k];
            const std::complex<double> centre = chain_poles_detail::value_of(lambda);
            sum.add_pole(centre, residue, -(residue * (lambda - chain_poles_detail::constant<R>(centre))));
        }
    }

private:
    std::size_t refine_slowest(std::size_t n, const std::complex<R>* own, const R* population, const R* lower,
                               const R* upper, double size, double spread, std::complex<double>* lambda,
                               std::complex<double>& slope) const;

    std::size_t count_ = 0;
    std::array<std::complex<R>, Levels> pole_;     // λₖ, relative to own[0]
    std::array<std::complex<R>, Levels> residue_;  // uₖ²
};

template <class R, std::size_t Levels>
bool ChainLinePoles<R, Levels>::prepare(std::size_t n, const std::complex<R>* own, const R* population,
                                        const R* lower, const R* upper)
{
    using C = std::complex<R>;
    using CD = std::complex<double>;
    using chain_poles_detail::constant;
    using chain_poles_detail::times;
    using chain_poles_detail::value_of;
    count_ = 0;
    if (n < 2 || n > Levels)
        return false;

    // T and √P: their values, and their derivative parts alone (the value taken off).
    std::array<R, Levels> root, off;
    std::array<C, Levels> diagonal;
    std::array<CD, Levels> lambda, e;
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
            off[l] -= e[l].real();
        }
        lambda[l] = value_of(diagonal[l]);
        diagonal[l] -= constant<R>(lambda[l]);
    }

    // Decomposed scaled by a power of two (exact) to a size of about one, so that no
    // square in the rotations overflows however fast the jumps.
    double size = 0.0, spread = 0.0;
    for (std::size_t l = 0; l < n; ++l) {
        size = std::max(size, complex_size(lambda[l]));
        if (l + 1 < n)
            size = std::max(size, std::fabs(e[l].real()));
        spread = std::max(spread, complex_size(value_of(own[l] - own[0])));
    }
    int exponent = 0;
    std::frexp(size, &exponent);
    for (std::size_t l = 0; l < n; ++l) {
        lambda[l] = {std::ldexp(lambda[l].real(), -exponent), std::ldexp(lambda[l].imag(), -exponent)};
        e[l] = std::ldexp(e[l].real(), -exponent);
    }
    std::array<CD, Levels * Levels> q;
    if (!complex_symmetric_eigen(n, lambda.data(), e.data(), q.data()))
        return false;
    for (std::size_t k = 0; k < n; ++k) {
        lambda[k] = {std::ldexp(lambda[k].real(), exponent), std::ldexp(lambda[k].imag(), exponent)};
        double norm = 0.0;
        for (std::size_t l = 0; l < n; ++l)
            norm += std::norm(q[l * n + k]);
        if (!(norm < 100.0))
            return false;
    }
    CD slope;
    const std::size_t refined =
        size > 16.0 * spread ? refine_slowest(n, own, population, lower, upper, size, spread, lambda.data(), slope)
                             : n;

    // g = Qᵀ·√P and H = Q·G on doubles, then each pole and residue with its derivatives.
    std::array<CD, Levels> g;
    for (std::size_t m = 0; m < n; ++m) {
        g[m] = 0.0;
        for (std::size_t l = 0; l < n; ++l)
            g[m] += dual_value(root[l]) * q[l * n + m];
    }
    std::array<CD, Levels * Levels> h;
    for (std::size_t k = 0; k < n; ++k) {
        std::array<CD, Levels> gk;
        for (std::size_t m = 0; m < n; ++m)
            gk[m] = m == k ? CD(0.0) : g[m] * complex_reciprocal(lambda[k] - lambda[m]);
        for (std::size_t l = 0; l < n; ++l) {
            CD sum = 0.0;
            for (std::size_t m = 0; m < n; ++m)
                sum += q[l * n + m] * gk[m];
            h[l * n + k] = sum;
        }
    }
    for (std::size_t k = 0; k < n; ++k) {
        C pole = constant<R>(lambda[k]), u = constant<R>(g[k]);
        for (std::size_t l = 0; l < n; ++l) {
            const CD ql = q[l * n + k], hl = h[l * n + k];
            pole += times(diagonal[l], ql * ql);
            u += times(diagonal[l], hl * ql) + times(root[l] - dual_value(root[l]), ql);
            if (l + 1 < n) {
                const CD qn = q[(l + 1) * n + k], hn = h[(l + 1) * n + k];
                pole += times(off[l], 2.0 * ql * qn);
                u += times(off[l], hl * qn + hn * ql);
            }
        }
        if (k == refined) {
            // The pivot's zero moves by minus its change over its slope (implicit
            // differentiation); its value is zero to rounding.
            const CD centre = lambda[k] + value_of(own[0]);
            pole = constant<R>(centre) +
                   times(rate_chain_last_pivot(static_cast<std::uint32_t>(n), constant<R>(-centre), lower, own, upper),
                         complex_reciprocal(slope)) -
                   own[0];
        }
        pole_[k] = pole;
        residue_[k] = u * u;
    }
    if (refined < n) {
        // Σₖ uₖ² = ΣP (Qᵀ·Q = I): the narrowed pole's residue is the rest, which keeps its
        // derivatives as exact as the other residues, all small there.
        C rest = C(population[0]);
        for (std::size_t l = 1; l < n; ++l)
            rest += population[l];
        for (std::size_t k = 0; k < n; ++k)
            if (k != refined)
                rest -= residue_[k];
        residue_[refined] = rest;
    }
    count_ = n;

    // The sum against the solve half a half width beside each pole's centre, where an error
    // shows most and a pole's shift shows too, value and derivatives each against its
    // largest size there, a derivative also against the
    // value's rounding per relative change of the inputs: where the rates dwarf the
    // spread, forward differentiation through the solve keeps no better (the changes of
    // lower and upper rates cancel to their small remainder).
    constexpr std::size_t components = sizeof(R) / sizeof(double);  // Dual<N>: N + 1 doubles
    std::array<double, components> relative{};
    const auto note = [&](const R& x, double size) {
        for (std::size_t d = 1; d < components; ++d)
            relative[d] = std::max(relative[d], std::fabs(reinterpret_cast<const double*>(&x)[d]) / size);
    };
    for (std::size_t l = 0; l < n; ++l) {
        const double size = complex_size(value_of(own[l]));
        note(own[l].real(), size);
        note(own[l].imag(), size);
        note(population[l], dual_value(population[l]));
        if (l > 0)
            note(lower[l], std::fabs(dual_value(lower[l])));
        if (l + 1 < n)
            note(upper[l], std::fabs(dual_value(upper[l])));
    }
    PoleSum<R, Levels, 1> line;
    add_to(line, R(1.0), own[0]);
    std::array<double, Levels> centre;  // the points
    std::array<R, Levels> sum;
    for (std::size_t k = 0; k < n; ++k)
        centre[k] = lambda[k].imag() + dual_value(own[0].imag()) -
                    0.5 * (lambda[k].real() + dual_value(own[0].real()));
    line(std::span<const double>(centre.data(), n), sum.data());
    std::array<C, Levels> solution, factor;
    std::array<double, components> peak{}, worst{};
    for (std::size_t k = 0; k < n; ++k) {
        solve_rate_chain(static_cast<std::uint32_t>(n), C(R(0.0), R(-centre[k])), lower, own, upper, solution.data(),
                         factor.data());
        R solved = population[0] * solution[0].real();
        for (std::size_t l = 1; l < n; ++l)
            solved += population[l] * solution[l].real();
        for (std::size_t d = 0; d < components; ++d) {
            const double a = reinterpret_cast<const double*>(&solved)[d];
            const double difference = std::fabs(a - reinterpret_cast<const double*>(&sum[k])[d]);
            if (std::isnan(difference)) {
                count_ = 0;
                return false;
            }
            peak[d] = std::max(peak[d], std::fabs(a));
            worst[d] = std::max(worst[d], difference);
        }
    }
    for (std::size_t d = 0; d < components; ++d)
        if (!(worst[d] <= (d == 0 ? 1e-11 * peak[d] : 1e-9 * peak[d] + 1e-14 * peak[0] * relative[d])))
            count_ = 0;
    return count_ > 0;
}

// The narrowed line's pole (nearest the population-weighted mean of the levels, the
// fast limit's centre) by Newton's method on the last pivot of solve_rate_chain
// (rate_chain_last_pivot) from that mean. Replaces lambda[k] (relative to own[0]) and
// gives the pivot's slope there; returns k, or n where Newton does not settle on the
// eigenvalue it started nearest (then the check decides).
template <class R, std::size_t Levels>
std::size_t ChainLinePoles<R, Levels>::refine_slowest(std::size_t n, const std::complex<R>* own,
                                                      const R* population, const R* lower, const R* upper,
                                                      double size, double spread, std::complex<double>* lambda,
                                                      std::complex<double>& slope) const
{
    using CD = std::complex<double>;
    using chain_poles_detail::value_of;
    std::array<double, Levels> low, up;
    std::array<CD, Levels> level;
    CD mean = 0.0;
    double total = 0.0;
    for (std::size_t l = 0; l < n; ++l) {
        low[l] = dual_value(lower[l]);
        up[l] = dual_value(upper[l]);
        level[l] = value_of(own[l]);
        mean += dual_value(population[l]) * (level[l] - level[0]);
        total += dual_value(population[l]);
    }
    mean /= total;
    std::size_t slowest = 0;
    for (std::size_t k = 1; k < n; ++k)
        if (complex_size(lambda[k] - mean) < complex_size(lambda[slowest] - mean))
            slowest = k;
    CD pole = mean + level[0];
    for (int iteration = 0; iteration < 16; ++iteration) {
        const CD pivot =
            rate_chain_last_pivot(static_cast<std::uint32_t>(n), -pole, low.data(), level.data(), up.data(), &slope);
        const CD step = complex_divide(pivot, slope);
        pole += step;
        if (!(complex_size(step) <= 1e-14 * (complex_size(pole) + spread)))
            continue;
        if (!(complex_size(pole - level[0] - lambda[slowest]) <= 1e-8 * size))
            return n;
        lambda[slowest] = pole - level[0];
        return slowest;
    }
    return n;
}
