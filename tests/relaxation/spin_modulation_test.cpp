// The elliptic profiles and the spin angle along a period: sn and cn against the
// inverse of the incomplete elliptic integral found by quadrature and bisection, the
// harmonic limit, the sampled phases and their angles, the roles of sn and cn by the
// sign of m, the derivative in m as the prescribed one-sided difference quotient, and
// the refusal of |m| > 1.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

#include "core/numerics/dual.h"
#include "relaxation/elliptic_profile.h"
#include "relaxation/spin_modulation.h"

namespace {

constexpr double pi = std::numbers::pi;

// F(φ | k) = ∫₀^φ dθ/√(1 − k²·sin²θ) by Simpson's rule.
double incomplete_integral(double phi, double q)
{
    const int steps = 2000;
    const double h = phi / steps;
    const auto f = [&](double t) { return 1.0 / std::sqrt(1.0 - q * std::sin(t) * std::sin(t)); };
    double sum = f(0.0) + f(phi);
    for (int i = 1; i < steps; ++i)
        sum += (i % 2 ? 4.0 : 2.0) * f(i * h);
    return sum * h / 3.0;
}

// The amplitude φ with F(φ | k) = 4·K·x, so sn = sin φ and cn = cos φ.
double amplitude(double x, double q)
{
    const double quarter = incomplete_integral(pi / 2.0, q);
    const double u = 4.0 * quarter * x;
    // F is odd and F(φ + π) = F(φ) + 2K: reduce u to [0, 2K).
    const double periods = std::floor(u / (2.0 * quarter));
    const double rest = u - periods * 2.0 * quarter;
    double lo = 0.0, hi = pi;
    for (int i = 0; i < 60; ++i) {
        const double mid = 0.5 * (lo + hi);
        (incomplete_integral(mid, q) < rest ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi) + periods * pi;
}

TEST(EllipticProfile, SnAndCnInvertTheEllipticIntegral)
{
    for (const double q : {0.0, 0.3, 0.8, 0.99}) {
        for (const double x : {-0.5, -0.37, -0.25, -0.1, 0.0, 0.05, 0.2, 0.25, 0.31, 0.45}) {
            SCOPED_TRACE(std::to_string(q) + " at " + std::to_string(x));
            const double phi = amplitude(x, q);
            EXPECT_NEAR(sn_profile(x, q), std::sin(phi), 1e-9);
            EXPECT_NEAR(cn_profile(x, q), std::cos(phi), 1e-9);
        }
    }
}

TEST(EllipticProfile, HarmonicAtZeroAndNaNAtOne)
{
    for (const double x : {-0.5, -0.3, 0.0, 0.125, 0.4, 1.0}) {
        EXPECT_NEAR(sn_profile(x, 0.0), std::sin(2.0 * pi * x), 1e-15);
        EXPECT_NEAR(cn_profile(x, 0.0), std::cos(2.0 * pi * x), 1e-15);
    }
    EXPECT_TRUE(std::isnan(sn_profile(0.1, 1.0)));
    EXPECT_TRUE(std::isnan(cn_profile(0.1, 1.0)));
}

// The phases i/n − 1/2 and, for m = 0, cos ϑ = sin 2πx.
TEST(SpinModulation, SampledAnglesOfTheHarmonicProfile)
{
    const SpinModulation<double> harmonic(0.0);
    const double cos_expected[4] = {0.0, -1.0, 0.0, 1.0};
    const double p2_expected[4] = {-0.5, 1.0, -0.5, 1.0};
    for (std::size_t i = 0; i < 4; ++i) {
        const double x = modulation_phase(i, 4);
        EXPECT_EQ(x, -0.5 + 0.25 * double(i));
        double c, s, sin2, p2;
        harmonic.angle(x, c, s);
        harmonic.legendre(x, sin2, p2);
        EXPECT_NEAR(c, cos_expected[i], 1e-15) << i;
        EXPECT_NEAR(s * s, 1.0 - cos_expected[i] * cos_expected[i], 1e-15) << i;
        EXPECT_NEAR(p2, p2_expected[i], 1e-15) << i;
        EXPECT_NEAR(sin2, 1.0 - cos_expected[i] * cos_expected[i], 1e-15) << i;
    }
    // Two phases, −1/2 and 0: the spin across the axis at both.
    for (std::size_t i = 0; i < 2; ++i) {
        double c, s;
        harmonic.angle(modulation_phase(i, 2), c, s);
        EXPECT_NEAR(c, 0.0, 1e-15);
    }
}

// m ≥ 0: cos ϑ = sn; m < 0: cos ϑ = cn, so the spin lies along the axis at x = 0 and
// against it at x = −1/2. The Legendre value from sn alone agrees with the angle.
TEST(SpinModulation, TheSignOfMExchangesSnAndCn)
{
    for (const double m : {0.5, -0.5, 0.9, -0.9, -0.0}) {
        const SpinModulation<double> modulation(m);
        const double q = std::fabs(m);
        for (const double x : {-0.5, -0.3, 0.0, 0.1, 0.2}) {
            double c, s, sin2, p2;
            modulation.angle(x, c, s);
            modulation.legendre(x, sin2, p2);
            const bool positive = !std::signbit(m) || m == 0.0;
            EXPECT_NEAR(c, positive ? sn_profile(x, q) : cn_profile(x, q), 1e-15);
            EXPECT_NEAR(s, positive ? cn_profile(x, q) : sn_profile(x, q), 1e-15);
            EXPECT_NEAR(sin2, s * s, 1e-14);
            EXPECT_NEAR(p2, 1.5 * c * c - 0.5, 1e-14);
        }
    }
    double c, s;
    SpinModulation<double>(-0.5).angle(0.0, c, s);
    EXPECT_NEAR(c, 1.0, 1e-15);
    SpinModulation<double>(-0.5).angle(-0.5, c, s);
    EXPECT_NEAR(c, -1.0, 1e-15);
    SpinModulation<double>(0.5).angle(0.1, c, s);
    double c_negative, s_negative;
    SpinModulation<double>(-0.5).angle(0.1, c_negative, s_negative);
    EXPECT_GT(std::fabs(c - c_negative), 0.1);
}

// The derivative in m: forward quotient up to |m| = 0.5, backward above, with the sign
// of m's derivative through |m|.
TEST(SpinModulation, DerivativeInMIsTheOneSidedQuotient)
{
    struct Case {
        double m;
        bool backward;
    };
    const Case cases[] = {{0.0, false}, {0.3, false}, {0.5, false}, {0.5000001, true}, {0.9, true},
                          {-0.3, false}, {-0.5000001, true}, {-0.9, true}};
    for (const Case& c : cases) {
        const double q = std::fabs(c.m), sign = c.m < 0.0 ? -1.0 : 1.0;
        const SpinModulation<Dual<2>> modulation(Dual<2>::seed(c.m, 1));
        for (const double x : {-0.4, -0.1, 0.05, 0.3}) {
            SCOPED_TRACE(std::to_string(c.m) + " at " + std::to_string(x));
            Dual<2> sn, cn;
            modulation.profile(x, sn, cn);
            const double near = c.backward ? q - 0.001 : q + 0.001;
            const double sn_quotient = (sn_profile(x, near) - sn_profile(x, q)) / (near - q);
            const double cn_quotient = (cn_profile(x, near) - cn_profile(x, q)) / (near - q);
            EXPECT_EQ(sn[0], sn_profile(x, q));
            EXPECT_EQ(cn[0], cn_profile(x, q));
            EXPECT_EQ(sn[1], 0.0);
            EXPECT_NEAR(sn[2], sign * sn_quotient, 1e-9 * std::max(1.0, std::fabs(sn_quotient)));
            EXPECT_NEAR(cn[2], sign * cn_quotient, 1e-9 * std::max(1.0, std::fabs(cn_quotient)));
        }
    }
}

// The Legendre value and sin²ϑ on dual numbers carry the profile's derivative by the
// chain rule: d(1.5·sn² − 0.5) = 3·sn·dsn and d(1 − sn²) = −2·sn·dsn.
TEST(SpinModulation, LegendreDerivativesFollowTheProfile)
{
    const double m = 0.4, x = 0.13;
    const SpinModulation<Dual<1>> modulation(Dual<1>::seed(m, 0));
    Dual<1> sn = modulation.sn(x), sin2, p2;
    modulation.legendre(x, sin2, p2);
    EXPECT_NEAR(p2[1], 3.0 * sn[0] * sn[1], 1e-12);
    EXPECT_NEAR(sin2[1], -2.0 * sn[0] * sn[1], 1e-12);
}

TEST(SpinModulation, ParametersBeyondOneAreRefusedAndOneGivesNaN)
{
    for (const double m : {1.5, -1.0000001, 7.0}) {
        try {
            SpinModulation<double> modulation(m);
            FAIL() << m;
        } catch (const std::domain_error& e) {
            EXPECT_NE(std::string(e.what()).find("modulation parameter m = "), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("-1 ... 1"), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(SpinModulation<Dual<3>>(Dual<3>::seed(-2.0, 0)), std::domain_error);
    for (const double m : {1.0, -1.0}) {
        double c, s;
        SpinModulation<double>(m).angle(0.1, c, s);
        EXPECT_TRUE(std::isnan(c) && std::isnan(s));
    }
}

}  // namespace
