// The sextet models: the intensity pattern and the area, the formula against the sum of
// single lines at its listed lines, the reduction of the full pseudo-Voigt sextet to the
// simple one, what each width ratio and pair shift changes, the collapse at zero field,
// extents, starting values and the starting values from found lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "core/spectrum/spectrum_analysis.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "lineshapes/sextet.h"
#include "lineshapes/simple_sextets.h"
#include "lineshapes/singlets.h"
#include "line_test_support.h"
#include "subspec/subspec_impl.h"

namespace {

using namespace line_test;

const SubSpecPtr simple_pv = make_subspec<SimplePseudoVoigtSextet>(&iron());
const SubSpecPtr simple_voigt = make_subspec<SimpleVoigtSextet>(&iron());
const SubSpecPtr full_pv = make_subspec<PseudoVoigtSextet>(&iron());
const SubSpecPtr pv_line = make_subspec<PseudoVoigtLine>(nullptr);
const SubSpecPtr voigt_line = make_subspec<VoigtLine>(nullptr);

// I, I₂/I₁, I₃/I₁, δ, ε, Hn, then the model's own.
const std::vector<double> simple_pv_params = {1.4, 0.7, 0.4, 0.1, 0.05, 330.0, 0.3, 1.2, 0.8, 0.35};
const std::vector<double> simple_voigt_params = {1.4, 0.7, 0.4, 0.1, 0.05, 330.0, 0.2, 0.25, 1.0, 1.0};
const std::vector<double> full_pv_params = {1.4,  0.7, 0.4, 0.1, 0.05, 330.0, 0.03, -0.02,
                                            0.3, 1.2, 0.8, 1.1, 0.9, 1.05, 0.35};

TEST(SextetModels, ThePatternAddsUpToI)
{
    const std::pair<const ISubSpec*, std::vector<double>> cases[] = {
        {simple_pv.get(), simple_pv_params}, {simple_voigt.get(), simple_voigt_params}, {full_pv.get(), full_pv_params}};
    for (auto [model, p] : cases) {
        p[1] = 0.6666666666666666;
        p[2] = 0.3333333333333333;
        const std::vector<LineInfo> lines = lines_of(*model, p);
        ASSERT_EQ(lines.size(), 6u);
        const double unit = lines[2].intensity;
        const double pattern[6] = {3, 2, 1, 1, 2, 3};
        double sum = 0.0;
        for (int j = 0; j < 6; ++j) {
            EXPECT_NEAR(lines[j].intensity / unit, pattern[j], 1e-14) << j;
            sum += lines[j].intensity;
        }
        EXPECT_NEAR(sum, 1.4, 1e-15);
        EXPECT_NEAR(area(*model, p, -400.0, 400.0, 160000), 1.4, 1.4 * 3e-4) << model->display_name();
    }
}

// The formula is the sum of single lines at the listed positions, widths and areas.
TEST(SextetModels, FormulaIsTheSumOfItsListedLines)
{
    const DVector x = grid(-9.0, 9.0, 181);
    const auto expect_sum = [&](const ISubSpec& model, const std::vector<double>& p, const ISubSpec& line,
                                double shape) {
        const std::vector<double> y = values(model, p, x);
        std::vector<double> sum(x.size(), 0.0);
        for (const LineInfo& l : lines_of(model, p)) {
            const std::vector<double> single = values(line, {l.intensity, l.position, l.width, shape}, x);
            for (std::size_t i = 0; i < x.size(); ++i)
                sum[i] += single[i];
        }
        for (std::size_t i = 0; i < x.size(); ++i)
            EXPECT_NEAR(y[i], sum[i], 1e-14) << model.display_name() << " at " << x(i);
    };
    expect_sum(*simple_pv, simple_pv_params, *pv_line, simple_pv_params[9]);
    expect_sum(*full_pv, full_pv_params, *pv_line, full_pv_params[14]);
    expect_sum(*simple_voigt, simple_voigt_params, *voigt_line, simple_voigt_params[7]);  // equal Gauss widths
}

TEST(SextetModels, FullSextetWithoutItsExtrasIsTheSimpleOne)
{
    const std::vector<double> simple = {1.4, 0.7, 0.4, 0.1, 0.05, 330.0, 0.3, 1.2, 0.8, 0.35};
    const std::vector<double> full = {1.4, 0.7, 0.4, 0.1, 0.05, 330.0, 0.0, 0.0, 0.3, 1.2, 0.8, 1.0, 1.0, 1.0, 0.35};
    const DVector x = grid(-9.0, 9.0, 361);
    EXPECT_EQ(values(*full_pv, full, x), values(*simple_pv, simple, x));
}

// Γ₄/Γ₃, Γ₅/Γ₂ and Γ₆/Γ₁ each widen one line, Γ₂/Γ₁ and Γ₃/Γ₁ a pair; a₊ moves the
// outer pair apart, a₋ lines 3 and 5 up and 2 and 4 down.
TEST(SextetModels, WidthRatiosAndPairShiftsActOnTheirLines)
{
    const std::vector<LineInfo> base = lines_of(*full_pv, full_pv_params);
    struct Case {
        int parameter;
        double value;
        std::vector<int> widened;   // lines (0-based) whose width changes
        std::vector<double> moved;  // position change of each line
    } cases[] = {
        {9, 1.5, {1, 4}, {0, 0, 0, 0, 0, 0}},  {10, 1.5, {2, 3}, {0, 0, 0, 0, 0, 0}},
        {11, 1.5, {3}, {0, 0, 0, 0, 0, 0}},    {12, 1.5, {4}, {0, 0, 0, 0, 0, 0}},
        {13, 1.5, {5}, {0, 0, 0, 0, 0, 0}},    {6, 0.13, {}, {0.1, 0, 0, 0, 0, -0.1}},
        {7, 0.08, {}, {0, -0.1, 0.1, -0.1, 0.1, 0}},
    };
    for (const Case& c : cases) {
        std::vector<double> p = full_pv_params;
        p[c.parameter] = c.value;
        const std::vector<LineInfo> changed = lines_of(*full_pv, p);
        for (int j = 0; j < 6; ++j) {
            const bool widened = std::find(c.widened.begin(), c.widened.end(), j) != c.widened.end();
            EXPECT_EQ(changed[j].width != base[j].width, widened) << c.parameter << ", line " << j + 1;
            EXPECT_NEAR(changed[j].position - base[j].position, c.moved[j], 1e-14) << c.parameter << ", line " << j + 1;
        }
    }

    const ILineDistance& distance = dynamic_cast<const ILineDistance&>(*full_pv);
    std::vector<double> shifted = full_pv_params;
    shifted[6] += 0.1;
    EXPECT_NEAR(distance.line_distance(all_of(vec(full_pv_params))) - distance.line_distance(all_of(vec(shifted))),
                0.2, 1e-14);
    EXPECT_NEAR(distance.line_distance(all_of(vec(full_pv_params))), base[5].position - base[0].position, 1e-14);
}

// Lines 1 and 6 at δ + ε with area 2w, lines 2 to 5 at δ − ε with 2w·(q + r).
TEST(SextetModels, ZeroFieldCollapsesToTwoLines)
{
    const std::vector<double> p = {1.4, 0.7, 0.4, 0.1, 0.5, 0.0, 0.3, 1.0, 1.0, 0.35};
    const double w = 1.4 / (2.0 * (1.0 + 0.7 + 0.4));
    const DVector x = grid(-3.0, 3.0, 121);
    const std::vector<double> y = values(*simple_pv, p, x);
    const std::vector<double> outer = values(*pv_line, {2 * w, 0.6, 0.3, 0.35}, x);
    const std::vector<double> inner = values(*pv_line, {2 * w * 1.1, -0.4, 0.3, 0.35}, x);
    for (std::size_t i = 0; i < x.size(); ++i)
        EXPECT_NEAR(y[i], outer[i] + inner[i], 1e-14) << x(i);
}

TEST(SextetModels, Extents)
{
    double min, max, min2, max2;
    extent_of(*simple_voigt, simple_voigt_params, min, max);
    std::vector<double> wider_gauss = simple_voigt_params;
    wider_gauss[7] = 3.0;
    extent_of(*simple_voigt, wider_gauss, min2, max2);
    EXPECT_EQ(min, min2);
    EXPECT_EQ(max, max2);
    const std::vector<LineInfo> lines = lines_of(*simple_voigt, simple_voigt_params);
    EXPECT_NEAR(min, lines[0].position - 12 * 0.2, 1e-14);
    EXPECT_NEAR(max, lines[5].position + 12 * 0.2, 1e-14);

    extent_of(*simple_pv, simple_pv_params, min, max);  // line pair 2/5 is the widest
    EXPECT_NEAR(max, lines_of(*simple_pv, simple_pv_params)[5].position + 12 * 0.36, 1e-14);
    extent_of(*full_pv, full_pv_params, min, max);
    double expected_min, expected_max;
    sextet_extent(iron(), 0.1, 0.05, 330.0, 0.03, -0.02, 0.3, 1.2, 0.8, 1.1, 0.9, 1.05, expected_min, expected_max);
    EXPECT_EQ(min, expected_min);
    EXPECT_EQ(max, expected_max);
}

SpectrumAnalysis found(const std::vector<double>& positions, double line_width = 0.27)
{
    return found_lines(positions, 0.15, 9.0, line_width);
}

TEST(SextetModels, StartingValues)
{
    const double g = iron().Γτ, k = std::fabs(iron().K);
    const SpectrumAnalysis four = found({-3.0, -1.0, 1.0, 3.4});
    const SpectrumAnalysis five = found({-5.0, -3.0, 0.2, 3.0, 5.4});
    struct Case {
        std::string name;
        const ISubSpec& model;
        const SpectrumAnalysis& analysis;
        std::vector<double> expected;
    } cases[] = {
        {"simple PV, 4 lines", *simple_pv, four, {1, 2.0 / 3, 1.0 / 3, 0.15, 0, 9.0 / k, 3 * g, 1, 1, 0}},
        {"simple PV, 5 lines", *simple_pv, five, {1, 2.0 / 3, 1.0 / 3, 0.2, 0, 10.4 / k, 3 * g, 1, 1, 0}},
        {"simple Voigt", *simple_voigt, five, {1, 2.0 / 3, 1.0 / 3, 0.2, 0, 10.4 / k, 2 * g, 0.01, 1, 1}},
        {"PV sextet", *full_pv, four, {1, 2.0 / 3, 1.0 / 3, 0.15, 0, 9.0 / k, 0, 0, 3 * g, 1, 1, 1, 1, 1, 0}},
    };
    for (const Case& c : cases) {
        const std::vector<double> p = start_values(c.model, c.analysis);
        ASSERT_EQ(p.size(), c.expected.size()) << c.name;
        for (std::size_t j = 0; j < p.size(); ++j)
            EXPECT_NEAR(p[j], c.expected[j], 1e-14) << c.name << ", parameter " << j;
    }
}

// From the lines the calibration's analysis found, for each count it understands.
TEST(SextetModels, StartingValuesFromFoundLines)
{
    const Isotope& fe = iron();
    const std::array<double, 6> lines = [&] {
        std::array<double, 6> out;
        Sextet::sextet_positions(fe, -0.1, 0.03, 300.0, out);
        return out;
    }();
    struct Case {
        std::string name;
        SpectrumAnalysis analysis;
        double shift, quadrupole, field, width;
    } cases[] = {
        {"6 lines", found(std::vector<double>(lines.begin(), lines.end())), -0.1, 0.03, 300.0, 0.27},
        {"4 lines: 2 and 5 outermost", found({lines[1], lines[2], lines[3], lines[4]}), -0.1 - 0.03, 0.0, 300.0, 0.27},
        {"2 lines: 3 and 4", found({lines[2], lines[3]}), -0.1 - 0.03, 0.0, 300.0, 0.27},
        {"5 lines: kept", found({-5.0, -3.0, 0.2, 3.0, 5.4}), 0.2, 0.0, 10.4 / std::fabs(fe.K), 0.27},
        {"3 lines, no width: kept", found({-1.0, 0.0, 1.0}, 0.0), 0.15, 0.0, 9.0 / std::fabs(fe.K), 3 * fe.Γτ},
    };
    for (const Case& c : cases) {
        DVector p(17, -1.0);
        full_pv->init_params(c.analysis, p, 1, 15);
        dynamic_cast<const ICalibrationInit&>(*full_pv).init_from_peaks(c.analysis, p, 1, 15);
        EXPECT_NEAR(p(1 + 3), c.shift, 1e-12) << c.name;
        EXPECT_NEAR(p(1 + 4), c.quadrupole, 1e-12) << c.name;
        EXPECT_NEAR(p(1 + 5), c.field, 1e-9) << c.name;
        EXPECT_NEAR(p(1 + 8), c.width, 1e-15) << c.name;
        EXPECT_EQ(p(0), -1.0);
        EXPECT_EQ(p(16), -1.0);
    }
    DVector short_vector(10);
    EXPECT_THROW(dynamic_cast<const ICalibrationInit&>(*full_pv).init_from_peaks(found({}), short_vector, 0, 15),
                 std::out_of_range);
}

TEST(SextetModels, NamesAndTheNeedForAnIsotope)
{
    EXPECT_EQ(full_pv->display_name(), L"PseudoVoigt sextet (57Fe)");
    EXPECT_EQ(simple_voigt->display_name(), L"Voigt sextet [simple] (57Fe)");
    std::vector<int> kinds;
    dynamic_cast<const IDistVarTypes&>(*full_pv).dist_kinds(kinds);
    EXPECT_EQ(kinds, (std::vector<int>{1, 2, 11}));

    // Without an isotope a sextet has no line positions: starting values, line lists and
    // values fail with an error that says so.
    const SubSpecPtr orphan = make_subspec<PseudoVoigtSextet>(nullptr);
    DVector p(15);
    EXPECT_THROW(orphan->init_params(SpectrumAnalysis(), p, 0, 15), std::runtime_error);
    EXPECT_THROW(positions_of(*orphan, full_pv_params), std::runtime_error);
    try {
        value_at(*orphan, full_pv_params, 0.0);
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "This model needs an isotope");
    }
}

}  // namespace
