// Adding, deleting and editing components on a real document with the program's
// catalogue: the default baseline first, where a new component goes, distributions,
// each change one undo step, Cancel and errors changing nothing; and the isotope
// information's numbers.
#include "ui/logic/component_commands.h"

#include <gtest/gtest.h>

#include "core/document/change_records.h"
#include "core/document/component_copy.h"
#include "core/model/expr.h"
#include "core/text/ui_seam.h"
#include "catalogue/sub_spec_factory.h"
#include "subspec/free_var.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/scripted_user_interface.h"
#include "ui/logic/dist_params_form.h"

namespace {

class ComponentCommands : public ::testing::Test {
protected:
    static unsigned entry(const wchar_t* name) { return SubSpecFactory::instance().index_of(name); }
    const std::wstring& name_of(unsigned component) const
    {
        names_.push_back(d.model.components.at(component)->subspec->display_name());
        return names_.back();
    }
    // Adds through the command as the menu item would, with the selected row.
    bool add(const wchar_t* name, int row = -1, bool distribution = false)
    {
        return add_catalogue_entry(d, SubSpecFactory::instance(), entry(name), &test_support::iron(), distribution,
                                   row, L"", choose, [this](const std::string& e) { errors.push_back(e); });
    }
    std::size_t records() const { return d.model_history.records().size(); }

