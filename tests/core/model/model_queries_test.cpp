// The model's queries for views and reports (baseline level and curve, percent of the
// level, line positions, velocity extent, extra graphs, distributions), parameter errors
// and texts through links, the validation of new links, and the derived area
// expressions with their values and errors.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/model/spectrum_model.h"
#include "core/spectrum/spectrum_analysis.h"
#include "subspec/baseline.h"
#include "subspec/distribution.h"
#include "subspec/mixins.h"
#include "tests/support/dvectors.h"
#include "tests/support/expr_test_parts.h"
#include "tests/support/model_test_parts.h"
#include "tests/support/random_covariance.h"

namespace {

using namespace expr_test;
using namespace test_support;

constexpr double inf = std::numeric_limits<double>::infinity();

// A singlet (I, δ, Γ) that names its area parameter.
struct AreaLine : Inert<LorenzLineParams>, DefaultArea {};

// A singlet whose lines lie within δ ± 12|Γ|.
struct RangedLine : Inert<LorenzLineParams>, SubSpecRange<RangedLine> {
    void extent_of(const Isotope*, std::span<const double> p, double& min, double& max) const
    {
        min = p[1] - 12 * std::fabs(p[2]);
        max = p[1] + 12 * std::fabs(p[2]);
    }
};

// A doublet's line list: δ ± Γ as one group.
struct LineList : Inert<LorenzLineParams>, ILinePos {
    void line_positions(const ParamRange& p, std::vector<std::vector<double>>& groups) const override
    {
        groups.push_back({p(1) - p(2), p(1) + p(2)});
    }
};

// Two curves that show which parameters and covariance block they were given.
struct Graphs : Inert<LorenzLineParams>, IExtraGraph {
    unsigned graph_count() const override { return 2; }
    void graph_with_errors(unsigned curve, const ParamRange& p, const CovarianceRange& v, std::vector<double>& x,
                           std::vector<double>& y, std::vector<double>& y_errors) const override
    {
        graph(curve, p, x, y);
        y_errors = {v(0, 0), v(2, 2)};
    }
    void graph(unsigned curve, const ParamRange& p, std::vector<double>& x, std::vector<double>& y) const override
    {
        x = {double(curve), p(0)};
        y = {p(1), p(2)};
    }
    void axis_names(unsigned curve, std::wstring& x_name, std::wstring& y_name) const override
    {
        x_name = L"x" + std::to_wstring(curve);
        y_name = L"y";
    }
};

template <class T>
SubSpecPtr make()
{
    return make_subspec<T>(nullptr);
}

std::vector<double> std_vector(const DVector& v)
{
    return {v.begin(), v.end()};
}

// ---- Baseline ----

TEST(ModelBaseline, LevelCurveAndPercent)
{
    SpectrumModel model;
    model.insert_component(0, make<BaseLine>());
    model.insert_component(1, make<AreaLine>());
    const DVector p = vec({2000.0, 0.01, 1.0, 1.0, 0.0, 0.3});  // N₀ 2000, c 0.01 about v₀ = 1
    const DVector x = vec({-1.0, 1.0, 3.0});
    EXPECT_EQ(model.baseline_level(p), 2000.0);
    DVector curve;
    ASSERT_TRUE(model.baseline_values(x, p, curve));
    ASSERT_EQ(curve.size(), 3u);
    EXPECT_DOUBLE_EQ(curve(0), 2000.0 * 1.04);
    EXPECT_EQ(curve(1), 2000.0);

    // The baseline's own shape goes: the curve itself reads 100 everywhere.
    DVector values = curve;
    values(1) = 1900.0;
    model.to_percent_of_level(x, p, values);
    EXPECT_DOUBLE_EQ(values(0), 100.0);
    EXPECT_DOUBLE_EQ(values(1), 95.0);
    EXPECT_DOUBLE_EQ(values(2), 100.0);
    DVector wrong_size(2, 1.0);
    EXPECT_THROW(model.to_percent_of_level(x, p, wrong_size), std::out_of_range);

    DVector zero_level = p;
    zero_level(0) = 0.0;
    values = curve;
    model.to_percent_of_level(x, zero_level, values);
    EXPECT_EQ(std_vector(values), std::vector<double>(3, 0.0));

    DMatrix cov(6, 6, 0.0);
    cov(0, 0) = 4.0;
    EXPECT_EQ(model.baseline_level_error(cov), 2.0);
    EXPECT_THROW(model.baseline_level_error(DMatrix(2, 2, 1.0)), std::out_of_range);
    EXPECT_TRUE(model.is_level_param(0));
    EXPECT_FALSE(model.is_level_param(1));
}

TEST(ModelBaseline, AutomaticBaselineInPercent)
{
    SpectrumModel model;
    model.level = 1e6;
    model.insert_component(0, make<AutoBaseLine>());
    const DVector p(3, 0.0), x(1, 0.5);
    EXPECT_EQ(model.baseline_level(p), 1e6);
    DVector values(1, 9.5e5);
    model.to_percent_of_level(x, p, values);
    EXPECT_DOUBLE_EQ(values(0), 95.0);
}

TEST(ModelBaseline, NoLeadingBaseline)
{
    SpectrumModel model;
    model.insert_component(0, make<AreaLine>());
    model.insert_component(1, make<BaseLine>());
    const DVector p(6, 100.0), x(2, 0.0);
    EXPECT_EQ(model.baseline_level(p), 0.0);
    EXPECT_EQ(model.baseline_level_error(DMatrix(6, 6, 1.0)), 0.0);
    DVector values(2, 7.0), curve(1, 5.0);
    model.to_percent_of_level(x, p, values);
    EXPECT_EQ(std_vector(values), std::vector<double>(2, 7.0));
    EXPECT_FALSE(model.baseline_values(x, p, curve));
    EXPECT_EQ(std_vector(curve), std::vector<double>(1, 5.0));
    EXPECT_FALSE(model.is_level_param(0));
}

// ---- Lines, extent, extra graphs, distributions ----

TEST(ModelQueries, LinePositionsAndVelocityRange)
{
    SpectrumModel model;
    model.insert_component(0, make<BaseLine>());
    DVector p = vec({100.0, 0.0, 0.0});
    double low = 0.0, high = 0.0;
    model.velocity_range(p, low, high);
    EXPECT_EQ(low, inf);
    EXPECT_EQ(high, -inf);

    model.insert_component(1, make<RangedLine>());
    model.insert_component(2, make<LineList>());
    model.insert_component(3, make<RangedLine>());
    model.insert_component(4, make<RangedLine>());
    p = vec({100.0, 0.0, 0.0, 1.0, -2.0, 0.1, 1.0, 5.0, 0.5, 1.0, 1.5, 0.2, 1.0, 50.0, 0.0});
    model.velocity_range(p, low, high);  // the last has no width: an empty extent, left out
    EXPECT_DOUBLE_EQ(low, -2.0 - 1.2);
    EXPECT_DOUBLE_EQ(high, 1.5 + 2.4);

    std::vector<std::vector<double>> groups{{9.0}};
    model.line_positions(2, p, groups);
    EXPECT_EQ(groups, (std::vector<std::vector<double>>{{9.0}, {4.5, 5.5}}));
    model.line_positions(1, p, groups);  // no line list
    EXPECT_EQ(groups.size(), 2u);
    EXPECT_THROW(model.line_positions(5, p, groups), std::out_of_range);
}

TEST(ModelQueries, ExtraGraphsOfAComponent)
{
    SpectrumModel model;
    model.insert_component(0, make<BaseLine>());
    model.insert_component(1, make<Graphs>());
    const DVector p = vec({100.0, 0.0, 0.0, 7.0, 8.0, 9.0});
    DMatrix cov(6, 6, 0.0);
    cov(3, 3) = 0.5;
    cov(5, 5) = 0.25;
    EXPECT_EQ(model.graph_count(1), 2u);
    EXPECT_EQ(model.graph_count(0), 0u);
    EXPECT_EQ(model.graph_count(2), 0u);
    std::vector<double> x, y, e;
    model.graph_with_errors(1, 1, p, cov, x, y, e);
    EXPECT_EQ(x, (std::vector<double>{1.0, 7.0}));
    EXPECT_EQ(y, (std::vector<double>{8.0, 9.0}));
    EXPECT_EQ(e, (std::vector<double>{0.5, 0.25}));
    x.clear();
    model.graph(0, 0, p, x, y);
    model.graph(7, 0, p, x, y);
    EXPECT_TRUE(x.empty());
    std::wstring xn, yn;
    model.axis_names(1, 0, xn, yn);
    EXPECT_EQ(xn, L"x0");
    model.axis_names(3, 0, xn, yn);
    EXPECT_EQ(xn, L"x0");
}

TEST(ModelQueries, NoDistributionComponents)
{
    SpectrumModel model;
    model.insert_component(0, make<BaseLine>());
    SpectrumAnalysis analysis;
    analysis.N0 = 100.0;
    analysis.depth = -100.0;
    std::vector<DistPointParams> points{{5, {2.0}}};  // kept as it is
    model.scaled_point_params(analysis, points);
    model.point_params(points);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].deviations, std::vector<double>{2.0});
    double first = 0, last = 0;
    std::wstring name;
    EXPECT_FALSE(model.distributed_param(0, DVector(3, 1.0), first, last, name));
    EXPECT_EQ(model.component_index(0), 0u);
    unsigned index = 7;
    EXPECT_FALSE(model.distribution_point_param(0, 0, index));
    EXPECT_EQ(index, 7u);
}

