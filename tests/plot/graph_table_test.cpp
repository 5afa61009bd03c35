// The graph table: one row per point whose model column is the model and whose
// component columns are what the plot draws, the difference is counts − model, and the
// fields read back exactly; without a model only the data columns.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/text/text.h"
#include "plot/graph_table.h"
#include "tests/plot/report_scene.h"

namespace {

std::vector<std::vector<std::wstring>> rows(const std::wstring& text, wchar_t separator)
{
    std::vector<std::vector<std::wstring>> out;
    std::wistringstream lines(text);
    for (std::wstring line; std::getline(lines, line);) {
        out.emplace_back(1);
        for (const wchar_t c : line) {
            if (c == separator)
                out.back().emplace_back();
            else
                out.back().back() += c;
        }
    }
    return out;
}

TEST(GraphTable, RowsHoldTheDataTheModelTheDifferenceAndEachComponent)
{
    const report_test::Scene scene;
    const std::wstring text = compose_graph_table(scene.model, scene.data, scene.values, false);
    const auto table = rows(text, L'\t');
    ASSERT_EQ(table.size(), 1 + scene.data.x_data.size());
    EXPECT_EQ(table[0], (std::vector<std::wstring>{L"v (mm/s)", L"Counts", L"\u03C3", L"Model", L"Difference",
                                                   L"1. " + scene.model.components[0]->subspec->display_name(),
                                                   L"2. " + scene.model.components[1]->subspec->display_name(),
                                                   L"3. " + scene.model.components[2]->subspec->display_name()}));

    const std::size_t n = scene.data.x_data.size();
    DVector x(n), model(n), component(n);
    std::copy(scene.data.x_data.begin(), scene.data.x_data.end(), x.begin());
    scene.model.evaluate(x, 0, n, scene.values, model);
    scene.model.evaluate_component(1, x, scene.values, component);
    for (std::size_t i : {std::size_t{0}, n / 2, n - 1}) {
        const auto& row = table[i + 1];
        ASSERT_EQ(row.size(), table[0].size());
        EXPECT_EQ(std::stod(row[0]), scene.data.x_data[i]);
        EXPECT_EQ(std::stod(row[1]), scene.data.y_data[i]);
        EXPECT_EQ(std::stod(row[2]), scene.data.std_dev_data[i]);
        EXPECT_EQ(std::stod(row[3]), model(i));
        EXPECT_EQ(std::stod(row[4]), scene.data.y_data[i] - model(i));
        EXPECT_EQ(std::stod(row[6]), component(i));
    }
}

TEST(GraphTable, WithoutAModelOnlyTheDataColumns)
{
    report_test::Scene scene;
    const std::wstring data_only = compose_graph_table(SpectrumModel(), scene.data, DVector(), true);
    const auto table = rows(data_only, L';');
    EXPECT_EQ(table[0], (std::vector<std::wstring>{L"v (mm/s)", L"Counts", L"\u03C3"}));
    EXPECT_EQ(table.size(), 1 + scene.data.x_data.size());
    EXPECT_THROW(compose_graph_table(scene.model, scene.data, DVector(3), false), std::invalid_argument);
    // An empty spectrum still has its header.
    EXPECT_EQ(compose_graph_table(scene.model, SpectrumData(), scene.values, false).find(L'\n'),
              compose_graph_table(scene.model, SpectrumData(), scene.values, false).size() - 1);
}

}  // namespace
