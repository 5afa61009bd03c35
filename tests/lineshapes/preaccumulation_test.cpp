// Sums of lines on dual numbers by preaccumulation against plain forward mode (the
// same shapes on Dual<N>): the values bit for bit, the derivatives to rounding, for
// point counts that fill the chain rule's blocks or leave them part empty; and the
// far tail of a pseudo-Voigt line, where the Gauss part underflows.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "core/numerics/dual.h"
#include "lineshapes/line_shapes.h"

namespace {

constexpr std::size_t N = 6;
using D = Dual<N>;

// A multiplet whose inputs depend on few of the six parameters each, as a sextet's
// do: areas on p0, positions on p1 and p2, widths on p3 and p4; p5 is the Gauss
// fraction or width.
template <std::size_t L>
Multiplet<D, L> multiplet(const std::array<D, N>& p)
{
    Multiplet<D, L> m;
    for (std::size_t j = 0; j < L; ++j) {
        const double s = double(j) - 0.5 * double(L - 1);
        m.area[j] = p[0] * (1.0 + 0.3 * double(j % 2));
        m.position[j] = p[1] + p[2] * s;
        m.width[j] = j == 0 ? p[3] : p[3] * p[4];
    }
    return m;
}

std::array<D, N> seeded_params(const std::array<double, N>& values)
{
    std::array<D, N> p;
    for (std::size_t k = 0; k < N; ++k)
        p[k] = D::seed(values[k], k);
    return p;
}

std::vector<double> grid(std::size_t n)
{
    std::vector<double> x(n);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = -9.0 + 18.0 * double(i) / double(std::max<std::size_t>(n - 1, 1));
    return x;
}

// Values bit for bit; derivative k within 1e-13 of the largest |derivative k|.
void expect_same_sums(const std::vector<D>& got, const std::vector<D>& expected)
{
    for (std::size_t k = 1; k <= N; ++k) {
        double scale = 0.0;
        for (const D& e : expected)
            scale = std::max(scale, std::fabs(e[k]));
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i][0], expected[i][0]) << "point " << i;
            EXPECT_NEAR(got[i][k], expected[i][k], 1e-13 * scale) << "point " << i << ", derivative " << k;
        }
    }
}

TEST(Preaccumulation, PseudoVoigtSumEqualsForwardMode)
{
    const std::array<D, N> p = seeded_params({1.3, 0.2, 1.7, 0.3, 1.2, 0.35});
    const Multiplet<D, 6> m = multiplet<6>(p);
    std::array<PseudoVoigtShape<D>, 6> forward{
        PseudoVoigtShape<D>(m.area[0], m.position[0], m.width[0], p[5]),
        PseudoVoigtShape<D>(m.area[1], m.position[1], m.width[1], p[5]),
        PseudoVoigtShape<D>(m.area[2], m.position[2], m.width[2], p[5]),
        PseudoVoigtShape<D>(m.area[3], m.position[3], m.width[3], p[5]),
        PseudoVoigtShape<D>(m.area[4], m.position[4], m.width[4], p[5]),
        PseudoVoigtShape<D>(m.area[5], m.position[5], m.width[5], p[5])};
    for (std::size_t n : {1, 16, 37, 64}) {
        const std::vector<double> x = grid(n);
        std::vector<D> got(n), expected(n);
        sum_lines(x, got.data(), pseudo_voigt_shapes(m, p[5]));
        sum_lines(x, expected.data(), forward);
        SCOPED_TRACE(n);
        expect_same_sums(got, expected);
    }
}

TEST(Preaccumulation, VoigtSumEqualsForwardMode)
{
    const std::array<D, N> p = seeded_params({0.9, -0.4, 2.1, 0.25, 0.8, 0.3});
    const Multiplet<D, 2> m = multiplet<2>(p);
    const std::array<D, 2> gauss = {p[5], p[5] * 1.4};
    std::array<VoigtShape<D>, 2> forward{VoigtShape<D>(m.area[0], m.position[0], m.width[0], gauss[0]),
                                         VoigtShape<D>(m.area[1], m.position[1], m.width[1], gauss[1])};
    const std::vector<double> x = grid(21);
    std::vector<D> got(x.size()), expected(x.size());
    sum_lines(x, got.data(), voigt_shapes(m, gauss));
    sum_lines(x, expected.data(), forward);
    expect_same_sums(got, expected);
}

// Beyond about 32.8 half widths the Gauss part's exponential underflows to 0 and is not
// computed; closer in it is subnormal. Either way the line is what the exponential
// gives: with α = 1 nothing else is left to hide a wrong cut.
TEST(Preaccumulation, FarTailMatchesTheExponential)
{
    for (double alpha : {0.4, 1.0}) {
        for (double x : {30.0, 32.5, 32.79, 32.9, 33.0, -40.0, 1e8}) {
            const double lorentz = 1.0 / ((x * x + 1.0) * pseudo_voigt_pi) * (1.0 - alpha);
            const double gauss = std::exp(-x * x * pseudo_voigt_ln2) * pseudo_voigt_gauss_norm * alpha;
            EXPECT_EQ(pseudo_voigt(x, alpha), lorentz + gauss) << x << ", " << alpha;
            const Dual<2> d = pseudo_voigt(Dual<2>::seed(x, 0), Dual<2>::seed(alpha, 1));
            EXPECT_EQ(d[0], lorentz + gauss) << x << ", " << alpha;
        }
    }
}

}  // namespace
