// The model grids' cells: texts of every column kind, padlocks, colours, and how an
// edit or a padlock click reaches the document through the commit functions.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "core/text/format_value.h"
#include "subspec/distribution.h"
#include "tests/subspec/test_models.h"
#include "tests/support/model_test_parts.h"
#include "ui/logic/model_grid_cells.h"

namespace {

using model_test::link_param;

// A line with an area, so it has a relative area.
SubSpecPtr line()
{
    return make_subspec<test_models::TestLorentz>(nullptr);
}

// An automatic baseline, two Lorentz lines and one user expression, with the
// document's vectors beside it.
struct GridFixture : ::testing::Test {
    SpectrumModel model = model_test::model_of({model_test::auto_baseline(), line(), line()});
    DVector values, fit, lower, upper;
    DMatrix covariance;
    std::vector<int> flags;
    std::vector<std::pair<unsigned, double>> set_calls;
    std::vector<std::tuple<unsigned, unsigned, int>> toggles;

    GridFixture()
    {
        model.insert_expression(0, L"sum", L"[1:I]+[2:I]");
        const unsigned P = model.param_count();
        values = DVector(P, 0.0);
        values(0) = 1000.0;
        values(3) = 2.0, values(4) = 0.25, values(5) = 0.3;
        values(6) = 1.0, values(7) = -0.5, values(8) = 0.3;
        fit = values;
        fit(4) = 0.2512345;
        lower = DVector(P, -1e300), upper = DVector(P, 1e300);
        flags.assign(P, ParamFree);
        covariance = DMatrix(P, P, 0.0);
        for (unsigned k = 0; k < P; ++k) covariance(k, k) = 1e-4;
    }

    ModelGridCells grid(ModelGridOptions options)
    {
        ModelGridSource s{&model, &values, &fit, &flags, &lower, &upper, &covariance,
                          [this](unsigned k) { return varied_by_flags(model, flags, k); }};
        return ModelGridCells(s, options);
    }
    ModelGridCells parameter_grid() { return grid({true, false, true, false, true}); }
    ModelGridCells result_grid() { return grid({false, true, false, true, true}); }

