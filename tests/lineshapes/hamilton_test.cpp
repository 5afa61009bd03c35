// The Hamiltonian models against independent sums of pseudo-Voigt lines in their
// limits (a pure quadrupole doublet at several beam angles, a pure Zeeman sextet with
// the widths of Hamilton8 assigned by intensity rank), Hamilton8 with equal widths
// against Hamilton, the area, the extents (which follow the isomer shift), the line
// lists and line information, the starting values, and a fit that recovers a combined
// magnetic and quadrupole spectrum from Poisson counts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/fit/fit_settings.h"
#include "core/fit/lm_fit.h"
#include "core/model/spectrum_model.h"
#include "core/spectrum/poisson.h"
#include "core/spectrum/spectrum_analysis.h"
#include "core/spectrum/spectrum_data.h"
#include "lineshapes/hamilton.h"
#include "line_test_support.h"
#include "subspec/baseline.h"
#include "subspec/subspec_impl.h"

namespace {

using namespace line_test;

constexpr double pi = 3.141592653589793;
constexpr double magic = 54.735610317245346;

const SubSpecPtr hamilton = make_subspec<Hamilton>(&iron());
const SubSpecPtr hamilton8 = make_subspec<Hamilton8>(&iron());

// A pseudo-Voigt line of area `area`, full width `width` and Gauss fraction `alpha`.
double pv_line(double v, double area, double position, double width, double alpha)
{
    const double x = 2.0 * (v - position) / width;
    const double gauss = std::sqrt(std::log(2.0) / pi) * std::exp(-std::log(2.0) * x * x);
    const double lorentz = 1.0 / (pi * (1.0 + x * x));
    return area * 2.0 / width * (alpha * gauss + (1.0 - alpha) * lorentz);
}

struct Line {
    double position, area, width;
};

void expect_lines_sum(const ISubSpec& model, const std::vector<double>& p, const std::vector<Line>& lines,
                      double alpha)
{
    const DVector x = grid(-9.0, 9.0, 721);
    const std::vector<double> y = values(model, p, x);
    for (std::size_t i = 0; i < x.size(); ++i) {
        double expected = 0.0;
        for (const Line& l : lines)
            expected += pv_line(x(i), l.area, l.position, l.width, alpha);
        ASSERT_NEAR(y[i], expected, 1e-12 * (1.0 + expected)) << x(i);
    }
}

// Hamilton parameters: I, γ, δ, Q, Hn, θ, φ, η, Γ, α.
TEST(Hamilton, PureQuadrupoleIsADoubletWithTheBeamAngleIntensities)
{
    const double I = 1.3, d = 0.2, Q = 1.6, w = 0.3, alpha = 0.4;
    struct Case {
        double gamma, upper_share;  // the share of the line at δ + Q/4
    };
    for (const Case c : {Case{magic, 0.5}, Case{0.0, 0.75}, Case{90.0, 0.375}}) {
        SCOPED_TRACE(c.gamma);
        expect_lines_sum(*hamilton, {I, c.gamma, d, Q, 0.0, 25.0, 40.0, 0.0, w, alpha},
                         {{d + Q / 4, I * c.upper_share, w}, {d - Q / 4, I * (1 - c.upper_share), w}}, alpha);
    }
}

// Position of the transition m_g → m_e of 57Fe in the field H along the gradient's axis.
double zeeman(double H, double m_e, double m_g)
{
    return (-iron().g_ex * m_e + iron().g_gr * m_g) * iron().KN * H;
}

TEST(Hamilton, PureZeemanSextetAndTheWidthsOfHamilton8ByRank)
{
    const double I = 0.9, d = -0.1, H = 330.0, alpha = 0.25;
    const double w[8] = {0.21, 0.22, 0.23, 0.24, 0.25, 0.26, 0.27, 0.28};
    // Strongest pair Γ₁, Γ₆; next pair Γ₂, Γ₅; third pair Γ₃, Γ₄; the Δm = ±2 lines Γ₇, Γ₈.
    const std::vector<Line> sextet = {
        {d + zeeman(H, 1.5, 0.5), I / 4, w[0]},    {d + zeeman(H, -1.5, -0.5), I / 4, w[5]},
        {d + zeeman(H, 0.5, 0.5), I / 6, w[1]},    {d + zeeman(H, -0.5, -0.5), I / 6, w[4]},
        {d + zeeman(H, -0.5, 0.5), I / 12, w[2]},  {d + zeeman(H, 0.5, -0.5), I / 12, w[3]},
    };
    const std::vector<double> p = {I,    magic, d,    0.0,  H,    0.0,  0.0,  0.0, w[0],
                                   w[1], w[2],  w[3], w[4], w[5], w[6], w[7], alpha};
    expect_lines_sum(*hamilton8, p, sextet, alpha);

    // The line list names the widths in order: the strongest line first, then the
    // third, the fifth, the sixth, the fourth, the second, the two weakest.
    const std::vector<LineInfo> lines = lines_of(*hamilton8, p);
    ASSERT_EQ(lines.size(), 8u);
    const int listed[6] = {0, 2, 4, 5, 3, 1};
    for (int j = 0; j < 6; ++j) {
        SCOPED_TRACE(j);
        EXPECT_NEAR(lines[j].position, sextet[listed[j]].position, 1e-12);
        EXPECT_NEAR(lines[j].intensity, sextet[listed[j]].area, 1e-15);
        EXPECT_EQ(lines[j].width, w[j]);
    }
    EXPECT_EQ(lines[6].width, w[6]);
    EXPECT_EQ(lines[7].width, w[7]);
}

TEST(Hamilton, Hamilton8WithEqualWidthsIsHamilton)
{
    const std::vector<double> p = {1.1, 30.0, 0.15, 0.9, 210.0, 35.0, 20.0, 0.4, 0.27, 0.3};
    std::vector<double> p8(p.begin(), p.begin() + 8);
    p8.insert(p8.end(), 8, p[8]);
    p8.push_back(p[9]);
    const DVector x = grid(-8.0, 8.0, 300);
    const std::vector<double> y = values(*hamilton, p, x), y8 = values(*hamilton8, p8, x);

    DMatrix jacobian(x.size(), 10), jacobian8(x.size(), 17);
    std::vector<double> with_jacobian(x.size()), with_jacobian8(x.size());
    hamilton->evaluate_with_jacobian(all_of(x), all_of(vec(p)), with_jacobian.data(), all_of(jacobian));
    hamilton8->evaluate_with_jacobian(all_of(x), all_of(vec(p8)), with_jacobian8.data(), all_of(jacobian8));
    for (std::size_t i = 0; i < x.size(); ++i) {
        ASSERT_EQ(y8[i], y[i]);
        ASSERT_EQ(with_jacobian8[i], with_jacobian[i]);
        for (int k = 0; k < 8; ++k)
            ASSERT_EQ(jacobian8(i, k), jacobian(i, k)) << k;
        double widths = 0.0;
        for (int k = 8; k < 16; ++k)
            widths += jacobian8(i, k);
        ASSERT_NEAR(widths, jacobian(i, 8), 1e-12 * (1.0 + std::fabs(jacobian(i, 8))));
        ASSERT_EQ(jacobian8(i, 16), jacobian(i, 9));
    }
}

// Gauss lines leave nothing outside ±40 mm/s; Lorentz tails beyond ±400 miss a
// fraction below Γ/(π·400) of each line.
TEST(Hamilton, AreaIsI)
{
    const std::vector<double> p = {1.7, 70.0, 0.3, -1.2, 180.0, 60.0, 15.0, 0.7, 0.3, 1.0};
    EXPECT_NEAR(area(*hamilton, p, -40.0, 40.0, 40000), 1.7, 1e-10);
    std::vector<double> lorentz = p;
    lorentz[9] = 0.0;
    EXPECT_NEAR(area(*hamilton, lorentz, -400.0, 400.0, 160000), 1.7, 1.7 * 3e-4);
    const std::vector<double> p8 = {1.7, 70.0, 0.3, -1.2, 180.0, 60.0, 15.0, 0.7,
                                    0.2, 0.25, 0.3, 0.35, 0.4, 0.45, 0.5, 0.55, 1.0};
    EXPECT_NEAR(area(*hamilton8, p8, -40.0, 40.0, 40000), 1.7, 1e-10);
}

// The extent is the lines' interval widened by 12 widths; it moves with δ, the lines do.
TEST(Hamilton, ExtentsCoverTheShiftedLines)
{
    double min, max;
    extent_of(*hamilton, {1.0, 0.0, 1.5, 2.0, 0.0, 0.0, 0.0, 0.0, 0.3, 0.0}, min, max);
    EXPECT_DOUBLE_EQ(min, 1.5 - 0.5 - 3.6);
    EXPECT_DOUBLE_EQ(max, 1.5 + 0.5 + 3.6);
    extent_of(*hamilton, {1.0, 0.0, 0.0, 2.0, 0.0, 0.0, 0.0, 0.0, -0.3, 0.0}, min, max);  // |Γ|
    EXPECT_DOUBLE_EQ(min, -0.5 - 3.6);
    EXPECT_DOUBLE_EQ(max, 0.5 + 3.6);

    // The widest |Γⱼ| sets the margin.
    const std::vector<double> p8 = {1.0, magic, -2.0, 0.0, 330.0, 0.0, 0.0, 0.0,
                                    0.2, 0.2, -0.5, 0.2, 0.2, 0.2, 0.2, 0.2, 0.0};
    extent_of(*hamilton8, p8, min, max);
    EXPECT_NEAR(min, -2.0 + zeeman(330.0, -1.5, -0.5) - 6.0, 1e-12);
    EXPECT_NEAR(max, -2.0 + zeeman(330.0, 1.5, 0.5) + 6.0, 1e-12);
}

// Errors propagate through the eigen-solution: with only δ uncertain every position
// has δ's error, with only I uncertain every intensity has I's relative error, and a
// width depends on its own parameter alone.
TEST(Hamilton, LineInformationWithErrors)
{
    const std::vector<double> p8 = {1.2, 50.0, 0.1, 0.8, 250.0, 30.0, 40.0, 0.3,
                                    0.21, 0.22, 0.23, 0.24, 0.25, 0.26, 0.27, 0.28, 0.2};
    DMatrix cov(17, 17, 0.0);
    cov(2, 2) = 0.01;
    cov(0, 0) = 0.04;
    for (int k = 8; k < 16; ++k)
        cov(k, k) = 1e-4 * (k - 7);
    const std::vector<LineInfo> lines = line_info(*hamilton8, p8, cov);
    ASSERT_EQ(lines.size(), 8u);
    double total = 0.0;
    for (int j = 0; j < 8; ++j) {
        SCOPED_TRACE(j);
        EXPECT_NEAR(lines[j].position_error, 0.1, 1e-15);
        EXPECT_NEAR(lines[j].intensity_error, lines[j].intensity / 1.2 * 0.2, 1e-15);
        EXPECT_EQ(lines[j].width, p8[8 + j]);
        EXPECT_NEAR(lines[j].width_error, std::sqrt(1e-4 * (j + 1)), 1e-15);
        total += lines[j].intensity;
    }
    EXPECT_NEAR(total, 1.2, 1e-14);
    EXPECT_EQ(positions_of(*hamilton8, p8).size(), 1u);
    EXPECT_EQ(positions_of(*hamilton8, p8)[0].size(), 8u);

    // Field errors reach positions through the eigenvalues: a pure Zeeman line moves by
    // its position per kOe.
    DMatrix field_only(10, 10, 0.0);
    field_only(4, 4) = 4.0;
    const std::vector<double> p = {1.0, magic, 0.0, 0.0, 330.0, 0.0, 0.0, 0.0, 0.25, 0.0};
    for (const LineInfo& line : line_info(*hamilton, p, field_only)) {
        EXPECT_NEAR(line.position_error, std::fabs(line.position) / 330.0 * 2.0, 1e-12);
        EXPECT_EQ(line.width, 0.25);
    }
}

SpectrumAnalysis analysis_with_lines(const std::vector<double>& positions)
{
    return found_lines(positions, 0.2, 1.5, SpectrumAnalysis().line_width);
}

TEST(Hamilton, StartingValues)
{
    const double K = std::fabs(iron().K), w = 3 * iron().Γτ;
    const std::vector<double> six = start_values(*hamilton, analysis_with_lines({-5.0, -3.0, -1.0, 1.0, 3.0, 5.0}));
    EXPECT_EQ(six, (std::vector<double>{1.0, magic, 0.0, 0.0, 10.0 / K, 0.0, 0.0, 0.0, w, 0.0}));
    const std::vector<double> four = start_values(*hamilton8, analysis_with_lines({-1.0, 0.0, 1.0, 2.0}));
    EXPECT_EQ(four, (std::vector<double>{1.0, magic, 0.2, 0.0, 1.5 / K, 0.0, 0.0, 0.0, w, w, w, w, w, w, w, w, 0.0}));

    // An isotope whose sextet does not split starts without a field, not with ±inf.
    Isotope flat = iron();
    flat.g_gr = 3.0 * flat.g_ex;
    flat.K = 0.0;
    EXPECT_EQ(start_values(*make_subspec<Hamilton>(&flat), analysis_with_lines({-5.0, -3.0, -1.0, 1.0, 3.0}))[4], 0.0);
}

TEST(Hamilton, InterfacesAndNames)
{
    for (const SubSpecPtr& s : {hamilton, hamilton8}) {
        std::vector<int> kinds;
        dynamic_cast<const IDistVarTypes&>(*s).dist_kinds(kinds);
        EXPECT_EQ(kinds, (std::vector<int>{1, 2, 11, 20, 21}));
        EXPECT_EQ(dynamic_cast<const ISubSpecArea&>(*s).area_expr(3), L"[3:I]");
        EXPECT_EQ(dynamic_cast<const ILineDistance*>(s.get()), nullptr);
        EXPECT_EQ(dynamic_cast<const ICalibrationInit*>(s.get()), nullptr);
    }
    EXPECT_EQ(hamilton->display_name(), L"Hamilton (57Fe)");
    EXPECT_EQ(hamilton8->display_name(), L"Hamilton/separate width (57Fe)");
}

// A NaN field makes the eigen-solution fail: the values are NaN, not a spectrum of the
// diagonal.
TEST(Hamilton, NotANumberParameterGivesNaNValues)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const double y : values(*hamilton, {1.0, magic, 0.0, 1.0, nan, 30.0, 0.0, 0.0, 0.3, 0.0}, grid(-5, 5, 11)))
        EXPECT_TRUE(std::isnan(y));
}

