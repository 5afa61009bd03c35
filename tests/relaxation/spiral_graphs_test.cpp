// The extra curves of the spiral structures and of the spin/charge density wave: the
// profiles over n + 1 phases (the field's direction, the field with its standard error,
// the charge-density shift), the histograms of the field's size against the arcsine law
// of a sine, and the axis names.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <numeric>
#include <string>
#include <vector>

#include "relaxation/density_wave.h"
#include "relaxation/nmr_spiral.h"
#include "relaxation/spiral_models.h"
#include "tests/relaxation/modulation_component.h"
#include "tests/support/dvectors.h"
#include "tests/support/subspec_ranges.h"

namespace {

using namespace test_support;
constexpr double pi = std::numbers::pi;

struct Graph {
    std::vector<double> x{7.0}, y{8.0}, err{9.0};
};

// The curve with the errors from `covariance` (zeros when none is given).
Graph graph(const ISubSpec& s, unsigned curve, const std::vector<double>& p, const DMatrix* covariance = nullptr)
{
    Graph g;
    const DMatrix zeros(p.size(), p.size(), 0.0);
    dynamic_cast<const IExtraGraph&>(s).graph_with_errors(curve, all_of(vec(p)), all_of(covariance ? *covariance : zeros),
                                                          g.x, g.y, g.err);
    return g;
}

// The curve without a covariance: the error vector is the caller's scratch.
Graph plain_graph(const ISubSpec& s, unsigned curve, const std::vector<double>& p)
{
    Graph g;
    dynamic_cast<const IExtraGraph&>(s).graph(curve, all_of(vec(p)), g.x, g.y);
    return g;
}

std::vector<double> with_harmonics(std::vector<double> p, std::vector<double> harmonics, std::vector<double> tail = {})
{
    harmonics.resize(8, 0.0);
    p.insert(p.end(), harmonics.begin(), harmonics.end());
    p.insert(p.end(), tail.begin(), tail.end());
    return p;
}

// Hb₀, Hc₀ (νb₀, νc₀), φ and the ratio in each model's parameter list.
std::vector<double> spiral(double b0, double c0, double phi, double ratio, std::vector<double> harmonics)
{
    return with_harmonics({1.3, 0.7, 0.35, 0.1, 0.4, 0.0, b0, c0, 0.3, 1.0, 1.0, 0.0, phi, ratio}, harmonics);
}
std::vector<double> hamilton(double b0, double c0, double phi, double ratio, std::vector<double> harmonics)
{
    return with_harmonics({1.2, 40.0, 0.1, 0.8, b0, c0, 0.3, 0.0, phi, ratio}, harmonics);
}
std::vector<double> nmr(double b0, double c0, double phi, double ratio, std::vector<double> harmonics)
{
    return with_harmonics({1.5, b0, c0, 0.3, 0.1, 0.0, phi, ratio}, harmonics);
}
// H₀, h₁ … h₁₅, φ, δ₂ … δ₈.
std::vector<double> wave(double h0, std::vector<double> harmonics, double phi, std::vector<double> charge)
{
    charge.resize(4, 0.0);
    charge.insert(charge.begin(), phi);
    return with_harmonics({1.3, 0.7, 0.35, 0.1, 0.001, 0.2, 0.0005, h0, 0.3, 0.0}, harmonics, charge);
}

struct SpiralCase {
    SubSpecPtr s;
    std::vector<double> (*params)(double, double, double, double, std::vector<double>);
};

std::vector<SpiralCase> spiral_cases(const std::wstring& data)
{
    return {{modulation_component<Spiral_Spin_Sextet>(data), spiral},
            {modulation_component<Spiral_Spin_Hamilton>(data), hamilton},
            {modulation_component<NMR_Spiral_Spin>(data), nmr}};
}

// A field turning in a circle: cos θ = sin qx over the n + 1 phases 0 … 2π.
TEST(SpiralGraphs, ProfileOfACircleIsTheSineOverNPlusOnePhases)
{
    for (const SpiralCase& c : spiral_cases(L"0|Points|37")) {
        SCOPED_TRACE(wide_to_utf8(c.s->display_name()));
        const Graph g = graph(*c.s, 1, c.params(0.0, 0.0, 0.0, 1.0, {300.0}));
        ASSERT_EQ(g.x.size(), 38u);
        ASSERT_EQ(g.y.size(), 38u);
        EXPECT_TRUE(g.err.empty());
        EXPECT_EQ(g.x.front(), 0.0);
        EXPECT_NEAR(g.x.back(), 2.0 * pi, 1e-14);
        for (std::size_t i = 0; i < g.x.size(); ++i)
            ASSERT_NEAR(g.y[i], std::sin(g.x[i]), 1e-14) << i;
    }
}

// The NMR frequency's b component carries the c offset: with νc₀ alone and the ratio 1 the
// frequency is at 45° to the axis; the sextets' field with Hc₀ alone lies along it.
TEST(SpiralGraphs, TheCOffsetEntersTheNMRFrequencysBComponentOnly)
{
    const std::vector<SpiralCase> cases = spiral_cases(L"0|Points|10");
    const double expected[] = {1.0, 1.0, std::sqrt(0.5)};
    for (std::size_t m = 0; m < cases.size(); ++m) {
        const Graph g = graph(*cases[m].s, 1, cases[m].params(0.0, 50.0, 0.0, 1.0, {}));
        for (const double y : g.y)
            ASSERT_NEAR(y, expected[m], 1e-15) << m;
    }
}

TEST(SpiralGraphs, WithoutAFieldTheProfileIsZeroAtTheEndsAndPlusOneInside)
{
    for (const SpiralCase& c : spiral_cases(L"0|Points|10")) {
        const Graph g = graph(*c.s, 1, c.params(0.0, 0.0, 30.0, 1.0, {}));
        std::vector<double> expected(11, 1.0);
        expected.front() = expected.back() = 0.0;
        EXPECT_EQ(g.y, expected);
    }
}

// |H| = 300·|cos qx|·√2 (φ = 90°): the size of a sine, whose share below a fraction f of
// its largest value is (2/π)·asin f; the range from the 100 phases is 0 … 300·√2.
TEST(SpiralGraphs, HistogramOfASineFollowsTheArcsineLaw)
{
    for (const SpiralCase& c : spiral_cases(L"")) {
        SCOPED_TRACE(wide_to_utf8(c.s->display_name()));
        const Graph g = graph(*c.s, 2, c.params(0.0, 0.0, 90.0, 1.0, {300.0}));
        ASSERT_EQ(g.x.size(), 200u);
        EXPECT_TRUE(g.err.empty());
        const double top = 300.0 * std::sqrt(2.0), width = 1.1 * top / 200.0;
        EXPECT_EQ(g.x[0], 0.0);
        EXPECT_NEAR(g.x[1], width, 1e-12);
        EXPECT_NEAR(std::accumulate(g.y.begin(), g.y.end(), 0.0), 1.0, 1e-12);
        const double below = std::accumulate(g.y.begin(), g.y.begin() + 90, 0.0);
        EXPECT_NEAR(below, 2.0 / pi * std::asin(90.0 * width / top), 2e-4);
    }
}

TEST(SpiralGraphs, CurveZeroIsEmptyAndOthersLeaveTheVectors)
{
    for (const SpiralCase& c : spiral_cases(L"")) {
        const std::vector<double> p = c.params(0.0, 0.0, 0.0, 1.0, {300.0});
        const Graph empty = graph(*c.s, 0, p);
        EXPECT_TRUE(empty.x.empty() && empty.y.empty() && empty.err.empty());
        const Graph untouched = graph(*c.s, 3, p);
        EXPECT_EQ(untouched.x, std::vector<double>{7.0});
        std::wstring x_name = L"a", y_name = L"b";
        const auto& graphs = dynamic_cast<const IExtraGraph&>(*c.s);
        for (const unsigned curve : {0u, 3u}) {
            graphs.axis_names(curve, x_name, y_name);
            EXPECT_EQ(x_name + y_name, L"ab");
        }
        graphs.axis_names(1, x_name, y_name);
        EXPECT_EQ(x_name + L" " + y_name, L"qx cosθ(qx)");
        graphs.axis_names(2, x_name, y_name);
        EXPECT_EQ(x_name + L" " + y_name, L"H p(H)");
    }
}

TEST(DensityWaveGraphs, ProfilesOverNPlusOnePhasesEndingAtTheirStart)
{
    const SubSpecPtr s = modulation_component<SDW_CDW_Sextet>(L"0|Points|20");
    const std::vector<double> p = wave(40.0, {300.0, 0.0, -20.0}, 30.0, {0.2, 0.0, 0.0, 0.05});
    const Graph field = plain_graph(*s, 1, p);
    const Graph charge = graph(*s, 0, p);
    EXPECT_TRUE(charge.err.empty());
    for (const Graph* g : {&field, &charge}) {
        ASSERT_EQ(g->x.size(), 21u);
        ASSERT_EQ(g->y.size(), 21u);
        EXPECT_EQ(g->x.back(), 2.0 * pi);
        EXPECT_EQ(g->y.back(), g->y.front());
    }
    const double phi = pi / 6.0;
    for (std::size_t i = 0; i < 20; ++i) {
        const double x = 2.0 * pi * double(i) / 20.0;
        EXPECT_NEAR(field.y[i], 40.0 + 300.0 * std::sin(x) - 20.0 * std::sin(5.0 * x), 1e-12) << i;
        EXPECT_NEAR(charge.y[i], 0.2 * std::sin(2.0 * x + phi) + 0.05 * std::sin(8.0 * x + phi), 1e-14) << i;
    }
}

// The field's error is √(gᵀ·V·g), g = (1, sin qx, sin 3qx, …) over H₀ and the harmonics:
// with the identity, √(1 + Σ sin²(k·qx)); with only H₀'s variance 4, 2 everywhere.
TEST(DensityWaveGraphs, FieldErrorsFromTheCovariance)
{
    const SubSpecPtr s = modulation_component<SDW_CDW_Sextet>(L"0|Points|16");
    const std::vector<double> p = wave(40.0, {300.0}, 0.0, {0.2});
    DMatrix identity(23, 23, 0.0);
    for (std::size_t i = 0; i < 23; ++i)
        identity(i, i) = 1.0;
    const Graph g = graph(*s, 1, p, &identity);
    ASSERT_EQ(g.err.size(), 17u);
    for (std::size_t i = 0; i < 17; ++i) {
        double sum = 1.0;
        for (int k = 1; k <= 15; k += 2)
            sum += std::pow(std::sin(k * g.x[i % 16]), 2);
        ASSERT_NEAR(g.err[i], std::sqrt(sum), 1e-13) << i;
    }
    DMatrix only_h0(23, 23, 0.0);
    only_h0(7, 7) = 4.0;
    for (const double e : graph(*s, 1, p, &only_h0).err)
        ASSERT_NEAR(e, 2.0, 1e-15);
    EXPECT_EQ(plain_graph(*s, 1, p).y, g.y);
    EXPECT_TRUE(graph(*s, 0, p, &identity).err.empty());
    EXPECT_TRUE(graph(*s, 2, p, &identity).err.empty());
}

TEST(DensityWaveGraphs, HistogramAndAxisNames)
{
    const SubSpecPtr s = modulation_component<SDW_CDW_Sextet>();
    // |H| = 300·|sin qx|, the arcsine law as for the spirals.
    const Graph g = graph(*s, 2, wave(0.0, {300.0}, 0.0, {}));
    ASSERT_EQ(g.x.size(), 200u);
    EXPECT_NEAR(std::accumulate(g.y.begin(), g.y.end(), 0.0), 1.0, 1e-12);
    const double width = 1.1 * 300.0 / 200.0;
    EXPECT_NEAR(std::accumulate(g.y.begin(), g.y.begin() + 90, 0.0), 2.0 / pi * std::asin(90.0 * width / 300.0),
                2e-4);
    // No field at all: nothing to draw.
    EXPECT_EQ(graph(*s, 2, wave(0.0, {}, 0.0, {0.3})).x, std::vector<double>{7.0});
    const auto& graphs = dynamic_cast<const IExtraGraph&>(*s);
    const wchar_t* names[] = {L"CDW_qx CDW_delta", L"SDW_qx SDW_H", L"SDW_H SDW_p(H)", L"a b"};
    for (unsigned curve = 0; curve < 4; ++curve) {
        std::wstring x_name = L"a", y_name = L"b";
        graphs.axis_names(curve, x_name, y_name);
        EXPECT_EQ(x_name + L" " + y_name, names[curve]);
    }
}

}  // namespace
