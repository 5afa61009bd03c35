// The three baselines: values and Jacobians against their closed forms, the level, its
// error and its expression, the stored level of the automatic baselines, starting
// values, names and the interfaces they offer.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/spectrum/spectrum_analysis.h"
#include "core/text/text.h"
#include "subspec/baseline.h"
#include "subspec/subspec_impl.h"
#include "tests/support/dvectors.h"
#include "tests/support/subspec_ranges.h"

namespace {

using namespace test_support;
namespace ublas = boost::numeric::ublas;

struct Evaluation {
    std::vector<double> values;
    DMatrix jacobian;
};

Evaluation evaluate(const ISubSpec& s, const DVector& x, const DVector& p)
{
    Evaluation e{std::vector<double>(x.size()), DMatrix(x.size(), 3)};
    s.evaluate_with_jacobian(all_of(x), all_of(p), e.values.data(), all_of(e.jacobian));
    return e;
}

// Closed forms with u = x − v₀: value and derivatives by p₀, c and v₀ for a level
// a·p₀ + L and a curvature factor k.
struct Expected {
    double value, by_p0, by_c, by_v0;
};

Expected closed_form(double a, double k, double stored, double p0, double c, double v0, double x)
{
    const double u = x - v0;
    const double level = a * p0 + stored;
    return {level * (1.0 + k * c * u * u), a * (1.0 + k * c * u * u), k * level * u * u, -2.0 * k * level * c * u};
}

struct BaselineCase {
    const char* name;
    SubSpecPtr (*make)(const Isotope*);
    double a, k;  // level scale and curvature factor
    bool automatic;
};

class BaselineTest : public testing::TestWithParam<BaselineCase> {};

TEST_P(BaselineTest, ValuesAndJacobianFollowTheClosedForms)
{
    const BaselineCase& c = GetParam();
    const SubSpecPtr s = c.make(nullptr);
    const double stored = c.automatic ? 123456.0 : 0.0;
    if (c.automatic)
        dynamic_cast<IAutoBaseLine&>(*s).set_level(stored);
    const DVector x = vec({-9.5, -1.0, 0.0, 0.25, 3.0, 11.0});
    for (const DVector& p : {vec({2.0e4, 0.03, 0.5}), vec({-3.5, -1.5, -2.0}), vec({0.0, 0.0, 0.0})}) {
        const Evaluation e = evaluate(*s, x, p);
        for (std::size_t i = 0; i < x.size(); ++i) {
            SCOPED_TRACE(i);
            const Expected want = closed_form(c.a, c.k, stored, p(0), p(1), p(2), x(i));
            const auto near = [](double got, double expected) {
                EXPECT_NEAR(got, expected, 1e-13 * (1.0 + std::fabs(expected)));
            };
            near(e.values[i], want.value);
            near(e.jacobian(i, 0), want.by_p0);
            near(e.jacobian(i, 1), want.by_c);
            near(e.jacobian(i, 2), want.by_v0);
        }
    }
}

TEST_P(BaselineTest, LevelAndItsError)
{
    const BaselineCase& c = GetParam();
    const SubSpecPtr s = c.make(nullptr);
    const auto& baseline = dynamic_cast<const IBaseLine&>(*s);
    if (c.automatic)
        dynamic_cast<IAutoBaseLine&>(*s).set_level(1.0e6);
    const DVector p = vec({0.5, 7.0, 8.0});
    EXPECT_DOUBLE_EQ(baseline.level(all_of(p)), c.a * 0.5 + (c.automatic ? 1.0e6 : 0.0));

    DMatrix covariance(5, 5, 0.0);
    covariance(1, 1) = 4.0e-2;  // the variance of p₀ of a component whose first index is 1
    covariance(2, 2) = 99.0;
    const CovarianceRange block(covariance, ublas::range(1, 4), ublas::range(1, 4));
    EXPECT_DOUBLE_EQ(baseline.level_error(block), c.a * 0.2);
    EXPECT_THROW(baseline.level_error(CovarianceRange(covariance, ublas::range(1, 3), ublas::range(1, 3))),
                 std::out_of_range);
}

TEST_P(BaselineTest, StartingValuesAndDescription)
{
    const BaselineCase& c = GetParam();
    const SubSpecPtr s = c.make(nullptr);
    SpectrumAnalysis analysis;
    analysis.N0 = 54321.0;
    analysis.Xc = -0.75;
    DVector p(5, 9.0);
    s->init_params(analysis, p, 1, 3);
    EXPECT_EQ(p(0), 9.0);
    EXPECT_EQ(p(1), c.automatic ? 0.0 : 54321.0);
    EXPECT_EQ(p(2), 0.0);
    EXPECT_EQ(p(3), -0.75);
    EXPECT_EQ(p(4), 9.0);

    std::vector<unsigned> order, area;
    s->param_layout(order);
    dynamic_cast<const IAAParam&>(*s).area_params(area);
    EXPECT_EQ(order, (std::vector<unsigned>{0, 1, 2}));
    EXPECT_EQ(area, (std::vector<unsigned>{0}));
    EXPECT_EQ(dynamic_cast<const IBaseLine&>(*s).auto_rank(), c.automatic ? 1.0 : 0.0);
    EXPECT_EQ(dynamic_cast<const IAutoBaseLine*>(s.get()) != nullptr, c.automatic);
    EXPECT_EQ(dynamic_cast<const ISubSpecArea*>(s.get()), nullptr);
    EXPECT_EQ(dynamic_cast<const ISubSpecData*>(s.get()), nullptr);
    EXPECT_EQ(dynamic_cast<const IDistVarTypes*>(s.get()), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Types, BaselineTest,
                         testing::Values(BaselineCase{"BaseLine", make_subspec<BaseLine>, 1.0, 1.0, false},
                                         BaselineCase{"AutoBaseLine", make_subspec<AutoBaseLine>, 1.0, 1.0, true},
                                         BaselineCase{"AutoBaseLine2", make_subspec<AutoBaseLine2>, 1.0e5, 1.0e-4,
                                                      true}),
                         [](const testing::TestParamInfo<BaselineCase>& info) { return std::string(info.param.name); });

TEST(Baseline, AutomaticBaselinesAreFlatAtTheStoredLevel)
{
    for (const SubSpecPtr& s : {make_subspec<AutoBaseLine>(nullptr), make_subspec<AutoBaseLine2>(nullptr)}) {
        dynamic_cast<IAutoBaseLine&>(*s).set_level(2.0e6);
        const DVector x = vec({-10.0, 0.0, 7.5});
        const DVector p = vec({0.0, 0.0, 0.0});
        for (double v : evaluate(*s, x, p).values)
            EXPECT_EQ(v, 2.0e6);
        EXPECT_EQ(dynamic_cast<const IBaseLine&>(*s).level(all_of(p)), 2.0e6);
    }
}

TEST(Baseline, ScaledBaselineLevelAndDerivativeAtTheCentre)
{
    const SubSpecPtr plain = make_subspec<AutoBaseLine>(nullptr);
    const SubSpecPtr scaled = make_subspec<AutoBaseLine2>(nullptr);
    dynamic_cast<IAutoBaseLine&>(*plain).set_level(5000.0);
    dynamic_cast<IAutoBaseLine&>(*scaled).set_level(5000.0);
    const DVector x = vec({1.25});
    const Evaluation e = evaluate(*plain, x, vec({0.0, 3.0, 1.25}));
    EXPECT_EQ(e.values[0], 5000.0);
    EXPECT_EQ(e.jacobian(0, 0), 1.0);
    EXPECT_EQ(evaluate(*scaled, x, vec({0.0, 3.0, 1.25})).jacobian(0, 0), 100000.0);

    dynamic_cast<IAutoBaseLine&>(*scaled).set_level(1.0e6);
    EXPECT_DOUBLE_EQ(dynamic_cast<const IBaseLine&>(*scaled).level(all_of(vec({0.5, 0.0, 0.0}))), 1.05e6);
}

TEST(Baseline, ScaledCurvatureOfOneBendsLikeTenThousandthsInTheOthers)
{
    const DVector x = vec({-6.0, -1.0, 2.0, 9.0});
    const SubSpecPtr plain = make_subspec<AutoBaseLine>(nullptr);
    const SubSpecPtr scaled = make_subspec<AutoBaseLine2>(nullptr);
    dynamic_cast<IAutoBaseLine&>(*plain).set_level(3.0e5);
    dynamic_cast<IAutoBaseLine&>(*scaled).set_level(3.0e5);
    const Evaluation a = evaluate(*plain, x, vec({0.0, 0.0001, 0.5}));
    const Evaluation b = evaluate(*scaled, x, vec({0.0, 1.0, 0.5}));
    for (std::size_t i = 0; i < x.size(); ++i)
        EXPECT_NEAR(a.values[i], b.values[i], 1e-9 * a.values[i]);
}

TEST(Baseline, LevelExpressionsNameTheComponent)
{
    const SubSpecPtr plain = make_subspec<BaseLine>(nullptr);
    const SubSpecPtr automatic = make_subspec<AutoBaseLine>(nullptr);
    const SubSpecPtr scaled = make_subspec<AutoBaseLine2>(nullptr);
    dynamic_cast<IAutoBaseLine&>(*automatic).set_level(5000.0);
    dynamic_cast<IAutoBaseLine&>(*scaled).set_level(1.0e6);
    EXPECT_EQ(wide_to_utf16(dynamic_cast<const IBaseLine&>(*plain).level_expr(2)), u"[2:N₀]");
    EXPECT_EQ(wide_to_utf16(dynamic_cast<const IBaseLine&>(*automatic).level_expr(1)),
              u"([1:ΔN₀]+5.000000000000000e+03)");
    EXPECT_EQ(wide_to_utf16(dynamic_cast<const IBaseLine&>(*scaled).level_expr(12)),
              u"(1.000000000000000e+05*[12:ΔN₀]+1.000000000000000e+06)");
    dynamic_cast<IAutoBaseLine&>(*scaled).set_level(-0.125);
    EXPECT_EQ(wide_to_utf16(dynamic_cast<const IBaseLine&>(*scaled).level_expr(0)),
              u"(1.000000000000000e+05*[0:ΔN₀]+-1.250000000000000e-01)");
}

TEST(Baseline, CloneStartsWithoutTheStoredLevel)
{
    const SubSpecPtr automatic = make_subspec<AutoBaseLine2>(nullptr);
    dynamic_cast<IAutoBaseLine&>(*automatic).set_level(5.0);
    const SubSpecPtr copy = automatic->clone();
    EXPECT_NE(copy.get(), automatic.get());
    EXPECT_EQ(dynamic_cast<const IAutoBaseLine&>(*copy).get_level(), 0.0);
    EXPECT_EQ(dynamic_cast<const IAutoBaseLine&>(*automatic).get_level(), 5.0);
}

TEST(Baseline, DisplayNamesCarryNoIsotope)
{
    Isotope iso;
    iso.name = L"57Fe";
    EXPECT_EQ(make_subspec<AutoBaseLine2>(&iso)->display_name(), L"Baseline [auto,scaled]");
    EXPECT_EQ(make_subspec<AutoBaseLine>(&iso)->display_name(), L"Baseline [auto]");
    EXPECT_EQ(make_subspec<BaseLine>(&iso)->display_name(), L"Baseline");
}

}  // namespace
