// Dual and complex dual numbers against closed forms, finite differences and the IEEE
// special cases that callers rely on.
#include "core/numerics/complex_dual.h"
#include "core/numerics/dual.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using D2 = Dual<2>;

double central_difference(const std::function<double(double)>& f, double x)
{
    const double h = 1e-6 * std::max(1.0, std::fabs(x));
    return (f(x + h) - f(x - h)) / (2.0 * h);
}

TEST(DualRoutines, ZeroCountTouchesOnlyTheValue)
{
    struct Case {
        std::string name;
        std::function<void(double*, const double*)> run;
        double value;
    };
    const double f = 5.0;
    const double df = 0.0;
    const double k = 2.0;
    const std::vector<Case> cases = {
        {"add", [](double* a, const double* b) { dual_add(a, b, 0); }, 7.0},
        {"sub", [](double* a, const double* b) { dual_sub(a, b, 0); }, -1.0},
        {"mul", [](double* a, const double* b) { dual_mul(a, b, 0); }, 12.0},
        {"div", [](double* a, const double* b) { dual_div(a, b, 0); }, 3.0 * (1.0 / 4.0)},
        {"scale", [&](double* a, const double*) { dual_scale(a, k, 0); }, 6.0},
        {"neg", [](double* a, const double*) { dual_neg(a, a, 0); }, -3.0},
        {"chain", [&](double* a, const double*) { dual_chain(a, &f, &df, 0); }, 5.0},
    };
    for (const Case& c : cases) {
        double a[] = {3.0, 9.0};
        const double b[] = {4.0, 7.0};
        c.run(a, b);
        EXPECT_EQ(a[0], c.value) << c.name;
        EXPECT_EQ(a[1], 9.0) << c.name;
    }
}

TEST(DualRoutines, QuotientAndProductRulesUseTheOldValue)
{
    double q[] = {6.0, 1.0, 2.0};
    const double b[] = {3.0, 0.5, -1.0};
    dual_div(q, b, 2);
    EXPECT_DOUBLE_EQ(q[0], 2.0);
    EXPECT_DOUBLE_EQ(q[1], 0.0);
    EXPECT_DOUBLE_EQ(q[2], 4.0 / 3.0);

    double p[] = {6.0, 1.0, 2.0};
    dual_mul(p, b, 2);
    EXPECT_EQ(p[0], 18.0);
    EXPECT_EQ(p[1], 6.0);  // 0.5*6 + 3*1
    EXPECT_EQ(p[2], 0.0);  // -1*6 + 3*2
}

// A quotient of ordinary size keeps its derivatives where numerator and divisor are huge
// or tiny (a rate far in its fast limit over another): (a′ − b′·q)/b, scaled both ways.
TEST(DualRoutines, QuotientOfHugeOrTinyNumbersKeepsItsDerivatives)
{
    for (double scale : {1e-200, 1e-160, 1.0, 1e160, 1e200, 1e300}) {
        double q[] = {6.0 * scale, 1.0 * scale, 2.0 * scale};
        const double b[] = {3.0 * scale, 0.5 * scale, -1.0 * scale};
        dual_div(q, b, 2);
        EXPECT_NEAR(q[0], 2.0, 1e-15) << scale;
        EXPECT_NEAR(q[1], 0.0, 1e-15) << scale;
        EXPECT_NEAR(q[2], 4.0 / 3.0, 1e-15) << scale;
    }
}

TEST(DualRoutines, OperandsMayBeTheSameNumber)
{
    // 49·(1/49) rounds below 1: the derivatives are still exactly 0.
    for (double v : {3.0, 49.0, 1e-300, 7e300}) {
        double q[] = {v, 1.5, -2.0};
        dual_div(q, q, 2);
        EXPECT_EQ(q[0], v * (1.0 / v)) << v;
        EXPECT_EQ(q[1], 0.0) << v;
        EXPECT_EQ(q[2], 0.0) << v;
    }

    double p[] = {3.0, 1.5, -2.0};
    dual_mul(p, p, 2);
    EXPECT_EQ(p[0], 9.0);
    EXPECT_EQ(p[1], 9.0);
    EXPECT_EQ(p[2], -12.0);

    // The factor is read once, so scaling by the number's own value scales every element by it.
    double s[] = {2.0, 3.0, 5.0};
    dual_scale(s, s[0], 2);
    EXPECT_EQ(s[0], 4.0);
    EXPECT_EQ(s[1], 6.0);
    EXPECT_EQ(s[2], 10.0);
}

