// The model's answers about its distribution components: the fit's smoothness rows, the
// abscissa and marks, weight links, the statistics table with its maximum search, and
// the export as spectrum data.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/model/expr.h"
#include "core/spectrum/spectrum_analysis.h"
#include "core/text/sum_expression.h"
#include "subspec/distribution.h"
#include "tests/subspec/test_models.h"
#include "tests/support/model_test_parts.h"
#include "tests/support/random_covariance.h"

namespace {

using model_test::lorentz;

// Baseline, a Lorentz line with its area, then a distribution of Lorentz lines over δ
// with n points.
SpectrumModel model_with_distribution(unsigned n, std::vector<unsigned> varying = {1})
{
    return model_test::model_of({model_test::baseline(), make_subspec<test_models::TestLorentz>(nullptr),
                                 make_distribution(lorentz(), n, varying)});
}

IDistribution& dist(const SpectrumModel& m, unsigned n)
{
    return *m.distribution_at(n)->distribution();
}

// The model's values with the distribution's shown parameters and weights set.
DVector values_with(const SpectrumModel& m, const std::vector<double>& shown, const std::vector<double>& weights)
{
    DVector v(m.param_count(), 0.0);
    v(0) = 1000.0;  // baseline level
    v(3) = 0.5;     // the plain line's area
    const SubModel& d = *m.distribution_at(0);
    for (std::size_t i = 0; i < shown.size(); ++i)
        v(d.first + i) = shown[i];
    for (std::size_t i = 0; i < weights.size(); ++i)
        v(d.first + d.shown_count + i) = weights[i];
    return v;
}

std::map<std::wstring, DistStatistic> by_name(const std::vector<DistStatistic>& rows)
{
    std::map<std::wstring, DistStatistic> out;
    for (const DistStatistic& r : rows)
        out[r.name] = r;
    return out;
}

TEST(DistributionQueries, SmoothnessRowsAbscissaAndMarks)
{
    SpectrumModel m = model_with_distribution(5);
    dist(m, 0).set_point_deviations(0, {1, 2, 3, 4, 5});
    std::vector<DistPointParams> points;
    m.point_params(points);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].first_weight, 3 + 3 + 3);
    EXPECT_EQ(points[0].deviations, (std::vector<double>{1, 2, 3, 4, 5}));
    SpectrumAnalysis analysis;
    analysis.N0 = 100.0;
    analysis.depth = -100.0;
    points.clear();
    m.scaled_point_params(analysis, points);
    EXPECT_DOUBLE_EQ(points.at(0).deviations[4], 0.5);

    EXPECT_EQ(m.component_index(0), 2u);
    EXPECT_EQ(m.component_index(1), 0u);
    EXPECT_EQ(m.distribution_at(1), nullptr);
    unsigned index = 0;
    EXPECT_TRUE(m.distribution_point_param(0, 4, index));
    EXPECT_EQ(index, 6u + 3 + 4);
    EXPECT_FALSE(m.distribution_point_param(0, 5, index));
    EXPECT_FALSE(m.distribution_point_param(1, 0, index));

    const DVector v = values_with(m, {-2.0, 3.0, 0.3}, {1, 1, 1, 1, 1});
    double first = 0, last = 0;
    std::wstring name;
    EXPECT_TRUE(m.distributed_param(0, v, first, last, name));
    EXPECT_EQ(name, L"n");
    EXPECT_EQ(last, 5.0);
    EXPECT_FALSE(m.set_distribution_abscissa(1, 1));  // not a distribution
    EXPECT_FALSE(m.set_distribution_abscissa(7, 1));  // no such component
    EXPECT_TRUE(m.set_distribution_abscissa(2, 1));   // δR
    EXPECT_FALSE(m.set_distribution_abscissa(2, 0));  // δL: the same parameter
    m.distributed_param(0, v, first, last, name);
    EXPECT_EQ(first, -2.0);
    EXPECT_EQ(last, 3.0);
    EXPECT_EQ(name, L"δ");
    EXPECT_TRUE(m.set_distribution_abscissa(2, 2));   // Γ: back to the point number
    EXPECT_FALSE(m.set_distribution_abscissa(2, 5));
    EXPECT_EQ(dist(m, 0).axis_param(), -1);

    m.set_distribution_marks(0, {{0, 2}, {3, 9}});
    m.set_distribution_marks(3, {{0, 1}});
    PointRangeList marks = {{7, 8}};
    m.marked_ranges(0, marks);
    EXPECT_EQ(marks, (PointRangeList{{0, 2}}));
    m.marked_ranges(1, marks);
    EXPECT_EQ(marks, (PointRangeList{{0, 2}}));
}

