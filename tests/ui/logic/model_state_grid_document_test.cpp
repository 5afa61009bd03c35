// The model grids on the real document, with the program's catalogue and component
// line: every edit, padlock click, cut and paste is one undo step that undo takes back
// exactly; components and expressions travel through their clipboard texts, a
// 1000-point distribution included, and texts that make no component change nothing.
#include "ui/logic/model_state_grid_document.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "lineshapes/singlets.h"
#include "catalogue/program_model_file_parts.h"
#include "catalogue/sub_spec_factory.h"
#include "tests/support/document_test_parts.h"
#include "tests/support/program_isotopes.h"

namespace {

using document_test::Snapshot;
using test_support::iron;

SubSpecPtr create(std::wstring_view name)
{
    SubSpecPtr s = create_subspec(name, &iron());
    if (!s) throw std::runtime_error("no such model");
    return s;
}

struct GridDocument : ::testing::Test {
    ProgramModelFileParts parts{test_support::program_isotopes()};
    ModelState d;
    int stops = 0;  // how often a running fit would have been stopped
    ModelStateGridDocument grid{d, parts, [this] { ++stops; }};

    // Baseline, a Lorentz line, a 1000-point distribution of Lorentz lines; one
    // expression; a clean history.
    void SetUp() override
    {
        document_test::add(d, SubSpecFactory::instance().create_baseline(&iron(), 1e5));
        document_test::add(d, create(LorenzLine::catalogue_name));
        document_test::add(d, make_distribution(create(LorenzLine::catalogue_name), 1000, {1}));
        d.add_expression(0, L"three", L"1+2");
        d.set_param(d.model.components[1]->first + 1, 0.25 + 1.0 / 3.0);
        // No fit yet: the fit values are the values, as for a pasted component.
        d.fit_values = d.values;
        d.model_history.clear();
    }
    ModelGridCells cells() const
    {
        ModelGridOptions options;
        options.editable = options.parameter_mode = true;
        return ModelGridCells(grid.source(), options);
    }
    std::size_t steps() const { return d.model_history.records().size(); }
    // One undo takes the document back to `before`.
    void expect_undo_restores(const Snapshot& before)
    {
        d.model_history.undo(d);
        EXPECT_TRUE(Snapshot(d).model_part_equals(before)) << Snapshot(d).difference(before);
    }
    std::vector<std::wstring> type_names() const
    {
        std::vector<std::wstring> names;
        for (const auto& c : d.model.components) names.push_back(c->subspec->display_name());
        return names;
    }
    // The same numbers, flags, component types and expressions as `before`; a pasted
    // component is a new object.
    void expect_same_model(const Snapshot& before, const std::vector<std::wstring>& names) const
    {
        const Snapshot now(d);
        EXPECT_TRUE(document_test::same_doubles(now.values, before.values));
        EXPECT_TRUE(document_test::same_doubles(now.fit_values, before.fit_values));
        EXPECT_TRUE(document_test::same_doubles(now.lower, before.lower));
        EXPECT_TRUE(document_test::same_doubles(now.upper, before.upper));
        EXPECT_EQ(now.flags, before.flags);
        EXPECT_EQ(now.expressions, before.expressions);
        EXPECT_EQ(type_names(), names);
    }
};

TEST_F(GridDocument, EachEditAndPadlockClickIsOneUndoStep)
{
    const unsigned k = d.model.components[1]->first;  // the line's first parameter, column 3
    struct Case {
        const char* what;
        std::function<void()> act;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"typed value", [&] { EXPECT_TRUE(cells().commit(1, 3, L"1,5", grid.commits()).changed); },
         [&] { EXPECT_EQ(d.values(k), 1.5); }},
        {"copied cell", [&] { EXPECT_TRUE(cells().commit(1, 3, L"A=2", grid.commits()).changed); },
         [&] { EXPECT_EQ(d.values(k), 2.0); }},
        {"free padlock", [&] { EXPECT_TRUE(cells().image_click(1, 3, grid.commits())); },
         [&] { EXPECT_EQ(d.flags[k] & ParamFree, 0); }},
        {"component padlock", [&] { EXPECT_TRUE(cells().image_click(1, 1, grid.commits())); },
         [&] {
             const SubModel& c = *d.model.components[1];
             for (unsigned j = c.first; j < c.first + c.count; ++j) EXPECT_TRUE(d.flags[j] & ParamLocked) << j;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Snapshot before(d);
        const int stops_before = stops;
        c.act();
        c.check();
        EXPECT_EQ(stops, stops_before + 1);
        ASSERT_EQ(steps(), 1u);
        expect_undo_restores(before);
        EXPECT_FALSE(d.model_history.can_undo());
    }
    // A refused text changes nothing and records nothing.
    const CellCommit refused = cells().commit(1, 3, L"2abc", grid.commits());
    EXPECT_FALSE(refused.changed);
    EXPECT_FALSE(refused.error.empty());
    EXPECT_FALSE(d.model_history.can_undo());
}

TEST_F(GridDocument, CutAndPasteOfAComponentAndAnExpressionAreOneStepEach)
{
    const Snapshot original(d);
    const std::vector<std::wstring> names = type_names();
    RowClip clip;
    const auto copy = [&](const RowClip& c) { clip = c; return true; };

    // The line: cut and undone, cut again and pasted back at its row, one step each.
    ASSERT_TRUE(cut_row(grid, 1, copy));
    EXPECT_EQ(clip.format, std::wstring(component_clipboard_format));
    EXPECT_EQ(d.model.component_count(), 2u);
    EXPECT_EQ(steps(), 1u);
    const Snapshot cut(d);
    expect_undo_restores(original);
    d.model_history.redo(d);
    EXPECT_EQ(paste_row(grid, 1, clip.text, std::nullopt), 1);
    EXPECT_EQ(steps(), 2u);
    expect_same_model(original, names);
    expect_undo_restores(cut);

    // The expression likewise: the last row, pasted as the first expression.
    d.model_history.redo(d);
    d.model_history.clear();
    const Snapshot again(d);
    ASSERT_TRUE(cut_row(grid, 3, copy));
    EXPECT_EQ(clip.format, std::wstring(expression_clipboard_format));
    EXPECT_EQ(clip.text, L"three=1+2");
    EXPECT_TRUE(d.model.expressions.empty());
    EXPECT_EQ(paste_row(grid, 0, std::nullopt, clip.text), 3);
    EXPECT_TRUE(Snapshot(d).model_part_equals(again)) << Snapshot(d).difference(again);
    EXPECT_EQ(steps(), 2u);
    EXPECT_EQ(stops, 4);
}

TEST_F(GridDocument, TheThousandPointDistributionRoundTripsThroughItsLine)
{
    const std::wstring line = row_clip_text(grid, 2, true)->text;
    ASSERT_GT(line.size(), 16383u);  // longer than the old paste limit
    ModelState other;
    ModelStateGridDocument other_grid(other, parts);
    EXPECT_EQ(paste_row(other_grid, 0, line, std::nullopt), 0);
    ASSERT_EQ(other.model.component_count(), 1u);
    ASSERT_NE(other.model.components[0]->distribution(), nullptr);
    EXPECT_EQ(other.model.components[0]->distribution()->point_count(), 1000u);
    const SubModel& c = *d.model.components[2];
    ASSERT_EQ(other.values.size(), c.count);
    for (unsigned j = 0; j < c.count; ++j) {
        EXPECT_TRUE(document_test::same_bits(other.values(j), d.values(c.first + j))) << j;
        EXPECT_TRUE(document_test::same_bits(other.lower_bounds(j), d.lower_bounds(c.first + j))) << j;
        EXPECT_TRUE(document_test::same_bits(other.upper_bounds(j), d.upper_bounds(c.first + j))) << j;
        EXPECT_EQ(other.flags[j], d.flags[c.first + j]) << j;
    }
    EXPECT_EQ(other.model_history.records().size(), 1u);
    // The fit values go when asked for: the copy of the fit-result grid.
    d.fit_values(c.first + 1) = 7.0;
    EXPECT_NE(row_clip_text(grid, 2, false)->text, line);
}

TEST_F(GridDocument, APastedBaselineReplacesTheLeadingOneInOneStep)
{
    const std::wstring line = row_clip_text(grid, 0, true)->text;
    d.set_param(0, 123.0);
    d.model_history.clear();
    const Snapshot before(d);
    EXPECT_EQ(paste_row(grid, 3, line, std::nullopt), 0);
    EXPECT_EQ(d.model.component_count(), 3u);
    EXPECT_NE(d.values(0), 123.0);
    EXPECT_EQ(steps(), 1u);
    expect_undo_restores(before);
}

TEST_F(GridDocument, ComponentTextsThatMakeNoComponentChangeNothing)
{
    const std::wstring line = row_clip_text(grid, 1, true)->text;
    const std::wstring params = line.substr(line.find(L':') + 1);
    const Snapshot before(d);
    for (const std::wstring& text : {L"No such model:" + params, std::wstring(LorenzLine::catalogue_name) + L" (99Zz):" + params,
                                     std::wstring(LorenzLine::catalogue_name) + L": A=1 nonsense=2",
                                     std::wstring(L"[D] FreeVar: a=1")}) {
        SCOPED_TRACE(std::string(text.begin(), text.begin() + std::min<std::size_t>(text.size(), 40)));
        EXPECT_EQ(paste_row(grid, 1, text, L"x=1"), -1);  // and the expression is not tried
        EXPECT_TRUE(Snapshot(d) == before);
        EXPECT_EQ(steps(), 0u);
    }
    EXPECT_EQ(stops, 0);
    // A named isotope of the table is taken.
    EXPECT_EQ(paste_row(grid, 1, std::wstring(LorenzLine::catalogue_name) + L" (57Fe):" + params, std::nullopt), 1);
}

TEST_F(GridDocument, PastedComponentsComeWithoutTheirLinks)
{
    const unsigned shift = 1;  // the line's position follows half the baseline's first parameter
    d.add_link({0, 0, LinkToParam, 1, shift, 0.5});
    const std::wstring line = row_clip_text(grid, 1, true)->text;
    ASSERT_NE(line.find(L"L0.5*1.0"), std::wstring::npos);
    EXPECT_EQ(paste_row(grid, 2, line, std::nullopt), 2);
    ParamLink link;
    EXPECT_TRUE(d.model.components[1]->get_link(shift, link));
    EXPECT_FALSE(d.model.components[2]->get_link(shift, link));
}

} // namespace
