// The tridiagonal solvers against dense elimination, the 2 × 2 inverse, their NaN
// behaviour, the derivative instances against the derivative of the exact solution, and
// the rate-chain form at rates that dwarf the width, where plain elimination cancels.
#include "relaxation/tridiagonal_solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <random>
#include <vector>

#include "tests/relaxation/dense_solve.h"

namespace {

using C = std::complex<double>;

// A random chain of n levels: rates up to `rate`, widths and positions of order 1.
struct Chain {
    C shift;
    std::vector<double> lower, upper;
    std::vector<C> own;  // the diagonal without the rates out of each level

    Chain(std::size_t n, double rate, unsigned seed) : lower(n), upper(n), own(n)
    {
        std::mt19937 gen(seed);
        std::uniform_real_distribution<double> u(0.0, 1.0);
        shift = C(0.0, -4.0 + 8.0 * u(gen));
        for (std::size_t i = 0; i < n; ++i) {
            lower[i] = i > 0 ? rate * (0.1 + u(gen)) : std::numeric_limits<double>::quiet_NaN();
            upper[i] = i + 1 < n ? rate * (0.1 + u(gen)) : std::numeric_limits<double>::quiet_NaN();
            own[i] = C(-(0.05 + 0.5 * u(gen)), -3.0 + 6.0 * u(gen));
        }
    }

    std::vector<C> diagonal() const
    {
        std::vector<C> d(own);
        for (std::size_t i = 0; i < d.size(); ++i)
            d[i] -= (i > 0 ? lower[i] : 0.0) + (i + 1 < d.size() ? upper[i] : 0.0);
        return d;
    }

    DenseMatrix dense() const
    {
        const std::size_t n = own.size();
        const std::vector<C> d = diagonal();
        DenseMatrix a(n, std::vector<C>(n));
        for (std::size_t i = 0; i < n; ++i) {
            a[i][i] = shift + d[i];
            if (i > 0)
                a[i][i - 1] = lower[i];
            if (i + 1 < n)
                a[i][i + 1] = upper[i];
        }
        return a;
    }

    std::vector<C> tridiagonal() const
    {
        const std::vector<C> d = diagonal();
        std::vector<C> x(own.size()), factor(own.size());
        solve_tridiagonal(static_cast<std::uint32_t>(x.size()), shift, lower.data(), d.data(), upper.data(), x.data(),
                          factor.data());
        return x;
    }

    std::vector<C> rate_chain() const
    {
        std::vector<C> x(own.size()), factor(own.size());
        solve_rate_chain(static_cast<std::uint32_t>(x.size()), shift, lower.data(), own.data(), upper.data(), x.data(),
                         factor.data());
        return x;
    }

