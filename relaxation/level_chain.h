// A magnetic sextet whose field jumps along a chain of levels (the stochastic line-shape
// model of Blume and Tjon for a chain): level i carries the field fraction φᵢ of H and the
// population Pᵢ, and jumps to level i + 1 at the rate upper[i] and to level i − 1 at the
// rate lower[i] (mm/s; lower[0] = upper[n − 1] = 0), with Pᵢ·upper[i] = Pᵢ₊₁·lower[i + 1].
// For sextet line j at the velocity v the line shape is
//     −Σᵢ Pᵢ·Re xᵢ / (π·ΣP),  (shift_v + own + Wᵀ)·x = (1, …, 1),
// with own = −Γⱼ/2 + i·posⱼᵢ, shift_v = −i·v and Wᵀ the transposed jump-rate matrix (its rows
// sum to zero), solved by solve_rate_chain; the six lines carry the sextet weights 1,
// I₂/I₁, I₃/I₁, I₃/I₁, I₂/I₁, 1 and together the area I. Level positions are posⱼᵢ =
// (line j of sextet_positions at δ, ε, field 0) + (line j at field φᵢ·H), Γⱼ the width of
// line pair j.
//
// Per-call arrays, the solver's scratch among them, live in LevelBuffers.
// SextetChain and add_solved_line are the pieces that small_chain_sextet.h shares.
#pragma once

#include <array>
#include <complex>
#include <cstdint>
#include <span>

#include "core/spectrum/isotope.h"
#include "lineshapes/sextet.h"
#include "relaxation/level_buffer.h"
#include "relaxation/relaxation_rate.h"
#include "relaxation/tridiagonal_solver.h"

// The six lines on a chain: each line's positions at field 0 and per unit field, its
// half width and weight, and the factor that turns populations into line weights.
template <class R>
struct SextetChain {
    std::array<R, 6> base, slope, half_width, line_weight;
    R scale;

    SextetChain(const Isotope& isotope, const R& area, const R& ratio2, const R& ratio3, const R& shift,
                const R& quadrupole, const R& field, const std::array<R, 3>& pair_widths, std::size_t n,
                const R* population)
        : line_weight{R(1.0), ratio2, ratio3, ratio3, ratio2, R(1.0)}
    {
        Sextet::sextet_positions(isotope, shift, quadrupole, R(0.0), base);
        Sextet::sextet_positions(isotope, R(0.0), R(0.0), field, slope);
        for (std::size_t j = 0; j < 6; ++j)
            half_width[j] = pair_widths[j < 3 ? j : 5 - j] * -0.5;
        R sum = population[0];
        for (std::size_t i = 1; i < n; ++i)
            sum += population[i];
        scale = area * -0.15915494309189535 / (((ratio2 + 1.0) + ratio3) * sum);
    }

    // Line j's diagonal entry for a level with the field fraction φ.
    std::complex<R> own(std::size_t j, double fraction) const
    {
        return {half_width[j], base[j] + slope[j] * fraction};
    }
    R weight(std::size_t j, const R& population) const { return population * scale * line_weight[j]; }
};

// Adds Σₗ weight[l]·Re xₗ at every point of x to out, each x solved by solve_rate_chain
// into `solution` with the scratch `factor` (n values each).
template <class R>
void add_solved_line(std::size_t n, std::span<const double> x, R* out, const R* weight,
                     const std::complex<R>* own, const R* lower, const R* upper, std::complex<R>* solution,
                     std::complex<R>* factor)
{
    using C = std::complex<R>;
    for (std::size_t i = 0; i < x.size(); ++i) {
        solve_rate_chain(static_cast<std::uint32_t>(n), C(R(0.0), R(-x[i])), lower, own, upper, solution, factor);
        R value = weight[0] * solution[0].real();
        for (std::size_t l = 1; l < n; ++l)
            value += weight[l] * solution[l].real();
        out[i] += value;
    }
}

template <class R>
void chain_sextet(const Isotope& isotope, std::span<const double> x, R* out, const R& area, const R& ratio2,
                  const R& ratio3, const R& shift, const R& quadrupole, const R& field,
                  const std::array<R, 3>& pair_widths, std::span<const double> fraction, const R* population,
                  const R* lower, const R* upper)
{
    using C = std::complex<R>;
    const std::size_t n = fraction.size();
    const SextetChain<R> chain(isotope, area, ratio2, ratio3, shift, quadrupole, field, pair_widths, n, population);
    LevelBuffer<R> weight(n);
    LevelBuffer<C> own(n), solution(n), factor(n);
    for (std::size_t i = 0; i < x.size(); ++i)
        out[i] = R(0.0);
    for (std::size_t j = 0; j < 6; ++j) {
        for (std::size_t l = 0; l < n; ++l) {
            weight[l] = chain.weight(j, population[l]);
            own[l] = chain.own(j, fraction[l]);
        }
        add_solved_line(n, x, out, weight.data(), own.data(), lower, upper, solution.data(), factor.data());
    }
}