    ModelGridCommits commits()
    {
        return {[this](unsigned k, double v) { set_calls.emplace_back(k, v); },
                [this](unsigned a, unsigned b, int bits) { toggles.emplace_back(a, b, bits); }};
    }
};

TEST_F(GridFixture, RowsAndColumnsFollowTheModel)
{
    const ModelGridCells g = parameter_grid();
    EXPECT_EQ(g.row_count(), 4u);     // three components, one expression
    EXPECT_EQ(g.column_count(), 6u);  // three shown parameters at most, plus 3
    EXPECT_EQ(g.first_cell_column(1), 3);
    EXPECT_EQ(g.last_cell_column(1), 5);
    EXPECT_EQ(g.last_cell_column(3), 0);  // an expression row is selected whole
}

TEST_F(GridFixture, CellTextsOfEveryColumnKind)
{
    const ModelGridCells p = parameter_grid();
    const std::wstring name = component_label(*model.components[1]->subspec);
    struct Case {
        int row, column;
        std::optional<std::wstring> text;
    } cases[] = {
        {0, 0, L"0"},
        {1, 0, L"1"},
        {1, 1, name},
        {0, 2, L"N0=1000"},
        {1, 2, L"I=66.7%"},  // 2 of 3
        {1, 3, L"I=2.000"},
        {1, 4, L"δ=0.250"},
        {2, 4, L"δ=-0.500"},
        {1, 6, std::nullopt},
        {3, 0, L"sum"},
        {3, 1, L"[1:I]+[2:I]"},
        {3, 2, L"3"},
        {3, 3, std::nullopt},
        {9, 0, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(p.text(c.row, c.column), c.text) << c.row << "," << c.column;

    // The fit-result grid: fit values with their standard errors.
    const ModelGridCells r = result_grid();
    EXPECT_EQ(r.text(1, 4), L"δ=0.251±0.010");
    EXPECT_EQ(r.text(0, 2), L"N0=1000.000±0.010");
}

// Shares 2/3 and 1/3 of the areas 2 and 1, each with σ = 0.01: both shares have the
// error (100/9)·0.01·√5, the shares moving together.
TEST_F(GridFixture, RelativeAreasOfTheResultGridWithTheirErrors)
{
    const ModelGridCells r = result_grid();
    const double error = 100.0 / 9 * 0.01 * std::sqrt(5.0);
    EXPECT_EQ(r.text(1, 2), L"I=" + format_value_with_error(200.0 / 3, error, L"%.1f", false) + L"%");
    EXPECT_EQ(r.text(2, 2), L"I=" + format_value_with_error(100.0 / 3, error, L"%.1f", false) + L"%");
}

TEST_F(GridFixture, LinkedParametersShowTheirLinkInParameterMode)
{
    link_param(model, 2, 2, 1, 2, 1.0);
    EXPECT_EQ(parameter_grid().text(2, 5), L"Γ=" + model.link_source_text(*model.components[2], 2));
    link_param(model, 2, 2, 1, 2, 0.5);
    EXPECT_EQ(parameter_grid().text(2, 5), L"Γ=0.500×" + model.link_source_text(*model.components[2], 2));
    EXPECT_EQ(parameter_grid().image(2, 5), PadlockNone);
    EXPECT_FALSE(parameter_grid().begin_edit(2, 5));
    EXPECT_EQ(result_grid().text(2, 5), L"Γ=0.300±0.005");  // the value, its error through the link
}

TEST_F(GridFixture, PadlocksShowFreeFixedAndLocked)
{
    flags[6] = 0;
    flags[7] = ParamLocked | ParamFree;
    flags[8] = ParamLocked;
    const ModelGridCells g = parameter_grid();
    EXPECT_EQ(g.image(1, 1), PadlockOpen);
    EXPECT_EQ(g.image(1, 3), PadlockOpen);
    EXPECT_EQ(g.image(2, 3), PadlockClosed);
    EXPECT_EQ(g.image(2, 4), PadlockOpenGrey);
    EXPECT_EQ(g.image(2, 5), PadlockClosedGrey);
    flags[6] = ParamLocked;
    EXPECT_EQ(g.image(2, 1), PadlockClosed);
    EXPECT_EQ(result_grid().image(2, 1), PadlockNone);
}

TEST_F(GridFixture, BackgroundsForBoundsAndZeroVariance)
{
    lower(4) = 0.25;   // exactly on its lower bound
    upper(7) = -0.6;   // above its upper bound
    const ModelGridCells p = parameter_grid();
    EXPECT_EQ(p.background(1, 4, false), grid_silver);
    EXPECT_EQ(p.background(2, 4, false), grid_red);
    EXPECT_EQ(p.background(2, 4, true), std::nullopt);  // the current cell keeps its highlight
    EXPECT_EQ(p.background(1, 3, false), std::nullopt);
    EXPECT_EQ(p.background(1, 0, false), model.color_of(1));
    EXPECT_EQ(p.background(3, 0, false), std::nullopt);

    covariance(7, 7) = 0.0;
    fit(7) = -0.5;
    EXPECT_EQ(result_grid().background(2, 4, false), grid_yellow);  // yellow wins over red
    flags[7] = 0;  // not varied: the bound decides again
    EXPECT_EQ(result_grid().background(2, 4, false), grid_red);
}

TEST_F(GridFixture, AnExpressionThatDoesNotCompileIsDarkRedWithoutValue)
{
    model.insert_expression(1, L"bad", L"[7:I]+");
    const ModelGridCells g = parameter_grid();
    EXPECT_EQ(g.text_color(4, 1), grid_dark_red);
    EXPECT_EQ(g.text(4, 2), std::nullopt);
    EXPECT_EQ(g.text_color(3, 1), std::nullopt);
}

TEST_F(GridFixture, EditStartsFromTheFormattedValueAndCommitsReadNumbersStrictly)
{
    values(4) = 0.2512345;
    const ModelGridCells g = parameter_grid();
    EXPECT_EQ(g.begin_edit(1, 4), L"0.251");
    EXPECT_FALSE(g.begin_edit(1, 2));
    EXPECT_FALSE(g.begin_edit(3, 3));
    EXPECT_FALSE(result_grid().begin_edit(1, 4));

    struct Case {
        const wchar_t* text;
        std::optional<double> value;
    } cases[] = {
        {L"1,5", 1.5}, {L"A=2", 2.0}, {L" 3e-2 ", 0.03}, {L"δ=-0,75", -0.75},
        {L"abc", std::nullopt}, {L"2abc", std::nullopt}, {L"1,234.5", std::nullopt}, {L"=2", std::nullopt},
        {L"", std::nullopt},
    };
    for (const Case& c : cases) {
        set_calls.clear();
        const CellCommit result = g.commit(1, 4, c.text, commits());
        EXPECT_EQ(result.changed, c.value.has_value()) << c.text;
        if (c.value) {
            ASSERT_EQ(set_calls.size(), 1u);
            EXPECT_EQ(set_calls[0].first, 4u);
            EXPECT_DOUBLE_EQ(set_calls[0].second, *c.value);
        } else {
            EXPECT_TRUE(set_calls.empty()) << c.text;
            EXPECT_NE(result.error.find(L"Component 1, parameter δ"), std::wstring::npos) << c.text;
        }
    }
}

TEST_F(GridFixture, PadlockClicksToggleOneFlagOrTheWholeComponent)
{
    const ModelGridCells g = parameter_grid();
    EXPECT_TRUE(g.image_click(2, 1, commits()));
    EXPECT_TRUE(g.image_click(2, 4, commits()));
    EXPECT_FALSE(g.image_click(2, 2, commits()));
    EXPECT_FALSE(result_grid().image_click(2, 4, commits()));
    ASSERT_EQ(toggles.size(), 2u);
    EXPECT_EQ(toggles[0], std::make_tuple(6u, 9u, int(ParamLocked)));
    EXPECT_EQ(toggles[1], std::make_tuple(7u, 8u, int(ParamFree)));
}

TEST(ModelGridColumns, TheWidestComponentDecidesTheColumnCount)
{
    SpectrumModel model = model_test::model_of({model_test::baseline(), make_distribution(model_test::lorentz(), 22, {1})});
    DVector v(model.param_count(), 0.0);
    std::vector<int> flags(model.param_count(), 0);
    ModelGridCells g({&model, &v, &v, &flags, &v, &v, nullptr, {}}, {});
    EXPECT_EQ(g.column_count(), model.components[1]->shown_count + 3);
}

} // namespace
