// Links, bounds and the expression editor without windows: which targets a parameter is
// offered, the texts of menus and dialogs, the reading of factors and bounds (strict,
// exact when unedited), insertion carets, where a text stops compiling, and the
// predefined expressions of a component.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/model/spectrum_model.h"
#include "subspec/free_var.h"
#include "tests/support/model_test_parts.h"
#include "ui/logic/expression_editor.h"
#include "ui/logic/link_fields.h"
#include "ui/logic/link_targets.h"

namespace {

using model_test::baseline;
using model_test::lorentz;

// Baseline (N₀ c v₀), two Lorentz lines (I δ Γ) and a free variable (kind 0).
SpectrumModel three_components()
{
    SpectrumModel model = model_test::model_of({baseline(), lorentz(), lorentz(), make_subspec<FreeVar>(nullptr)});
    return model;
}

constexpr double inf = std::numeric_limits<double>::infinity();

TEST(LinkTargets, SameKindOrKindZeroAndNeverLinkedNorItself)
{
    SpectrumModel model = three_components();
    // δ of line 1: the other δ and the free variable; not itself, not I or Γ.
    EXPECT_EQ(list_link_targets(model, 1, 1),
              (std::vector<LinkTarget>{{2, 1, LinkToParam}, {3, 0, LinkToParam}}));
    // The free variable (kind 0) takes only kind-0 targets: none but expressions.
    EXPECT_TRUE(list_link_targets(model, 3, 0).empty());
    // A linked parameter is no target.
    model_test::link_param(model, 2, 1, 1, 1, 1.0);
    EXPECT_EQ(list_link_targets(model, 1, 1), (std::vector<LinkTarget>{{3, 0, LinkToParam}}));
}

TEST(LinkTargets, ExpressionsThatCompileAndReadOnlyOtherUnlinkedParameters)
{
    SpectrumModel model = three_components();
    model.insert_expression(0, L"twice", L"2*[2:δ]");      // reads line 2's δ
    model.insert_expression(1, L"own", L"[1:δ]+1");         // reads the parameter being linked
    model.insert_expression(2, L"", L"3.5");                // reads nothing
    model.insert_expression(3, L"broken", L"[9:x]+");       // does not compile
    model.insert_expression(4, L"via", L"<own>*2");         // reads it through another expression
    const auto targets = list_link_targets(model, 1, 1);
    std::vector<LinkTarget> expressions;
    for (const LinkTarget& t : targets)
        if (t.kind == LinkToExpr) expressions.push_back(t);
    EXPECT_EQ(expressions, (std::vector<LinkTarget>{{0, 0, LinkToExpr}, {2, 0, LinkToExpr}}));
    // Once line 2's δ is linked, "twice" reads a linked parameter.
    model_test::link_param(model, 2, 1, 3, 0, 1.0);
    for (const LinkTarget& t : list_link_targets(model, 1, 1)) EXPECT_FALSE(t.kind == LinkToExpr && t.component == 0);
}

TEST(LinkTargets, MenuAndDialogTexts)
{
    SpectrumModel model = three_components();
    model.insert_expression(0, L"", L"1");
    model.insert_expression(1, L"x²", L"2");
    EXPECT_EQ(link_target_menu_text(model, {0, 0, LinkToParam}), L"[0]N0");
    EXPECT_EQ(link_target_menu_text(model, {0, 0, LinkToExpr}), L"<E0>");
    EXPECT_EQ(link_target_menu_text(model, {1, 0, LinkToExpr}), L"x2");
    EXPECT_EQ(link_dependent_text(model, 2, 1), L"[2] δ = ");
    EXPECT_EQ(link_target_text(model, {1, 1, LinkToParam}), L" × [1]δ");
    model_test::link_param(model, 1, 2, 1, 0, 2.0);  // within its own component: no number
    EXPECT_EQ(link_existing_target_text(model, 1, 2), L" × I");
    model_test::link_param(model, 2, 2, 1, 2, 2.0);
    EXPECT_EQ(link_existing_target_text(model, 2, 2), L" × [1]Γ");
    EXPECT_EQ(normalize_script_text(L"N₀ x⁻¹ ³ ²"), L"N0 x-1 3 2");
}

TEST(LinkFields, FactorsShownRoundedAreKeptExactlyUnlessEditedAndReadStrictly)
{
    const RoundedField field = factor_field(1.23456789);
    EXPECT_EQ(field.shown, L"1.23");
    EXPECT_EQ(read_factor(field, L"1.23"), 1.23456789);  // unedited: exact
    EXPECT_EQ(read_factor(field, L"1.230"), 1.23);       // edited: as typed
    struct Case {
        const wchar_t* text;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {L"0", 0.0},       {L" 2.5\t", 2.5},   {L"-3e2", -300.0}, {L"-0", std::nullopt},
        {L"", std::nullopt}, {L"1O", std::nullopt}, {L"2 x", std::nullopt}, {L"1,5", std::nullopt},
        {L"inf", std::nullopt}, {L"nan", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(read_factor(field, c.text), c.expected) << std::wstring(c.text).c_str();
}

TEST(LinkFields, BoundsShownWithThreeDecimalsAreKeptExactlyAndInfinitiesInAnyCase)
{
    EXPECT_EQ(bound_field(-inf).shown, L"-inf");
    EXPECT_EQ(bound_field(inf).shown, L"inf");
    const RoundedField lower = bound_field(0.0012345);
    EXPECT_EQ(lower.shown, L"0.001");
    EXPECT_EQ(read_bound(lower, L"0.001"), 0.0012345);
    EXPECT_EQ(read_bound(bound_field(-inf), L"-inf"), -inf);
    struct Case {
        const wchar_t* text;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {L"INF", inf},  {L"-Inf", -inf}, {L" 1.5 ", 1.5},      {L"1O", std::nullopt},
        {L"1.5 mm", std::nullopt}, {L"", std::nullopt}, {L"nan", std::nullopt}, {L"-", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(read_bound(lower, c.text), c.expected) << std::wstring(c.text).c_str();
    EXPECT_TRUE(bounds_in_order(-inf, 0.0));
    EXPECT_FALSE(bounds_in_order(1.0, 1.0));
    EXPECT_FALSE(bounds_in_order(2.0, 1.0));
}

TEST(ExpressionEditor, ParameterListOperationsAndConstants)
{
    SpectrumModel model = model_test::model_of({baseline(), lorentz()});
    model.insert_expression(0, L"sum", L"[1:I]+1");
    EXPECT_EQ(expression_parameter_items(model),
              (std::vector<std::wstring>{L"[0:N0]", L"[0:c]", L"[0:v0]", L"[1:I]", L"[1:δ]", L"[1:Γ]", L"<sum>"}));
    const auto& operations = expression_operation_items();
    ASSERT_EQ(operations.size(), 18u);
    EXPECT_EQ(operations.front(), L"+");
    EXPECT_EQ(operations.back(), L"K()");

    const auto plain = expression_constant_items(nullptr);
    ASSERT_EQ(plain.size(), 7u);
    EXPECT_EQ(plain[0].symbol, L"c");
    EXPECT_EQ(plain[0].tip, L"2.99792458e+08 m/s");
    EXPECT_EQ(plain[6].symbol, L"π");
    EXPECT_EQ(plain[6].tip, L"3.14159...");
    Isotope fe;
    fe.Eγ = 14.4125;
    fe.K = 0.5;
    const auto all = expression_constant_items(&fe);
    ASSERT_EQ(all.size(), 15u);
    EXPECT_EQ(all[7].symbol, L"Eγ");
    EXPECT_EQ(all[7].tip, L"14.4125 keV");
    EXPECT_EQ(all[14].symbol, L"K");
    EXPECT_EQ(all[14].tip, L"2 kOe/(mm/s)");
    // Every offered constant compiles with the isotope the editor was given.
    model.isotope = &fe;
    for (const ConstantItem& item : all) EXPECT_FALSE(check_expression(item.symbol, model)) << item.tip.size();
}

TEST(ExpressionEditor, TheCaretGoesAfterTheInsertionOrBetweenItsParentheses)
{
    EXPECT_EQ(caret_after_insert(3, L"[1:I]"), 8u);
    EXPECT_EQ(caret_after_insert(0, L"sin()"), 4u);
    EXPECT_EQ(caret_after_insert(2, L"K()"), 4u);
    EXPECT_EQ(caret_after_insert(5, L"π"), 6u);
}

TEST(ExpressionEditor, ErrorsAreReportedWhereTheTextStopsReading)
{
    SpectrumModel model = model_test::model_of({baseline(), lorentz()});
    model.insert_expression(0, L"sum", L"[1:I]+1");
    struct Case {
        const wchar_t* text;
        std::optional<std::size_t> position;
    };
    const Case cases[] = {
        {L"2*[1:I]+<sum>", std::nullopt},
        {L"[0:N0]", std::nullopt},  // plain digits for script ones
        {L"1+*2", 2},           // the second operator
        {L"sin(1+", 6},         // complete but for its end
        {L"[1:I]+[1:X]", 6},    // an unknown parameter
        {L"1+2)", 3},           // a parenthesis too many
        {L"bogus", 0},
        {L"", 0},
    };
    for (const Case& c : cases) {
        const auto error = check_expression(c.text, model);
        ASSERT_EQ(error.has_value(), c.position.has_value()) << std::wstring(c.text).size();
        if (error) {
            EXPECT_EQ(error->position, *c.position) << std::wstring(c.text).size();
        }
    }
}

TEST(ExpressionEditor, PredefinedItemsLoseTheirBracketsAndStopAt99)
{
    const ModelExpressionList entries{{L"H₀", L"[a]*2"}, {L"b", L"[x]+[y]"}};
    EXPECT_EQ(predefined_expression_items(entries), (std::vector<std::wstring>{L"H0:\ta*2", L"b:\tx+y"}));
    EXPECT_EQ(predefined_expression_items(ModelExpressionList(150, {L"n", L"1"})).size(), 99u);
}

} // namespace
