// Line lists through LineSet: positions grouped at group breaks, only informative lines
// reported, and standard errors sqrt(gᵀVg) from exact gradients: against identity and
// zero covariances, correlated closed forms, a zero variance that rounds below zero,
// and a covariance block of the wrong size.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <span>
#include <stdexcept>
#include <vector>

#include "lineshapes/doublets.h"
#include "lineshapes/simple_sextets.h"
#include "lineshapes/singlets.h"
#include "line_test_support.h"
#include "subspec/line_set.h"
#include "subspec/subspec_impl.h"

namespace {

using namespace line_test;

// Two multiplets as a relaxation model lists them: one informative line and a
// position-only line, a break, then two position-only lines. No spectrum of its own.
struct TestTwoStates : RelaxDoubletParams, LineSet<TestTwoStates> {
    template <class R>
    void calc(std::span<const double> x, R* out, const R&, const R&, const R&, const R&, const R&, const R&,
              const R&, const R&, const R&) const
    {
        for (std::size_t i = 0; i < x.size(); ++i)
            out[i] = 0.0;
    }

    void init_params(const Isotope*, const SpectrumAnalysis&, std::span<double>) const {}

    template <class R>
    void lines(const Isotope*, std::span<const R> p, std::vector<LineRecord<R>>& out) const
    {
        out.push_back(informative_line(p[2] - p[3], p[8], p[0]));
        out.push_back(position_line(p[2] + p[3]));
        out.push_back(group_break<R>());
        out.push_back(position_line(p[4] - p[5]));
        out.push_back(position_line(p[4] + p[5]));
    }
};

DMatrix identity(std::size_t n)
{
    DMatrix m(n, n, 0.0);
    for (std::size_t i = 0; i < n; ++i)
        m(i, i) = 1.0;
    return m;
}

TEST(LineSet, PositionsAreGroupedAtBreaksAndOnlyInformativeLinesAreReported)
{
    const SubSpecPtr s = make_subspec<TestTwoStates>(nullptr);
    const std::vector<double> p = {2.0, 1.0, 0.5, 0.25, -1.0, 0.75, 3.0, 1.0, 0.125};
    std::vector<std::vector<double>> groups = {{9.0}};  // appended to, not cleared
    dynamic_cast<const ILinePos&>(*s).line_positions(all_of(vec(p)), groups);
    EXPECT_EQ(groups, (std::vector<std::vector<double>>{{9.0}, {0.25, 0.75}, {-1.75, -0.25}}));

    const std::vector<LineInfo> info = line_info(*s, p, identity(9));
    ASSERT_EQ(info.size(), 1u);
    EXPECT_EQ(info[0].position, 0.25);
    EXPECT_DOUBLE_EQ(info[0].position_error, std::sqrt(2.0));  // δA − εA
    EXPECT_EQ(info[0].width, 0.125);
    EXPECT_EQ(info[0].width_error, 1.0);
    EXPECT_EQ(info[0].intensity, 2.0);
    EXPECT_EQ(info[0].intensity_error, 1.0);
}

// With the identity the error is the gradient's norm; with zero it is 0.
TEST(LineSet, IdentityAndZeroCovariance)
{
    const SubSpecPtr line = make_subspec<LorenzLine>(nullptr);
    const std::vector<double> p = {1.5, 0.2, 0.3};
    const LineInfo unit = line_info(*line, p, identity(3)).at(0);
    EXPECT_EQ(unit.position_error, 1.0);
    EXPECT_EQ(unit.width_error, 1.0);
    EXPECT_EQ(unit.intensity_error, 1.0);
    const LineInfo zero = line_info(*line, p, DMatrix(3, 3, 0.0)).at(0);
    EXPECT_EQ(zero.position_error, 0.0);
    EXPECT_EQ(zero.width_error, 0.0);
    EXPECT_EQ(zero.intensity_error, 0.0);
}

// Line 1 of a doublet has the intensity I/(1 + q), gradient (1/(1 + q), −I/(1 + q)²) in
// (I, q), and the position δ − ε, gradient (1, −1) in (δ, ε): both errors see the
// correlations.
TEST(LineSet, CorrelationsEnterTheErrors)
{
    const SubSpecPtr doublet = make_subspec<PseudoVoigtDoublet>(nullptr);
    const double I = 1.2, q = 0.6;
    const std::vector<double> p = {I, q, 0.1, 0.7, 0.3, 1.1, 0.2};
    DMatrix v = identity(7) * 0.01;
    v(0, 1) = v(1, 0) = 0.004;
    v(2, 3) = v(3, 2) = -0.003;
    const std::vector<LineInfo> lines = line_info(*doublet, p, v);
    const double g0 = 1.0 / (1.0 + q), g1 = -I / ((1.0 + q) * (1.0 + q));
    EXPECT_NEAR(lines[0].intensity_error, std::sqrt(g0 * g0 * 0.01 + 2 * g0 * g1 * 0.004 + g1 * g1 * 0.01), 1e-15);
    EXPECT_NEAR(lines[0].position_error, std::sqrt(0.01 + 2 * 0.003 + 0.01), 1e-15);
    EXPECT_NEAR(lines[1].position_error, std::sqrt(0.01 - 2 * 0.003 + 0.01), 1e-15);
    // Γ₂ = Γ₁·r: gradient (r, Γ₁) in (Γ₁, r).
    EXPECT_NEAR(lines[1].width_error, std::sqrt((1.1 * 1.1 + 0.3 * 0.3) * 0.01), 1e-15);
}

// Line j of a sextet at δ ± ε + f_j·H: variance V_δδ + V_εε + f_j²·V_HH.
TEST(LineSet, SextetPositionErrors)
{
    const Isotope& fe = iron();
    const SubSpecPtr sextet = make_subspec<SimplePseudoVoigtSextet>(&fe);
    DMatrix v(10, 10, 0.0);
    v(3, 3) = 1e-4;
    v(4, 4) = 4e-4;
    v(5, 5) = 2.0;
    const std::vector<LineInfo> lines = line_info(*sextet, {1.0, 0.7, 0.3, 0.0, 0.0, 330.0, 0.3, 1, 1, 0}, v);
    const double f[6] = {1.0, fe.α, fe.β, -fe.β, -fe.α, -1.0};
    for (int j = 0; j < 6; ++j) {
        const double field_factor = 0.5 * fe.K * f[j];
        EXPECT_NEAR(lines[j].position_error, std::sqrt(1e-4 + 4e-4 + field_factor * field_factor * 2.0), 1e-15) << j;
    }
}

// δ − ε with V_δε a rounding step above V_δδ = V_εε: the quadratic form comes out just
// below zero, and the error is 0. A NaN in the block stays NaN.
TEST(LineSet, RoundingBelowZeroIsNoErrorButNaNStays)
{
    const SubSpecPtr doublet = make_subspec<VoigtDoublet>(nullptr);
    const std::vector<double> p = {1.0, 1.0, 0.0, 0.5, 0.2, 0.2, 1.0};
    DMatrix v(7, 7, 0.0);
    v(2, 2) = v(3, 3) = 1.0;
    v(2, 3) = v(3, 2) = std::nextafter(1.0, 2.0);
    const LineInfo first = line_info(*doublet, p, v).at(0);
    EXPECT_EQ(first.position_error, 0.0);
    v(2, 3) = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(std::isnan(line_info(*doublet, p, v).at(0).position_error));
}

TEST(LineSet, CovarianceBlockMustMatchTheParameters)
{
    const SubSpecPtr line = make_subspec<PseudoVoigtLine>(nullptr);
    EXPECT_THROW(line_info(*line, {1.0, 0.0, 0.3, 0.0}, identity(3)), std::out_of_range);
    EXPECT_THROW(line_info(*line, {1.0, 0.0, 0.3}, identity(4)), std::out_of_range);
}

}  // namespace
