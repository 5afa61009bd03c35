// Expression evaluation: values and gradients of the operators and functions against
// closed forms and central differences, the propagated standard errors against
// hand-computed quadratic forms, and evaluation from many threads at once.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <boost/math/special_functions/ellint_1.hpp>
#include <boost/math/special_functions/ellint_2.hpp>

#include "core/model/expr.h"
#include "tests/support/expr_test_parts.h"

namespace {

using namespace expr_test;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double d = 0.017453292519943295;  // π/180
constexpr double D = 57.29577951308232;     // 180/π

bool same(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return a == b || std::fabs(a - b) <= 4 * std::numeric_limits<double>::epsilon() * std::fabs(b);
}

class ExprEval : public ::testing::Test {
protected:
    ExprPtr compile(const std::wstring& text, const std::vector<std::wstring>& variables = {}) const
    {
        ExprPtr e = Expr::create(text, model, variables);
        EXPECT_TRUE(e) << "does not compile";
        return e;
    }

    // x = [1:I] (flat index 3), y = [1:δ] (4).
    DVector params(double x, double y) const
    {
        DVector p(9, 0.0);
        p(3) = x;
        p(4) = y;
        return p;
    }

    SpectrumModel model = baseline_and_two_singlets();
};

TEST_F(ExprEval, ValuesAndGradients)
{
    const double K5 = boost::math::ellint_1(std::sqrt(0.5));
    const double E5 = boost::math::ellint_2(std::sqrt(0.5));
    const struct {
        const wchar_t* text;
        double x, y;
        double value, dx, dy;
        bool smooth;  // checked against central differences too
    } cases[] = {
        {L"[1:I] * 2", 3, 0, 6, 2, 0, true},
        {L"2 ^ 3 + 1", 3, 4, 9, 0, 0, true},
        {L"[1:I] / [1:δ]", 3, 4, 0.75, 0.25, -3.0 / 16, true},
        {L"-[1:I] * [1:δ] - [1:δ]", 3, 4, -16, -4, -4, true},
        {L"[1:I] ^ 2", -3, 0, 9, -6, 0, true},  // whole exponent: no logarithm of the base
        {L"[1:I] ^ 2.5", -3, 0, NaN, NaN, 0, false},
        {L"[1:I] ^ [1:δ]", 2, 3, 8, 12, 8 * std::log(2.0), true},
        {L"[1:I] ^ [1:δ]", 0, 0, 0, 0, 0, false},  // 0^0 is 0
        {L"0 ^ [1:I]", 2, 0, 0, 0, 0, false},
        {L"[1:I] ^ -1", 0, 0, 0, 0, 0, false},
        {L"abs([1:I])", -2, 0, 2, -1, 0, true},
        {L"abs([1:I])", 0, 0, 0, 1, 0, false},
        {L"K([1:I])", 0.5, 0, K5, (E5 - K5 / 2) / 0.5, 0, true},
        {L"K([1:I])", 1e-6, 0, boost::math::ellint_1(1e-3),  // the series: π/2·(1/4 + 9m/32 + 75m²/256)
         1.5707963267948966 * (0.25 + 0.28125e-6 + 0.29296875e-12), 0, true},
        {L"K([1:I])", 0, 0, 3.141592653589793 / 2, 3.141592653589793 / 8, 0, false},
        {L"K([1:I])", 1, 0, NaN, NaN, 0, false},
        {L"K([1:I])", 2, 0, NaN, NaN, 0, false},
        {L"K([1:I])", -0.5, 0, NaN, NaN, 0, false},
        {L"sin°([1:I])", 30, 0, std::sin(30 * d), std::cos(30 * d) * d, 0, true},
        {L"cos°([1:I])", 60, 0, std::cos(60 * d), -std::sin(60 * d) * d, 0, true},
        {L"asin°([1:I])", 0.5, 0, std::asin(0.5) * D, D / std::sqrt(0.75), 0, true},
        {L"acos°([1:I])", 0.5, 0, std::acos(0.5) * D, -D / std::sqrt(0.75), 0, true},
        {L"asin([1:I])", 0.5, 0, std::asin(0.5), 1 / std::sqrt(0.75), 0, true},
        {L"acos([1:I])", 0.5, 0, std::acos(0.5), -1 / std::sqrt(0.75), 0, true},
        {L"sin([1:I]) * cos([1:δ])", 0.7, 0.2, std::sin(0.7) * std::cos(0.2), std::cos(0.7) * std::cos(0.2),
         -std::sin(0.7) * std::sin(0.2), true},
        {L"ln([1:I])", 2, 0, std::log(2.0), 0.5, 0, true},
        {L"lg([1:I])", 100, 0, 2, 0.004342944819032518, 0, true},
        {L"exp([1:I] * [1:δ])", 1.5, 0.5, std::exp(0.75), 0.5 * std::exp(0.75), 1.5 * std::exp(0.75), true},
        {L"ln([1:I])", -1, 0, NaN, -1, 0, false},  // no domain test: the slope stays 1/x
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case #" << (&c - cases));
        const ExprPtr e = compile(c.text);
        ASSERT_TRUE(e);
        const DVector p = params(c.x, c.y);
        DVector g(2, 7.0);  // resized and cleared
        const double v = e->value_and_gradient(p, g);
        ASSERT_EQ(g.size(), 9u);
        EXPECT_PRED2(same, v, c.value);
        EXPECT_PRED2(same, e->value(p), v);
        EXPECT_PRED2(same, g(3), c.dx);
        EXPECT_PRED2(same, g(4), c.dy);
        for (unsigned i : {0u, 1u, 2u, 5u, 6u, 7u, 8u})
            EXPECT_EQ(g(i), 0.0);
        if (!c.smooth)
            continue;
        for (unsigned i : {3u, 4u}) {
            const double h = 1e-6 * std::max(1.0, std::fabs(p(i)));
            DVector up = p, down = p;
            up(i) += h;
            down(i) -= h;
            const double difference = (e->value(up) - e->value(down)) / (2 * h);
            EXPECT_NEAR(g(i), difference, 1e-6 * std::max(1.0, std::fabs(difference))) << "parameter " << i;
        }
    }
}

// Just below m = 1, where the modulus √m would round to 1: K ≈ ln(4/√(1 − m)),
// dK/dm ≈ 1/(2(1 − m)).
TEST_F(ExprEval, EllipticKJustBelowOne)
{
    DVector g;
    const double v = compile(L"K([1:I])")->value_and_gradient(params(1 - 0x1p-53, 0), g);
    EXPECT_NEAR(v, std::log(4.0) + 26.5 * std::log(2.0), 1e-13);
    EXPECT_NEAR(g(3) / 0x1p52, 1.0, 1e-13);
}

TEST_F(ExprEval, PropagatedErrors)
{
    DMatrix v(9, 9, 0.0);
    v(3, 3) = 1.0;
    v(3, 4) = v(4, 3) = 0.5;
    v(4, 4) = 4.0;
    v(5, 5) = 100.0;  // a parameter the expressions do not use
    double error = -1;
    EXPECT_EQ(compile(L"[1:I] + [1:δ]")->value_with_variance(params(2, 3), v, error), 5.0);
    EXPECT_DOUBLE_EQ(error, std::sqrt(6.0));
    // g = (y, x) = (3, 2): 9·1 + 2·3·2·0.5 + 4·4
    EXPECT_EQ(compile(L"[1:I] * [1:δ]")->value_with_variance(params(2, 3), v, error), 6.0);
    EXPECT_DOUBLE_EQ(error, std::sqrt(31.0));
    // g = (1/y, −x/y²) = (1/3, −2/9)
    compile(L"[1:I] / [1:δ]")->value_with_variance(params(2, 3), v, error);
    EXPECT_NEAR(error, std::sqrt(19.0 / 81), 1e-15);
    EXPECT_EQ(compile(L"2 * 3")->value_with_variance(params(2, 3), v, error), 6.0);
    EXPECT_EQ(error, 0.0);
    // Without a covariance matrix the parameters count as exact.
    compile(L"[1:I] * [1:δ]")->value_with_variance(params(2, 3), DMatrix(), error);
    EXPECT_EQ(error, 0.0);
}

TEST_F(ExprEval, PropagatedErrorsWithVariables)
{
    const ExprPtr e = compile(L"$v * 2 + [1:I] * $w", {L"w", L"v"});
    DMatrix cov(9, 9, 0.0);
    cov(3, 3) = 0.25;
    DVector vars(2);
    vars(0) = 1.0;  // w
    vars(1) = 5.0;  // v
    DVector deviations(2);
    deviations(0) = 0.0;
    deviations(1) = 0.1;
    double error = -1;
    // ∂/∂v = 2 with σ 0.1 adds 0.04 to the 0.25 of [1:I]; w is exact.
    EXPECT_EQ(e->value_with_variance_ext(params(3, 0), cov, vars, deviations, error), 13.0);
    EXPECT_DOUBLE_EQ(error, std::sqrt(0.29));
    deviations(0) = 0.5;  // ∂/∂w = 3
    e->value_with_variance_ext(params(3, 0), cov, vars, deviations, error);
    EXPECT_DOUBLE_EQ(error, std::sqrt(0.29 + 2.25));

    // Unknown deviations or a covariance that is not square: no error at all.
    EXPECT_EQ(e->value_with_variance_ext(params(3, 0), cov, vars, DVector(), error), 13.0);
    EXPECT_EQ(error, 0.0);
    e->value_with_variance_ext(params(3, 0), DMatrix(9, 8, 1.0), vars, deviations, error);
    EXPECT_EQ(error, 0.0);
    // Variables alone need no covariance.
    EXPECT_EQ(compile(L"$v * 2", {L"v"})->value_with_variance_ext(DVector(), DMatrix(), DVector(1, 5.0),
                                                                   DVector(1, 0.1), error),
              10.0);
    EXPECT_DOUBLE_EQ(error, 0.2);
}

// An expression with many references takes its gradient by reverse accumulation. It is a
// sum of pieces of two or three references each, so its gradient and its error must be
// those that the sum of the pieces' gradients (each piece evaluated on its own) gives,
// for every operator and function, a variable and a constant exponent of a negative base.
TEST(ExprEvalMany, GradientOfALongSumIsTheSumOfItsPieces)
{
    SpectrumModel model;
    model.insert_component(0, inert<BaseLineParams>());
    for (unsigned c = 1; c <= 20; ++c)
        model.insert_component(c, inert<LorenzLineParams>());
    const unsigned n = model.param_count();
    DVector p(n);
    for (unsigned k = 0; k < n; ++k)
        p(k) = 0.3 + 0.07 * k;
    p(22) = -0.8;  // [7:δ] < 0: a negative base to a whole power

    const std::vector<std::wstring> forms = {
        L"[%1%:I]*[%1%:δ]", L"[%1%:I]/[%1%:Γ]", L"[%1%:Γ]^[%1%:δ]", L"ln([%1%:Γ])*[%1%:I]",
        L"sin°([%1%:δ])-[%1%:Γ]", L"abs(-[%1%:I])*exp(-[%1%:Γ])", L"[%1%:δ]^3+cos([%1%:I])",
        L"K([%1%:Γ]/10)*lg([%1%:I])", L"acos°([%1%:δ]/10)+asin([%1%:Γ]/10)", L"-[%1%:I]*$v",
        L"sin([%1%:δ])/cos°([%1%:Γ])", L"acos([%1%:I]/10)-asin°([%1%:δ]/10)"};
    std::vector<std::wstring> pieces;
    std::wstring whole;
    for (unsigned c = 1; c <= 20; ++c) {
        std::wstring piece = forms[(c - 1) % forms.size()];
        for (std::size_t at; (at = piece.find(L"%1%")) != std::wstring::npos;)
            piece.replace(at, 3, std::to_wstring(c));
        pieces.push_back(piece);
        whole += (whole.empty() ? L"(" : L"+(") + piece + L")";
    }
    const std::vector<std::wstring> variables = {L"v"};
    const DVector vars(1, 1.5), deviations(1, 0.2);
    const ExprPtr e = Expr::create(whole, model, variables);
    ASSERT_TRUE(e);
    ASSERT_GT(dynamic_cast<const Expr&>(*e).references().size(), 30u);

    // The pieces' values and gradients (variable last), each on the dual-number path.
    double value = 0.0;
    std::vector<double> gradient(n + 1, 0.0);
    for (const std::wstring& piece : pieces) {
        const ExprPtr q = Expr::create(piece, model, variables);
        ASSERT_TRUE(q) << std::string(piece.begin(), piece.end());
        const auto& expr = dynamic_cast<const Expr&>(*q);
        std::vector<double> stack(expr.max_depth() * (expr.references().size() + 1));
        expr.run(p, vars, stack.data(), true);
        value += stack[0];
        for (std::size_t s = 0; s < expr.references().size(); ++s) {
            const unsigned id = expr.references()[s];
            gradient[id >= Expr::variable_id_base ? n : id] += stack[s + 1];
        }
    }

    DMatrix covariance(n, n, 0.0);
    for (unsigned i = 0; i < n; ++i)
        for (unsigned j = 0; j < n; ++j)
            covariance(i, j) = i == j ? 1.0 + 0.1 * i : 0.3 / (1.0 + std::abs(int(i) - int(j)));
    double want = gradient[n] * gradient[n] * 0.04;
    for (unsigned i = 0; i < n; ++i)
        for (unsigned j = 0; j < n; ++j)
            want += gradient[i] * gradient[j] * covariance(i, j);

    double error = -1.0;
    EXPECT_NEAR(e->value_with_variance_ext(p, covariance, vars, deviations, error), value, 1e-12 * std::fabs(value));
    EXPECT_NEAR(error, std::sqrt(want), 1e-12 * std::sqrt(want));
    EXPECT_TRUE(std::isfinite(error));

    // Without variables: value_and_gradient and value_with_variance of the same sum.
    std::wstring plain = whole;
    for (std::size_t at; (at = plain.find(L"*$v")) != std::wstring::npos;)
        plain.replace(at, 3, L"*1.5");
    const ExprPtr f = Expr::create(plain, model);
    ASSERT_TRUE(f);
    DVector g;
    EXPECT_NEAR(f->value_and_gradient(p, g), value, 1e-12 * std::fabs(value));
    for (unsigned k = 0; k < n; ++k)
        EXPECT_NEAR(g(k), gradient[k], 1e-12 * (1.0 + std::fabs(gradient[k]))) << "parameter " << k;
    f->value_with_variance(p, covariance, error);
    EXPECT_NEAR(error * error, want - gradient[n] * gradient[n] * 0.04, 1e-10 * want);
}

TEST_F(ExprEval, ReferencesOutsideTheVectorsReadNaN)
{
    EXPECT_TRUE(std::isnan(compile(L"[2:Γ] + 1")->value(DVector(5, 1.0))));
    EXPECT_TRUE(std::isnan(compile(L"$v", {L"v"})->value(DVector(9, 1.0))));
}

// A stack of more than 16384 doubles: 92 levels deep with 185 distinct references.
TEST_F(ExprEval, LargeStacks)
{
    SpectrumModel big;
    for (unsigned c = 0; c < 8; ++c)
        big.insert_component(c, inert<SDW_CDW_SextetParams>());
    std::vector<std::wstring> refs;
    for (const auto& c : big.components)
        for (unsigned j = 0; j < c->count; ++j)
            refs.push_back(L"[" + std::to_wstring(c->index) + L":" + c->subspec->param_info(j).name + L"]");
    ASSERT_EQ(refs.size(), 184u);
    // r0*(r1+(r2*(… (r90 + r91 + … + r183) …)))
    std::wstring text, closing;
    for (unsigned i = 0; i < 90; ++i) {
        text += refs[i] + (i % 2 ? L"+(" : L"*(");
        closing += L")";
    }
    for (unsigned i = 90; i < refs.size(); ++i)
        text += (i > 90 ? L"+" : L"") + refs[i];
    text += closing;
    const ExprPtr e = Expr::create(text, big, {});
    ASSERT_TRUE(e);
    const Expr& x = dynamic_cast<const Expr&>(*e);
    ASSERT_GT(x.max_depth() * (x.references().size() + 1), 16384u);

    DVector p(184);
    for (unsigned i = 0; i < 184; ++i)
        p(i) = 1.0 + i / 1000.0;
    double inner = 0.0;
    for (unsigned i = 90; i < 184; ++i)
        inner += p(i);
    for (unsigned i = 90; i-- > 0;)
        inner = i % 2 ? p(i) + inner : p(i) * inner;
    DVector g;
    EXPECT_DOUBLE_EQ(e->value_and_gradient(p, g), inner);
    EXPECT_DOUBLE_EQ(e->value(p), inner);
    // The outermost factor's derivative is the rest of the product.
    EXPECT_DOUBLE_EQ(g(0), inner / p(0));
}

TEST_F(ExprEval, ManyThreadsEvaluateOneExpression)
{
    const ExprPtr e = compile(L"[1:I] ^ 2 * sin([1:δ]) + K([2:I] / 2)");
    const int n = 20000;
    std::vector<double> values(n), slopes(n);
#pragma omp parallel for schedule(static)
    for (int i = 0; i < n; ++i) {
        DVector p(9, 0.0);
        p(3) = i * 1e-3;
        p(4) = 0.5;
        p(6) = 0.5;
        DVector g;
        values[i] = e->value_and_gradient(p, g);
        slopes[i] = g(3);
    }
    int wrong = 0;
    for (int i = 0; i < n; ++i) {
        const double x = i * 1e-3;
        wrong += !same(values[i], x * x * std::sin(0.5) + boost::math::ellint_1(0.5)) ||
                 !same(slopes[i], 2 * x * std::sin(0.5));
    }
    EXPECT_EQ(wrong, 0);
}

}  // namespace
