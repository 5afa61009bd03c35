// The extra expression variables of the many-state models: "[c:S]" and "[c:Sz_avg]",
// the population-weighted mean of m, compiled by the expression language and compared
// with the mean computed directly, from two levels to the largest level counts (which
// a nested text could not reach within the parser's depth limit) and for anisotropies
// whose weights overflow a double.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "core/model/expr.h"
#include "core/model/spectrum_model.h"
#include "core/text/text.h"
#include "relaxation/many_state_relaxation.h"
#include "subspec/subspec_impl.h"
#include "tests/support/dvectors.h"
#include "tests/support/expr_test_parts.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/small_stack.h"

namespace {

using namespace test_support;

SubSpecPtr many_state(bool superparamagnetic, int levels)
{
    SubSpecPtr s = superparamagnetic ? make_subspec<ManyStateSPRelaxSextet>(&iron())
                                     : make_subspec<ManyStateRelaxSextet>(&iron());
    dynamic_cast<ISubSpecData&>(*s).load_extra(L"0|Levels (2S+1)|" + std::to_wstring(levels));
    return s;
}

std::map<std::wstring, std::wstring> variables_of(const ISubSpec& s, unsigned component)
{
    std::map<std::wstring, std::wstring> vars;
    dynamic_cast<const IModelExtVars&>(s).ext_vars(component, vars);
    return vars;
}

// Σ m·w_m / Σ w_m over m = S … −S, in long double with the largest exponent taken out.
long double direct_mean(int levels, auto&& exponent)
{
    const long double s = (levels - 1) / 2.0L;
    long double top = -INFINITY;
    for (int i = 0; i < levels; ++i)
        top = std::max(top, exponent(s - i, s));
    long double sum = 0, weighted = 0;
    for (int i = 0; i < levels; ++i) {
        const long double w = std::exp(exponent(s - i, s) - top);
        sum += w;
        weighted += (s - i) * w;
    }
    return weighted / sum;
}

// "[1:Sz_avg]" and "[1:S]" of the model after a baseline (flat parameters 0 to 2), with
// the population parameters at flat indices 10 (p, or α) and 11 (h).
struct Compiled {
    double mean, spin;
};

Compiled compile_and_evaluate(const SubSpecPtr& component, std::vector<double> population)
{
    SpectrumModel model;
    model.isotope = &iron();
    model.insert_component(0, expr_test::inert<BaseLineParams>());
    model.insert_component(1, component);
    std::vector<double> p(model.param_count(), 0.5);
    for (std::size_t k = 0; k < population.size(); ++k)
        p[10 + k] = population[k];
    const DVector params = vec(p);
    const ExprPtr mean = Expr::create(L"[1:Sz_avg]", model);
    const ExprPtr spin = Expr::create(L"[1:S]", model);
    if (!mean || !spin)
        return {NAN, NAN};
    return {mean->value(params), spin->value(params)};
}

TEST(ManyStateVariables, ShortTextsAsWritten)
{
    EXPECT_EQ(variables_of(*many_state(false, 2), 2),
              (std::map<std::wstring, std::wstring>{{L"[2:S]", L"0.5"}, {L"[2:Sz_avg]", L"(-0.5+0.5*[2:p])/(1+[2:p])"}}));
    EXPECT_EQ(variables_of(*many_state(false, 4), 0).at(L"[0:Sz_avg]"),
              L"(-1.5+-0.5*[0:p]+0.5*[0:p]^2+1.5*[0:p]^3)/(1+[0:p]+[0:p]^2+[0:p]^3)");
    EXPECT_EQ(variables_of(*many_state(true, 3), 1),
              (std::map<std::wstring, std::wstring>{
                  {L"[1:S]", L"1.0"},
                  {L"[1:Sz_avg]", L"(1.0*exp([1:α]*0+[1:h]*1)+0.0*exp([1:α]*-1+[1:h]*0)+-1.0*exp([1:α]*0+[1:h]*-1))/"
                                  L"(exp([1:α]*0+[1:h]*1)+exp([1:α]*-1+[1:h]*0)+exp([1:α]*0+[1:h]*-1))"}}));
    // Half-integer m keep their half for an even level count.
    EXPECT_NE(variables_of(*many_state(true, 6), 1).at(L"[1:Sz_avg]").find(L"+-2.5*exp("), std::wstring::npos);
    EXPECT_EQ(variables_of(*many_state(true, 101), 7).at(L"[7:S]"), L"50.0");
}

TEST(ManyStateVariables, MeanOfTheGeometricPopulations)
{
    for (int n : {2, 3, 6, 101, 9999}) {
        for (double p : {0.0, 0.3, 0.97, 1.0}) {
            SCOPED_TRACE(testing::Message() << "n = " << n << ", p = " << p);
            const Compiled c = compile_and_evaluate(many_state(false, n), {p});
            const long double truth = direct_mean(n, [&](long double m, long double s) {
                return p == 0.0 ? (m == -s ? 0.0L : -INFINITY) : (m + s) * std::log(static_cast<long double>(p));
            });
            EXPECT_NEAR(c.mean, static_cast<double>(truth), 1e-9 * (n - 1));
            EXPECT_EQ(c.spin, 0.5 * (n - 1));
        }
    }
}

TEST(ManyStateVariables, MeanOfTheSuperparamagneticPopulations)
{
    struct Case {
        double alpha, h;
    };
    // Up to anisotropies whose weights exp(α) overflow a double.
    for (int n : {2, 3, 6, 101, 9999}) {
        for (const Case& c : {Case{0.0, 0.0}, Case{3.0, 0.5}, Case{5.0, -20.0}, Case{800.0, 0.3}, Case{3000.0, -0.01}}) {
            SCOPED_TRACE(testing::Message() << "n = " << n << ", α = " << c.alpha << ", h = " << c.h);
            const Compiled compiled = compile_and_evaluate(many_state(true, n), {c.alpha, c.h});
            const long double truth =
                direct_mean(n, [&](long double m, long double s) { return m / s * (c.alpha * m / s + c.h); });
            // The text holds its constants to eight digits.
            EXPECT_NEAR(compiled.mean, static_cast<double>(truth), 1e-6 * (n - 1) * (1 + c.alpha * 1e-3));
            EXPECT_EQ(compiled.spin, 0.5 * (n - 1));
        }
    }
}

// The largest texts compile within the length bound on a worker thread's small stack.
TEST(ManyStateVariables, TenThousandLevelsCompileOnASmallStack)
{
    for (bool superparamagnetic : {false, true}) {
        const SubSpecPtr s = many_state(superparamagnetic, 10000);
        EXPECT_LT(variables_of(*s, 123).at(L"[123:Sz_avg]").size(), max_expanded_length - 1000);
        Compiled c{};
        run_on_small_stack([&] { c = compile_and_evaluate(s, {0.5, 0.0}); });
        EXPECT_TRUE(std::isfinite(c.mean)) << superparamagnetic;
        EXPECT_EQ(c.spin, 4999.5);
    }
}

}  // namespace
