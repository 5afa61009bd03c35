// A level chain's line as poles against the chain solved point by point, values and
// derivatives: over rates from static to far above the spread, at and around a
// coalescence of two eigenvalues (where the poles must either stay exact or be refused),
// at rates that dwarf the width (where they must be taken), and where they must be
// refused (an empty level).
#include "relaxation/chain_poles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "relaxation/level_chain.h"

namespace {

constexpr std::size_t levels = 6;
using D = Dual<4>;
using CD = std::complex<D>;

// A chain with detailed balance from four seeded parameters: the rate k, the population
// ratio p of neighbouring levels, the spread h of the positions and the half width g.
struct Chain {
    std::size_t n;
    std::array<D, levels> population, lower, upper;
    std::array<CD, levels> own;

    std::array<double, 4> parameter;  // the seeds' values

    Chain(std::size_t size, double rate, double ratio, double spread, double half_width, unsigned seed)
        : n(size), parameter{rate, ratio, spread, half_width}
    {
        const D k = D::seed(rate, 0), p = D::seed(ratio, 1), h = D::seed(spread, 2), g = D::seed(half_width, 3);
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> uniform(0.5, 1.5);
        D weight = D(1.0);
        for (std::size_t l = 0; l < n; ++l) {
            population[l] = weight;
            weight *= p;
            const double fraction = n == 2 ? (l == 0 ? 1.0 : -1.0) : uniform(random) - 1.0;
            own[l] = CD(-g, h * fraction + 0.3);
        }
        lower[0] = upper[n - 1] = D(0.0);
        for (std::size_t l = 0; l + 1 < n; ++l) {
            upper[l] = k * (n == 2 ? 1.0 : uniform(random));
            lower[l + 1] = upper[l] * population[l] / population[l + 1];
        }
    }

    // Both forms at the points; false where the poles were refused. A derivative by θ is
    // held to its peak and, as θ·∂/∂θ, to rounding of the value's peak: where the rates
    // dwarf the spread the solve keeps its derivative by the rate no better.
    bool compare(const std::vector<double>& x, double value_tolerance, double derivative_tolerance) const
    {
        ChainLinePoles<D, levels> poles;
        const D scale = D(-0.3);
        if (!poles.prepare(n, own.data(), population.data(), lower.data(), upper.data()))
            return false;
        std::vector<D> by_poles(x.size(), D(0.0)), solved(x.size(), D(0.0));
        PoleSum<D, levels, 1> sum;
        poles.add_to(sum, scale, own[0]);
        sum(x, by_poles.data());
        std::array<D, levels> weight;
        std::array<CD, levels> solution, factor;
        for (std::size_t l = 0; l < n; ++l)
            weight[l] = population[l] * scale;
        add_solved_line(n, x, solved.data(), weight.data(), own.data(), lower.data(), upper.data(), solution.data(),
                        factor.data());
        std::array<double, 5> peak{};
        for (std::size_t d = 0; d <= 4; ++d)
            for (const D& s : solved)
                peak[d] = std::max(peak[d], std::fabs(s[d]));
        for (std::size_t d = 0; d <= 4; ++d) {
            const double tolerance =
                d == 0 ? value_tolerance * peak[0]
                       : derivative_tolerance * peak[d] +
                             (parameter[d - 1] != 0.0 ? 1e-13 * peak[0] / std::fabs(parameter[d - 1]) : 0.0);
            for (std::size_t i = 0; i < x.size(); ++i)
                EXPECT_NEAR(by_poles[i][d], solved[i][d], tolerance) << "derivative " << d << " at " << x[i];
        }
        return true;
    }
};

std::vector<double> points(double spread)
{
    std::vector<double> x;
    for (int i = -300; i <= 300; ++i)
        x.push_back(0.3 + 0.01 * i * (spread + 1.0));
    return x;
}

TEST(ChainLinePoles, MatchTheSolveFromStaticToFastRates)
{
    for (std::size_t n : {2u, 3u, 6u})
        for (double ratio : {1.0, 0.4, 2.5, 1e-3})
            for (unsigned seed : {1u, 2u, 3u}) {
                int taken = 0;
                for (double rate : {0.0, 1e-3, 0.05, 0.3, 1.0, 3.0, 10.0, 100.0, 1e3, 1e5, 1e8, 1e12}) {
                    SCOPED_TRACE(testing::Message() << n << " levels, rate " << rate << ", ratio " << ratio);
                    const Chain chain(n, rate, ratio, 2.0, 0.12, seed);
                    taken += chain.compare(points(2.0), 1e-10, 1e-8);
                }
                if (ratio > 0.01) {  // populations over many decades leave fewer rates to the poles
                    EXPECT_GE(taken, 6) << n << ' ' << ratio << ' ' << seed;
                }
            }
}

// Far above the spread the narrowed pole is refined from the chain's last pivot, so that
// the poles are taken and exact at every rate (ln Ω from about 20 to 60 for ⁵⁷Fe and far
// beyond, up to where the square of the rate's reciprocal underflows and the solve's
// derivatives lose their meaning).
TEST(ChainLinePoles, AreTakenAndExactAtRatesThatDwarfTheWidth)
{
    for (std::size_t n : {2u, 3u, 6u})
        for (double ratio : {1.0, 0.6, 0.3, 2.5})
            for (double rate : {40.0, 3e3, 2e5, 1.5e7, 1e9, 1e11, 1e13, 1e15, 1e17, 1e19, 1e26, 1e60, 1e100}) {
                SCOPED_TRACE(testing::Message() << n << " levels, rate " << rate << ", ratio " << ratio);
                const Chain chain(n, rate, ratio, 8.0, 0.12, 4);
                EXPECT_TRUE(chain.compare(points(8.0), 1e-10, 1e-8));
            }
}

// Two levels at ±h with equal populations and the rate k: the eigenvalues −g − k ±
// √(k² − h²) coalesce at k = h. Around it the poles stay exact or are refused; at it
// they are refused.
TEST(ChainLinePoles, StayExactOrAreRefusedWhereEigenvaluesCoalesce)
{
    const double h = 1.5;
    int taken = 0;
    for (double offset : {-1e-1, -1e-2, -1e-4, -1e-6, -1e-8, -1e-10, 0.0, 1e-10, 1e-8, 1e-6, 1e-4, 1e-2, 1e-1}) {
        SCOPED_TRACE(offset);
        const Chain chain(2, h * (1.0 + offset), 1.0, h, 0.1, 0);
        const bool accepted = chain.compare(points(h), 1e-10, 1e-7);
        taken += accepted;
        if (std::fabs(offset) < 1e-8) {
            EXPECT_FALSE(accepted);
        }
    }
    EXPECT_GE(taken, 4);
}

TEST(ChainLinePoles, RefuseAnEmptyLevel)
{
    ChainLinePoles<double, levels> poles;
    const double population[3] = {1.0, 0.0, 1.0}, lower[3] = {0.0, 1.0, 1.0}, upper[3] = {1.0, 1.0, 0.0};
    const std::complex<double> own[3] = {{-0.1, 1.0}, {-0.1, 0.0}, {-0.1, -1.0}};
    EXPECT_FALSE(poles.prepare(3, own, population, lower, upper));
}

}  // namespace
