// The correlation grid's snapshot: rows of the varied parameters with their component
// labels, correlation texts and colours, the singular directions' headers and colours.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/model_test_parts.h"
#include "ui/logic/corr_grid_data.h"
#include "ui/logic/model_grid_cells.h"

namespace {

// Baseline, two lines; varied: I, δ, Γ of line 1 and δ, Γ of line 2 (flat 3, 4, 5, 7, 8).
struct CorrFixture : ::testing::Test {
    SpectrumModel model = model_test::model_of({model_test::baseline(), model_test::lorentz(), model_test::lorentz()});
    std::vector<int> flags;
    DMatrix covariance;
    DMatrix directions;
    CorrGridData grid;

    CorrFixture()
    {
        const unsigned P = model.param_count();
        flags.assign(P, ParamFree);
        flags[0] = flags[1] = flags[2] = flags[6] = 0;
        covariance = DMatrix(P, P, 0.0);
        for (unsigned k = 0; k < P; ++k) covariance(k, k) = 4.0;
        directions = DMatrix(3, P + 1, 0.0);
        directions(0, P) = 1.0;
        directions(1, P) = 0.05;
        directions(2, P) = 0.0;
        directions(2, 3) = 0.95;   // last row: direction 1
        directions(2, 4) = -0.95;
        directions(2, 5) = 0.005;
        directions(1, 7) = 0.75;
    }

    void fill()
    {
        grid.fill(model, [this](unsigned k) { return varied_by_flags(model, flags, k); }, covariance, directions);
    }
    // Sets the correlation of varied parameters i and j (variances 4).
    void correlate(unsigned fi, unsigned fj, double r) { covariance(fi, fj) = covariance(fj, fi) = 4.0 * r; }
};

TEST_F(CorrFixture, RowsLabelsAndNumbers)
{
    fill();
    EXPECT_EQ(grid.row_count(), 7u);
    EXPECT_EQ(grid.column_count(), 5u + 3 + 4);
    const std::wstring label = component_label(*model.components[1]->subspec);
    EXPECT_EQ(grid.text(2, 1), label);
    EXPECT_EQ(grid.text(3, 1), L"");
    EXPECT_EQ(grid.text(5, 1), label);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(grid.text(2 + i, 0), std::to_wstring(i + 1));
        EXPECT_EQ(grid.text(0, 3 + i), std::to_wstring(i + 1));
    }
    EXPECT_EQ(grid.text(2, 2), L"I");
    EXPECT_EQ(grid.text(1, 4), L"δ");
    EXPECT_EQ(grid.text(0, 0), std::nullopt);
    EXPECT_EQ(grid.text(4, 5), L"\u2014");
    EXPECT_EQ(grid.text(2, 8), std::nullopt);  // the empty column
    EXPECT_EQ(grid.row_of_param(7), 5);
    EXPECT_EQ(grid.row_of_param(6), -1);
    EXPECT_EQ(grid.row_of_param(-1), -1);
    // Back from a row to its parameter: header rows and rows below the grid have none.
    for (int row = 2; row < 7; ++row) EXPECT_EQ(grid.row_of_param(grid.param_of_row(row)), row);
    for (int row : {-1, 0, 1, 7}) EXPECT_EQ(grid.param_of_row(row), -1) << row;
}

TEST_F(CorrFixture, CorrelationTextsAndColours)
{
    correlate(3, 4, 0.19);
    correlate(3, 5, 0.2);
    correlate(3, 7, -0.95);
    correlate(4, 5, 0.8);
    correlate(4, 7, 0.6);
    fill();
    EXPECT_EQ(grid.text(2, 4), std::nullopt);
    EXPECT_EQ(grid.text(2, 5), L"0.20");
    EXPECT_EQ(grid.background(2, 5), std::nullopt);
    EXPECT_EQ(grid.text(2, 6), L"-0.95");
    EXPECT_EQ(grid.background(2, 6), corr_red);
    EXPECT_EQ(grid.background(6 - 3, 5), corr_olive);
    EXPECT_EQ(grid.background(3, 6), corr_silver);
    EXPECT_EQ(grid.background(2, 3), std::nullopt);  // the diagonal
}

TEST_F(CorrFixture, AZeroVarianceEmptiesItsRowAndColumn)
{
    correlate(3, 4, 0.9);
    covariance(4, 4) = 0.0;
    fill();
    for (int c = 3; c < 8; ++c) {
        if (c == 4) {
            EXPECT_EQ(grid.text(3, c), L"\u2014");
        } else {
            EXPECT_EQ(grid.text(3, c), std::nullopt) << c;
        }
        if (c != 4) {
            EXPECT_EQ(grid.text(2 + (c - 3), 4), std::nullopt) << c;
        }
    }
}

TEST_F(CorrFixture, DirectionHeadersValuesAndColours)
{
    fill();
    const int d1 = 4 + 5, d3 = 4 + 5 + 2;
    EXPECT_EQ(grid.text(0, d1), L"w\u2081");
    EXPECT_EQ(grid.text(0, d3), L"w\u2083");
    EXPECT_EQ(grid.text(1, d1), L"0");
    EXPECT_EQ(grid.text(1, d1 + 1), L"0.05");
    EXPECT_EQ(grid.text(1, d3), L"1");
    // A relative singular value of 0 colours its whole column red.
    for (int r = 1; r < 7; ++r) EXPECT_EQ(grid.background(r, d1), corr_red) << r;
    EXPECT_EQ(grid.text(2, d1), L"0.95");
    EXPECT_EQ(grid.text(3, d1), L"-0.95");
    EXPECT_EQ(grid.text(4, d1), std::nullopt);  // below 0.01
    EXPECT_EQ(grid.background(5, d1 + 1), corr_olive);
    EXPECT_EQ(grid.background(3, d1 + 1), std::nullopt);
}

TEST_F(CorrFixture, ClearingLeavesTheTwoHeaderRows)
{
    fill();
    grid.clear();
    EXPECT_EQ(grid.row_count(), 2u);
    EXPECT_EQ(grid.column_count(), 4u);
    EXPECT_EQ(grid.text(0, 3), std::nullopt);
}

} // namespace