// A combined magnetic and quadrupole spectrum on a baseline of 1e6 counts, as counts
// with Poisson noise, fitted from displaced starting values: every fitted value lies
// within four standard errors of the truth and chi-square is what the noise gives.
// The plain baseline fits the level of 1e6 counts itself, next to shifts and widths in
// mm/s; the scaled automatic baseline keeps the level and fits a correction in units of
// 1e5 counts, so that its Jacobian column is of the size of the others.
TEST(HamiltonFit, RecoversACombinedSpectrumFromPoissonCounts)
{
    struct BaselineCase {
        const char* name;
        SubSpecPtr baseline;
        double level, level_start;  // its parameter 0: N₀ or ΔN₀
    };
    const BaselineCase baselines[] = {
        {"AutoBaseLine2", make_subspec<AutoBaseLine2>(nullptr), 0.0, 0.1},
        {"BaseLine", make_subspec<BaseLine>(nullptr), 1.0e6, 1.01e6},
    };
    for (const BaselineCase& b : baselines) {
        SCOPED_TRACE(b.name);
        SpectrumModel model;
        model.level = 1.0e6;
        model.insert_component(0, b.baseline);
        model.insert_component(1, make_subspec<Hamilton>(&iron()));
        model.scale = -2.0e5;
        // N₀ or ΔN₀, c, v₀ | I, γ, δ, Q, Hn, θ, φ, η, Γ, α
        const std::vector<double> truth = {b.level, 0.0, 0.0, 1.0, magic, 0.35, 1.1, 270.0, 40.0, 30.0, 0.4, 0.3, 0.1};
        const std::vector<int> varied = {1, 0, 0, 1, 0, 1, 1, 1, 1, 0, 0, 1, 0};

        SpectrumData data;
        data.x_data.resize(512);
        for (std::size_t i = 0; i < data.x_data.size(); ++i)
            data.x_data[i] = -10.0 + 20.0 * double(i) / 511.0;
        DVector expected(data.x_data.size());
        const DVector x = vec(data.x_data);
        model.evaluate(x, 0, x.size(), vec(truth), expected);
        random_engine().seed(2026);
        for (const double mean : expected) {
            const double count = poisson_sample(mean);
            data.y_data.push_back(count);
            data.std_dev_data.push_back(std::sqrt(count));
        }

        std::vector<double> start_values = truth;
        start_values[0] = b.level_start;
        start_values[3] = 0.8;
        start_values[5] = 0.2;
        start_values[6] = 0.9;
        start_values[7] = 250.0;
        start_values[8] = 30.0;
        start_values[11] = 0.4;
        DVector fitted, lower, upper;
        DMatrix covariance, directions;
        double chi2, reduced;
        unsigned iterations;
        FitStopCode code;
        lm_fit(model, data, vec(start_values), varied, lower, upper, FitSettings{}, fitted, covariance, directions,
               chi2, reduced, iterations, code);
        EXPECT_TRUE(code == FitStopSmallGradient || code == FitStopSmallStep || code == FitStopNuTooLarge) << code;
        EXPECT_LT(reduced, 1.3);
        EXPECT_GT(reduced, 0.7);

        for (std::size_t k = 0; k < truth.size(); ++k) {
            if (!varied[k]) {
                EXPECT_EQ(fitted(k), truth[k]);
                continue;
            }
            const double error = std::sqrt(covariance(k, k));
            EXPECT_GT(error, 0.0) << "parameter " << k;
            EXPECT_LT(std::fabs(fitted(k) - truth[k]), 4.0 * error)
                << "parameter " << k << ": " << fitted(k) << " ± " << error << ", true " << truth[k];
        }
    }
}

}  // namespace
