// The anharmonic spin-modulation models against independent spectra: the static
// pseudo-Voigt sextet where nothing is modulated, the sum of two static sextets with the
// second-order shifts in closed form at the four harmonic phases, the simple model from
// the anisotropic one with an isotropic tensor, the Hamiltonian model as the average of
// static Hamiltonian spectra at the harmonic angles, the NMR model as the sum of its
// single lines (with the width kept positive); areas, m = ±1 and |m| > 1 (also through
// a parallel evaluation of a model), extents, starting values and the model data.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/model/spectrum_model.h"
#include "lineshapes/hamilton.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "lineshapes/singlets.h"
#include "relaxation/anharmonic_hamilton.h"
#include "relaxation/anharmonic_sextets.h"
#include "relaxation/nmr_anharmonic.h"
#include "subspec/subspec_impl.h"
#include "tests/relaxation/modulation_component.h"
#include "tests/lineshapes/line_test_support.h"
#include "tests/support/model_test_parts.h"

namespace {

using namespace line_test;
constexpr double pi = std::numbers::pi;

std::vector<double> sum(std::vector<double> a, const std::vector<double>& b)
{
    for (std::size_t i = 0; i < a.size(); ++i)
        a[i] += b[i];
    return a;
}

void expect_same_spectrum(const std::vector<double>& actual, const std::vector<double>& expected, double tolerance)
{
    double largest = 0.0;
    for (double v : expected)
        largest = std::max(largest, std::fabs(v));
    ASSERT_GT(largest, 0.0);
    for (std::size_t i = 0; i < actual.size(); ++i)
        ASSERT_NEAR(actual[i], expected[i], tolerance * largest) << "point " << i;
}

const DVector velocities = grid(-11.0, 11.0, 701);
const SubSpecPtr static_sextet = make_subspec<PseudoVoigtSextet>(&iron());
const SubSpecPtr static_hamilton = make_subspec<Hamilton>(&iron());
const SubSpecPtr single_line = make_subspec<PseudoVoigtLine>(nullptr);

// I, I₂/I₁, I₃/I₁, δ, ε, H, a₊, a₋, Γ₁, Γ₂/Γ₁, Γ₃/Γ₁ and α of a static sextet.
std::vector<double> sextet(double area, double shift, double eps, double field, double a_plus, double a_minus,
                           double alpha)
{
    return values(*static_sextet,
                  {area, 0.7, 0.35, shift, eps, field, a_plus, a_minus, 0.3, 1.1, 0.9, 1.0, 1.0, 1.0, alpha},
                  velocities);
}

// I, I₂/I₁, I₃/I₁, δ, εmagn, εlat, εQ, His, Han, m, Γ₁, Γ₂/Γ₁, Γ₃/Γ₁, α.
std::vector<double> simple_params(double eps_magn, double eps_lat, double eps_q, double h_is, double h_an, double m)
{
    return {1.3, 0.7, 0.35, 0.1, eps_magn, eps_lat, eps_q, h_is, h_an, m, 0.3, 1.1, 0.9, 0.25};
}

TEST(AnharmonicSpinModulation, WithoutModulatedTermsIsTheStaticSextet)
{
    struct Case {
        double m;
        const wchar_t* data;
    };
    const Case cases[] = {{0.0, L"0|Points|2"}, {0.6, L""}, {-0.8, L"0|Points|37"}, {0.999, L"0|Points|100"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.m);
        const SubSpecPtr s = modulation_component<AnharmonicSpinModulation>(c.data);
        expect_same_spectrum(values(*s, simple_params(0.05, 0.0, 0.0, 330.0, 0.0, c.m), velocities),
                             sextet(1.3, 0.1, 0.05, 330.0, 0.0, 0.0, 0.25), 1e-13);
    }
}

// m = 0, four phases: cos ϑ = 0, −1, 0, 1, so two phases with P = −1/2, sin²ϑ = 1 and
// the second-order shifts ±u/8, u = 3·εQ²/(μ·g_ex·H), and two with P = 1 and no shift.
// The second case has H = 0 at the first pair.
TEST(AnharmonicSpinModulation, FourHarmonicPhasesAreTwoStaticSextets)
{
    const Isotope& iso = iron();
    const double eps_magn = 0.05, eps_lat = -0.12, eps_q = 0.4;
    for (const auto& [h_is, h_an] : {std::pair{300.0, 40.0}, std::pair{5.0, 10.0}, std::pair{250.0, -60.0}}) {
        SCOPED_TRACE(h_is);
        const SubSpecPtr s = modulation_component<AnharmonicSpinModulation>(L"0|Points|4");
        const double across = h_is - 0.5 * h_an, along = h_is + h_an;
        const double u = across == 0.0 ? 0.0 : 3.0 * eps_q * eps_q / (iso.KN * iso.g_ex * across);
        const std::vector<double> expected =
            sum(sextet(0.65, 0.1, eps_magn - 0.5 * eps_lat, across, 0.125 * u, -0.125 * u, 0.25),
                sextet(0.65, 0.1, eps_magn + eps_lat, along, 0.0, 0.0, 0.25));
        expect_same_spectrum(values(*s, simple_params(eps_magn, eps_lat, eps_q, h_is, h_an, 0.0), velocities), expected,
                             1e-12);
    }
}

// I, I₂/I₁, I₃/I₁, δ, Qmagn, Q, QQ, η, α, β, γ, Hxx, Hyy, Hzz, m, ψ, Γ₁, Γ₂/Γ₁, Γ₃/Γ₁, αG.
std::vector<double> anisotropic_params(double q_magn, double q, double qq, double eta, double a, double b, double c,
                                       double hxx, double hyy, double hzz, double m, double psi)
{
    return {1.3, 0.7, 0.35, 0.1, q_magn, q, qq, eta, a, b, c, hxx, hyy, hzz, m, psi, 0.3, 1.1, 0.9, 0.25};
}

// With the tensor H₀·1, no rotation and η = 0 the field follows the spin, and the
// anisotropic model is the simple one with εmagn = Qmagn/4, εlat = Q/4, εQ = QQ/4.
TEST(AnharmonicSpinModulationAnisotropic, IsotropicTensorIsTheSimpleModel)
{
    for (const double m : {0.0, 0.7, -0.6}) {
        SCOPED_TRACE(m);
        const SubSpecPtr anisotropic = modulation_component<AnharmonicSpinModulationAnisotropic>(L"0|Points|30");
        const SubSpecPtr simple = modulation_component<AnharmonicSpinModulation>(L"0|Points|30");
        expect_same_spectrum(
            values(*anisotropic,
                   anisotropic_params(0.2, 0.36, 1.6, 0.0, 0.0, 0.0, 0.0, 310.0, 310.0, 310.0, m, 0.0), velocities),
            values(*simple, simple_params(0.05, 0.09, 0.4, 310.0, 0.0, m), velocities), 1e-12);
    }
}

// An isotropic tensor keeps |H| = |H₀| whatever the orientation: without quadrupole
// terms every phase has the same sextet, of quadrupole shift Qmagn/4.
TEST(AnharmonicSpinModulationAnisotropic, IsotropicTensorWithoutGradientIsStatic)
{
    for (const double h0 : {280.0, -320.0}) {
        SCOPED_TRACE(h0);
        const SubSpecPtr s = modulation_component<AnharmonicSpinModulationAnisotropic>();
        expect_same_spectrum(
            values(*s, anisotropic_params(0.2, 0.0, 0.0, 0.4, 35.0, -70.0, 120.0, h0, h0, h0, 0.8, 25.0), velocities),
            sextet(1.3, 0.1, 0.05, std::fabs(h0), 0.0, 0.0, 0.25), 1e-12);
    }
}

// A tensor with one principal value only: the field is Hzz·cos(ϑ + ψ) along z, and with
// ψ = 0, m = 0 and four phases it is 0, −Hzz, 0, Hzz: the sextets of field 0 and |Hzz|,
// the quadrupole shifts of the field along the axis, Q/4 + Qmagn/4, and at zero field
// the fixed direction cos θ = 1 as well.
TEST(AnharmonicSpinModulationAnisotropic, UniaxialTensorAtFourPhases)
{
    const SubSpecPtr s = modulation_component<AnharmonicSpinModulationAnisotropic>(L"0|Points|4");
    const double hzz = 330.0, q = 0.36, q_magn = 0.2;
    const std::vector<double> expected = sum(sextet(0.65, 0.1, 0.25 * (q + q_magn), 0.0, 0.0, 0.0, 0.25),
                                             sextet(0.65, 0.1, 0.25 * (q + q_magn), hzz, 0.0, 0.0, 0.25));
    expect_same_spectrum(
        values(*s, anisotropic_params(q_magn, q, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, hzz, 0.0, 0.0), velocities),
        expected, 1e-12);
}

// I, γ, δ, Q, φ, η, His, Han, m, Γ, α.
TEST(AnharmonicSpinModulationHamilton, HarmonicPhasesAreStaticHamiltonians)
{
    const std::vector<double> p = {1.2, 40.0, 0.1, 0.8, 25.0, 0.3, 300.0, -30.0, 0.0, 0.28, 0.2};
    const SubSpecPtr s = modulation_component<AnharmonicSpinModulationHamilton>(L"0|Points|12");
    std::vector<double> expected(velocities.size(), 0.0);
    for (int i = 0; i < 12; ++i) {
        const double x = i / 12.0 - 0.5;
        const double cos_t = std::sin(2.0 * pi * x), sin_t = std::cos(2.0 * pi * x);
        const double theta = std::atan2(sin_t, cos_t) * 180.0 / pi;
        const double field = p[6] + p[7] * (1.0 - 1.5 * sin_t * sin_t);
        expected = sum(expected, values(*static_hamilton,
                                        {p[0] / 12.0, p[1], p[2], p[3], field, theta, p[4], p[5], p[9], p[10]},
                                        velocities));
    }
    expect_same_spectrum(values(*s, p, velocities), expected, 1e-11);
}

// I, νis, νan, m, Γ₀, ΔΓ, α.
TEST(NmrAnharmonicSpinModulation, WithoutModulationIsOneLine)
{
    for (const double m : {0.0, 0.7, -0.95}) {
        const SubSpecPtr s = modulation_component<NMR_AnharmonicSpinModulation>();
        const DVector nu = grid(60.0, 80.0, 401);
        expect_same_spectrum(values(*s, {1.5, 70.0, 0.0, m, 0.4, 0.0, 0.6}, nu),
                             values(*single_line, {1.5, 70.0, 0.4, 0.6}, nu), 1e-13);
    }
}

// Twelve harmonic phases: lines at νis + νan·P with the widths Γ₀ + ΔΓ·sin²ϑ, a negative
// ΔΓ that would close or negate the width at some phases giving the narrowest line
// there instead.
TEST(NmrAnharmonicSpinModulation, HarmonicPhasesAreItsLinesAndWidthsStayPositive)
{
    const SubSpecPtr s = modulation_component<NMR_AnharmonicSpinModulation>(L"0|Points|12");
    const DVector nu = grid(40.0, 100.0, 1201);
    for (const double change : {0.5, -0.3, -0.5}) {
        SCOPED_TRACE(change);
        const std::vector<double> p = {1.5, 70.0, 12.0, 0.0, 0.3, change, 0.6};
        std::vector<double> expected(nu.size(), 0.0);
        for (int i = 0; i < 12; ++i) {
            const double c = std::sin(2.0 * pi * (i / 12.0 - 0.5));
            const double width = std::max(0.001, 0.3 + change * (1.0 - c * c));
            expected = sum(expected, values(*single_line, {1.5 / 12.0, 70.0 + 12.0 * (1.5 * c * c - 0.5), width, 0.6},
                                            nu));
        }
        const std::vector<double> actual = values(*s, p, nu);
        expect_same_spectrum(actual, expected, 1e-12);
        EXPECT_TRUE(std::all_of(actual.begin(), actual.end(), [](double v) { return std::isfinite(v) && v >= 0.0; }));
    }
}

// Gauss lines, far inside the axis: the area is "I".
TEST(AnharmonicModels, AreaIsI)
{
    struct Case {
        SubSpecPtr s;
        std::vector<double> p;
        double from, to;
    };
    std::vector<double> simple = simple_params(0.05, -0.1, 0.4, 300.0, 40.0, 0.7);
    simple.back() = 1.0;
    std::vector<double> anisotropic =
        anisotropic_params(0.2, 0.4, 1.0, 0.3, 30.0, 50.0, -20.0, 250.0, 300.0, 330.0, -0.5, 15.0);
    anisotropic.back() = 1.0;
    const Case cases[] = {
        {modulation_component<AnharmonicSpinModulation>(), simple, -15.0, 15.0},
        {modulation_component<AnharmonicSpinModulationAnisotropic>(), anisotropic, -15.0, 15.0},
        {modulation_component<AnharmonicSpinModulationHamilton>(), {1.2, 40.0, 0.1, 0.8, 25.0, 0.3, 300.0, -30.0, 0.8, 0.28, 1.0},
         -15.0, 15.0},
        {modulation_component<NMR_AnharmonicSpinModulation>(), {1.5, 70.0, 12.0, -0.4, 0.3, 0.2, 1.0}, 40.0, 100.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(area(*c.s, c.p, c.from, c.to, 60000), c.p[0], 1e-7 * c.p[0]) << c.s->display_name();
}

TEST(AnharmonicModels, MOfOneGivesNaNAndBeyondOneAClearError)
{
    const SubSpecPtr s = modulation_component<AnharmonicSpinModulation>();
    std::vector<double> p = simple_params(0.05, -0.1, 0.4, 300.0, 40.0, 1.0);
    EXPECT_TRUE(std::isnan(value_at(*s, p, 0.5)));
    p[9] = -1.0;
    EXPECT_TRUE(std::isnan(value_at(*s, p, 0.5)));
    p[9] = 1.2;
    EXPECT_THROW(value_at(*s, p, 0.5), std::domain_error);
    DMatrix jacobian(1, 14);
    std::vector<double> value(1);
    EXPECT_THROW(s->evaluate_with_jacobian(all_of(vec({0.5})), all_of(vec(p)), value.data(), all_of(jacobian)),
                 std::domain_error);

    // Through the model's evaluation, whose blocks run in parallel.
    const SpectrumModel model = model_test::model_of({model_test::baseline(), s});
    DVector params(model.total_param_count);
    params(0) = 1e6;
    std::copy(p.begin(), p.end(), params.begin() + 3);
    DVector out(velocities.size());
    try {
        model.evaluate(velocities, 0, velocities.size(), params, out);
        FAIL();
    } catch (const std::domain_error& e) {
        EXPECT_NE(std::string(e.what()).find("m = 1.2 "), std::string::npos) << e.what();
    }
}

TEST(AnharmonicModels, Extents)
{
    const Isotope& iso = iron();
    double min, max, expected_min, expected_max;
    extent_of(*modulation_component<AnharmonicSpinModulation>(), simple_params(0.05, -0.1, 0.4, 300.0, -40.0, 0.7), min, max);
    sextet_extent(iso, 0.1, 0.15, 340.0, 0.0, 0.0, 0.3, 1.1, 0.9, 0.0, 0.0, 0.0, expected_min, expected_max);
    EXPECT_EQ(min, expected_min);
    EXPECT_EQ(max, expected_max);
    extent_of(*modulation_component<AnharmonicSpinModulationAnisotropic>(),
              anisotropic_params(0.2, 0.4, 1.0, 0.3, 30.0, 50.0, -20.0, 200.0, -300.0, 600.0, -0.5, 15.0), min, max);
    sextet_extent(iso, 0.1, 1.6, 700.0, 0.0, 0.0, 0.3, 1.1, 0.9, 0.0, 0.0, 0.0, expected_min, expected_max);
    EXPECT_EQ(min, expected_min);
    EXPECT_EQ(max, expected_max);
    extent_of(*modulation_component<AnharmonicSpinModulationHamilton>(),
              {1.2, 40.0, 0.1, 0.8, 25.0, 0.3, 300.0, -30.0, 0.8, 0.28, 0.2}, min, max);
    sextet_extent(iso, 0.1, 0.2, 330.0, 0.0, 0.0, 0.28, 1.0, 1.0, 0.0, 0.0, 0.0, expected_min, expected_max);
    EXPECT_EQ(min, expected_min);
    EXPECT_EQ(max, expected_max);
    extent_of(*modulation_component<NMR_AnharmonicSpinModulation>(), {1.0, 100.0, -20.0, 0.3, 1.0, 0.5, 0.5}, min, max);
    EXPECT_EQ(min, 72.0);
    EXPECT_EQ(max, 128.0);
}

TEST(AnharmonicModels, StartingValues)
{
    const Isotope& iso = iron();
    const SpectrumAnalysis six = found_lines({-5.3, -3.1, -0.9, 0.7, 2.9, 5.1}, 0.2, 3.0, 0.3);
    const double centre = (-5.3 + 5.1) * 0.5, field = (5.1 - -5.3) / std::fabs(iso.K), width = 2.0 * iso.Γτ;
    EXPECT_EQ(start_values(*modulation_component<AnharmonicSpinModulation>(), six),
              (std::vector<double>{1.0, 0.6666666666666666, 0.3333333333333333, centre, 0.0, 0.0, 0.0, field, 0.0, 0.0,
                                   width, 1.0, 1.0, 0.0}));
    EXPECT_EQ(start_values(*modulation_component<AnharmonicSpinModulationAnisotropic>(), six),
              (std::vector<double>{1.0, 0.6666666666666666, 0.3333333333333333, centre, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0,
                                   0.0, field, field, field, 0.0, 0.0, width, 1.0, 1.0, 0.0}));
    const SpectrumAnalysis few = found_lines({-0.4, 0.5}, 0.2, 3.0, 0.3);
    EXPECT_EQ(start_values(*modulation_component<AnharmonicSpinModulationHamilton>(), few),
              (std::vector<double>{1.0, 54.735610317245346, 0.2, 0.0, 0.0, 0.0, 3.0 / std::fabs(iso.K), 0.0, 0.0,
                                   width, 0.0}));
    const SubSpecPtr nmr = modulation_component<NMR_AnharmonicSpinModulation>();
    EXPECT_EQ(start_values(*nmr, found_lines({10.0, 40.0}, 25.0, 3.0, 0.3)),
              (std::vector<double>{1.0, 20.0, 20.0, 0.0, 3.0, 0.0, 1.0}));
    EXPECT_EQ(start_values(*nmr, found_lines({10.0, 40.0, 50.0}, 25.0, 3.0, 0.3)),
              (std::vector<double>{1.0, 25.0, 0.0, 0.0, 0.1, 0.0, 1.0}));
}

// The key sets of the model data: the Hamiltonian model draws its graphs with fixed
// sizes and has no "DPoints".
TEST(AnharmonicModels, ModelDataAndNames)
{
    struct Case {
        SubSpecPtr s;
        const wchar_t* data;
        const wchar_t* name;
    };
    const Case cases[] = {
        {modulation_component<AnharmonicSpinModulation>(), L"0|Points|250|0|DPoints|200|0|HPoints|50000",
         L"Anharmonic spin modulation (57Fe)"},
        {modulation_component<AnharmonicSpinModulationAnisotropic>(), L"0|Points|250|0|DPoints|500|0|HPoints|50000",
         L"Anharmonic spin modulation [anisotropic] (57Fe)"},
        {modulation_component<AnharmonicSpinModulationHamilton>(), L"0|Points|250|0|HPoints|50000",
         L"Anharmonic spin modulation [Hamilton] (57Fe)"},
        {modulation_component<NMR_AnharmonicSpinModulation>(), L"0|Points|250", L"NMR Anharmonic spin modulation"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dynamic_cast<const ISubSpecData&>(*c.s).save_extra(), c.data);
        EXPECT_EQ(dynamic_cast<const ISubSpecDesc&>(*c.s).description(), L"250");
        EXPECT_EQ(c.s->display_name(), c.name);
        EXPECT_EQ(dynamic_cast<const IExtraGraph&>(*c.s).graph_count(), 3u);
    }
}

}  // namespace