// ---- Links ----

class ModelLinks : public ::testing::Test {
protected:
    void SetUp() override
    {
        model.insert_component(0, make<BaseLine>());
        model.insert_component(1, make<AreaLine>());
        model.insert_component(2, make<AreaLine>());
        model.insert_expression(0, L"", L"[1:I]*[1:Γ]");
        model.insert_expression(1, L"named", L"[2:δ]");
        model.insert_expression(2, L"broken", L"[2:δ]*");
    }

    SpectrumModel model;
};

TEST_F(ModelLinks, SetLinkRefusesTargetsThatDoNotExistOrDidNotCompile)
{
    model.set_link({1, 2, LinkToParam, 2, 2, 1.5});
    model.set_link({0, 0, LinkToExpr, 2, 0, 2.0});
    EXPECT_EQ(model.components[2]->links[2], (ParamLink{1, 2, LinkToParam, 1.5}));
    EXPECT_EQ(model.components[2]->links[0], (ParamLink{0, 0, LinkToExpr, 2.0}));

    const LinkSpec refused[] = {
        {2, 0, LinkToExpr, 2, 1, 1.0},   // the text did not compile
        {3, 0, LinkToExpr, 2, 1, 1.0},   // no such expression
        {3, 0, LinkToParam, 2, 1, 1.0},  // no such component
        {1, 3, LinkToParam, 2, 1, 1.0},  // no such parameter
        {1, 0, 7, 2, 1, 1.0},            // no such kind
    };
    for (const LinkSpec& s : refused) {
        try {
            model.set_link(s);
            ADD_FAILURE() << "accepted a link to " << s.target_component;
        } catch (const std::out_of_range&) {
            ADD_FAILURE() << "wrong exception";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Invalid reference to a linked variable");
        }
        EXPECT_EQ(model.components[2]->links[1].kind, NotLinked);
    }
    EXPECT_THROW(model.set_link({1, 0, LinkToParam, 3, 0, 1.0}), std::out_of_range);
    EXPECT_THROW(model.set_link({1, 0, LinkToParam, 2, 3, 1.0}), std::out_of_range);
}

