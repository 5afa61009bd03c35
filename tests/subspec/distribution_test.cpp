// The distribution component: its parameter layout, its values against sums of the inner
// model written out by hand, its Jacobian against central differences, and its answers
// through the inner model's optional interfaces.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/spectrum/spectrum_analysis.h"
#include "lineshapes/singlets.h"
#include "subspec/distribution.h"
#include "subspec/subspec_impl.h"
#include "test_models.h"
#include "tests/support/dvectors.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/subspec_ranges.h"

namespace {

using namespace test_support;

constexpr unsigned marker = param_group_marker;

// A distribution of Lorentz singlets (I, δ, Γ; area I) over δ, or over the given
// parameters.
SubSpecPtr lorentz_distribution(unsigned n, std::vector<unsigned> varying = {1})
{
    return make_distribution(make_subspec<LorenzLine>(nullptr), n, varying);
}

const Distribution& as_distribution(const SubSpecPtr& s)
{
    return dynamic_cast<const Distribution&>(*s);
}

std::vector<double> line_values(double area, double position, double width, const DVector& x)
{
    return values_of(*make_subspec<LorenzLine>(nullptr), x, vec({area, position, width}));
}

void expect_values_near(const std::vector<double>& got, const std::vector<double>& want, double tolerance)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_NEAR(got[i], want[i], tolerance) << "point " << i;
}

TEST(DistributionLayout, SpreadParameterBecomesStartAndEndThenWeights)
{
    const SubSpecPtr d = lorentz_distribution(100);
    ASSERT_EQ(d->param_count(), 103u);
    EXPECT_EQ(d->shown_param_count(), 3u);
    const std::vector<std::wstring> shown = {L"δL", L"δR", L"Γ"};
    for (unsigned i = 0; i < 3; ++i)
        EXPECT_EQ(d->param_info(i).name, shown[i]);
    EXPECT_EQ(d->param_info(2).kind, make_subspec<LorenzLine>(nullptr)->param_info(2).kind);
    EXPECT_EQ(d->param_info(0).format, make_subspec<LorenzLine>(nullptr)->param_info(1).format);
    for (unsigned i : {0u, 57u, 99u}) {
        const ParamInfo& w = d->param_info(3 + i);
        EXPECT_EQ(w.name, L"I" + std::to_wstring(i));
        EXPECT_EQ(w.format, L"%.3f");
        EXPECT_EQ(w.kind, KindNone);
        EXPECT_EQ(w.lower, 0.0);
        EXPECT_EQ(w.upper, unbounded);
        EXPECT_TRUE(w.free);
    }
    EXPECT_THROW(d->param_info(103), std::runtime_error);
    EXPECT_EQ(d->display_name(), L"[D] Lorentz singlet");

    std::vector<unsigned> areas = {7};
    dynamic_cast<const IAAParam&>(*d).area_params(areas);
    ASSERT_EQ(areas.size(), 101u);
    EXPECT_EQ(areas[0], 7u);
    EXPECT_EQ(areas[1], 3u);
    EXPECT_EQ(areas.back(), 102u);
}

TEST(DistributionLayout, DisplayOrderGroupsEachSpreadParameter)
{
    std::vector<unsigned> order;
    lorentz_distribution(100)->param_layout(order);
    EXPECT_EQ(order, (std::vector<unsigned>{marker, 0, 1, marker, marker, 2}));
    lorentz_distribution(4, {2})->param_layout(order);
    EXPECT_EQ(order, (std::vector<unsigned>{0, marker, marker, 1, 2, marker}));
}

TEST(DistributionLayout, UnsuitableInnerModelsAndSetupsAreRefused)
{
    EXPECT_THROW(Distribution(lorentz_distribution(3)), std::runtime_error);
    EXPECT_THROW(Distribution(make_subspec<test_models::TestThrowing>(nullptr)), std::runtime_error);
    try {
        Distribution bad(lorentz_distribution(3));
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Unsupported model for distribution");
    }
    Distribution d(make_subspec<LorenzLine>(nullptr));
    EXPECT_EQ(d.param_count(), 0u);
    for (const auto& [n, varying] : std::vector<std::pair<unsigned, std::vector<unsigned>>>{
             {1, {1}}, {0, {1}}, {10001, {1}}, {3, {}}, {3, {0}}, {3, {3}}}) {
        EXPECT_THROW(d.setup(n, varying), std::invalid_argument) << n;
        EXPECT_EQ(d.param_count(), 0u);
    }
}

