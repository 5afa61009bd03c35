// The extra curves of the anharmonic spin-modulation models: the profile is the
// function the spectrum samples (sin 2πx at m = 0), the field histograms have the
// documented bins, sums and ranges (the range of |H| also where the field changes sign),
// the anisotropic histogram's range and mean against the field computed directly,
// a field constant over the period counting in one bin, curves that are not drawn leave
// the vectors alone, and |m| > 1 is a clear error.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <numeric>
#include <stdexcept>
#include <vector>

#include "relaxation/anharmonic_hamilton.h"
#include "relaxation/anharmonic_sextets.h"
#include "relaxation/nmr_anharmonic.h"
#include "subspec/subspec_impl.h"
#include "tests/relaxation/modulation_component.h"
#include "tests/support/dvectors.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/subspec_ranges.h"

namespace {

using namespace test_support;
constexpr double pi = std::numbers::pi;

struct Graph {
    std::vector<double> x, y, err;
};

Graph graph(const ISubSpec& s, unsigned curve, const std::vector<double>& p)
{
    Graph g{{7.0}, {8.0}, {9.0}};
    const DMatrix covariance(p.size(), p.size(), 0.0);
    dynamic_cast<const IExtraGraph&>(s).graph_with_errors(curve, all_of(vec(p)), all_of(covariance), g.x, g.y, g.err);
    return g;
}

double total(const std::vector<double>& y)
{
    return std::accumulate(y.begin(), y.end(), 0.0);
}

// I, I₂/I₁, I₃/I₁, δ, εmagn, εlat, εQ, His, Han, m, Γ₁, Γ₂/Γ₁, Γ₃/Γ₁, α.
std::vector<double> simple(double h_is, double h_an, double m)
{
    return {1.7, 0.7, 0.35, 0.1, 0.05, -0.1, 0.4, h_is, h_an, m, 0.3, 1.0, 1.0, 0.0};
}
// I, γ, δ, Q, φ, η, His, Han, m, Γ, α.
std::vector<double> hamilton(double h_is, double h_an, double m)
{
    return {1.2, 40.0, 0.1, 0.8, 25.0, 0.3, h_is, h_an, m, 0.28, 0.2};
}
// I, νis, νan, m, Γ₀, ΔΓ, α.
std::vector<double> nmr(double nu_is, double nu_an, double m)
{
    return {1.5, nu_is, nu_an, m, 0.3, 0.1, 0.5};
}
// I, I₂/I₁, I₃/I₁, δ, Qmagn, Q, QQ, η, α, β, γ, Hxx, Hyy, Hzz, m, ψ, Γ₁, Γ₂/Γ₁, Γ₃/Γ₁, αG.
const std::vector<double> anisotropic = {1.3, 0.7,   0.35,  0.1,   0.2, 0.4, 1.0,  0.3, 30.0, 50.0,
                                         -20.0, 200.0, 250.0, 330.0, 0.0, 15.0, 0.3, 1.0, 1.0, 0.0};

TEST(ModulationGraphs, ProfileAtZeroIsTheSineOverOnePeriod)
{
    struct Case {
        SubSpecPtr s;
        std::vector<double> p;
        std::size_t points;
    };
    const Case cases[] = {{modulation_component<AnharmonicSpinModulation>(), simple(300.0, 20.0, 0.0), 200},
                          {modulation_component<AnharmonicSpinModulationAnisotropic>(), anisotropic, 500},
                          {modulation_component<AnharmonicSpinModulationHamilton>(), hamilton(300.0, 20.0, 0.0), 200},
                          {modulation_component<NMR_AnharmonicSpinModulation>(), nmr(70.0, 10.0, 0.0), 200}};
    for (const Case& c : cases) {
        const Graph g = graph(*c.s, 1, c.p);
        ASSERT_EQ(g.x.size(), c.points) << c.s->display_name();
        ASSERT_EQ(g.y.size(), c.points);
        EXPECT_TRUE(g.err.empty());
        EXPECT_EQ(g.x.front(), 0.0);
        EXPECT_NEAR(g.x.back(), 1.0, 1e-15);
        for (std::size_t i = 0; i < c.points; ++i)
            ASSERT_NEAR(g.y[i], std::sin(2.0 * pi * g.x[i]), 1e-14) << i;
    }
}

// The profile shows what the spectrum samples: cos ϑ for m > 0 (which dwells at ±1 as m
// grows), sin ϑ for m < 0.
TEST(ModulationGraphs, ProfileIsTheFunctionTheSpectrumSamples)
{
    const SubSpecPtr s = modulation_component<AnharmonicSpinModulation>();
    for (const double m : {0.8, -0.8, 0.99}) {
        const Graph g = graph(*s, 1, simple(300.0, 20.0, m));
        const SpinModulation<double> modulation(m);
        double largest_difference = 0.0;
        for (std::size_t i = 0; i < g.x.size(); ++i) {
            double cos_t, sin_t;
            modulation.angle(g.x[i], cos_t, sin_t);
            EXPECT_EQ(g.y[i], m > 0.0 ? cos_t : sin_t) << i;
            largest_difference = std::max(largest_difference, std::fabs(g.y[i] - cn_profile(g.x[i] - 0.25, std::fabs(m))));
        }
        // Not the cosine profile shifted by a quarter period, which only the harmonic
        // profile shares.
        EXPECT_GT(largest_difference, 0.05);
    }
}

TEST(ModulationGraphs, HistogramOfTheSimpleModel)
{
    const SubSpecPtr s = modulation_component<AnharmonicSpinModulation>();
    const Graph g = graph(*s, 2, simple(10.0, 10.0, 0.3));
    ASSERT_EQ(g.x.size(), 200u);
    EXPECT_TRUE(g.err.empty());
    EXPECT_NEAR(g.x[0], 3.545, 1e-13);
    EXPECT_NEAR(g.x[1] - g.x[0], 0.09, 1e-13);
    EXPECT_NEAR(total(g.y), 1.7, 1e-12);
    // Without an anisotropic field there is nothing to draw.
    const Graph none = graph(*s, 2, simple(10.0, 0.0, 0.3));
    EXPECT_EQ(none.x, std::vector<double>{7.0});
    EXPECT_EQ(none.y, std::vector<double>{8.0});
    EXPECT_EQ(none.err, std::vector<double>{9.0});
}

// The mean of |H| over the period from the histogram (within half a bin) against the
// mean over the same phases computed directly.
void expect_mean_field(const Graph& g, double scale, double isotropic, double anisotropic, double m,
                       std::size_t samples, bool centred)
{
    const SpinModulation<double> modulation(m);
    double direct = 0.0, largest = 0.0;
    for (std::size_t s = 0; s < samples; ++s) {
        double sin2, p2;
        modulation.legendre(s / double(samples) - 0.5, sin2, p2);
        direct += std::fabs(isotropic + anisotropic * p2);
        largest = std::max(largest, std::fabs(isotropic + anisotropic * p2));
    }
    direct /= double(samples);
    const double bin = g.x[1] - g.x[0];
    const double shift = centred ? 0.0 : 0.5 * bin;
    double mean = 0.0;
    for (std::size_t j = 0; j < g.x.size(); ++j)
        mean += (g.x[j] + shift) * g.y[j];
    mean /= scale;
    EXPECT_NEAR(mean, direct, 0.5 * bin);
    // The largest value lies inside the bins, with the margin of a tenth of the range.
    EXPECT_GT(g.x.back() - shift + 0.5 * bin, largest);
}

// Where the field changes sign over the period the histogram spans |H| from 0 to its
// largest magnitude; the signed extremes would cut it off.
TEST(ModulationGraphs, HistogramRangeIsThatOfTheMagnitude)
{
    struct Case {
        double h_is, h_an, m;
    };
    const Case cases[] = {{0.0, -10.0, 0.0}, {4.0, -20.0, 0.5}, {10.0, 10.0, -0.6}, {300.0, -40.0, 0.9}};
    const SubSpecPtr s = modulation_component<AnharmonicSpinModulation>();
    const SubSpecPtr h = modulation_component<AnharmonicSpinModulationHamilton>();
    const SubSpecPtr n = modulation_component<NMR_AnharmonicSpinModulation>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.h_an);
        const Graph gs = graph(*s, 2, simple(c.h_is, c.h_an, c.m));
        EXPECT_NEAR(total(gs.y), 1.7, 1e-12);
        expect_mean_field(gs, 1.7, c.h_is, c.h_an, c.m, 50000, true);
        const Graph gh = graph(*h, 2, hamilton(c.h_is, c.h_an, c.m));
        ASSERT_EQ(gh.x.size(), 200u);
        EXPECT_NEAR(total(gh.y), 1.0, 1e-12);
        expect_mean_field(gh, 1.0, c.h_is, c.h_an, c.m, 50000, false);
        const Graph gn = graph(*n, 2, nmr(c.h_is, c.h_an, c.m));
        EXPECT_NEAR(total(gn.y), 1.0, 1e-12);
        expect_mean_field(gn, 1.0, c.h_is, c.h_an, c.m, 50000, false);
    }
    const Graph sign_change = graph(*s, 2, simple(0.0, -10.0, 0.0));
    EXPECT_NEAR(sign_change.x.front(), 0.5 * (sign_change.x[1] - sign_change.x[0]), 1e-15);
    EXPECT_NEAR(sign_change.x.back() + 0.5 * (sign_change.x[1] - sign_change.x[0]), 11.0, 1e-12);
}