TEST_F(ModelLinks, ParameterErrorsThroughLinks)
{
    model.set_link({1, 2, LinkToParam, 2, 2, -1.5});
    model.set_link({0, 0, LinkToExpr, 2, 0, -2.0});
    const DVector p = vec({100, 0, 0, 2.0, 0.1, 3.0, 0, 0, 0});
    DMatrix cov(9, 9, 0.0);
    cov(3, 3) = 0.04;
    cov(5, 5) = 0.25;
    cov(3, 5) = cov(5, 3) = 0.05;
    cov(7, 7) = 0.09;
    const SubModel& c2 = *model.components[2];
    EXPECT_DOUBLE_EQ(model.param_std_error(c2, 1, p, cov), 0.3);
    EXPECT_DOUBLE_EQ(model.param_std_error(c2, 2, p, cov), 1.5 * 0.5);
    // 2·√(Γ²·V(I,I) + 2·I·Γ·V(I,Γ) + I²·V(Γ,Γ)) with I = 2, Γ = 3
    EXPECT_DOUBLE_EQ(model.param_std_error(c2, 0, p, cov), 2.0 * std::sqrt(9 * 0.04 + 2 * 6 * 0.05 + 4 * 0.25));
    // A link that slipped past set_link to a text that did not compile: no value.
    model.components[2]->links[0] = ParamLink{2, 0, LinkToExpr, 1.0};
    EXPECT_TRUE(std::isnan(model.param_std_error(c2, 0, p, cov)));
    EXPECT_THROW(model.param_std_error(c2, 1, p, DMatrix(5, 5, 0.0)), std::out_of_range);
}

