// The Faddeeva function against high-precision reference values (on and near the real
// axis too, where its series has removable singularities) and its differential
// equation w'(z) = -2 z w(z) + 2i/sqrt(pi); the pseudo-Voigt shape against its limits,
// its area and the derivative with respect to the Gauss fraction.
#include "core/numerics/complex_dual.h"
#include "core/numerics/dual.h"
#include "lineshapes/faddeeva.h"
#include "lineshapes/pseudo_voigt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

namespace {

using C = std::complex<double>;
using D2 = Dual<2>;

const double two_over_sqrt_pi = 1.1283791670955126;

std::string text(C z)
{
    return std::to_string(z.real()) + (z.imag() < 0.0 ? "" : "+") + std::to_string(z.imag()) + "i";
}

void expect_close(C actual, C expected, double tolerance, C z)
{
    const double scale = std::max(1.0, std::abs(expected));
    EXPECT_NEAR(actual.real(), expected.real(), tolerance * scale) << "z = " << text(z);
    EXPECT_NEAR(actual.imag(), expected.imag(), tolerance * scale) << "z = " << text(z);
}

// w(z) with the derivatives of its parts with respect to Re z and Im z.
ComplexDual<2> w_with_derivatives(C z)
{
    return faddeeva_w(ComplexDual<2>(D2::seed(z.real(), 0), D2::seed(z.imag(), 1)));
}

// Reference values of exp(-z^2) erfc(-iz) computed with 40 significant digits: the imaginary
// axis, both sides of the origin, near the real axis, large |z| and below the real axis.
const std::vector<std::pair<C, C>> reference_values = {
    {{0.0, 1.0}, {0.427583576155807, 0.0}},
    {{1.0, 1.0}, {0.3047442052569126, 0.2082189382028316}},
    {{0.0, 0.1}, {0.89645697996912664, 0.0}},
    {{0.0, 5.0}, {0.11070463773306863, 0.0}},
    {{3.0, 0.5}, {0.037126366054692345, 0.19298375530036209}},
    {{-2.5, 0.8}, {0.082111499600362973, -0.21261435308749905}},
    {{0.5, 0.01}, {0.77234501841006655, 0.47121688569118492}},
    {{1.0, 1e-6}, {0.36787952710731903, 0.60715697008303261}},
    {{6.0, 1e-3}, {1.6375340027605325e-5, 0.095396206113276621}},
    {{30.0, 0.01}, {6.2792495408883263e-6, 0.018816782772075435}},
    {{-7.0, 0.3}, {0.0035587272611619929, -0.081289957814497703}},
    {{100.0, 1.0}, {5.6421779161441335e-5, 0.005641613670145867}},
    {{1000.0, 1000.0}, {0.00028209486229752319, 0.00028209472125012731}},
    {{0.0, 50.0}, {0.011281536265323773, 0.0}},
    {{1.0, -0.5}, {0.15554114245433108, 1.1378372157816864}},
    {{2.0, -2.0}, {-0.43895282712924288, 2.1098962103309814}},
    {{0.0, -1.0}, {5.0089800807622835, 0.0}},
    // The real axis at and near the singular points n pi / 15 of the series.
    {{0.0, 0.0}, {1.0, 0.0}},
    {{0.20943951023931953, 0.0}, {0.95708324259959108, 0.22953595481205816}},
    {{1.0471975511965976, 0.0}, {0.33399718598613187, 0.60198345081269676}},
    {{-1.4660765716752369, 0.0}, {0.11655634043247469, -0.49411693285394364}},
    {{5.026548245743669, 0.0}, {1.0642270448216501e-11, 0.11461028120667974}},
    {{0.6283285307179586, 2e-06}, {0.6738161062355092, 0.54880211834797236}},
    {{0.0, 1e-09}, {0.99999999887162083, 0.0}},
    {{0.0001, 0.0}, {0.99999999000000005, 0.00011283791595729849}},
    {{0.41887902047863906, 0.0005}, {0.83868358620171131, 0.42070837426332318}},
};

TEST(Faddeeva, MatchesReferenceValues)
{
    for (const auto& [z, w] : reference_values) {
        expect_close(faddeeva_w(z), w, 1e-10, z);
        const ComplexDual<2> dual = w_with_derivatives(z);
        expect_close(C(dual.real()[0], dual.imag()[0]), w, 1e-10, z);
    }
}

TEST(Faddeeva, IsRealOnTheImaginaryAxis)
{
    for (double y : {0.1, 1.0, 5.0})
        EXPECT_EQ(faddeeva_w(C(0.0, y)).imag(), 0.0) << y;
}

// On the real axis Re w(x) = exp(-x^2): at every point where a divisor of the series
// vanishes, and a few rounding steps and small distances beside it, with derivatives.
TEST(Faddeeva, RealAxisIsRegularAtTheSeriesSingularities)
{
    for (int n = -24; n <= 24; ++n) {
        const double centre = n * 3.141592653589793 / 15.0;
        for (double x : {centre, std::nextafter(centre, 10.0), std::nextafter(centre, -10.0), centre + 1e-7,
                         centre - 4.9e-3, centre + 5.1e-3}) {
            const ComplexDual<2> w = w_with_derivatives(C(x, 0.0));
            const double expected = std::exp(-x * x);
            EXPECT_NEAR(w.real()[0], expected, 1e-12) << "x = " << x;
            EXPECT_NEAR(w.real()[1], -2.0 * x * expected, 1e-11) << "x = " << x;  // d/dx exp(-x^2)
            EXPECT_TRUE(std::isfinite(w.imag()[0]) && std::isfinite(w.real()[2])) << "x = " << x;
        }
    }
}

TEST(Faddeeva, CoefficientsAreTheGaussianWeights)
{
    for (int n = 0; n < 25; ++n) {
        const double x = n * 0.20943951023931953;  // n pi / 15
        const double expected = std::exp(-x * x);
        EXPECT_NEAR(faddeeva_coefficients[n], expected, 1e-15 * expected) << n;
    }
}

// w is analytic, so d/dx w = w' and d/dy w = i w'.
TEST(Faddeeva, DerivativesSatisfyTheDifferentialEquation)
{
    for (const auto& [z, w] : reference_values) {
        const C slope = -2.0 * z * w + C(0.0, two_over_sqrt_pi);
        const ComplexDual<2> dual = w_with_derivatives(z);
        expect_close(C(dual.real()[1], dual.imag()[1]), slope, 1e-11, z);
        expect_close(C(dual.real()[2], dual.imag()[2]), C(0.0, 1.0) * slope, 1e-11, z);
    }
}

TEST(Faddeeva, RealPartChainsBothArguments)
{
    const C z(1.5, 0.7);
    const C w = faddeeva_w(z);
    const C slope = -2.0 * z * w + C(0.0, two_over_sqrt_pi);
    const double d_dx = slope.real();
    const double d_dy = -slope.imag();

    Dual<3> x(z.real()), y(z.imag());
    x[1] = 0.5, x[2] = -1.0, x[3] = 2.0;
    y[1] = 0.0, y[2] = 3.0, y[3] = 0.25;
    const Dual<3> re = faddeeva_re(x, y);
    EXPECT_NEAR(re[0], w.real(), 1e-15);
    EXPECT_NEAR(re[1], 0.5 * d_dx, 1e-12);
    EXPECT_NEAR(re[2], -d_dx + 3.0 * d_dy, 1e-12);
    EXPECT_NEAR(re[3], 2.0 * d_dx + 0.25 * d_dy, 1e-12);
    EXPECT_EQ(y[2], 3.0);

    // With a constant imaginary part only the real argument's derivatives count.
    double raw_x[] = {z.real(), 1.0, -2.0};
    const double raw_y[] = {z.imag(), 0.0, 0.0};
    dual_faddeeva_re(raw_x, raw_y, 2);
    EXPECT_EQ(raw_x[0], re[0]);
    EXPECT_NEAR(raw_x[1], d_dx, 1e-12);
    EXPECT_NEAR(raw_x[2], -2.0 * d_dx, 1e-12);

    EXPECT_EQ(faddeeva_re(z.real(), z.imag()), w.real());
}

TEST(PseudoVoigt, HasUnitHeightRatiosAtCentreAndHalfWidth)
{
    EXPECT_DOUBLE_EQ(pseudo_voigt(0.0, 1.0), 0.46971863934982566);
    EXPECT_DOUBLE_EQ(pseudo_voigt(0.0, 0.0), 0.3183098861837907);
    for (double a : {0.0, 0.3, 1.0}) {
        EXPECT_NEAR(pseudo_voigt(1.0, a), 0.5 * pseudo_voigt(0.0, a), 1e-16) << a;
        EXPECT_NEAR(pseudo_voigt(-1.0, a), 0.5 * pseudo_voigt(0.0, a), 1e-16) << a;
    }
}

// Simpson's rule over [-40, 40] against the closed forms of the Gauss and Lorentz areas
// there: erf(sqrt(ln 2) 40) = 1 and 2 atan(40) / pi.
TEST(PseudoVoigt, HasUnitArea)
{
    const double a = 0.35;
    const double half = 40.0;
    const int steps = 16000;
    const double h = 2.0 * half / steps;
    double sum = pseudo_voigt(-half, a) + pseudo_voigt(half, a);
    for (int i = 1; i < steps; ++i)
        sum += (i % 2 ? 4.0 : 2.0) * pseudo_voigt(-half + i * h, a);
    const double expected = a + (1.0 - a) * 2.0 * std::atan(half) / 3.141592653589793;
    EXPECT_NEAR(sum * h / 3.0, expected, 1e-9);
}

TEST(PseudoVoigt, DerivativesOnDualNumbers)
{
    for (double x : {-2.0, 0.0, 0.6, 3.0}) {
        const double a = 0.4;
        const D2 p = pseudo_voigt(D2::seed(x, 0), D2::seed(a, 1));
        const double gauss = pseudo_voigt(x, 1.0);
        const double lorentz = pseudo_voigt(x, 0.0);
        EXPECT_NEAR(p[0], pseudo_voigt(x, a), 1e-16) << x;
        EXPECT_NEAR(p[2], gauss - lorentz, 1e-15) << x;
        const double h = 1e-6;
        EXPECT_NEAR(p[1], (pseudo_voigt(x + h, a) - pseudo_voigt(x - h, a)) / (2.0 * h), 1e-9) << x;
    }
}

}  // namespace