TEST(DualRoutines, NegationFlipsEverySignBit)
{
    double a[] = {0.0, -0.0, 2.0};
    dual_neg(a, a, 2);
    EXPECT_TRUE(std::signbit(a[0]));
    EXPECT_FALSE(std::signbit(a[1]));
    EXPECT_EQ(a[2], -2.0);
}

// Each function on a dual number whose two derivatives are 1 and -3: the value is the
// double function's, the derivatives are f'(x) and -3 f'(x), and f' agrees with a
// central difference.
TEST(DualFunctions, MatchAnalyticDerivativesAndFiniteDifferences)
{
    struct Case {
        std::string name;
        double x;
        std::function<D2(const D2&)> on_dual;
        std::function<double(double)> on_double;
        std::function<double(double)> derivative;
    };
    auto make = [](std::string name, double x, auto f, std::function<double(double)> df) {
        return Case{std::move(name), x, f, f, std::move(df)};
    };
    const std::vector<Case> cases = {
        make("exp", 0.7, [](const auto& x) { using std::exp; return exp(x); }, [](double x) { return std::exp(x); }),
        make("log", 2.5, [](const auto& x) { using std::log; return log(x); }, [](double x) { return 1.0 / x; }),
        make("sqrt", 3.0, [](const auto& x) { using std::sqrt; return sqrt(x); },
             [](double x) { return 1.0 / (2.0 * std::sqrt(x)); }),
        make("pow", 1.7, [](const auto& x) { using std::pow; return pow(x, 2.5); },
             [](double x) { return 2.5 * std::pow(x, 1.5); }),
        make("abs", -1.3, [](const auto& x) { using std::abs; return abs(x); }, [](double) { return -1.0; }),
        make("sin", 0.9, [](const auto& x) { using std::sin; return sin(x); }, [](double x) { return std::cos(x); }),
        make("cos", 0.9, [](const auto& x) { using std::cos; return cos(x); }, [](double x) { return -std::sin(x); }),
        make("tan", 1.1, [](const auto& x) { using std::tan; return tan(x); },
             [](double x) { return 1.0 / (std::cos(x) * std::cos(x)); }),
        make("asin", 0.4, [](const auto& x) { using std::asin; return asin(x); },
             [](double x) { return 1.0 / std::sqrt(1.0 - x * x); }),
        make("acos", -0.6, [](const auto& x) { using std::acos; return acos(x); },
             [](double x) { return -1.0 / std::sqrt(1.0 - x * x); }),
        make("atan", 2.0, [](const auto& x) { using std::atan; return atan(x); },
             [](double x) { return 1.0 / (1.0 + x * x); }),
        make("sin_cos", 0.9,
             [](const auto& x) {
                 auto s = x;
                 auto c = x;
                 sin_cos(x, s, c);
                 return s * 2.0 + c;
             },
             [](double x) { return 2.0 * std::cos(x) - std::sin(x); }),
    };
    for (const Case& c : cases) {
        D2 x(c.x);
        x[1] = 1.0;
        x[2] = -3.0;
        const D2 y = c.on_dual(x);
        const double slope = c.derivative(c.x);
        EXPECT_DOUBLE_EQ(y[0], c.on_double(c.x)) << c.name;
        EXPECT_NEAR(y[1], slope, 1e-15 * std::fabs(slope)) << c.name;
        EXPECT_NEAR(y[2], -3.0 * slope, 3e-15 * std::fabs(slope)) << c.name;
        EXPECT_NEAR(central_difference(c.on_double, c.x), slope, 1e-8 * std::max(1.0, std::fabs(slope))) << c.name;
    }
}