TEST_F(ModelLinks, LinkTexts)
{
    EXPECT_EQ(model.describe_link({2, 2, LinkToParam, 1, 0, 1.0}), L"[2]Γ");
    EXPECT_EQ(model.describe_link({0, 0, LinkToExpr, 1, 0, 1.0}), L"<E0>");
    EXPECT_EQ(model.describe_link({1, 0, LinkToExpr, 1, 0, 1.0}), L"named");
    EXPECT_EQ(model.describe_link({1, 0, NotLinked, 1, 0, 1.0}), L"");
    EXPECT_THROW(model.describe_link({5, 0, LinkToExpr, 1, 0, 1.0}), std::out_of_range);

    model.set_link({2, 2, LinkToParam, 1, 0, 1.0});
    model.set_link({1, 2, LinkToParam, 1, 1, 1.0});
    model.set_link({0, 0, LinkToExpr, 1, 2, 1.0});
    const SubModel& c1 = *model.components[1];
    EXPECT_EQ(model.link_source_text(c1, 0), L"[2]Γ");
    EXPECT_EQ(model.link_source_text(c1, 1), L"Γ");  // in its own component
    EXPECT_EQ(model.link_source_text(c1, 2), L"<E0>");
}

TEST_F(ModelLinks, AreaParameters)
{
    model.insert_component(3, make_subspec<Inert<FreeVarParams>>(nullptr));  // no area parameter
    std::vector<int> indices{-1};
    model.area_param_indices(indices);
    EXPECT_EQ(indices, (std::vector<int>{-1, 0, 3, 6}));
}

// ---- Derived expressions ----

TEST(DerivedExpressions, AreasSharesAndLevels)
{
    SpectrumModel model;
    model.insert_component(0, make<BaseLine>());
    model.insert_component(1, make<AreaLine>());
    model.insert_component(2, make<AreaLine>());
    ASSERT_EQ(model.area_exprs.size(), 4u);
    ASSERT_EQ(model.relative_area_exprs.size(), 3u);
    ASSERT_EQ(model.level_area_exprs.size(), 4u);
    const std::wstring texts[][3] = {
        {L"", L"", L""},
        {L"[1:I]", L"[1:I]*100/([1:I]+[2:I])", L"([1:I])/[0:N₀]"},
        {L"[2:I]", L"[2:I]*100/([1:I]+[2:I])", L"([2:I])/[0:N₀]"},
    };
    for (unsigned k = 0; k < 3; ++k) {
        EXPECT_EQ(model.area_exprs[k].text, texts[k][0]);
        EXPECT_EQ(model.relative_area_exprs[k].text, texts[k][1]);
        EXPECT_EQ(model.level_area_exprs[k].text, texts[k][2]);
        EXPECT_EQ(static_cast<bool>(model.relative_area_exprs[k].expr), k > 0);
        EXPECT_TRUE(model.area_exprs[k].name.empty());
    }
    EXPECT_EQ(model.area_exprs[3].text, L"[1:I]+[2:I]");
    EXPECT_EQ(model.level_area_exprs[3].text, L"([1:I]+[2:I])/[0:N₀]");

    const DVector p = vec({200, 0, 0, 3.0, 0, 0, 1.0, 0, 0});
    DMatrix cov(9, 9, 0.0);
    cov(3, 3) = 0.09;
    cov(6, 6) = 0.16;
    double error = -1.0;
    EXPECT_EQ(model.derived_value_with_variance(0, p, cov, error), -1.0);
    EXPECT_EQ(error, -1.0);
    EXPECT_EQ(model.derived_value_with_variance(5, p, cov, error), -1.0);
    // share a/(a+b)·100: ∂/∂a = 100b/(a+b)², ∂/∂b = −100a/(a+b)²
    EXPECT_DOUBLE_EQ(model.derived_value_with_variance(1, p, cov, error), 75.0);
    EXPECT_DOUBLE_EQ(error, std::sqrt(std::pow(100.0 / 16, 2) * 0.09 + std::pow(300.0 / 16, 2) * 0.16));
    double other = 0.0;
    EXPECT_DOUBLE_EQ(model.derived_value_with_variance(2, p, cov, other) + 75.0, 100.0);
    EXPECT_DOUBLE_EQ(other, error);  // the two shares move together
    EXPECT_DOUBLE_EQ(model.level_area_exprs[3].expr->value(p), 0.02);
    EXPECT_DOUBLE_EQ(model.area_exprs[3].expr->value(p), 4.0);
}