// |H| of the anisotropic model at m = 0 directly: the spin (sin(ϑ + ψ), 0, cos(ϑ + ψ))
// with cos ϑ = sin 2πx, sin ϑ = cos 2πx, turned by the transpose of Rz(α)·Rx(β)·Rz(γ),
// times the principal values.
double anisotropic_field(const std::vector<double>& p, double x)
{
    const double d = pi / 180.0;
    const double a = p[8] * d, b = p[9] * d, c = p[10] * d, psi = p[15] * d;
    const double angle = std::atan2(std::cos(2.0 * pi * x), std::sin(2.0 * pi * x)) + psi;
    const double e[3] = {std::sin(angle), 0.0, std::cos(angle)};
    const double r[3][3] = {
        {std::cos(a) * std::cos(c) - std::sin(a) * std::cos(b) * std::sin(c),
         -std::cos(a) * std::sin(c) - std::sin(a) * std::cos(b) * std::cos(c), std::sin(a) * std::sin(b)},
        {std::sin(a) * std::cos(c) + std::cos(a) * std::cos(b) * std::sin(c),
         std::cos(a) * std::cos(b) * std::cos(c) - std::sin(a) * std::sin(c), -std::cos(a) * std::sin(b)},
        {std::sin(b) * std::sin(c), std::sin(b) * std::cos(c), std::cos(b)}};
    double sum = 0.0;
    for (int k = 0; k < 3; ++k) {
        const double h = p[11 + k] * (r[0][k] * e[0] + r[1][k] * e[1] + r[2][k] * e[2]);
        sum += h * h;
    }
    return std::sqrt(sum);
}