    ModelState d;
    // The property editor: renames the free variable and answers `edit_result`
    // (1 confirms, anything else cancels).
    int edit_result = 1;
    test_support::ScriptedUserInterface editor{[this](KeywordList& list) {
        kwlist_set(list, L"Name", L"shared");
        return edit_result;
    }};
    std::vector<std::string> errors;
    // The distribution dialog: every offered row ticked, `points` points, or Cancel.
    std::optional<unsigned> points = 10u;
    std::vector<unsigned> shown_points;
    ChooseDistribution choose = [this](ISubSpec& inner, unsigned present, bool&) -> std::optional<DistributionChoice> {
        shown_points.push_back(present);
        if (!points) return std::nullopt;
        DistributionChoice choice{*points, {}};
        for (const DistParamRow& row : distribution_param_rows(inner)) choice.varying.push_back(row.index);
        return choice;
    };

private:
    mutable std::vector<std::wstring> names_;
};

TEST_F(ComponentCommands, TheFirstComponentBringsTheDefaultBaselineWhichIsNoChange)
{
    ASSERT_TRUE(add(L"PseudoVoigt sextet"));
    ASSERT_EQ(d.model.component_count(), 2u);
    EXPECT_TRUE(d.model.components[0]->is_baseline());
    EXPECT_EQ(name_of(1), L"PseudoVoigt sextet (57Fe)");
    EXPECT_EQ(records(), 2u);
    EXPECT_TRUE(d.model_history.is_modified());
    // One undo takes the sextet away; the model is as untouched as before.
    d.model_history.undo(d);
    EXPECT_EQ(d.model.component_count(), 1u);
    EXPECT_FALSE(d.model_history.is_modified());
    EXPECT_TRUE(errors.empty());
}

TEST_F(ComponentCommands, ABaselineReplacesTheLeadingOneInOneStep)
{
    add(L"Lorentz singlet");
    const std::wstring before = name_of(0);
    const std::size_t steps = records();
    ASSERT_TRUE(add(L"Baseline"));
    EXPECT_EQ(records(), steps + 1);
    EXPECT_EQ(d.model.component_count(), 2u);
    EXPECT_EQ(name_of(0), L"Baseline");
    EXPECT_NE(before, L"Baseline");
    d.model_history.undo(d);
    EXPECT_EQ(name_of(0), before);
    EXPECT_EQ(d.model.component_count(), 2u);
}

TEST_F(ComponentCommands, ANewComponentFollowsTheSelectedComponentElseGoesLast)
{
    add(L"Lorentz singlet");
    add(L"PseudoVoigt doublet");
    d.add_expression(0, L"A", L"[1:I]*2");
    add(L"Voigt singlet", 1);  // the second of three components selected
    EXPECT_EQ(name_of(2), L"Voigt singlet");
    add(L"PseudoVoigt singlet", 4 + 0);  // the expression row
    EXPECT_EQ(name_of(4), L"PseudoVoigt singlet");
    for (const auto& [n, row, position] : std::vector<std::tuple<unsigned, int, unsigned>>{
             {0, -1, 0}, {3, -1, 3}, {3, 0, 1}, {3, 2, 3}, {3, 3, 3}, {3, 7, 3}})
        EXPECT_EQ(insertion_position(n, row), position) << n << " " << row;
}

TEST_F(ComponentCommands, DistributionsTakeTheDialogsChoiceAndCancelAddsNothing)
{
    add(L"Lorentz singlet");
    ASSERT_TRUE(add(L"PseudoVoigt doublet", -1, true));
    const IDistribution* dist = d.model.components.back()->distribution();
    ASSERT_NE(dist, nullptr);
    EXPECT_EQ(dist->point_count(), 10u);
    EXPECT_EQ(shown_points, (std::vector<unsigned>{0}));
    const std::size_t steps = records();
    const unsigned n = d.model.component_count();
    points.reset();
    EXPECT_FALSE(add(L"PseudoVoigt doublet", -1, true));
    EXPECT_EQ(records(), steps);
    EXPECT_EQ(d.model.component_count(), n);
    EXPECT_TRUE(errors.empty());
}

TEST_F(ComponentCommands, FailuresAreReportedAndAddNothing)
{
    add(L"Lorentz singlet");
    const std::size_t steps = records();
    // A separator; and an index beyond the catalogue.
    EXPECT_FALSE(add_catalogue_entry(d, SubSpecFactory::instance(), 3, &test_support::iron(), false, -1, L"", choose,
                                     [this](const std::string& e) { errors.push_back(e); }));
    EXPECT_EQ(errors, (std::vector<std::string>{"Can't create a dummy model"}));
    EXPECT_FALSE(add_catalogue_entry(d, SubSpecFactory::instance(), SubSpecFactory::instance().size(), nullptr,
                                     false, -1, L"", choose, [](const std::string&) { FAIL(); }));
    // A sextet needs an isotope.
    EXPECT_FALSE(add_catalogue_entry(d, SubSpecFactory::instance(), entry(L"PseudoVoigt sextet"), nullptr, false,
                                     -1, L"", choose, [this](const std::string& e) { errors.push_back(e); }));
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_EQ(records(), steps);
}

TEST_F(ComponentCommands, DeleteTakesComponentsAndExpressionsButNeverTheBaseline)
{
    add(L"Lorentz singlet");
    add(L"PseudoVoigt doublet");
    d.add_expression(0, L"A", L"2");
    const std::size_t steps = records();
    EXPECT_EQ(delete_model_row(d, -1), DeletedRow::nothing);
    EXPECT_EQ(delete_model_row(d, 0), DeletedRow::nothing);
    EXPECT_EQ(delete_model_row(d, 4), DeletedRow::nothing);
    EXPECT_EQ(records(), steps);
    EXPECT_EQ(delete_model_row(d, 3), DeletedRow::expression);
    EXPECT_TRUE(d.model.expressions.empty());
    EXPECT_EQ(delete_model_row(d, 1), DeletedRow::component);
    EXPECT_EQ(name_of(1), L"PseudoVoigt doublet");
    EXPECT_EQ(records(), steps + 2);
    d.model_history.undo(d);
    d.model_history.undo(d);
    EXPECT_EQ(name_of(1), L"Lorentz singlet");
    EXPECT_EQ(d.model.expressions.size(), 1u);
}

TEST_F(ComponentCommands, PropertiesAreOneStepOnACopyAndCancelChangesNothing)
{
    d.add_component(0, SpectrumAnalysis(), SubSpecFactory::instance().create_at(entry(L"FreeVar"), nullptr), true);
    const SubSpecPtr original = d.model.components[0]->subspec;
    const auto name = [&] { return dynamic_cast<const ISubSpecDesc&>(*d.model.components[0]->subspec).description(); };
    ASSERT_TRUE(component_has_properties(d, 0));
    const std::size_t steps = records();
    edit_result = 2;
    EXPECT_FALSE(edit_component(d, 0, choose));
    EXPECT_EQ(records(), steps);
    edit_result = 1;
    ASSERT_TRUE(edit_component(d, 0, choose));
    EXPECT_EQ(records(), steps + 1);
    EXPECT_EQ(name(), L"shared");
    // The object views held until then was never changed.
    EXPECT_EQ(dynamic_cast<const ISubSpecDesc&>(*original).description(), L"");
    d.model_history.undo(d);
    EXPECT_EQ(d.model.components[0]->subspec, original);
    d.model_history.redo(d);
    EXPECT_EQ(name(), L"shared");
}

// The level count of a many-state model: a confirmed edit is one step that the model's
// variables follow; a value without digits or a removed key changes nothing and adds
// no step.
TEST_F(ComponentCommands, TheLevelCountIsEditedAllOrNothingInOneStep)
{
    ASSERT_TRUE(add(L"Many-state superparamagnetic relaxation"));
    const auto levels = [&] { return dynamic_cast<const ISubSpecDesc&>(*d.model.components[1]->subspec).description(); };
    const auto spin = [&] { return Expr::create(L"[1:S]", d.model)->value(d.values); };
    const auto stored = [&] { return dynamic_cast<const ISubSpecData&>(*d.model.components[1]->subspec).save_extra(); };
    EXPECT_EQ(levels(), L"101");
    EXPECT_EQ(spin(), 50.0);
    const std::wstring before = stored();
    const std::size_t steps = records();

    editor.edit = [](KeywordList& list) {
        kwlist_set(list, L"Levels (2S+1)", L"7");
        return 1;
    };
    ASSERT_TRUE(edit_component(d, 1, choose));
    EXPECT_EQ(records(), steps + 1);
    EXPECT_EQ(levels(), L"7");
    EXPECT_EQ(spin(), 3.0);
    d.model_history.undo(d);
    EXPECT_EQ(levels(), L"101");
    EXPECT_EQ(spin(), 50.0);
    const std::size_t undone = records();

    editor.edit = [](KeywordList& list) {
        kwlist_set(list, L"Levels (2S+1)", L"many");
        return 1;
    };
    EXPECT_THROW(edit_component(d, 1, choose), std::runtime_error);
    editor.edit = [](KeywordList& list) {
        kwlist_remove(list, L"Levels (2S+1)");
        return 1;
    };
    EXPECT_FALSE(edit_component(d, 1, choose));
    EXPECT_EQ(records(), undone);
    EXPECT_TRUE(d.model_history.can_redo());
    EXPECT_EQ(levels(), L"101");
    EXPECT_EQ(stored(), before);
}

TEST_F(ComponentCommands, ADistributionsPropertiesChangeItsPointCountAsOneStep)
{
    add(L"Lorentz singlet", -1, true);
    ASSERT_TRUE(component_has_properties(d, 1));
    EXPECT_FALSE(component_has_properties(d, 0));
    const unsigned params = d.model.param_count();
    const std::size_t steps = records();
    EXPECT_FALSE(edit_component(d, 1, choose));  // the same count: nothing
    EXPECT_EQ(records(), steps);
    points = 25u;
    ASSERT_TRUE(edit_component(d, 1, choose));
    EXPECT_EQ(shown_points.back(), 10u);
    EXPECT_EQ(d.model.components[1]->distribution()->point_count(), 25u);
    EXPECT_EQ(d.values.size(), params + 15);
    EXPECT_EQ(records(), steps + 1);
    d.model_history.undo(d);
    EXPECT_EQ(d.model.components[1]->distribution()->point_count(), 10u);
    EXPECT_EQ(d.values.size(), params);
}

TEST_F(ComponentCommands, CopiesKeepTheDataAndReplacementsTheParameters)
{
    add(L"Lorentz singlet", -1, true);
    auto& dist = dynamic_cast<IDistribution&>(*d.model.components[1]->subspec);
    dist.set_marked_ranges({{1, 4}});
    dist.set_axis_param(0);
    const SubSpecPtr copy = copy_component_subspec(*d.model.components[1]->subspec);
    const auto& copied = dynamic_cast<const IDistribution&>(*copy);
    EXPECT_EQ(copied.point_count(), 10u);
    EXPECT_EQ(copied.marked_ranges(), dist.marked_ranges());
    EXPECT_EQ(copied.axis_param(), 0);
    // Another type, another parameter count: refused before anything changes.
    const std::size_t steps = records();
    const SubSpecPtr other = SubSpecFactory::instance().create_at(entry(L"FreeVar"), nullptr);
    EXPECT_THROW(d.change_distribution(1, other, 25), std::invalid_argument);
    EXPECT_THROW(d.change_distribution(0, SubSpecPtr(), 25), std::invalid_argument);
    EXPECT_EQ(records(), steps);
    EXPECT_EQ(d.model.components[1]->distribution()->point_count(), 10u);
}

TEST(IsotopeInformation, FiveDecimalsWithLInExponentNotation)
{
    const Isotope& fe = test_support::iron();
    const std::array<std::wstring, 9> inserts = isotope_information_inserts(fe);
    EXPECT_EQ(inserts[0], fe.name);
    wchar_t expected[64];
    std::swprintf(expected, 64, L"%.5f", 1.0 / fe.K);
    EXPECT_EQ(inserts[5], expected);
    EXPECT_NE(inserts[6].find(L'e'), std::wstring::npos);
    for (int k : {1, 2, 3, 4, 5, 7, 8}) {
        const std::wstring& s = inserts[k];
        ASSERT_NE(s.find(L'.'), std::wstring::npos) << k;
        EXPECT_EQ(s.size() - s.find(L'.'), 6u) << s;
        EXPECT_EQ(s.find(L'e'), std::wstring::npos) << s;
    }
}

} // namespace
