// Complex tridiagonal systems with the right-hand side (1, …, 1), as the relaxation line
// shapes pose them: row i reads
//     lower[i]·x[i−1] + (shift + diagonal[i])·x[i] + upper[i]·x[i+1] = 1
// (no x[i−1] term in row 0, no x[i+1] term in row n − 1; lower[0] and upper[n − 1] are
// never read). Forward elimination and back substitution without pivoting, linear in n,
// over any real type R (double or Dual<N>) with std::complex<R>: one reciprocal of each
// pivot per row, by Smith's scaling (no modulus squared), and products otherwise.
//
// solve_tridiagonal takes the diagonal as it stands. solve_rate_chain takes it without
// the rates out of each level: its row i has the diagonal shift + own[i] − lower[i] −
// upper[i], the rows of a jump-rate matrix summing to zero. There the last pivot is the
// small remainder of large rates, which plain elimination forms by cancellation and loses
// once the rates dwarf the line width; solve_rate_chain carries each pivot t[i] as
// e[i] − upper[i] and forms e[i] = shift + own[i] − lower[i]·e[i−1]/t[i−1] directly,
// which keeps full accuracy at every rate (exact algebra: t[i−1] + upper[i−1] = e[i−1]).
//
// Both take the caller's scratch for the n elimination factors, so that a formula that
// solves a chain at every point allocates it once per call. A pivot that is zero or NaN
// gives NaN in every x; nothing is checked.
#pragma once

#include <complex>
#include <cstdint>

#include "core/numerics/complex_dual.h"
#include "relaxation/complex_reciprocal.h"

namespace tridiagonal_detail {

// The elimination with the pivot of row i formed by pivot(i, previous reciprocal).
template <class R, class Pivot>
void eliminate(std::uint32_t n, const R* lower, const R* upper, std::complex<R>* x, std::complex<R>* factor,
               Pivot&& pivot)
{
    using C = std::complex<R>;
    C reciprocal = complex_reciprocal(pivot(0, C()));
    x[0] = reciprocal;
    for (std::uint32_t i = 1; i < n; ++i) {
        factor[i] = reciprocal * upper[i - 1];
        reciprocal = complex_reciprocal(pivot(i, reciprocal));
        x[i] = (C(R(1.0)) - x[i - 1] * lower[i]) * reciprocal;
    }
    for (std::uint32_t i = n - 1; i > 0; --i)
        x[i - 1] -= factor[i] * x[i];
}

}  // namespace tridiagonal_detail

template <class R>
void solve_tridiagonal(std::uint32_t count, std::complex<R> shift, const R* lower,
                       const std::complex<R>* diagonal, const R* upper, std::complex<R>* x,
                       std::complex<R>* factor)
{
    using C = std::complex<R>;
    tridiagonal_detail::eliminate(count, lower, upper, x, factor, [&](std::uint32_t i, const C& previous) {
        C t = shift + diagonal[i];
        if (i > 0)
            t -= previous * (lower[i] * upper[i - 1]);
        return t;
    });
}

// e[i] of solve_rate_chain from e[i − 1] and the reciprocal of the pivot t[i − 1].
template <class R>
std::complex<R> rate_chain_step(const std::complex<R>& shift, const std::complex<R>& own, const R& lower,
                                const std::complex<R>& e, const std::complex<R>& reciprocal)
{
    return shift + own - e * reciprocal * lower;
}

template <class R>
void solve_rate_chain(std::uint32_t count, std::complex<R> shift, const R* lower, const std::complex<R>* own,
                      const R* upper, std::complex<R>* x, std::complex<R>* factor)
{
    using C = std::complex<R>;
    C e;
    tridiagonal_detail::eliminate(count, lower, upper, x, factor, [&](std::uint32_t i, const C& previous) {
        e = i > 0 ? rate_chain_step(shift, own[i], lower[i], e, previous) : shift + own[0];
        return i + 1 < count ? e - upper[i] : e;
    });
}

// solve_rate_chain's last pivot e[n − 1] (count ≥ 1) and, where `slope` is given, its
// derivative by the shift, e'[i] = 1 + lower[i]·upper[i − 1]·e'[i − 1]/t[i − 1]². The
// determinant of the chain matrix is the product of the pivots, so the last pivot
// vanishes at shift = −λ for an eigenvalue λ at which no earlier pivot does; at rates
// that dwarf the width the earlier pivots are about −upper[i], and it holds the narrowed
// line's eigenvalue to full accuracy.
template <class R>
std::complex<R> rate_chain_last_pivot(std::uint32_t count, const std::complex<R>& shift, const R* lower,
                                      const std::complex<R>* own, const R* upper, std::complex<R>* slope = nullptr)
{
    using C = std::complex<R>;
    C e = shift + own[0], de = C(R(1.0));
    for (std::uint32_t i = 1; i < count; ++i) {
        const C reciprocal = complex_reciprocal(C(e - upper[i - 1]));
        if (slope)
            de = C(R(1.0)) + de * (reciprocal * lower[i]) * (reciprocal * upper[i - 1]);
        e = rate_chain_step(shift, own[i], lower[i], e, reciprocal);
    }
    if (slope)
        *slope = de;
    return e;
}

// The instances the relaxation models use are compiled once, in tridiagonal_solver.cpp.
#define VX_TRIDIAGONAL_INSTANCES(EXTERN, R)                                                                     \
    EXTERN template void solve_tridiagonal<R>(std::uint32_t, std::complex<R>, const R*, const std::complex<R>*, \
                                              const R*, std::complex<R>*, std::complex<R>*);                    \
    EXTERN template void solve_rate_chain<R>(std::uint32_t, std::complex<R>, const R*, const std::complex<R>*,  \
                                             const R*, std::complex<R>*, std::complex<R>*);
VX_TRIDIAGONAL_INSTANCES(extern, double)
VX_TRIDIAGONAL_INSTANCES(extern, Dual<11>)
VX_TRIDIAGONAL_INSTANCES(extern, Dual<12>)
