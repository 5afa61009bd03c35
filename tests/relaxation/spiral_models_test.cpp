// The spiral-like spin structures, their NMR line and the spin/charge density wave
// against independent spectra: static pseudo-Voigt sextets (and Hamiltonian spectra)
// where the field does not turn, the sum of static sextets with the quadrupole and
// second-order shifts of each sampled phase written out, single lines for the NMR model;
// sign flips, areas at the smallest and the largest phase counts, extents that hold the
// lines, starting values, and the extra curves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <string>
#include <vector>

#include "lineshapes/hamilton.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "lineshapes/singlets.h"
#include "relaxation/density_wave.h"
#include "relaxation/nmr_spiral.h"
#include "relaxation/spiral_models.h"
#include "tests/lineshapes/line_test_support.h"
#include "tests/relaxation/modulation_component.h"

namespace {

using namespace line_test;
constexpr double pi = std::numbers::pi;

void expect_same_spectrum(const std::vector<double>& actual, const std::vector<double>& expected, double tolerance)
{
    double largest = 0.0;
    for (double v : expected)
        largest = std::max(largest, std::fabs(v));
    ASSERT_GT(largest, 0.0);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        ASSERT_NEAR(actual[i], expected[i], tolerance * largest) << "point " << i;
}

void expect_values(const std::vector<double>& actual, const std::vector<double>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-12 * std::max(1.0, std::fabs(expected[i]))) << "parameter " << i;
}

void add_to(std::vector<double>& sum, const std::vector<double>& term)
{
    sum.resize(term.size(), 0.0);
    for (std::size_t i = 0; i < term.size(); ++i)
        sum[i] += term[i];
}

const DVector velocities = grid(-12.0, 12.0, 801);
const SubSpecPtr static_sextet = make_subspec<PseudoVoigtSextet>(&iron());
const SubSpecPtr static_hamilton = make_subspec<Hamilton>(&iron());
const SubSpecPtr single_line = make_subspec<PseudoVoigtLine>(nullptr);

// A static sextet with the widths Γ₁ = 0.3, ratios 1.1 and 0.9 (or all 0.3 when `same`).
std::vector<double> sextet(double area, double shift, double eps, double field, double a_plus, double a_minus,
                           double alpha, bool same = false)
{
    const double r2 = same ? 1.0 : 1.1, r3 = same ? 1.0 : 0.9;
    return values(*static_sextet,
                  {area, 0.7, 0.35, shift, eps, field, a_plus, a_minus, 0.3, r2, r3, 1.0, 1.0, 1.0, alpha},
                  velocities);
}

// I, I₂/I₁, I₃/I₁, δ, εlat, εQ, Hb₀, Hc₀, Γ₁, Γ₂/Γ₁, Γ₃/Γ₁, α, φ, hb/hc, hc₁ … hc₁₅.
std::vector<double> spiral(double eps_lat, double eps_q, double hb0, double hc0, double phi, double ratio,
                           std::vector<double> harmonics)
{
    std::vector<double> p{1.3, 0.7, 0.35, 0.1, eps_lat, eps_q, hb0, hc0, 0.3, 1.1, 0.9, 0.25, phi, ratio};
    harmonics.resize(8, 0.0);
    p.insert(p.end(), harmonics.begin(), harmonics.end());
    return p;
}

// I, γ, δ, Q, Hb₀, Hc₀, Γ, α, φ, hb/hc, hc₁ … hc₁₅.
std::vector<double> spiral_hamilton(double q, double hb0, double hc0, double phi, double ratio,
                                    std::vector<double> harmonics)
{
    std::vector<double> p{1.2, 40.0, 0.1, q, hb0, hc0, 0.3, 0.25, phi, ratio};
    harmonics.resize(8, 0.0);
    p.insert(p.end(), harmonics.begin(), harmonics.end());
    return p;
}

// I, I₂/I₁, I₃/I₁, δ₀, δ/H, ε₀, ε/H, H₀, Γ, α, h₁ … h₁₅, φ, δ₂ … δ₈.
std::vector<double> density_wave(double shift_per_field, double eps_per_field, double h0,
                                 std::vector<double> harmonics, double phi, std::vector<double> charge)
{
    std::vector<double> p{1.3, 0.7, 0.35, 0.1, shift_per_field, 0.2, eps_per_field, h0, 0.3, 0.25};
    harmonics.resize(8, 0.0);
    charge.resize(4, 0.0);
    p.insert(p.end(), harmonics.begin(), harmonics.end());
    p.push_back(phi);
    p.insert(p.end(), charge.begin(), charge.end());
    return p;
}