TEST(ModulationGraphs, AnisotropicHistogramOverTheFieldOfThePhases)
{
    const SubSpecPtr s = modulation_component<AnharmonicSpinModulationAnisotropic>(L"0|Points|250|0|DPoints|100|0|HPoints|20000");
    const Graph g = graph(*s, 2, anisotropic);
    ASSERT_EQ(g.x.size(), 100u);
    EXPECT_NEAR(total(g.y), 1.0, 1e-12);
    double lo = INFINITY, hi = 0.0, mean = 0.0;
    for (int i = 0; i < 100; ++i) {
        const double h = anisotropic_field(anisotropic, i / 100.0 - 0.5);
        lo = std::min(lo, h);
        hi = std::max(hi, h);
    }
    for (int i = 0; i < 20000; ++i)
        mean += anisotropic_field(anisotropic, i / 20000.0 - 0.5) / 20000.0;
    const double bin = (hi - lo) * 1.2 / 100.0;
    EXPECT_NEAR(g.x[0], lo - 0.1 * (hi - lo) + 0.5 * bin, 1e-9);
    EXPECT_NEAR(g.x[1] - g.x[0], bin, 1e-9);
    double histogram_mean = 0.0;
    for (std::size_t j = 0; j < g.x.size(); ++j)
        histogram_mean += g.x[j] * g.y[j];
    EXPECT_NEAR(histogram_mean, mean, 0.5 * bin);
}

TEST(ModulationGraphs, OtherCurvesDrawNothingAndBadMIsAnError)
{
    struct Case {
        SubSpecPtr s;
        std::vector<double> p;
        std::size_t m;
    };
    const Case cases[] = {{modulation_component<AnharmonicSpinModulation>(), simple(300.0, 20.0, 0.0), 9},
                          {modulation_component<AnharmonicSpinModulationAnisotropic>(), anisotropic, 14},
                          {modulation_component<AnharmonicSpinModulationHamilton>(), hamilton(300.0, 20.0, 0.0), 8},
                          {modulation_component<NMR_AnharmonicSpinModulation>(), nmr(70.0, 10.0, 0.0), 3}};
    for (Case c : cases) {
        for (const unsigned curve : {0u, 3u}) {
            const Graph g = graph(*c.s, curve, c.p);
            EXPECT_EQ(g.x, std::vector<double>{7.0});
            EXPECT_EQ(g.y, std::vector<double>{8.0});
            EXPECT_EQ(g.err, std::vector<double>{9.0});
        }
        std::wstring x_name = L"x", y_name = L"y";
        const auto& graphs = dynamic_cast<const IExtraGraph&>(*c.s);
        graphs.axis_names(0, x_name, y_name);
        EXPECT_EQ(x_name + y_name, L"xy");
        graphs.axis_names(1, x_name, y_name);
        EXPECT_EQ(x_name + L"|" + y_name, L"qx|sinϑ(qx)");
        graphs.axis_names(2, x_name, y_name);
        EXPECT_EQ(x_name + L"|" + y_name, L"H|p(H)");
        c.p[c.m] = -1.5;
        EXPECT_THROW(graph(*c.s, 1, c.p), std::domain_error);
        EXPECT_THROW(graph(*c.s, 2, c.p), std::domain_error);
    }
}

// An isotropic tensor gives the same |H| at every phase (to rounding): every count in
// the first bin.
TEST(ModulationGraphs, ConstantAnisotropicFieldCountsInTheFirstBin)
{
    std::vector<double> p = anisotropic;
    p[11] = p[12] = p[13] = 310.0;
    const Graph g = graph(*modulation_component<AnharmonicSpinModulationAnisotropic>(), 2, p);
    ASSERT_EQ(g.y.size(), 500u);
    EXPECT_NEAR(g.y[0], 1.0, 1e-12);
    EXPECT_NEAR(g.x[0], 310.0, 1e-9);
}

}  // namespace
