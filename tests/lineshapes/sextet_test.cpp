// The sextet's line positions, their derivatives, the quantum-number table, the
// spectral extent, and the sign convention on the real ⁵⁷Fe constants of isotope.txt,
// on which the velocity calibration depends.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "core/numerics/dual.h"
#include "core/spectrum/spectrum_analysis.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "lineshapes/sextet.h"
#include "line_test_support.h"
#include "subspec/subspec_impl.h"

namespace {

using namespace line_test;
using Positions = std::array<double, 6>;

Positions positions(const Isotope& iso, double d, double e, double h, double a_plus = 0.0, double a_minus = 0.0)
{
    Positions out;
    Sextet::sextet_positions(iso, d, e, h, a_plus, a_minus, out);
    return out;
}

TEST(SextetPositions, NoFieldLeavesTheQuadrupolePairs)
{
    Positions three;
    Sextet::sextet_positions(iron(), 0.5, 0.25, 0.0, three);
    EXPECT_EQ(three, (Positions{0.75, 0.25, 0.25, 0.25, 0.25, 0.75}));
    EXPECT_EQ(positions(iron(), 0.5, 0.25, 0.0, 0.125, 0.0625),
              (Positions{0.875, 0.1875, 0.3125, 0.1875, 0.3125, 0.625}));
    Positions five_with_zeros;
    Sextet::sextet_positions(iron(), 0.3, 0.1, 33.0, 0.0, 0.0, five_with_zeros);
    Sextet::sextet_positions(iron(), 0.3, 0.1, 33.0, three);
    EXPECT_EQ(five_with_zeros, three);
}

TEST(SextetPositions, ReversedFieldReversesTheOrder)
{
    const Positions up = positions(iron(), 0.1, 0.0, 250.0);
    Positions down = positions(iron(), 0.1, 0.0, -250.0);
    std::reverse(down.begin(), down.end());
    for (int j = 0; j < 6; ++j)
        EXPECT_NEAR(up[j], down[j], 1e-14) << j;
}

TEST(SextetPositions, DerivativesOnDualNumbers)
{
    using D = Dual<5>;
    const Isotope& iso = iron();
    std::array<D, 6> p;
    Sextet::sextet_positions(iso, D::seed(0.1, 0), D::seed(0.05, 1), D::seed(330.0, 2), D::seed(0.02, 3),
                             D::seed(-0.01, 4), p);
    const double f1 = 0.5 * iso.K, f2 = f1 * iso.α, f3 = f1 * iso.β;
    const double d_epsilon[6] = {1, -1, -1, -1, -1, 1};
    const double d_field[6] = {f1, f2, f3, -f3, -f2, -f1};
    const double d_plus[6] = {1, 0, 0, 0, 0, -1};
    const double d_minus[6] = {0, -1, 1, -1, 1, 0};
    const Positions plain = positions(iso, 0.1, 0.05, 330.0, 0.02, -0.01);
    for (int j = 0; j < 6; ++j) {
        EXPECT_EQ(p[j][0], plain[j]) << j;
        EXPECT_EQ(p[j][1], 1.0) << j;
        EXPECT_EQ(p[j][2], d_epsilon[j]) << j;
        EXPECT_EQ(p[j][3], d_field[j]) << j;
        EXPECT_EQ(p[j][4], d_plus[j]) << j;
        EXPECT_EQ(p[j][5], d_minus[j]) << j;
    }
}

// Each transition's shift per unit field from the g-factors is the negative of its
// field factor in sextet_positions.
TEST(SextetPositions, QuantumNumbersGiveTheNegatedFieldFactors)
{
    for (const Isotope* iso : {&iron(), program_isotopes().find(L"119Sn")}) {
        ASSERT_NE(iso, nullptr);
        const Positions at_unit_field = positions(*iso, 0.0, 0.0, 1.0);
        for (int j = 0; j < 6; ++j) {
            const double c = (zeeman_line_factors[0][j] * iso->g_ex - zeeman_line_factors[1][j] * iso->g_gr) * iso->KN;
            EXPECT_NEAR(c, -at_unit_field[j], 1e-15) << iso->name.size() << ", line " << j + 1;
        }
    }
}

struct ExtentCase {
    const char* name;
    double d, e, h, a_plus, a_minus, width, r2, r3, r4, r5, r6;
    double min, max;
};

TEST(SextetExtent, WidensThePositionsByTwelveOfTheLargestWidth)
{
    const Positions sextet = positions(iron(), 0.1, 0.05, 330.0, 0.02, 0.01);
    const double lowest = *std::min_element(sextet.begin(), sextet.end());
    const double highest = *std::max_element(sextet.begin(), sextet.end());
    const ExtentCase cases[] = {
        {"ratios 1", 0, 0, 0, 0, 0, 0.3, 1, 1, 1, 1, 1, -3.6, 3.6},
        {"ratios 0", 0, 0, 0, 0, 0, 0.3, 0, 0, 0, 0, 0, -3.6, 3.6},
        {"negative width", 0, 0, 0, 0, 0, -0.3, 1, 1, 1, 1, 1, -3.6, 3.6},
        {"line 4 widest", 0, 0, 0, 0, 0, 0.1, 1, 2, 1.5, 1, 1, -3.6, 3.6},
        {"line 5 widest", 0, 0, 0, 0, 0, 0.1, 1.5, 1, 1, 2, 1, -3.6, 3.6},
        {"sextet", 0.1, 0.05, 330, 0.02, 0.01, 0.3, 1, 1, 1, 1, 1, lowest - 3.6, highest + 3.6},
    };
    for (const ExtentCase& c : cases) {
        double min, max;
        sextet_extent(iron(), c.d, c.e, c.h, c.a_plus, c.a_minus, c.width, c.r2, c.r3, c.r4, c.r5, c.r6, min, max);
        EXPECT_NEAR(min, c.min, 1e-14) << c.name;
        EXPECT_NEAR(max, c.max, 1e-14) << c.name;
    }

    const double nan = std::numeric_limits<double>::quiet_NaN();
    double min, max;
    sextet_extent(iron(), 0, 0, 330, 0, 0, 0.3, 1, nan, 1, 1, 1, min, max);
    EXPECT_TRUE(std::isnan(min) && std::isnan(max));
    sextet_extent(iron(), 0, 0, nan, 0, 0, 0.3, 1, 1, 1, 1, 1, min, max);
    EXPECT_TRUE(std::isnan(min) && std::isnan(max));
}

// α-iron at 330 kOe with the constants of isotope.txt: line 1 lowest, the outer lines
// about ±5.31 mm/s, a positive line distance close to the standard's known distance,
// and starting values from the six found lines that return the sextet.
TEST(IronConstants, AlphaIronSextetAndItsCalibration)
{
    const Isotope& fe = iron();
    EXPECT_LT(fe.K, 0.0);
    const Positions lines = positions(fe, 0.0, 0.0, 330.0);
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
    EXPECT_NEAR(lines[0], -5.31, 0.01);
    EXPECT_NEAR(lines[5], 5.31, 0.01);

    const CalibrationVariant* variant = nullptr;
    for (const CalibrationVariant& v : fe.variants)
        if (v.standard == L"α-Fe" && v.line_count == 6)
            variant = &v;
    ASSERT_NE(variant, nullptr);
    ASSERT_EQ(variant->model_name, L"PseudoVoigt sextet");

    const SubSpecPtr sextet = make_subspec<PseudoVoigtSextet>(&fe);
    SpectrumAnalysis analysis;
    for (double x : positions(fe, -0.11, 0.02, 330.0))
        analysis.lines.push_back({x, 0.0, 0});
    analysis.line_width = 0.28;
    DVector p(15);
    sextet->init_params(analysis, p, 0, 15);
    dynamic_cast<const ICalibrationInit&>(*sextet).init_from_peaks(analysis, p, 0, 15);
    EXPECT_NEAR(p(3), -0.11, 1e-12);
    EXPECT_NEAR(p(4), 0.02, 1e-12);
    EXPECT_NEAR(p(5), 330.0, 1e-9);
    EXPECT_EQ(p(8), 0.28);

    const double measured = dynamic_cast<const ILineDistance&>(*sextet).line_distance(all_of(p));
    EXPECT_GT(measured, 0.0);
    EXPECT_NEAR(measured, -fe.K * 330.0, 1e-12);
    // The calibration's new price = price · distance / measured: within 0.1 % of 1.
    EXPECT_NEAR(variant->distance / measured, 1.0, 1e-3);
}

}  // namespace