// I, νb₀, νc₀, Γ₀, ΔΓ, α, φ, νb/νc, νc₁ … νc₁₅.
std::vector<double> nmr_spiral(double b0, double c0, double width0, double width_change, double phi, double ratio,
                               std::vector<double> harmonics)
{
    std::vector<double> p{1.5, b0, c0, width0, width_change, 0.3, phi, ratio};
    harmonics.resize(8, 0.0);
    p.insert(p.end(), harmonics.begin(), harmonics.end());
    return p;
}

TEST(SpiralSpinSextet, FieldAlongTheAxisOnlyIsThePseudoVoigtSextet)
{
    // The second-order term vanishes along the axis, whatever εQ, φ and hb/hc.
    const SubSpecPtr s = modulation_component<Spiral_Spin_Sextet>(L"0|Points|37");
    for (const double hc0 : {310.0, -250.0})
        expect_same_spectrum(values(*s, spiral(0.4, 0.6, 0.0, hc0, 30.0, 0.8, {}), velocities),
                             sextet(1.3, 0.1, 0.4, std::fabs(hc0), 0.0, 0.0, 0.25), 1e-12);
}

TEST(SpiralSpinSextet, ZeroFieldIsADoublet)
{
    const SubSpecPtr s = modulation_component<Spiral_Spin_Sextet>();
    expect_same_spectrum(values(*s, spiral(0.4, 0.6, 0.0, 0.0, 30.0, 0.8, {}), velocities),
                         sextet(1.3, 0.1, 0.4, 0.0, 0.0, 0.0, 0.25), 1e-12);
}

// A circle of constant size: at qx the field makes cos²ϑ = sin²qx with the axis; each
// phase is the static sextet with ε = εlat·(1.5·sin²qx − 0.5) and the second-order shifts
// of sin²ϑ = cos²qx written out.
TEST(SpiralSpinSextet, TurningFieldIsTheSumOfItsPhases)
{
    const Isotope& iso = iron();
    const double field = 320.0, eps_lat = 0.4, eps_q = 0.9;
    const std::size_t n = 12;
    const SubSpecPtr s = modulation_component<Spiral_Spin_Sextet>(L"0|Points|12");
    std::vector<double> expected;
    for (std::size_t i = 0; i < n; ++i) {
        const double qx = 2.0 * pi * double(i) / double(n);
        const double c2 = std::pow(std::sin(qx), 2), s2 = 1.0 - c2;
        const double u = 3.0 * eps_q * eps_q * s2 / (iso.KN * iso.g_ex * field);
        add_to(expected, sextet(1.3 / double(n), 0.1, eps_lat * (1.5 * c2 - 0.5), field, (1.0 - 0.875 * s2) * u,
                                (1.0 - 1.125 * s2) * u, 0.25));
    }
    expect_same_spectrum(values(*s, spiral(eps_lat, eps_q, 0.0, 0.0, 0.0, 1.0, {field}), velocities), expected,
                         1e-11);
}

TEST(SpiralSpinHamilton, FieldAlongTheAxisOnlyIsTheStaticHamiltonian)
{
    const SubSpecPtr s = modulation_component<Spiral_Spin_Hamilton>(L"0|Points|23");
    struct Case {
        double hc0, theta;
    };
    for (const Case c : {Case{310.0, 0.0}, Case{-310.0, 180.0}, Case{0.0, 0.0}}) {
        SCOPED_TRACE(c.hc0);
        expect_same_spectrum(values(*s, spiral_hamilton(0.8, 0.0, c.hc0, 30.0, 0.7, {}), velocities),
                             values(*static_hamilton,
                                    {1.2, 40.0, 0.1, 0.8, std::fabs(c.hc0), c.theta, 0.0, 0.0, 0.3, 0.25}, velocities),
                             1e-11);
    }
}