TEST(DistributionLayout, StartValuesAreTheInnerOnesWithEqualEndsAndEvenWeights)
{
    const SubSpecPtr d = lorentz_distribution(4);
    SpectrumAnalysis analysis;
    analysis.XSc = 0.25;
    DVector p(9, -1.0);
    d->init_params(analysis, p, 2, 7);
    EXPECT_EQ(p(0), -1.0);
    EXPECT_EQ(p(1), -1.0);
    EXPECT_EQ(p(2), 0.25);
    EXPECT_EQ(p(3), 0.25);
    EXPECT_GT(p(4), 0.0);  // Γ, from the isotope-free start
    for (unsigned i = 5; i < 9; ++i)
        EXPECT_EQ(p(i), 0.25);
}

// δ spread from −1 to 1 over three points with weights 1, 2, 1: three lines.
TEST(DistributionValues, ThreePointsAreThreeLines)
{
    const DVector x = grid(-4.0, 4.0, 81);
    const std::vector<double> got = values_of(*lorentz_distribution(3), x, vec({-1.0, 1.0, 0.3, 1.0, 2.0, 1.0}));
    std::vector<double> want(x.size(), 0.0);
    for (const auto& [area, position] : {std::pair{1.0, -1.0}, {2.0, 0.0}, {1.0, 1.0}}) {
        const std::vector<double> line = line_values(area, position, 0.3, x);
        for (std::size_t i = 0; i < x.size(); ++i)
            want[i] += line[i];
    }
    expect_values_near(got, want, 1e-12);
}

TEST(DistributionValues, EqualEndsGiveTheInnerModelWithTheWeightSum)
{
    const DVector x = grid(-3.0, 3.0, 61);
    const std::vector<double> got =
        values_of(*lorentz_distribution(5), x, vec({0.4, 0.4, 0.25, 0.1, 0.7, 0.2, 0.0, 0.5}));
    expect_values_near(got, line_values(1.5, 0.4, 0.25, x), 1e-12);
}

// δ and Γ spread together: point i has both at the same fraction i/(N − 1).
TEST(DistributionValues, SpreadParametersMoveTogether)
{
    const DVector x = grid(-3.0, 3.0, 31);
    const std::vector<double> got =
        values_of(*lorentz_distribution(3, {2, 1}), x, vec({-1.0, 2.0, 0.2, 0.8, 1.0, 0.5, 0.25}));
    std::vector<double> want(x.size(), 0.0);
    for (const auto& [area, position, width] : {std::tuple{1.0, -1.0, 0.2}, {0.5, 0.5, 0.5}, {0.25, 2.0, 0.8}}) {
        const std::vector<double> line = line_values(area, position, width, x);
        for (std::size_t i = 0; i < x.size(); ++i)
            want[i] += line[i];
    }
    expect_values_near(got, want, 1e-12);
}

// Values and Jacobian of a distribution at p, on x.
struct Evaluation {
    std::vector<double> values;
    DMatrix jacobian;
};

Evaluation evaluate_with_jacobian(const ISubSpec& s, const DVector& x, const DVector& p)
{
    Evaluation e{std::vector<double>(x.size()), DMatrix(x.size(), p.size(), std::nan(""))};
    s.evaluate_with_jacobian(all_of(x), all_of(p), e.values.data(), all_of(e.jacobian));
    return e;
}