// Every operator, with dual and plain operands, in one formula of two variables.
template <class R>
R two_variable_formula(const R& x, const R& y)
{
    using std::atan;
    using std::exp;
    using std::sqrt;
    R r = (x * y - 2.0) / (1.0 + y * y) + 3.0 / x - sqrt(x + y) * exp(-x);
    r += atan(y - x) * 0.5 - (-x) / 4.0 + (2.0 - y) * (x + 1.5);
    r -= 0.25 * (x / y);
    r *= 1.0 - y;
    r /= x * 0.5 + 2.0;
    return r;
}

TEST(DualOperators, FormulaMatchesFiniteDifferences)
{
    const double x0 = 1.3;
    const double y0 = 0.4;
    const D2 r = two_variable_formula(D2::seed(x0, 0), D2::seed(y0, 1));
    EXPECT_NEAR(r[0], two_variable_formula(x0, y0), 1e-15);
    EXPECT_NEAR(r[1], central_difference([&](double x) { return two_variable_formula(x, y0); }, x0), 1e-8);
    EXPECT_NEAR(r[2], central_difference([&](double y) { return two_variable_formula(x0, y); }, y0), 1e-8);
}

TEST(DualOperators, ProductWithConstantScalesDerivativesExactly)
{
    D2 a(1.5);
    a[1] = 0.1;
    a[2] = -0.7;
    for (const D2& p : {a * D2(3.0), a * 3.0, 3.0 * a}) {
        EXPECT_EQ(p[0], 4.5);
        EXPECT_EQ(p[1], 3.0 * 0.1);
        EXPECT_EQ(p[2], 3.0 * -0.7);
    }
}

TEST(DualOperators, ComparisonsReadValuesOnly)
{
    const D2 a = D2::seed(1.0, 0);
    const D2 b(1.0);
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a != b);
    EXPECT_TRUE(a < 2.0 && 2.0 > a && a <= b && a >= 1.0);
    EXPECT_TRUE(0.5 < a);

    const D2 nan = std::numeric_limits<D2>::quiet_NaN();
    EXPECT_TRUE(std::isnan(nan[0]));
    EXPECT_EQ(nan[1], 0.0);
    EXPECT_EQ(nan[2], 0.0);
    EXPECT_FALSE(nan == nan || nan < 1.0 || nan > 1.0 || nan <= a || nan >= a);
    EXPECT_TRUE(nan != nan);
}

TEST(ComplexDual, LayoutIsRealPartThenImaginaryPart)
{
    const ComplexDual<2> z(D2::seed(1.0, 0), D2::seed(2.0, 1));
    const double* d = reinterpret_cast<const double*>(&z);
    EXPECT_EQ(std::vector<double>(d, d + 6), (std::vector<double>{1.0, 1.0, 0.0, 2.0, 0.0, 1.0}));

    const ComplexDual<2> real = D2::seed(3.0, 1);
    EXPECT_EQ(real.imag()[0], 0.0);
    EXPECT_EQ(real.imag()[2], 0.0);
}

// A complex dual number moving along x0 + s x' for one parameter s.
using C = std::complex<double>;
ComplexDual<1> along(C x0, C dx)
{
    Dual<1> re(x0.real());
    Dual<1> im(x0.imag());
    re[1] = dx.real();
    im[1] = dx.imag();
    return {re, im};
}
C value_of(const ComplexDual<1>& z) { return {z.real()[0], z.imag()[0]}; }
C slope_of(const ComplexDual<1>& z) { return {z.real()[1], z.imag()[1]}; }

void expect_near(C actual, C expected, double tolerance, const std::string& what)
{
    EXPECT_NEAR(actual.real(), expected.real(), tolerance * std::max(1.0, std::abs(expected))) << what;
    EXPECT_NEAR(actual.imag(), expected.imag(), tolerance * std::max(1.0, std::abs(expected))) << what;
}