// The field across the axis at every phase (no c component): θ = 90° throughout.
TEST(SpiralSpinHamilton, FieldAcrossTheAxisIsTheStaticHamiltonianAtRightAngles)
{
    const SubSpecPtr s = modulation_component<Spiral_Spin_Hamilton>();
    expect_same_spectrum(values(*s, spiral_hamilton(0.8, 290.0, 0.0, 0.0, 0.0, {}), velocities),
                         values(*static_hamilton, {1.2, 40.0, 0.1, 0.8, 290.0, 90.0, 0.0, 0.0, 0.3, 0.25}, velocities),
                         1e-11);
}

TEST(SpiralModels, NegatingEveryFieldTermChangesNothing)
{
    struct Case {
        SubSpecPtr s;
        std::vector<double> p;
        std::vector<std::size_t> field_terms;
        DVector x;
    };
    std::vector<std::size_t> spiral_terms{6, 7}, hamilton_terms{4, 5}, nmr_terms{1, 2}, wave_terms{7};
    for (std::size_t k = 0; k < 8; ++k) {
        spiral_terms.push_back(14 + k);
        hamilton_terms.push_back(10 + k);
        nmr_terms.push_back(8 + k);
        wave_terms.push_back(10 + k);
    }
    const Case cases[] = {
        {modulation_component<Spiral_Spin_Sextet>(), spiral(0.4, 0.6, 40.0, 60.0, 25.0, 0.8, {300.0, -30.0, 15.0}),
         spiral_terms, velocities},
        {modulation_component<Spiral_Spin_Hamilton>(), spiral_hamilton(0.8, 40.0, 60.0, 25.0, 0.8, {300.0, -30.0}),
         hamilton_terms, velocities},
        {modulation_component<NMR_Spiral_Spin>(), nmr_spiral(5.0, 8.0, 0.8, 0.5, 25.0, 0.8, {70.0, -6.0, 3.0}),
         nmr_terms, grid(30.0, 110.0, 401)},
        {modulation_component<SDW_CDW_Sextet>(), density_wave(0.001, 0.0005, 20.0, {300.0, -30.0}, 25.0, {0.1}),
         wave_terms, velocities},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(wide_to_utf8(c.s->display_name()));
        std::vector<double> flipped = c.p;
        for (std::size_t i : c.field_terms)
            flipped[i] = -flipped[i];
        expect_same_spectrum(values(*c.s, flipped, c.x), values(*c.s, c.p, c.x), 1e-12);
    }
}

TEST(DensityWave, WithoutHarmonicsIsOneStaticSextetShiftedByItsField)
{
    // δ/H = 0.001 mm/s per kOe at 300 kOe moves the sextet by 0.3 mm/s.
    const SubSpecPtr s = modulation_component<SDW_CDW_Sextet>(L"0|Points|10");
    expect_same_spectrum(values(*s, density_wave(0.001, 0.0002, 300.0, {}, 0.0, {}), velocities),
                         sextet(1.3, 0.4, 0.26, 300.0, 0.0, 0.0, 0.25, true), 1e-12);
    expect_same_spectrum(values(*s, density_wave(0.001, 0.0002, 0.0, {}, 0.0, {}), velocities),
                         sextet(1.3, 0.1, 0.2, 0.0, 0.0, 0.0, 0.25, true), 1e-12);
}

// Field and charge density wave together: each phase's sextet at its own field and
// shift δ₀ + (δ/H)·|H| + δ₂·sin(2qx + φ) + δ₆·sin(6qx + φ).
TEST(DensityWave, IsTheSumOfItsPhases)
{
    const std::size_t n = 12;
    const SubSpecPtr s = modulation_component<SDW_CDW_Sextet>(L"0|Points|12");
    const double phi = 40.0 * pi / 180.0;
    std::vector<double> expected;
    for (std::size_t i = 0; i < n; ++i) {
        const double qx = 2.0 * pi * double(i) / double(n);
        const double h = 20.0 + 300.0 * std::sin(qx) - 30.0 * std::sin(3.0 * qx);
        const double shift = 0.1 + 0.001 * std::fabs(h) + 0.3 * std::sin(2.0 * qx + phi) -
                             0.05 * std::sin(6.0 * qx + phi);
        add_to(expected, sextet(1.3 / double(n), shift, 0.2 + 0.0005 * std::fabs(h), h, 0.0, 0.0, 0.25, true));
    }
    expect_same_spectrum(values(*s, density_wave(0.001, 0.0005, 20.0, {300.0, -30.0}, 40.0, {0.3, 0.0, -0.05}),
                                velocities),
                         expected, 1e-11);
}