// All relative areas at once give what each one's own expression gives, value and
// error: a baseline, lines and a distribution of 40 points, under a covariance with
// correlations everywhere. A single area is the whole total, without error.
TEST(DerivedExpressions, RelativeAreasAllAtOnce)
{
    SpectrumModel model;
    model.insert_component(0, make<BaseLine>());
    for (unsigned k = 1; k <= 4; ++k)
        model.insert_component(k, make<AreaLine>());
    model.insert_component(5, make_distribution(model_test::lorentz(), 40, {1}));
    const unsigned count = model.param_count();
    DVector values(count);
    for (unsigned k = 0; k < count; ++k)
        values(k) = 0.5 + std::fmod(0.37 * k * k, 1.5);
    const DMatrix covariance = random_covariance(count, 11, 1e-2);
    const auto all = model.relative_areas(values, covariance);
    ASSERT_EQ(all.size(), model.relative_area_exprs.size());
    for (std::size_t k = 0; k < all.size(); ++k) {
        const ExprPtr& own = model.relative_area_exprs[k].expr;
        ASSERT_EQ(all[k].has_value(), static_cast<bool>(own)) << k;
        if (!own)
            continue;
        double error = 0.0;
        const double value = own->value_with_variance(values, covariance, error);
        EXPECT_NEAR(all[k]->value, value, 1e-12 * value) << k;
        EXPECT_NEAR(all[k]->error, error, 1e-12 * error) << k;
    }
    for (const auto& entry : model.relative_areas(values, DMatrix()))
        EXPECT_TRUE(!entry || entry->error == 0.0);

    SpectrumModel single;
    single.insert_component(0, make<AreaLine>());
    const auto whole = single.relative_areas(vec({2.0, 0.0, 0.3}), random_covariance(3, 5, 1.0));
    ASSERT_TRUE(whole.at(0));
    EXPECT_EQ(whole[0]->value, 100.0);
    EXPECT_EQ(whole[0]->error, 0.0);
}

TEST(DerivedExpressions, MissingBaselineOrAreas)
{
    SpectrumModel model;
    model.insert_component(0, make<AreaLine>());
    model.insert_component(1, make<BaseLine>());  // not leading
    ASSERT_EQ(model.level_area_exprs.size(), 3u);
    for (const NamedExpr& e : model.level_area_exprs)
        EXPECT_TRUE(e.text.empty() && !e.expr);
    EXPECT_EQ(model.relative_area_exprs[0].text, L"[0:I]*100/([0:I])");

    SpectrumModel no_areas;
    no_areas.insert_component(0, make<BaseLine>());
    no_areas.insert_component(1, make_subspec<Inert<FreeVarParams>>(nullptr));
    EXPECT_EQ(no_areas.area_exprs.size(), 3u);
    EXPECT_EQ(no_areas.relative_area_exprs.size(), 2u);
    EXPECT_EQ(no_areas.level_area_exprs.size(), 3u);
    for (const auto* list : {&no_areas.area_exprs, &no_areas.relative_area_exprs, &no_areas.level_area_exprs})
        for (const NamedExpr& e : *list)
            EXPECT_TRUE(e.text.empty() && !e.expr);
}