// Central difference of the values along the direction `step` in parameter space.
std::vector<double> central_difference(const ISubSpec& s, const DVector& x, const DVector& p, const DVector& step)
{
    const std::vector<double> up = values_of(s, x, p + step), down = values_of(s, x, p - step);
    std::vector<double> d(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        d[i] = (up[i] - down[i]) / 2.0;
    return d;
}

// A sextet whose shift and field are spread, over five points: every column of the
// Jacobian against central differences, and the sum of the δL and δR columns against a
// shift of the whole grid.
TEST(DistributionJacobian, MatchesCentralDifferences)
{
    const Isotope& iron = test_support::iron();
    const SubSpecPtr d = make_distribution(make_subspec<test_models::TestSextet>(&iron), 5, {5, 3});
    // I₂/I₁, I₃/I₁, δL, δR, ε, HnL, HnR, Γ₁, Γ₂/Γ₁, Γ₃/Γ₁, α, five weights.
    ASSERT_EQ(d->param_count(), 16u);
    const DVector p = vec({0.66, 0.33, -0.1, 0.2, 0.02, 300.0, 340.0, 0.3, 1.1, 0.9, 0.0,
                           0.2, 0.5, 0.9, 0.4, 0.3});
    const DVector x = grid(-10.0, 10.0, 201);
    const Evaluation e = evaluate_with_jacobian(*d, x, p);
    expect_values_near(e.values, values_of(*d, x, p), 1e-15);

    for (unsigned k = 0; k < p.size(); ++k) {
        DVector step(p.size(), 0.0);
        step(k) = 1e-6 * std::max(1.0, std::fabs(p(k)));
        const std::vector<double> difference = central_difference(*d, x, p, step);
        double scale = 0.0;
        for (std::size_t i = 0; i < x.size(); ++i)
            scale = std::max(scale, std::fabs(e.jacobian(i, k)));
        for (std::size_t i = 0; i < x.size(); ++i)
            ASSERT_NEAR(difference[i] / step(k), e.jacobian(i, k), 1e-6 * std::max(scale, 1.0))
                << "parameter " << k << ", point " << i;
    }

    DVector shift(p.size(), 0.0);
    shift(2) = shift(3) = 1e-6;
    const std::vector<double> whole_grid = central_difference(*d, x, p, shift);
    for (std::size_t i = 0; i < x.size(); ++i)
        EXPECT_NEAR(e.jacobian(i, 2) + e.jacobian(i, 3), whole_grid[i] / 1e-6, 1e-5) << "point " << i;
}

// The weight columns are the inner area derivative at each point alone, and the whole
// block is written even where it was garbage.
TEST(DistributionJacobian, WeightColumnIsTheInnerAreaDerivativeAtItsPoint)
{
    const DVector x = grid(-2.0, 2.0, 9);
    const DVector p = vec({-1.0, 1.0, 0.3, 1.0, 2.0, 1.0});
    const Evaluation e = evaluate_with_jacobian(*lorentz_distribution(3), x, p);
    for (unsigned i = 0; i < 3; ++i) {
        const std::vector<double> unit = line_values(1.0, -1.0 + i, 0.3, x);
        for (std::size_t r = 0; r < x.size(); ++r)
            EXPECT_NEAR(e.jacobian(r, 3 + i), unit[r], 1e-14);
    }
}

TEST(DistributionJacobian, ParameterSliceOfTheWrongLengthIsRefused)
{
    const DVector x = grid(-2.0, 2.0, 4);
    std::vector<double> out(4);
    const SubSpecPtr d = lorentz_distribution(3);
    EXPECT_THROW(d->evaluate(all_of(x), all_of(vec({0.0, 1.0, 0.3, 1.0, 1.0})), out.data()), std::out_of_range);
}

TEST(DistributionClone, KeepsLayoutDeviationsAndInnerDataButNoMarks)
{
    const SubSpecPtr inner = make_subspec<test_models::TestSampledLine>(nullptr);
    dynamic_cast<ISubSpecData&>(*inner).load_extra(L"0|Points|37");
    const SubSpecPtr d = make_distribution(inner, 4, {1});
    auto& original = dynamic_cast<Distribution&>(*d);
    original.set_point_deviations(1, {0.5, 2.0});
    original.set_marked_ranges({{0, 2}});
    original.set_axis_param(0);

    const SubSpecPtr copy = d->clone();
    EXPECT_EQ(copy->ref_count(), 1);
    const Distribution& c = as_distribution(copy);
    ASSERT_EQ(c.param_count(), d->param_count());
    for (unsigned i = 0; i < c.param_count(); ++i)
        EXPECT_EQ(c.param_info(i).name, d->param_info(i).name);
    EXPECT_EQ(c.point_deviations(), (std::vector<double>{1.0, 0.5, 2.0, 1.0}));
    EXPECT_TRUE(c.marked_ranges().empty());
    EXPECT_EQ(c.axis_param(), -1);
    EXPECT_NE(&c.inner(), inner.get());
    EXPECT_EQ(dynamic_cast<const ISubSpecDesc&>(c).description(), L"37");

    const DVector x = grid(-2.0, 2.0, 7);
    const DVector p = vec({-0.5, 0.5, 1.0, 0.5, 0.3, 0.1, 0.0, 0.2, 0.4, 0.3, 0.1});
    expect_values_near(values_of(c, x, p), values_of(*d, x, p), 0.0);
}

TEST(DistributionInterfaces, AreaTextsAndTheWeightSumVariable)
{
    const SubSpecPtr three = lorentz_distribution(3);
    EXPECT_EQ(dynamic_cast<const ISubSpecArea&>(*three).area_expr(2), L"([2:I0]+[2:I1]+[2:I2])");
    std::map<std::wstring, std::wstring> vars = {{L"[0:I]", L"old"}, {L"other", L"x"}};
    dynamic_cast<const IModelExtVars&>(*lorentz_distribution(4)).ext_vars(0, vars);
    EXPECT_EQ(vars[L"[0:I]"], L"[0:I0]+[0:I1]+[0:I2]+[0:I3]");
    EXPECT_EQ(vars[L"other"], L"x");
}

TEST(DistributionInterfaces, ExtentAndLinePositionsFromTheEndPoints)
{
    const SubSpecPtr d = lorentz_distribution(5);
    const auto& range = dynamic_cast<const ISubSpecRange&>(*d);
    double min = 0, max = 0;
    range.extent(all_of(vec({-1.0, 2.0, 0.25, 1, 1, 1, 1, 1})), min, max);
    EXPECT_DOUBLE_EQ(min, -1.0 - 3.0);
    EXPECT_DOUBLE_EQ(max, 2.0 + 3.0);

    const auto& lines = dynamic_cast<const ILinePos&>(*d);
    std::vector<std::vector<double>> groups;
    lines.line_positions(all_of(vec({0.5, 0.5, 0.25, 1, 1, 1, 1, 1})), groups);
    EXPECT_EQ(groups, (std::vector<std::vector<double>>{{0.5}}));
    groups.clear();
    lines.line_positions(all_of(vec({-1.0, 2.0, 0.25, 1, 1, 1, 1, 1})), groups);
    EXPECT_EQ(groups, (std::vector<std::vector<double>>{{-1.0}, {2.0}}));

    std::vector<double> ends;
    EXPECT_FALSE(as_distribution(d).end_point_params(all_of(vec({0.5, 0.5, 0.25, 3, 1, 1, 1, 1})), ends));
    EXPECT_EQ(ends, (std::vector<double>{1.0, 0.5, 0.25, 1.0, 0.5, 0.25}));
}

// An inner model without an extent gives none, not the interval [0, 0].
TEST(DistributionInterfaces, NoInnerExtentIsNoExtent)
{
    const SubSpecPtr d = make_distribution(make_subspec<test_models::TestSampledLine>(nullptr), 3, {1});
    double min = 0, max = 0;
    dynamic_cast<const ISubSpecRange&>(*d).extent(all_of(vec({0, 1, 1, 0.5, 0.3, 0, 0, 1, 1, 1})), min, max);
    EXPECT_EQ(min, std::numeric_limits<double>::infinity());
    EXPECT_EQ(max, -std::numeric_limits<double>::infinity());
}

// Each Lorentz line keeps its own width when the width is spread.
TEST(DistributionInterfaces, LorentzLinesEachWithItsWidth)
{
    const SubSpecPtr d = lorentz_distribution(3, {1, 2});
    std::vector<double> amplitudes, positions, widths;
    as_distribution(d).lorentz_lines(all_of(vec({-1.0, 1.0, 0.2, 0.6, 1.0, 2.0, 1.0})), amplitudes, positions, widths);
    EXPECT_EQ(positions, (std::vector<double>{-1.0, 0.0, 1.0}));
    EXPECT_EQ(widths, (std::vector<double>{0.2, 0.4, 0.6}));
    ASSERT_EQ(amplitudes.size(), 3u);
    EXPECT_NEAR(amplitudes[1], 2.0 * 2.0 / (3.141592653589793 * 0.4), 1e-14);

    const SubSpecPtr sextets = make_distribution(make_subspec<test_models::TestSampledLine>(nullptr), 3, {1});
    as_distribution(sextets).lorentz_lines(all_of(vec({0, 1, 1, 0.5, 0.3, 0, 0, 1, 1, 1})), amplitudes, positions,
                                           widths);
    EXPECT_EQ(positions.size(), 3u);  // unchanged
}

TEST(DistributionInterfaces, ExtraGraphAtTheMiddleWithTheWholeWeightAndNoErrors)
{
    const SubSpecPtr d = make_distribution(make_subspec<test_models::TestSampledLine>(nullptr), 3, {1});
    const auto& graph = dynamic_cast<const IExtraGraph&>(*d);
    EXPECT_EQ(graph.graph_count(), 3u);
    std::vector<double> x, y, errors = {5.0};
    const DMatrix covariance(10, 10, 1.0);
    graph.graph_with_errors(2, all_of(vec({0, 1, 1, 0.5, 0.3, 0, 0, 1, 2, 3})), all_of(covariance), x, y, errors);
    EXPECT_EQ(x, (std::vector<double>{2.0}));
    EXPECT_EQ(y, (std::vector<double>{6.0}));
    EXPECT_EQ(errors, (std::vector<double>{0.0}));
    std::wstring xn, yn;
    graph.axis_names(1, xn, yn);
    EXPECT_EQ(xn, L"phase 1");

    EXPECT_EQ(dynamic_cast<const IExtraGraph&>(*lorentz_distribution(3)).graph_count(), 0u);
    EXPECT_EQ(dynamic_cast<const ISubSpecDesc&>(*lorentz_distribution(3)).description(), L"");
}

TEST(DistributionInterfaces, AbscissaIsThePointNumberOrASpreadParameter)
{
    const SubSpecPtr s = lorentz_distribution(100, {2, 1});
    auto& d = dynamic_cast<Distribution&>(*s);
    DVector p(s->param_count(), 1.0);
    p(0) = -2.0, p(1) = 3.0, p(2) = 0.1, p(3) = 0.4;
    double first = 0, last = 0;
    std::wstring name;
    EXPECT_TRUE(d.distributed_param(all_of(p), first, last, name));
    EXPECT_EQ(first, 1.0);
    EXPECT_EQ(last, 100.0);
    EXPECT_EQ(name, L"n");
    EXPECT_EQ(d.start_value_params(), (std::vector<unsigned>{0, 2}));
    d.set_axis_param(1);
    d.distributed_param(all_of(p), first, last, name);
    EXPECT_EQ(first, 0.1);
    EXPECT_EQ(last, 0.4);
    EXPECT_EQ(name, L"Γ");
    EXPECT_THROW(d.set_axis_param(2), std::out_of_range);
    EXPECT_EQ(d.axis_param(), 1);
    // A new layout without a second spread parameter has no such abscissa.
    d.setup(100, {1});
    EXPECT_EQ(d.axis_param(), -1);
}

TEST(DistributionInterfaces, MarksAndDeviationsStayOnTheGrid)
{
    const SubSpecPtr s = lorentz_distribution(10);
    auto& d = dynamic_cast<Distribution&>(*s);
    d.set_marked_ranges({{1, 4}, {5, 2}, {3, 10}, {0, 9}, {4, 4}});
    EXPECT_EQ(d.marked_ranges(), (PointRangeList{{1, 4}, {0, 9}}));
    EXPECT_THROW(d.set_point_deviations(8, {2.0, 2.0, 2.0}), std::out_of_range);
    EXPECT_EQ(d.point_deviations(), std::vector<double>(10, 1.0));
    d.set_point_deviations(8, {2.0, 3.0});
    EXPECT_EQ(d.point_deviations()[9], 3.0);
}

}  // namespace