TEST(NMRSpiralSpin, IsTheSumOfItsLinesEachWideAtLeastTheLowestWidth)
{
    // νb = νc₀ + νc₁·cos qx: the c offset also enters the b component. ΔΓ = −0.5 would
    // make the widths along the axis negative; they stay at the lowest width instead.
    const std::size_t n = 10;
    const SubSpecPtr s = modulation_component<NMR_Spiral_Spin>(L"0|Points|10");
    const DVector x = grid(20.0, 120.0, 501);
    const double phi = 30.0 * pi / 180.0;
    std::vector<double> expected;
    for (std::size_t i = 0; i < n; ++i) {
        const double qx = 2.0 * pi * double(i) / double(n);
        const double c = 8.0 + 60.0 * std::sin(qx + phi), b = 5.0 + 0.8 * (8.0 + 60.0 * std::cos(qx));
        const double nu = std::hypot(b, c);
        const double width = std::max(0.001, 0.3 - 0.5 * c * c / (nu * nu));
        add_to(expected, values(*single_line, {1.5 * 2.0 * pi / double(n), nu, width, 0.3}, x));
    }
    const std::vector<double> actual = values(*s, nmr_spiral(5.0, 8.0, 0.3, -0.5, 30.0, 0.8, {60.0}), x);
    expect_same_spectrum(actual, expected, 1e-12);
    EXPECT_TRUE(std::all_of(actual.begin(), actual.end(), [](double v) { return std::isfinite(v) && v >= 0.0; }));
}

// Gauss lines, far inside the axis: the area is I (2π·I for the NMR line, as its area
// expression says), at the fewest and the most phases.
TEST(SpiralModels, AreaAtTheFewestAndTheMostPhases)
{
    struct Case {
        SubSpecPtr (*make)(const std::wstring&);
        std::vector<double> p;
        double from, to, area;
    };
    std::vector<double> sextet_p = spiral(0.4, 0.6, 40.0, 60.0, 25.0, 0.8, {300.0, -30.0, 15.0});
    sextet_p[11] = 1.0;
    std::vector<double> hamilton_p = spiral_hamilton(0.8, 40.0, 60.0, 25.0, 0.8, {300.0, -30.0});
    hamilton_p[7] = 1.0;
    std::vector<double> nmr_p = nmr_spiral(5.0, 8.0, 0.8, 0.5, 25.0, 0.8, {60.0, -6.0, 3.0});
    nmr_p[5] = 1.0;
    std::vector<double> wave_p = density_wave(0.001, 0.0005, 20.0, {300.0, -30.0}, 25.0, {0.1});
    wave_p[9] = 1.0;
    const Case cases[] = {
        {modulation_component<Spiral_Spin_Sextet>, sextet_p, -16.0, 16.0, 1.3},
        {modulation_component<Spiral_Spin_Hamilton>, hamilton_p, -16.0, 16.0, 1.2},
        {modulation_component<NMR_Spiral_Spin>, nmr_p, 0.0, 120.0, 1.5 * 2.0 * pi},
        {modulation_component<SDW_CDW_Sextet>, wave_p, -16.0, 16.0, 1.3},
    };
    for (const Case& c : cases) {
        for (const wchar_t* data : {L"0|Points|10", L"0|Points|10000"}) {
            const SubSpecPtr s = c.make(data);
            SCOPED_TRACE(wide_to_utf8(s->display_name() + L" " + data));
            EXPECT_NEAR(area(*s, c.p, c.from, c.to, 20000), c.area, 1e-7 * c.area);
        }
    }
    EXPECT_EQ(dynamic_cast<const ISubSpecArea&>(*modulation_component<NMR_Spiral_Spin>()).area_expr(3),
              L"6.283185307179586*[3:I]");
}