    std::vector<C> truth() const { return dense_solve(dense(), std::vector<C>(own.size(), C(1.0))); }
};

TEST(TridiagonalSolver, BothFormsMatchDenseEliminationOverSizesAndRates)
{
    // Sizes from one level to the chains of the many-state models;
    // rates from none to ten times the width.
    for (std::size_t n : {1u, 2u, 3u, 6u, 101u, 300u})
        for (double rate : {0.0, 0.01, 1.0, 10.0})
            for (unsigned seed : {1u, 2u}) {
                const Chain chain(n, rate, seed);
                const std::vector<C> truth = chain.truth();
                EXPECT_LT(max_relative_difference(chain.tridiagonal(), truth), 1e-12) << n << ' ' << rate;
                EXPECT_LT(max_relative_difference(chain.rate_chain(), truth), 1e-12) << n << ' ' << rate;
            }
}

TEST(TridiagonalSolver, TwoRowsGiveTheExplicitInverse)
{
    const C shift(0.0, -1.3);
    const double lower[2] = {std::numeric_limits<double>::quiet_NaN(), 0.7};
    const double upper[2] = {2.1, std::numeric_limits<double>::quiet_NaN()};
    const C diagonal[2] = {C(-0.4, 0.2), C(-1.1, -0.9)};
    C x[2], factor[2];
    solve_tridiagonal(2u, shift, lower, diagonal, upper, x, factor);
    const C b0 = shift + diagonal[0], b1 = shift + diagonal[1];
    const C det = b0 * b1 - upper[0] * lower[1];
    EXPECT_LT(std::abs(x[0] - (b1 - upper[0]) / det), 1e-15);
    EXPECT_LT(std::abs(x[1] - (b0 - lower[1]) / det), 1e-15);
}

TEST(TridiagonalSolver, OneRowIsTheReciprocalAndReadsNoOffDiagonal)
{
    const C diagonal(-0.5, 2.0), shift(0.0, -1.0);
    C x, factor;
    solve_tridiagonal(1u, shift, static_cast<const double*>(nullptr), &diagonal, static_cast<const double*>(nullptr),
                      &x, &factor);
    EXPECT_EQ(x, complex_divide(C(1.0), shift + diagonal));
    solve_rate_chain(1u, shift, static_cast<const double*>(nullptr), &diagonal, static_cast<const double*>(nullptr),
                     &x, &factor);
    EXPECT_EQ(x, complex_divide(C(1.0), shift + diagonal));
}

TEST(TridiagonalSolver, ZeroFirstPivotMakesEveryEntryNaN)
{
    const double lower[3] = {0.0, 1.0, 1.0}, upper[3] = {1.0, 1.0, 0.0};
    const C diagonal[3] = {C(0.0), C(-3.0, 1.0), C(-2.0, 0.5)};
    C x[3], factor[3];
    solve_tridiagonal(3u, C(0.0), lower, diagonal, upper, x, factor);
    for (const C& v : x)
        EXPECT_TRUE(std::isnan(v.real()) && std::isnan(v.imag()));
}

// With every level at the same place the solution is 1/(shift + own) whatever the rates:
// the rate-chain form keeps it to rounding where plain elimination has cancelled the
// last pivot away.
TEST(TridiagonalSolver, RateChainKeepsFullAccuracyWhenRatesDwarfTheWidth)
{
    for (double rate : {1e8, 1e14, 1e40, 1e250}) {
        Chain chain(6, rate, 3);
        for (C& o : chain.own)
            o = C(-0.05, 0.3);
        const C exact = complex_divide(C(1.0), chain.shift + chain.own[0]);
        for (const C& v : chain.rate_chain())
            EXPECT_LT(std::abs(v - exact), 1e-13 * std::abs(exact)) << rate;
    }
    Chain chain(6, 1e14, 3);
    for (C& o : chain.own)
        o = C(-0.05, 0.3);
    const C exact = complex_divide(C(1.0), chain.shift + chain.own[0]);
    EXPECT_GT(std::abs(chain.tridiagonal()[0] - exact), 1e-6 * std::abs(exact)) << "the cancellation is gone";
}

// Values as the plain instance; derivatives as −A⁻¹·A′·x of the exact solution.
template <std::size_t N>
void check_derivatives(std::size_t n, bool rate_chain)
{
    using D = Dual<N>;
    using CD = std::complex<D>;
    const Chain chain(n, 2.0, 7);
    std::mt19937 gen(11);
    std::normal_distribution<double> g;
    // Each element depends on the N seeds with random sensitivities.
    auto seeded = [&](double v) {
        D d(v);
        for (std::size_t k = 1; k <= N; ++k)
            d[k] = g(gen);
        return d;
    };
    std::vector<D> lower(n), upper(n);
    std::vector<CD> diagonal(n);
    const std::vector<C> full = chain.diagonal();
    for (std::size_t i = 0; i < n; ++i) {
        lower[i] = seeded(i > 0 ? chain.lower[i] : 0.0);
        upper[i] = seeded(i + 1 < n ? chain.upper[i] : 0.0);
        const C d = rate_chain ? chain.own[i] : full[i];
        diagonal[i] = CD(seeded(d.real()), seeded(d.imag()));
    }
    const CD shift(D(0.0), seeded(chain.shift.imag()));
    std::vector<CD> x(n), factor(n);
    if (rate_chain)
        solve_rate_chain(static_cast<std::uint32_t>(n), shift, lower.data(), diagonal.data(), upper.data(), x.data(),
                         factor.data());
    else
        solve_tridiagonal(static_cast<std::uint32_t>(n), shift, lower.data(), diagonal.data(), upper.data(), x.data(),
                          factor.data());

    const std::vector<C> value = chain.truth();
    for (std::size_t k = 1; k <= N; ++k) {
        // A′·x, the derivative of the matrix in seed k applied to the solution.
        std::vector<C> ax(n);
        for (std::size_t i = 0; i < n; ++i) {
            C diag(shift.real()[k] + diagonal[i].real()[k], shift.imag()[k] + diagonal[i].imag()[k]);
            if (rate_chain)
                diag -= (i > 0 ? lower[i][k] : 0.0) + (i + 1 < n ? upper[i][k] : 0.0);
            ax[i] = diag * value[i];
            if (i > 0)
                ax[i] += lower[i][k] * value[i - 1];
            if (i + 1 < n)
                ax[i] += upper[i][k] * value[i + 1];
            ax[i] = -ax[i];
        }
        const std::vector<C> derivative = dense_solve(chain.dense(), ax);
        std::vector<C> got(n), values(n);
        for (std::size_t i = 0; i < n; ++i) {
            got[i] = C(x[i].real()[k], x[i].imag()[k]);
            values[i] = C(x[i].real()[0], x[i].imag()[0]);
        }
        EXPECT_LT(max_relative_difference(got, derivative), 1e-11) << n << " seed " << k;
        EXPECT_LT(max_relative_difference(values, value), 1e-13);
    }
}

TEST(TridiagonalSolver, DerivativeInstancesFollowTheExactSolution)
{
    for (bool rate_chain : {false, true}) {
        check_derivatives<11>(6, rate_chain);
        check_derivatives<12>(2, rate_chain);
        check_derivatives<12>(200, rate_chain);
    }
}

}  // namespace