TEST(ComplexDual, ProductFollowsProductRule)
{
    const C x0(1.5, -2.0), dx(0.3, 0.7), y0(-0.5, 4.0), dy(1.0, -1.0);
    const ComplexDual<1> x = along(x0, dx);
    const ComplexDual<1> y = along(y0, dy);
    const ComplexDual<1> p = x * y;
    expect_near(value_of(p), x0 * y0, 1e-16, "value");
    expect_near(slope_of(p), dx * y0 + x0 * dy, 1e-15, "derivative");

    ComplexDual<1> square = x;
    square *= square;
    expect_near(value_of(square), x0 * x0, 1e-16, "square");
    expect_near(slope_of(square), 2.0 * x0 * dx, 1e-15, "square derivative");

    // A real dual factor scales both parts.
    const ComplexDual<1> scaled = x.real() * y;
    expect_near(value_of(scaled), x0.real() * y0, 1e-16, "real factor");
    expect_near(slope_of(scaled), dx.real() * y0 + x0.real() * dy, 1e-15, "real factor derivative");

    const ComplexDual<1> c = std::conj(x);
    EXPECT_EQ(value_of(c), std::conj(x0));
    EXPECT_EQ(slope_of(c), std::conj(dx));
}

// Smith's division in each of its branches against the quotient rule.
TEST(ComplexDual, DivisionFollowsQuotientRuleInEveryBranch)
{
    struct Case {
        std::string name;
        C y0;
    };
    const std::vector<Case> cases = {
        {"|c| > |d|", {4.0, 1.0}},   {"|c| < |d|", {1.0, 4.0}},      {"|c| == |d|", {2.0, 2.0}},
        {"imaginary", {0.0, 2.0}},   {"negative real", {-3.0, 0.0}}, {"negative imaginary", {0.5, -3.0}},
    };
    const C x0(1.0, 2.0), dx(0.3, -0.4), dy(-0.2, 0.9);
    for (const Case& c : cases) {
        ComplexDual<1> q = along(x0, dx);
        q /= along(c.y0, dy);
        expect_near(value_of(q), x0 / c.y0, 1e-15, c.name);
        expect_near(slope_of(q), (dx * c.y0 - x0 * dy) / (c.y0 * c.y0), 1e-14, c.name);
        expect_near(complex_divide(x0, c.y0), x0 / c.y0, 1e-15, c.name + " on doubles");
    }
}

TEST(ComplexDual, RealDivisionHasZeroImaginaryPart)
{
    Dual<1> c(2.0);
    c[1] = 0.5;
    const ComplexDual<1> q = ComplexDual<1>(1.0) / ComplexDual<1>(c);
    EXPECT_EQ(q.real()[0], 0.5);
    EXPECT_EQ(q.real()[1], -0.5 / 4.0);
    EXPECT_EQ(q.imag()[0], 0.0);
    EXPECT_EQ(q.imag()[1], 0.0);
}

TEST(ComplexDual, ZeroDivisorGivesNaNWithZeroDerivatives)
{
    const ComplexDual<1> q = along({1.0, 2.0}, {0.3, 0.4}) / along({0.0, 0.0}, {1.0, 1.0});
    for (const Dual<1>& part : {q.real(), q.imag()}) {
        EXPECT_TRUE(std::isnan(part[0]));
        EXPECT_EQ(part[1], 0.0);
    }
    const C d = complex_divide(C(1.0, 2.0), C(0.0, 0.0));
    EXPECT_TRUE(std::isnan(d.real()) && std::isnan(d.imag()));
}

TEST(ComplexDual, ScalingKeepsHugeDivisorsFinite)
{
    const C x0(1e300, 0.0), y0(1e300, 1e300);
    expect_near(complex_divide(x0, y0), C(0.5, -0.5), 1e-16, "doubles");
    expect_near(value_of(along(x0, {}) / along(y0, {})), C(0.5, -0.5), 1e-16, "dual");
}

}  // namespace