// Each extent holds every line of the spectrum: the values outside it are below 3e-3 of
// the largest (a Lorentzian's tail 12 widths out is 1.7e-3 of its peak), for structures dominated by the offsets, the ratio, φ and the couplings.
TEST(SpiralModels, ExtentHoldsTheLines)
{
    struct Case {
        SubSpecPtr s;
        std::vector<double> p;
    };
    const Case cases[] = {
        {modulation_component<Spiral_Spin_Sextet>(), spiral(0.4, 0.0, 0.0, 330.0, 0.0, 0.0, {5.0})},
        {modulation_component<Spiral_Spin_Sextet>(), spiral(-0.6, 0.0, 300.0, 10.0, 90.0, 1.5, {100.0})},
        {modulation_component<Spiral_Spin_Hamilton>(), spiral_hamilton(0.8, 320.0, 20.0, 0.0, 0.0, {5.0})},
        {modulation_component<Spiral_Spin_Hamilton>(), spiral_hamilton(-2.0, 0.0, 0.0, 60.0, 2.0, {150.0})},
        {modulation_component<SDW_CDW_Sextet>(), density_wave(0.01, 0.005, 200.0, {100.0}, 10.0, {0.5})},
        {modulation_component<NMR_Spiral_Spin>(), nmr_spiral(30.0, -20.0, 0.2, 1.5, 70.0, 1.3, {10.0, 2.0})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(wide_to_utf8(c.s->display_name()));
        double min, max;
        extent_of(*c.s, c.p, min, max);
        const DVector x = grid(min - 80.0, max + 80.0, 8001);
        const std::vector<double> y = values(*c.s, c.p, x);
        const double largest = *std::max_element(y.begin(), y.end());
        for (std::size_t i = 0; i < y.size(); ++i)
            if (x[i] < min || x[i] > max)
                ASSERT_LT(std::fabs(y[i]), 3e-3 * largest) << x[i] << " outside " << min << " … " << max;
    }
}

// The Hamiltonian lines sit at δ plus their positions: the extent moves with δ.
TEST(SpiralSpinHamilton, ExtentMovesWithTheShift)
{
    const SubSpecPtr s = modulation_component<Spiral_Spin_Hamilton>();
    std::vector<double> p = spiral_hamilton(0.8, 40.0, 60.0, 25.0, 0.8, {300.0});
    double min, max, moved_min, moved_max;
    extent_of(*s, p, min, max);
    p[2] += 5.0;
    extent_of(*s, p, moved_min, moved_max);
    EXPECT_NEAR(moved_min, min + 5.0, 1e-12);
    EXPECT_NEAR(moved_max, max + 5.0, 1e-12);
}

TEST(SpiralModels, StartingValues)
{
    const SpectrumAnalysis six = found_lines({-5.0, -3.0, -1.0, 1.5, 3.5, 5.6}, 0.2, 9.0, 0.3);
    const double field = 10.6 / std::fabs(iron().K);
    const std::vector<double> p = start_values(*modulation_component<Spiral_Spin_Sextet>(), six);
    expect_values(p, std::vector<double>({1.0, 0.6666666666666666, 0.3333333333333333, 0.3, 0.0, 0.0, 0.0, 0.0,
                                          2.0 * iron().Γτ, 1.0, 1.0, 0.0, 0.0, 1.0, field, 0, 0, 0, 0, 0, 0, 0}));
    const std::vector<double> h = start_values(*modulation_component<Spiral_Spin_Hamilton>(),
                                               found_lines({-5.0, 5.0}, 0.2, 9.0, 0.3));
    expect_values(h, std::vector<double>({1.0, 54.735610317245346, 0.2, 0.0, 0.0, 0.0, 2.0 * iron().Γτ, 0.0, 0.0, 1.0,
                                      9.0 / std::fabs(iron().K), 0, 0, 0, 0, 0, 0, 0}));
    const std::vector<double> nmr = start_values(*modulation_component<NMR_Spiral_Spin>(),
                                                 found_lines({40.0, 50.0}, 41.0, 9.0, 0.3));
    expect_values(nmr, std::vector<double>({1.0, 0.0, 0.0, 0.1, 0.0, 0.0, 0.0, 1.0, 45.0, 0, 0, 0, 0, 0, 0, 0}));
    const std::vector<double> wave = start_values(*modulation_component<SDW_CDW_Sextet>(), six);
    expect_values(wave, std::vector<double>({1.0, 0.6666666666666666, 0.3333333333333333, 0.3, 0, 0, 0, 0,
                                             2.0 * iron().Γτ, 0, field, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