TEST(DerivedExpressions, AutomaticBaselineLevelAndRenumbering)
{
    SpectrumModel model;
    model.level = 5e5;
    model.insert_component(0, make<AutoBaseLine>());
    model.insert_component(1, make<AreaLine>());
    EXPECT_EQ(model.level_area_exprs[1].text, L"([1:I])/([0:ΔN₀]+5.000000000000000e+05)");
    model.insert_component(1, make<AreaLine>());  // the old singlet moves to 2
    EXPECT_EQ(model.area_exprs[3].text, L"[1:I]+[2:I]");
    const DVector p = vec({-1e5, 0, 0, 2.0, 0, 0, 6.0, 0, 0});
    EXPECT_DOUBLE_EQ(model.level_area_exprs[2].expr->value(p), 6.0 / 4e5);
}

TEST(DerivedExpressions, MakeSumExpression)
{
    const struct {
        unsigned first, last;
        const wchar_t* format;
        const wchar_t* text;
    } cases[] = {
        {2, 2, L"[3:I%u]", L"[3:I2]"},
        {0, 2, L"[3:I%u]", L"[3:I0]+[3:I1]+[3:I2]"},
        {5, 1, L"x%1%", L"x5"},
        {4294967294u, 4294967295u, L"%u", L"4294967294+4294967295"},
    };
    for (const auto& c : cases) {
        std::wstring text = L"old";
        make_sum_expression(text, c.first, c.last, c.format);
        EXPECT_EQ(text, c.text);
    }
}

// ---- Expression texts when components and expressions come and go ----

TEST(ExpressionUpkeep, ComponentInsertionAndDeletionRenumberTheTexts)
{
    SpectrumModel model;
    model.insert_component(0, make<BaseLine>());
    for (unsigned k = 1; k <= 3; ++k)
        model.insert_component(k, make<AreaLine>());
    model.insert_expression(0, L"sum", L"[1:I]+[2:I]+[3:I]");
    model.insert_expression(1, L"twice", L"2*<sum>");
    model.insert_expression(0, L"half", L"<sum>/2");  // uses a later one
    model.set_link({1, 0, LinkToExpr, 1, 2, 1.0});

    model.insert_component(2, make<AreaLine>());
    EXPECT_EQ(model.expressions[1].text, L"[1:I]+[3:I]+[4:I]");
    for (unsigned e = 0; e < 3; ++e)
        EXPECT_EQ(model.expressions[e].used_params, (std::set<unsigned>{3, 9, 12})) << e;

    // The document's removal of component 3.
    model.components.erase(model.components.begin() + 3);
    model.shift_param_links(3, true);
    model.layout_params();
    model.rebuild_derived();
    model.rewrite_expression_refs(3, true);
    model.unlink_uncompiled_expressions();
    EXPECT_EQ(model.expressions[1].text, L"[1:I]+[?:I]+[3:I]");
    for (unsigned e = 0; e < 3; ++e)
        EXPECT_FALSE(model.expressions[e].expr) << e;  // the sum, and the two that use it
    EXPECT_EQ(model.components[1]->links[2].kind, NotLinked);
    EXPECT_EQ(model.area_exprs.back().text, L"[1:I]+[2:I]+[3:I]");
}

TEST(ExpressionUpkeep, InsertingAnExpressionCompilesThoseThatUseIt)
{
    SpectrumModel model;
    model.insert_component(0, make<BaseLine>());
    model.insert_component(1, make<AreaLine>());
    model.insert_expression(0, L"a", L"<b>*2");
    EXPECT_FALSE(model.expressions[0].expr);
    model.insert_expression(0, L"c", L"[1:I]");
    EXPECT_THROW(model.set_link({1, 0, LinkToExpr, 1, 1, 1.0}), std::runtime_error);  // "a" does not compile
    model.insert_expression(2, L"b", L"<c>+1");
    EXPECT_TRUE(model.expressions[1].expr);
    model.set_link({1, 0, LinkToExpr, 1, 1, 1.0});
    model.insert_expression(0, L"first", L"1");
    EXPECT_EQ(model.components[1]->links[1].target_component, 2u);  // still "a"
    EXPECT_THROW(model.insert_expression(5, L"x", L"1"), std::out_of_range);
    const DVector p = vec({0, 0, 0, 4.0, 0, 0});
    EXPECT_EQ(model.expressions[2].expr->value(p), 10.0);
}

}  // namespace
