// The single lines and doublets against closed forms and limits: heights at the centre
// and at half width, the pseudo-Voigt and Voigt limits, areas, the doublet's special
// cases, extents, line lists, the Lorentz parameters and the starting values with and
// without an isotope.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/spectrum/spectrum_analysis.h"
#include "lineshapes/doublets.h"
#include "lineshapes/singlets.h"
#include "line_test_support.h"
#include "subspec/subspec_impl.h"

namespace {

using namespace line_test;

constexpr double pi = 3.141592653589793;
constexpr double gauss_norm = 0.46971863934982566;  // sqrt(ln 2 / pi)
constexpr double ln2 = 0.6931471805599453;

double lorentz(double v, double area, double position, double width)
{
    const double x = 2.0 * (v - position) / width;
    return area * 2.0 / (pi * width * (1.0 + x * x));
}

double gauss(double v, double area, double position, double width)
{
    const double x = 2.0 * (v - position) / width;
    return area * 2.0 / width * gauss_norm * std::exp(-ln2 * x * x);
}

const SubSpecPtr lorenz_line = make_subspec<LorenzLine>(nullptr);
const SubSpecPtr pv_line = make_subspec<PseudoVoigtLine>(nullptr);
const SubSpecPtr voigt_line = make_subspec<VoigtLine>(nullptr);
const SubSpecPtr pv_doublet = make_subspec<PseudoVoigtDoublet>(nullptr);
const SubSpecPtr voigt_doublet = make_subspec<VoigtDoublet>(nullptr);

TEST(SingleLines, HalfHeightAtHalfWidthAndThePeakOfTheLorentzParameters)
{
    const double I = 1.7, d = 0.3, w = 0.4;
    double amplitude, position, width;
    dynamic_cast<const ILorenzLine&>(*lorenz_line).lorentz_params(all_of(vec({I, d, w})), amplitude, position, width);
    EXPECT_DOUBLE_EQ(amplitude, 2.0 * I / (pi * w));
    EXPECT_EQ(position, d);
    EXPECT_EQ(width, w);
    EXPECT_DOUBLE_EQ(value_at(*lorenz_line, {I, d, w}, d), amplitude);
    EXPECT_DOUBLE_EQ(value_at(*lorenz_line, {I, d, w}, d + w / 2), amplitude / 2);

    for (double alpha : {0.0, 0.35, 1.0}) {
        const double peak = value_at(*pv_line, {I, d, w, alpha}, d);
        EXPECT_NEAR(value_at(*pv_line, {I, d, w, alpha}, d - w / 2), peak / 2, 1e-14) << alpha;
        EXPECT_NEAR(value_at(*pv_line, {I, d, w, alpha}, d + w / 2), peak / 2, 1e-14) << alpha;
    }
}

TEST(SingleLines, PseudoVoigtLimitsAreLorentzAndGauss)
{
    const double I = 1.2, d = -0.4, w = 0.35;
    const DVector x = grid(-3.0, 2.0, 101);
    const std::vector<double> lorentz_shaped = values(*pv_line, {I, d, w, 0.0}, x);
    const std::vector<double> lorenz_line_values = values(*lorenz_line, {I, d, w}, x);
    const std::vector<double> gauss_shaped = values(*pv_line, {I, d, w, 1.0}, x);
    for (std::size_t i = 0; i < x.size(); ++i) {
        EXPECT_NEAR(lorentz_shaped[i], lorentz(x(i), I, d, w), 1e-14);
        EXPECT_NEAR(lorenz_line_values[i], lorentz(x(i), I, d, w), 1e-14);
        EXPECT_NEAR(gauss_shaped[i], gauss(x(i), I, d, w), 1e-14);
    }
}

// A narrow Lorentz part leaves the Gauss line, a narrow Gauss part the Lorentz line.
TEST(SingleLines, VoigtLimits)
{
    const DVector x = grid(-3.0, 3.0, 601);
    const std::vector<double> nearly_gauss = values(*voigt_line, {1.0, 0.0, 0.001, 0.3}, x);
    const std::vector<double> nearly_lorentz = values(*voigt_line, {1.0, 0.0, 0.3, 0.01}, x);
    const double gauss_peak = gauss(0.0, 1.0, 0.0, 0.3), lorentz_peak = lorentz(0.0, 1.0, 0.0, 0.3);
    for (std::size_t i = 0; i < x.size(); ++i) {
        EXPECT_LT(std::fabs(nearly_gauss[i] - gauss(x(i), 1.0, 0.0, 0.3)), 0.01 * gauss_peak) << x(i);
        EXPECT_LT(std::fabs(nearly_lorentz[i] - lorentz(x(i), 1.0, 0.0, 0.3)), 0.001 * lorentz_peak) << x(i);
    }
}

// A Voigt line without a Lorentz part is the Gauss line, also exactly at its centre,
// where the Faddeeva series has a removable singularity; its derivatives are finite.
TEST(SingleLines, VoigtLineWithoutLorentzWidthIsRegularAtItsCentre)
{
    const double I = 0.8, d = 0.25, g = 0.3;
    const DVector x = vec({d, d + 0.3 * 0.20943951023931953 / (2.0 * 0.8325546111576977), d - 0.01});
    const std::vector<double> p = {I, d, 0.0, g};
    const std::vector<double> y = values(*voigt_line, p, x);
    for (std::size_t i = 0; i < x.size(); ++i)
        EXPECT_NEAR(y[i], gauss(x(i), I, d, g), 1e-12 * gauss(d, I, d, g)) << x(i);

    std::vector<double> with_jacobian(x.size());
    DMatrix jacobian(x.size(), 4);
    voigt_line->evaluate_with_jacobian(all_of(x), all_of(vec(p)), with_jacobian.data(), all_of(jacobian));
    for (std::size_t i = 0; i < x.size(); ++i) {
        EXPECT_NEAR(with_jacobian[i], y[i], 1e-13);
        for (unsigned k = 0; k < 4; ++k) {
            const double h = 1e-6;
            std::vector<double> up = p, down = p;
            up[k] += h;
            down[k] -= h;
            const double difference = (values(*voigt_line, up, x)[i] - values(*voigt_line, down, x)[i]) / (2 * h);
            EXPECT_NEAR(jacobian(i, k), difference, 1e-6 * (1.0 + std::fabs(difference))) << i << ", " << k;
        }
    }
}

struct AreaCase {
    const char* name;
    const ISubSpec* model;
    std::vector<double> params;
};

// Over ±400 mm/s the Lorentz tails beyond miss a fraction Γ/(π·400) < 3e-4 of a line.
TEST(LineModels, AreaIsI)
{
    const AreaCase cases[] = {
        {"LorenzLine", lorenz_line.get(), {1.3, 0.2, 0.3}},
        {"PseudoVoigtLine", pv_line.get(), {1.3, 0.2, 0.3, 0.6}},
        {"VoigtLine", voigt_line.get(), {1.3, 0.2, 0.2, 0.25}},
        {"PseudoVoigtDoublet", pv_doublet.get(), {1.3, 0.7, 0.2, 0.9, 0.3, 1.4, 0.6}},
        {"VoigtDoublet", voigt_doublet.get(), {1.3, 0.7, 0.2, 0.9, 0.2, 0.25, 2.0}},
    };
    for (const AreaCase& c : cases)
        EXPECT_NEAR(area(*c.model, c.params, -400.0, 400.0, 160000), 1.3, 1.3 * 3e-4) << c.name;
}

TEST(Doublets, EqualRatioGivesEqualLinesAndZeroRatioOneLine)
{
    const std::vector<double> p = {1.2, 1.0, 0.1, 0.8, 0.3, 1.0, 0.4};
    const std::vector<LineInfo> lines = lines_of(*pv_doublet, p);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_DOUBLE_EQ(lines[0].intensity, 0.6);
    EXPECT_DOUBLE_EQ(lines[1].intensity, 0.6);
    EXPECT_DOUBLE_EQ(lines[0].position, -0.7);
    EXPECT_DOUBLE_EQ(lines[1].position, 0.9);
    EXPECT_NEAR(value_at(*pv_doublet, p, 0.1 - 0.5), value_at(*pv_doublet, p, 0.1 + 0.5), 1e-15);

    // R = 0: only line 1, a line of area I at δ − ε.
    const DVector x = grid(-3.0, 3.0, 61);
    const std::vector<double> single = values(*pv_doublet, {1.2, 0.0, 0.1, 0.8, 0.3, 2.0, 0.4}, x);
    const std::vector<double> line = values(*pv_line, {1.2, -0.7, 0.3, 0.4}, x);
    const std::vector<double> voigt_single = values(*voigt_doublet, {1.2, 0.0, 0.1, 0.8, 0.2, 0.25, 2.0}, x);
    const std::vector<double> voigt = values(*voigt_line, {1.2, -0.7, 0.2, 0.25}, x);
    for (std::size_t i = 0; i < x.size(); ++i) {
        EXPECT_NEAR(single[i], line[i], 1e-14);
        EXPECT_NEAR(voigt_single[i], voigt[i], 1e-14);
    }
}

TEST(Doublets, NoSplittingIsOneLineOfAreaI)
{
    const DVector x = grid(-3.0, 3.0, 61);
    const std::vector<double> doublet = values(*pv_doublet, {1.2, 0.6, 0.1, 0.0, 0.3, 1.0, 0.4}, x);
    const std::vector<double> line = values(*pv_line, {1.2, 0.1, 0.3, 0.4}, x);
    const std::vector<double> voigt_pair = values(*voigt_doublet, {1.2, 0.6, 0.1, 0.0, 0.2, 0.25, 1.0}, x);
    const std::vector<double> voigt = values(*voigt_line, {1.2, 0.1, 0.2, 0.25}, x);
    for (std::size_t i = 0; i < x.size(); ++i) {
        EXPECT_NEAR(doublet[i], line[i], 1e-14);
        EXPECT_NEAR(voigt_pair[i], voigt[i], 1e-14);
    }
}

TEST(Doublets, NegativeSplittingSwapsTheLines)
{
    for (const ISubSpec* model : {pv_doublet.get(), voigt_doublet.get()}) {
        const std::vector<double> p = {1.0, 0.5, 0.2, -0.6, 0.3, 0.5, 1.0};
        const std::vector<LineInfo> lines = lines_of(*model, p);
        EXPECT_DOUBLE_EQ(lines[0].position, 0.8);  // line 1 above δ
        EXPECT_DOUBLE_EQ(lines[1].position, -0.4);
        EXPECT_DOUBLE_EQ(dynamic_cast<const ILineDistance&>(*model).line_distance(all_of(vec(p))), -1.2);
        double min, max;
        extent_of(*model, p, min, max);
        EXPECT_DOUBLE_EQ(max - 0.2, 0.2 - min);
        EXPECT_GT(max - 0.2, 0.6);
        EXPECT_EQ(positions_of(*model, p),
                  (std::vector<std::vector<double>>{{lines[0].position, lines[1].position}}));
    }
}

// "ΓG₂/ΓG₁" = 2: line 1 is the narrower, so with equal areas the higher.
TEST(Doublets, VoigtGaussRatioWidensLineTwo)
{
    const std::vector<double> p = {1.0, 1.0, 0.0, 2.0, 0.1, 0.3, 2.0};
    EXPECT_GT(value_at(*voigt_doublet, p, -2.0), 1.3 * value_at(*voigt_doublet, p, 2.0));
    const std::vector<LineInfo> lines = lines_of(*voigt_doublet, p);
    EXPECT_EQ(lines[0].width, 0.1);  // both report the Lorentz width
    EXPECT_EQ(lines[1].width, 0.1);
}

TEST(LineModels, Extents)
{
    struct Case {
        const ISubSpec* model;
        std::vector<double> params;
        double min, max;
    } cases[] = {
        {lorenz_line.get(), {1.0, 0.5, 0.1}, -0.7, 1.7},
        {pv_line.get(), {1.0, 0.5, -0.1, 0.3}, -0.7, 1.7},
        {voigt_line.get(), {1.0, 0.0, 0.1, 1.0}, -1.2, 1.2},  // the Gauss width does not enter
        {pv_doublet.get(), {1.0, 1.0, 0.5, -1.0, 0.1, 2.0, 0.3}, 0.5 - 1.0 - 2.4, 0.5 + 1.0 + 2.4},
        {voigt_doublet.get(), {1.0, 1.0, 0.5, 1.0, 0.1, 2.0, 3.0}, 0.5 - 1.0 - 1.2, 0.5 + 1.0 + 1.2},
    };
    for (const Case& c : cases) {
        double min, max;
        extent_of(*c.model, c.params, min, max);
        EXPECT_DOUBLE_EQ(min, c.min) << c.model->display_name();
        EXPECT_DOUBLE_EQ(max, c.max) << c.model->display_name();
    }
}

TEST(LineModels, LineListsAndDistributionKinds)
{
    EXPECT_EQ(positions_of(*lorenz_line, {1.0, 0.3, 0.2}), (std::vector<std::vector<double>>{{0.3}}));
    const std::vector<LineInfo> voigt = lines_of(*voigt_line, {1.5, 0.3, 0.2, 0.7});
    ASSERT_EQ(voigt.size(), 1u);
    EXPECT_EQ(voigt[0].position, 0.3);
    EXPECT_EQ(voigt[0].width, 0.2);
    EXPECT_EQ(voigt[0].intensity, 1.5);

    std::vector<int> kinds;
    dynamic_cast<const IDistVarTypes&>(*voigt_line).dist_kinds(kinds);
    dynamic_cast<const IDistVarTypes&>(*pv_doublet).dist_kinds(kinds);
    EXPECT_EQ(kinds, (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(pv_doublet->display_name(), L"PseudoVoigt doublet");
    EXPECT_EQ(make_subspec<VoigtLine>(&iron())->display_name(), L"Voigt singlet");
}

std::vector<double> start(const SubSpecPtr& s, const SpectrumAnalysis& analysis)
{
    DVector p(s->param_count() + 2, -9.0);
    s->init_params(analysis, p, 1, s->param_count());
    EXPECT_EQ(p(0), -9.0);
    EXPECT_EQ(p(p.size() - 1), -9.0);
    return std::vector<double>(p.begin() + 1, p.end() - 1);
}

SpectrumAnalysis analysis_with_lines(const std::vector<double>& positions)
{
    return found_lines(positions, 0.2, 1.5, 0.36);
}

// With the isotope the widths scale from its natural width; without one, from the
// width the analysis measured (3·Γτ is then that width).
TEST(LineModels, StartingValues)
{
    const Isotope* fe = &iron();
    const double g = fe->Γτ;
    const SpectrumAnalysis one = analysis_with_lines({0.1});
    const SpectrumAnalysis two = analysis_with_lines({-0.5, 1.5});
    const SpectrumAnalysis three = analysis_with_lines({-0.5, 0.2, 1.5});
    struct Case {
        std::string name;
        SubSpecPtr model;
        const SpectrumAnalysis& analysis;
        std::vector<double> expected;
    } cases[] = {
        {"Lorentz", make_subspec<LorenzLine>(fe), one, {1.0, 0.2, 3 * g}},
        {"Lorentz, no isotope", make_subspec<LorenzLine>(nullptr), one, {1.0, 0.2, 0.36}},
        {"PseudoVoigt", make_subspec<PseudoVoigtLine>(fe), one, {1.0, 0.2, 3 * g, 0.0}},
        {"Voigt", make_subspec<VoigtLine>(fe), one, {1.0, 0.2, 2 * g, 0.01}},
        {"Voigt, no isotope", make_subspec<VoigtLine>(nullptr), one, {1.0, 0.2, 0.24, 0.01}},
        {"PV doublet, 2 lines", make_subspec<PseudoVoigtDoublet>(fe), two, {1.0, 1.0, 0.5, 1.0, 3 * g, 1.0, 0.0}},
        {"PV doublet, 3 lines", make_subspec<PseudoVoigtDoublet>(fe), three, {1.0, 1.0, 0.2, 3 * g, 3 * g, 1.0, 0.0}},
        {"PV doublet, no isotope", make_subspec<PseudoVoigtDoublet>(nullptr), one,
         {1.0, 1.0, 0.2, 0.36, 0.36, 1.0, 0.0}},
        {"Voigt doublet, 2 lines", make_subspec<VoigtDoublet>(fe), two, {1.0, 1.0, 0.5, 1.0, 2 * g, 0.01, 1.0}},
        {"Voigt doublet, 1 line", make_subspec<VoigtDoublet>(fe), one, {1.0, 1.0, 0.2, 3 * g, 2 * g, 0.01, 1.0}},
    };
    for (const Case& c : cases) {
        const std::vector<double> p = start(c.model, c.analysis);
        ASSERT_EQ(p.size(), c.expected.size()) << c.name;
        for (std::size_t k = 0; k < p.size(); ++k)
            EXPECT_NEAR(p[k], c.expected[k], 1e-15) << c.name << ", parameter " << k;
    }

    // No line measured: the half-depth width.
    SpectrumAnalysis none = analysis_with_lines({});
    none.line_width = 0.0;
    EXPECT_NEAR(start(make_subspec<LorenzLine>(nullptr), none)[2], 1.5, 1e-15);
}

}  // namespace