// The weight sum as the distribution's area and as its extra variable "[c:I]".
TEST(DistributionQueries, AreaAndWeightSumInExpressions)
{
    const SpectrumModel m = model_with_distribution(4);
    const DVector v = values_with(m, {0.0, 1.0, 0.3}, {0.5, 1.0, 2.0, 0.25});
    ASSERT_TRUE(m.area_exprs.at(2).expr);
    EXPECT_DOUBLE_EQ(m.area_exprs[2].expr->value(v), 3.75);
    EXPECT_DOUBLE_EQ(m.relative_area_exprs.at(2).expr->value(v), 100.0 * 3.75 / 4.25);
    const ExprPtr e = Expr::create(L"[2:I]*2", m);
    ASSERT_TRUE(e);
    EXPECT_DOUBLE_EQ(e->value(v), 7.5);
}

// Two distributions of four points; the second's weights follow the first's.
TEST(DistributionQueries, WeightLinks)
{
    SpectrumModel m = model_test::model_of({model_test::baseline(), make_distribution(lorentz(), 4, {1}),
                                            make_distribution(lorentz(), 4, {1})});
    SubModel& follower = *m.components[2];
    unsigned target = 0;
    double factor = 0.0;
    EXPECT_FALSE(follower.get_distribution_link(target, factor));
    for (unsigned i = 0; i < 4; ++i)
        model_test::link_param(m, 2, 3 + i, 1, 3 + (3 - i), 2.0);
    ASSERT_TRUE(follower.get_distribution_link(target, factor));
    EXPECT_EQ(target, 1u);
    EXPECT_EQ(factor, 2.0);
    EXPECT_EQ(follower.first_weight_link(), (ParamLink{1, 6, LinkToParam, 2.0}));

    follower.links[6].factor = 2.5;
    EXPECT_FALSE(follower.get_distribution_link(target, factor));
    follower.links[6] = ParamLink{0, 0, LinkToParam, 2.0};
    EXPECT_FALSE(follower.get_distribution_link(target, factor));
    follower.links[6] = ParamLink{};
    EXPECT_FALSE(follower.get_distribution_link(target, factor));
    EXPECT_FALSE(m.components[0]->get_distribution_link(target, factor));
    try {
        m.components[0]->first_weight_link();
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Invalid dist link reference");
    }
}

struct MaximumCase {
    const char* name;
    std::vector<double> weights;
    std::optional<double> nmax, fwhm, chm;  // none: no maximum rows
};

