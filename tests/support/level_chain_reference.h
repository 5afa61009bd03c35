// First-principles line shapes of a relaxing level chain, for the tests of the
// relaxation models: the stochastic (Blume) line-shape matrix of the levels, built from
// the jump rates between neighbours and the level positions, solved point by point by
// Gaussian elimination with partial pivoting in quadruple precision, so that rates many
// orders beyond the line widths stay within its reach; and the analytic fast limit (one
// line per transition at the population-weighted position, with the motional-narrowing
// width of the second-order expansion) for rates beyond any finite precision.
//
// A chain: level i has the population weight P_i (any positive scale), the reduced field
// x_i, and the rates up_i (i → i+1) and down_i (i+1 → i) of its link to level i + 1.
// Line j of a sextet puts level i at centre_j + x_i·splitting_j with the full width Γ_j;
// the spectrum value is −(1/2π)·Σ_j f_j·Σ_i π_i·Re X_i, π the normalised populations and
// X the solution of (G + diag(−Γ_j/2 + i(position_i − v)))·X = 1, G the rate matrix
// (row = the level jumped from, each row summing to zero).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

namespace test_support {

using Quad = __float128;

struct QuadComplex {
    Quad re = 0, im = 0;
};

inline QuadComplex operator-(QuadComplex a, QuadComplex b) { return {a.re - b.re, a.im - b.im}; }
inline QuadComplex operator*(QuadComplex a, QuadComplex b)
{
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}
inline QuadComplex operator/(QuadComplex a, QuadComplex b)
{
    const Quad d = b.re * b.re + b.im * b.im;
    return {(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
}
inline Quad magnitude2(QuadComplex a) { return a.re * a.re + a.im * a.im; }

struct ChainModel {
    std::vector<long double> population;  // P_i
    std::vector<long double> fraction;    // x_i
    std::vector<long double> up, down;    // n − 1 links
};

struct SextetLines {
    long double centre[6], splitting[6], width[6], factor[6];  // factor f_j, −I/2π(1+q+r) folded in
};

// Σ_i π_i·Re X_i for one line at velocity v, by dense elimination with partial pivoting
// (the matrix is tridiagonal; the elimination visits the band of the pivoted rows only).
inline long double chain_line(const ChainModel& chain, long double centre, long double splitting, long double width,
                              long double v)
{
    const std::size_t n = chain.fraction.size();
    std::vector<std::vector<QuadComplex>> a(n, std::vector<QuadComplex>(n));
    std::vector<QuadComplex> b(n, QuadComplex{1, 0});
    for (std::size_t i = 0; i < n; ++i) {
        Quad out = 0;
        if (i + 1 < n) {
            a[i][i + 1].re = chain.up[i];
            out += chain.up[i];
        }
        if (i > 0) {
            a[i][i - 1].re = chain.down[i - 1];
            out += chain.down[i - 1];
        }
        a[i][i] = {-out - Quad(width) / 2, Quad(centre) + Quad(chain.fraction[i]) * Quad(splitting) - Quad(v)};
    }
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t last = std::min(n, k + 2);
        std::size_t pivot = k;
        for (std::size_t r = k + 1; r < last; ++r)
            if (magnitude2(a[r][k]) > magnitude2(a[pivot][k]))
                pivot = r;
        std::swap(a[k], a[pivot]);
        std::swap(b[k], b[pivot]);
        for (std::size_t r = k + 1; r < last; ++r) {
            const QuadComplex f = a[r][k] / a[k][k];
            for (std::size_t c = k; c < std::min(n, k + 3); ++c)
                a[r][c] = a[r][c] - f * a[k][c];
            b[r] = b[r] - f * b[k];
        }
    }
    std::vector<QuadComplex> x(n);
    for (std::size_t k = n; k-- > 0;) {
        QuadComplex s = b[k];
        for (std::size_t c = k + 1; c < std::min(n, k + 3); ++c)
            s = s - a[k][c] * x[c];
        x[k] = s / a[k][k];
    }
    Quad total = 0, sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        total += Quad(chain.population[i]) * x[i].re;
        sum += chain.population[i];
    }
    return static_cast<long double>(total / sum);
}

inline long double chain_spectrum(const ChainModel& chain, const SextetLines& lines, long double v)
{
    long double y = 0;
    for (int j = 0; j < 6; ++j)
        y += lines.factor[j] * chain_line(chain, lines.centre[j], lines.splitting[j], lines.width[j], v);
    return y;
}

// The fast limit: per line one Lorentzian at centre_j + ⟨x⟩·splitting_j whose half width
// Γ_j/2 grows by the motional-narrowing term Σ_links C_k²/(π_k·up_k), C_k the
// partial sums of π_i·(x_i − ⟨x⟩)·splitting_j up to level k (zero for infinite rates).
inline long double chain_fast_limit(const ChainModel& chain, const SextetLines& lines, long double v)
{
    const std::size_t n = chain.fraction.size();
    long double sum = 0, mean = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += chain.population[i];
    for (std::size_t i = 0; i < n; ++i)
        mean += chain.population[i] / sum * chain.fraction[i];
    long double y = 0;
    for (int j = 0; j < 6; ++j) {
        long double half = lines.width[j] / 2, partial = 0;
        for (std::size_t k = 0; k + 1 < n; ++k) {
            const long double pi = chain.population[k] / sum;
            partial += pi * (chain.fraction[k] - mean) * lines.splitting[j];
            if (partial != 0)
                half += partial * partial / (pi * chain.up[k]);
        }
        const long double detuning = lines.centre[j] + mean * lines.splitting[j] - v;
        y += lines.factor[j] * -half / (half * half + detuning * detuning);
    }
    return y;
}

}  // namespace test_support