TEST(DistributionStatistics, MaximumSearch)
{
    const std::vector<MaximumCase> cases = {
        {"single peak", {1, 3, 1}, 2.0, 1.5, 2.0},
        {"flat", {2, 2, 2, 2, 2}, 3.0, 4.0, 3.0},
        {"plateau", {1, 2, 2, 1}, {}, {}, {}},
        {"repeated", {2, 1, 2}, 1.0, 1.0, 1.5},
    };
    for (const MaximumCase& c : cases) {
        const auto n = static_cast<unsigned>(c.weights.size());
        const SpectrumModel m = model_with_distribution(n);
        std::vector<DistStatistic> rows;
        m.distribution_statistics(0, 0, n - 1, values_with(m, {0.0, 1.0, 0.3}, c.weights), DMatrix(), rows);
        const auto named = by_name(rows);
        for (const auto& [row, want] : {std::pair{L"Nmax", c.nmax}, {L"FWHM", c.fwhm}, {L"CHM", c.chm}}) {
            if (!want) {
                EXPECT_EQ(named.count(row), 0u) << c.name;
                continue;
            }
            ASSERT_EQ(named.count(row), 1u) << c.name;
            EXPECT_NEAR(named.at(row).value, *want, 1e-12) << c.name;
        }
        EXPECT_EQ(named.count(L"δmax"), c.nmax ? 1u : 0u) << c.name;
        if (c.nmax) {
            EXPECT_EQ(named.at(L"Nmax").format, L"%.0f") << c.name;
        }
    }
}

// A maximum two points from both range ends lies at the vertex of the least-squares
// parabola through the five weights around it.
TEST(DistributionStatistics, FivePointVertex)
{
    const std::vector<double> w = {0, 1, 3, 5, 6, 5, 2, 1, 0};
    const SpectrumModel m = model_with_distribution(9);
    std::vector<DistStatistic> rows;
    m.distribution_statistics(0, 0, 8, values_with(m, {0.0, 8.0, 0.3}, w), DMatrix(), rows);
    // Orthogonal polynomials 1, u, u² − 2 over u = −2 … 2 around the maximum at index 4.
    double first = 0.0, second = 0.0;
    for (int u = -2; u <= 2; ++u) {
        first += u * w[4 + u];
        second += (u * u - 2) * w[4 + u];
    }
    const double vertex = -(first / 10.0) / (2.0 * second / 14.0);
    const auto named = by_name(rows);
    EXPECT_NEAR(named.at(L"Nmax").value, 4 + 1 + vertex, 1e-12);
    EXPECT_EQ(named.at(L"Nmax").format, L"%.2f");
    // δ runs from 0 to 8 over the points, so δ at the maximum is its point index.
    EXPECT_NEAR(named.at(L"δmax").value, 4 + vertex, 1e-12);
}

// Rows in order, with their values against sums taken here and errors from the
// covariance.
TEST(DistributionStatistics, RowsValuesAndErrors)
{
    const unsigned n = 100;
    const SpectrumModel m = model_with_distribution(n);
    std::vector<double> w(n);
    for (unsigned i = 0; i < n; ++i)
        w[i] = std::exp(-0.5 * std::pow((i - 40.0) / 8.0, 2)) + 0.5 * std::exp(-0.5 * std::pow((i - 70.0) / 5.0, 2));
    const DVector v = values_with(m, {-2.0, 3.0, 0.3}, w);
    DMatrix covariance(m.param_count(), m.param_count(), 0.0);
    for (unsigned k = 0; k < m.param_count(); ++k)
        covariance(k, k) = 0.01;
    std::vector<DistStatistic> rows;
    m.distribution_statistics(0, 0, n - 1, v, covariance, rows);

    const std::vector<std::wstring> names = {L"L",  L"R",     L"Nmax", L"FWHM", L"CHM",  L"δL",  L"δR",  L"δmax", L"δFWHM",
                                             L"δCHM", L"%I", L"%Id",  L"Xδ",  L"Dδ", L"Sδ", L"Asδ", L"Exδ"};
    ASSERT_EQ(rows.size(), names.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].name, names[i]);
        const bool starts = names[i] == L"L" || names[i] == L"δL" || names[i] == L"%I" || names[i] == L"Xδ";
        EXPECT_EQ(rows[i].starts_row, starts) << i;
    }

    double total = 0.0, mean = 0.0;
    for (unsigned i = 0; i < n; ++i) {
        total += w[i];
        mean += w[i] * (-2.0 + 5.0 * i / 99.0);
    }
    mean /= total;
    double variance = 0.0;
    for (unsigned i = 0; i < n; ++i)
        variance += w[i] * std::pow(-2.0 + 5.0 * i / 99.0 - mean, 2);
    variance /= total;
    const auto named = by_name(rows);
    EXPECT_EQ(named.at(L"L").value, 1.0);
    EXPECT_EQ(named.at(L"R").value, 100.0);
    EXPECT_NEAR(named.at(L"Xδ").value, mean, 1e-12);
    EXPECT_NEAR(named.at(L"Dδ").value, variance, 1e-12);
    EXPECT_NEAR(named.at(L"Sδ").value, std::sqrt(variance), 1e-12);
    EXPECT_NEAR(named.at(L"%Id").value, 100.0, 1e-12);
    EXPECT_NEAR(named.at(L"%I").value, 100.0 * total / (total + 0.5), 1e-12);
    EXPECT_NEAR(named.at(L"δFWHM").value, named.at(L"FWHM").value * 5.0 / 99.0, 1e-12);
    EXPECT_NEAR(named.at(L"δmax").value, -2.0 + (named.at(L"Nmax").value - 1.0) * 5.0 / 99.0, 1e-12);
    // The start value at point 0 is δL itself, with its own deviation.
    EXPECT_NEAR(named.at(L"δL").error, 0.1, 1e-12);
    EXPECT_GT(named.at(L"Xδ").error, 0.0);

    std::vector<DistStatistic> plain;
    m.distribution_statistics(0, 0, n - 1, v, DMatrix(), plain);
    ASSERT_EQ(plain.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(plain[i].value, rows[i].value) << i;
        EXPECT_EQ(plain[i].error, 0.0) << i;
    }
}

// The sums over the points give what the rows' texts with every point written out give:
// the area and moment rows of two spread parameters over a range inside the points, each
// text compiled and evaluated in row order with the values and errors of the rows before
// it, against the table's values and errors.
TEST(DistributionStatistics, SumsOverPointsAsWrittenOut)
{
    const unsigned n = 12, a = 2, b = 9;
    const SpectrumModel m = model_with_distribution(n, {1, 2});
    std::vector<double> w(n);
    for (unsigned i = 0; i < n; ++i)
        w[i] = 1.0 + std::sin(0.7 * i) + 0.1 * i;
    const DVector v = values_with(m, {-1.0, 2.0, 0.2, 0.5}, w);
    const DMatrix covariance = test_support::random_covariance(m.param_count(), 7, 1e-3);
    std::vector<DistStatistic> rows;
    m.distribution_statistics(0, a, b, v, covariance, rows);

    const auto sum = [](unsigned first, unsigned last, const std::wstring& term) {
        std::wstring text;
        make_sum_expression(text, first, last, term);
        return text;
    };
    const std::wstring weights = sum(a, b, L"[2:I%1%]");
    const std::wstring first_moment = sum(a, b, L"%1%*[2:I%1%]");
    std::vector<std::wstring> names = {L"%I", L"%Id"};
    std::vector<std::wstring> texts = {L"(" + weights + L")*100/(" + m.area_exprs.back().text + L")",
                                       L"(" + weights + L")*100/((" + sum(0, n - 1, L"[2:I%1%]") + L"))"};
    for (const std::wstring p : {L"δ", L"Γ"}) {
        const std::wstring start = L"[2:" + p + L"L]", end = L"[2:" + p + L"R]";
        const auto moment = [&](const wchar_t* power) {
            return L"(" + sum(a, b, L"(%1%*(" + end + L"-" + start + L")/11+" + start + L"-$X" + p + L")^" + power +
                                     L"*[2:I%1%]") +
                   L")";
        };
        for (const std::wstring& name : {L"X", L"D", L"S", L"As", L"Ex"})
            names.push_back(name + p);
        texts.push_back(start + L" + (" + end + L" - " + start + L") * (" + first_moment + L") / (11 * (" + weights +
                        L"))");
        texts.push_back(moment(L"2") + L"/(" + weights + L")");
        texts.push_back(L"$D" + p + L"^0.5");
        texts.push_back(moment(L"3") + L"/($S" + p + L"^3*(" + weights + L"))");
        texts.push_back(moment(L"4") + L"/($S" + p + L"^4*(" + weights + L"))-3");
    }
    const std::vector<ExprPtr> compiled = Expr::create_all(texts, m, names);
    DVector values(names.size(), 0.0), errors(names.size(), 0.0);
    const auto named = by_name(rows);
    for (std::size_t i = 0; i < names.size(); ++i) {
        ASSERT_TRUE(compiled[i]) << i;
        double error = 0.0;
        values(i) = compiled[i]->value_with_variance_ext(v, covariance, values, errors, error);
        errors(i) = error;
        const DistStatistic& row = named.at(names[i]);
        EXPECT_NEAR(row.value, values(i), 1e-12 * std::max(1.0, std::fabs(values(i)))) << i;
        EXPECT_NEAR(row.error, error, 1e-11 * error) << i;
        EXPECT_GT(error, 0.0) << i;
    }
}

TEST(DistributionStatistics, RangeOfOnePointAndBadRanges)
{
    const SpectrumModel m = model_with_distribution(5);
    const DVector v = values_with(m, {0.0, 4.0, 0.3}, {1, 2, 3, 2, 1});
    std::vector<DistStatistic> rows;
    m.distribution_statistics(0, 2, 2, v, DMatrix(), rows);
    const auto named = by_name(rows);
    EXPECT_EQ(named.at(L"Nmax").value, 3.0);
    EXPECT_EQ(named.count(L"δmax"), 0u);
    EXPECT_NEAR(named.at(L"Xδ").value, 2.0, 1e-12);
    EXPECT_THROW(m.distribution_statistics(0, 3, 2, v, DMatrix(), rows), std::out_of_range);
    EXPECT_THROW(m.distribution_statistics(0, 0, 5, v, DMatrix(), rows), std::out_of_range);
    rows.clear();
    m.distribution_statistics(1, 0, 2, v, DMatrix(), rows);
    EXPECT_TRUE(rows.empty());
}

TEST(DistributionExport, WeightsInPercentOfTheirSum)
{
    SpectrumModel m = model_with_distribution(3);
    const DVector v = values_with(m, {-1.0, 3.0, 0.3}, {1, 1, 2});
    KeywordList list;
    m.distribution_as_data(L"sample", 0, v, DMatrix(), list);
    std::wstring comment, lines;
    ASSERT_TRUE(kwlist_find(list, L"Comment", comment));
    ASSERT_TRUE(kwlist_find(list, L"VelocitySpectrumStdDev", lines));
    EXPECT_EQ(comment, L"sample - 1 - n - [D] Lorentz singlet");
    EXPECT_EQ(lines, L"1.0000000000 25.0000000000 0.0000000000\n"
                     L"2.0000000000 25.0000000000 0.0000000000\n"
                     L"3.0000000000 50.0000000000 0.0000000000\n");

    DMatrix covariance(m.param_count(), m.param_count(), 0.0);
    covariance(9 + 2, 9 + 2) = 0.16;
    m.set_distribution_abscissa(2, 0);
    KeywordList fitted;
    m.distribution_as_data(L"", 0, v, covariance, fitted);
    kwlist_find(fitted, L"Comment", comment);
    kwlist_find(fitted, L"VelocitySpectrumStdDev", lines);
    EXPECT_EQ(comment, L"1 - δ - [D] Lorentz singlet");
    EXPECT_EQ(lines, L"-1.0000000000 25.0000000000 0.0000000000\n"
                     L"1.0000000000 25.0000000000 0.0000000000\n"
                     L"3.0000000000 50.0000000000 10.0000000000\n");

    KeywordList none;
    m.distribution_as_data(L"", 1, v, covariance, none);
    EXPECT_TRUE(none.empty());
}

}  // namespace
