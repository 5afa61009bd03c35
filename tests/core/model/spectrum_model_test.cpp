// The model's components and parameter layout, link upkeep when components and user
// expressions come and go, the one-pass link recomputation, component colours and the
// renumbering of component references in expression texts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/model/spectrum_model.h"
#include "tests/support/model_test_parts.h"

// Found by gtest through the argument type's (global) namespace.
static void PrintTo(const LinkSpec& s, std::ostream* os)
{
    *os << "{" << s.target_component << ", " << s.target_param << ", kind " << s.kind << ", dep "
        << s.dependent_component << ":" << s.dependent_param << ", " << s.factor << "}";
}

namespace {

using namespace model_test;

const ParamLink& link_at(const SpectrumModel& model, unsigned component, unsigned param)
{
    return model.components[component]->links[param];
}

// ---- Layout ----

TEST(SpectrumModelLayout, EmptyModel)
{
    SpectrumModel model;
    EXPECT_EQ(model.total_param_count, 0u);
    EXPECT_FALSE(model.has_components());
    EXPECT_FALSE(model.starts_with_baseline());
    EXPECT_EQ(model.scale, -1.0);
    EXPECT_FALSE(model.is_emission());
    EXPECT_THROW(model.component_of_param(0), std::runtime_error);
}

TEST(SpectrumModelLayout, SlicesAreContiguousInComponentOrderAfterInsertions)
{
    SpectrumModel model;
    model.insert_component(0, lorentz());
    model.insert_component(0, baseline());
    model.insert_component(1, SubSpecPtr(new ThrowingSubSpec(0.0)));
    model.insert_component(3, lorentz());
    // baseline (3), one-parameter component (1), two singlets (3 each)
    ASSERT_EQ(model.component_count(), 4u);
    EXPECT_EQ(model.total_param_count, 10u);
    EXPECT_EQ(model.param_count(), 10u);
    EXPECT_TRUE(model.starts_with_baseline());
    const unsigned firsts[] = {0, 3, 4, 7};
    for (unsigned k = 0; k < 4; ++k) {
        EXPECT_EQ(model.components[k]->first, firsts[k]);
        EXPECT_EQ(model.components[k]->index, k);
        EXPECT_EQ(model.components[k]->links.size(), model.components[k]->count);
    }
    for (unsigned p = 0; p < 10; ++p) {
        const SubModel& c = model.component_of_param(p);
        EXPECT_TRUE(c.first <= p && p < c.first + c.count) << p;
    }
    try {
        model.component_of_param(10);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Invalid variable index");
    }
    EXPECT_THROW(model.insert_component(5, lorentz()), std::out_of_range);
    EXPECT_EQ(model.component_count(), 4u);
}

TEST(SpectrumModelLayout, CopiesShareComponents)
{
    SpectrumModel model = model_of({baseline(), lorentz()});
    model.scale = 2.5;
    model.xranges.push_back({-1.0, 1.0});
    SpectrumModel copy(model);
    EXPECT_EQ(copy.components[1].get(), model.components[1].get());
    EXPECT_EQ(copy.total_param_count, 6u);
    EXPECT_EQ(copy.scale, 2.5);
    double from, to;
    copy.get_xrange(0, from, to);
    EXPECT_EQ(from, -1.0);
    EXPECT_EQ(to, 1.0);
    EXPECT_THROW(copy.get_xrange(1, from, to), std::out_of_range);

    copy.assign(copy);
    EXPECT_EQ(copy.component_count(), 2u);
    SpectrumModel other;
    other.assign(model);
    EXPECT_EQ(other.components[0].get(), model.components[0].get());
}

TEST(SpectrumModelLayout, AutomaticBaselineTakesTheModelLevel)
{
    SpectrumModel model;
    model.level = 12345.0;
    model.insert_component(0, auto_baseline());
    EXPECT_EQ(dynamic_cast<IAutoBaseLine&>(*model.components[0]->subspec).get_level(), 12345.0);

    set_auto_baseline_level(*model.components[0]->subspec, 7.0);
    EXPECT_EQ(dynamic_cast<IAutoBaseLine&>(*model.components[0]->subspec).get_level(), 7.0);
    SubSpecPtr plain = baseline();
    try {
        set_auto_baseline_level(*plain, 1.0);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "SubSpec is not an auto baseline, can't set N0");
    }
}

// ---- Parameter links ----

TEST(SpectrumModelLinks, InsertionAndRemovalKeepParameterLinks)
{
    SpectrumModel model = model_of({baseline(), lorentz(), lorentz(), lorentz(), lorentz()});
    link_param(model, 1, 0, 2, 1, 0.5);   // → component 2
    link_param(model, 3, 2, 4, 2, 2.0);   // → component 4
    link_param(model, 4, 1, 1, 1, 1.0);   // → component 1
    link_expr(model, 3, 0, 0, 1.0);       // an expression link is not touched

    model.insert_component(1, lorentz());
    EXPECT_EQ(link_at(model, 2, 0).target_component, 3u);  // moved with its component
    EXPECT_EQ(link_at(model, 2, 0).target_param, 1u);
    EXPECT_EQ(link_at(model, 4, 2).target_component, 5u);
    EXPECT_EQ(link_at(model, 5, 1).target_component, 2u);
    EXPECT_EQ(link_at(model, 4, 0).kind, LinkToExpr);
    EXPECT_EQ(link_at(model, 4, 0).target_component, 0u);

    // The document removes a component with these primitives: component 3 goes.
    model.components.erase(model.components.begin() + 3);
    model.shift_param_links(3, true);
    model.layout_params();
    const ParamLink& lost = link_at(model, 2, 0);
    EXPECT_EQ(lost.kind, NotLinked);
    EXPECT_EQ(lost.target_component, 3u);  // target and factor stay
    EXPECT_EQ(lost.factor, 0.5);
    EXPECT_EQ(link_at(model, 3, 2).target_component, 4u);  // was 5
    EXPECT_EQ(link_at(model, 4, 1).target_component, 2u);  // before the removed one
    EXPECT_EQ(model.total_param_count, 15u);
}

TEST(SpectrumModelLinks, DependentMaskAndLinkQuery)
{
    SpectrumModel model = model_of({baseline(), lorentz()});
    link_param(model, 1, 2, 1, 0, 1.5);
    link_expr(model, 0, 1, 0, 1.0);
    std::vector<int> mask(2, 7);
    model.dependent_mask(mask);
    EXPECT_EQ(mask, (std::vector<int>{0, 1, 0, 0, 0, 1}));

    const SubModel& line = *model.components[1];
    ParamLink link;
    EXPECT_FALSE(line.get_link(0, link));
    ASSERT_TRUE(line.get_link(2, link));
    EXPECT_EQ(link, (ParamLink{1, 0, LinkToParam, 1.5}));
    EXPECT_THROW(line.get_link(3, link), std::out_of_range);
}

// p1 = f·p2 and p2 = g·p3 in one pass: the chain is complete only when p2 comes first.
TEST(SpectrumModelLinks, ApplyLinksFollowsComponentAndParameterOrder)
{
    const double f = 2.0, g = 3.0;
    struct Case {
        unsigned p1, p2, p3;  // flat indices in a baseline + singlet + singlet model
        double expected_p1;   // values start as index + 1
    };
    // p2 before p1: f·g·p3; p2 after p1: f·(old p2)
    const Case cases[] = {{7, 4, 0, f * g * 1.0}, {4, 7, 0, f * 8.0}};
    for (const Case& c : cases) {
        SpectrumModel model = model_of({baseline(), lorentz(), lorentz()});
        link_param(model, c.p1 / 3, c.p1 % 3, c.p2 / 3, c.p2 % 3, f);
        link_param(model, c.p2 / 3, c.p2 % 3, c.p3 / 3, c.p3 % 3, g);
        DVector values(9);
        for (unsigned i = 0; i < 9; ++i)
            values(i) = i + 1.0;
        model.apply_links(values, nullptr);
        EXPECT_EQ(values(c.p1), c.expected_p1) << c.p1;
        EXPECT_EQ(values(c.p2), g * 1.0);
    }
}

TEST(SpectrumModelLinks, ApplyLinksThroughExpressionsFillsTheirGradients)
{
    SpectrumModel model = model_of({baseline(), lorentz(), lorentz()});
    model.expressions.emplace_back(L"unused", L"[0:c]", model);
    model.expressions.emplace_back(L"product", L"[1:I]*[1:Γ]", model);
    ASSERT_TRUE(model.expressions[1].expr);
    EXPECT_EQ(model.expressions[1].used_params, (std::set<unsigned>{3, 5}));
    link_expr(model, 2, 0, 1, 0.5);

    DVector values(9, 0.0);
    values(3) = 2.0;
    values(5) = 3.0;
    ExprGradients gradients;
    model.apply_links(values, &gradients);
    EXPECT_EQ(values(6), 0.5 * 6.0);
    ASSERT_EQ(gradients.size(), 2u);
    EXPECT_EQ(gradients[0].size(), 0u);  // no link uses expression 0
    ASSERT_EQ(gradients[1].size(), 9u);
    EXPECT_EQ(gradients[1](3), 3.0);
    EXPECT_EQ(gradients[1](5), 2.0);

    values(3) = 4.0;
    model.apply_links(values, nullptr);
    EXPECT_EQ(values(6), 0.5 * 12.0);

    DVector short_values(8, 0.0);
    EXPECT_THROW(model.apply_links(short_values, nullptr), std::out_of_range);
}

TEST(SpectrumModelLinks, LinksToMissingTargetsLeaveTheValue)
{
    SpectrumModel model = model_of({baseline(), lorentz()});
    link_param(model, 1, 0, 5, 0, 2.0);  // no component 5
    link_param(model, 1, 1, 0, 3, 2.0);  // the baseline has 3 parameters
    link_expr(model, 1, 2, 0, 2.0);      // no expressions
    DVector values(6, 1.5);
    model.apply_links(values, nullptr);
    for (double v : values)
        EXPECT_EQ(v, 1.5);
}

TEST(SpectrumModelLinks, CollectComponentLinksListsAnInternalLinkTwice)
{
    SpectrumModel model = model_of({baseline(), lorentz(), lorentz(), lorentz()});
    link_param(model, 2, 0, 2, 1, 0.5);  // internal
    link_expr(model, 2, 2, 0, 1.5);
    link_param(model, 1, 1, 2, 2, 2.0);
    link_param(model, 3, 0, 1, 0, 3.0);  // not to component 2
    std::vector<LinkSpec> links{LinkSpec{}};
    model.collect_component_links(*model.components[2], links);
    const std::vector<LinkSpec> expected = {
        LinkSpec{},                                  // kept
        {2, 1, LinkToParam, 2, 0, 0.5},              // its own links
        {0, 0, LinkToExpr, 2, 2, 1.5},
        {2, 2, LinkToParam, 1, 1, 2.0},              // links to it, in model order
        {2, 1, LinkToParam, 2, 0, 0.5},
    };
    EXPECT_EQ(links, expected);
}

// ---- User expressions ----

TEST(SpectrumModelExpressions, RemovingAnExpressionShiftsLinksToLaterOnes)
{
    SpectrumModel model = model_of({baseline(), lorentz(), lorentz()});
    model.expressions.emplace_back(L"a", L"[1:I]", model);
    model.expressions.emplace_back(L"b", L"[1:δ]*[1:Γ]", model);
    link_expr(model, 2, 0, 0, 1.0);
    link_expr(model, 2, 1, 1, 2.0);
    link_param(model, 2, 2, 1, 0, 1.0);  // a parameter link keeps its target 0

    model.remove_expression(0);
    ASSERT_EQ(model.expressions.size(), 1u);
    EXPECT_EQ(model.expressions[0].name, L"b");
    EXPECT_TRUE(model.expressions[0].expr);
    EXPECT_EQ(link_at(model, 2, 0).kind, NotLinked);
    EXPECT_EQ(link_at(model, 2, 1).kind, LinkToExpr);
    EXPECT_EQ(link_at(model, 2, 1).target_component, 0u);
    EXPECT_EQ(link_at(model, 2, 2).target_component, 1u);
    EXPECT_THROW(model.remove_expression(1), std::out_of_range);

    model.shift_expr_links(0, false);  // an expression inserted before it
    EXPECT_EQ(link_at(model, 2, 1).target_component, 1u);
}

TEST(SpectrumModelExpressions, ComponentChangesRewriteAndRecompileExpressions)
{
    SpectrumModel model = model_of({baseline(), lorentz(), lorentz()});
    model.expressions.emplace_back(L"area", L"[1:I]*[2:I]", model);
    model.expressions.emplace_back(L"other", L"[1:Γ]", model);
    link_expr(model, 1, 2, 0, 1.0);
    link_expr(model, 1, 1, 1, 1.0);
    EXPECT_EQ(model.expressions[0].used_params, (std::set<unsigned>{3, 6}));

    model.insert_component(2, lorentz());
    EXPECT_EQ(model.expressions[0].text, L"[1:I]*[3:I]");
    EXPECT_EQ(model.expressions[0].used_params, (std::set<unsigned>{3, 9}));

    // The document's removal of component 3 (the second singlet of the original model).
    model.components.erase(model.components.begin() + 3);
    model.shift_param_links(3, true);
    model.layout_params();
    model.rewrite_expression_refs(3, true);
    model.unlink_uncompiled_expressions();
    EXPECT_EQ(model.expressions[0].text, L"[1:I]*[?:I]");
    EXPECT_FALSE(model.expressions[0].expr);
    EXPECT_TRUE(model.expressions[0].used_params.empty());
    const ParamLink& unlinked = link_at(model, 1, 2);
    EXPECT_EQ(unlinked.kind, NotLinked);
    EXPECT_EQ(unlinked.target_component, 0u);
    EXPECT_EQ(unlinked.factor, 0.0);
    EXPECT_EQ(link_at(model, 1, 1).kind, LinkToExpr);  // "[1:Γ]" still compiles
}

TEST(SpectrumModelExpressions, LinksToATextThatDoesNotCompileAreRemoved)
{
    SpectrumModel model = model_of({baseline(), lorentz()});
    model.expressions.emplace_back(L"a", L"[1:I]*", model);
    EXPECT_FALSE(model.expressions[0].expr);
    link_expr(model, 1, 1, 0, 1.0);
    model.unlink_uncompiled_expressions();
    EXPECT_EQ(link_at(model, 1, 1).kind, NotLinked);
}

TEST(SpectrumModelExpressions, RewriteComponentRefs)
{
    struct Case {
        const wchar_t* text;
        unsigned index;
        bool deleting;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"[1:I]+[2:I]+[3:I]", 2, true, L"[1:I]+[?:I]+[2:I]"},
        {L"[1:I]+[2:I]+[3:I]", 2, false, L"[1:I]+[3:I]+[4:I]"},
        {L"[0:N₀]*2", 0, false, L"[1:N₀]*2"},
        {L"[10:Γ]-[9:Γ]", 9, true, L"[9:Γ]-[?:Γ]"},
        {L"[x:1] [:1] [5] [7 :I] a[ [", 0, false, L"[x:1] [:1] [5] [7 :I] a[ ["},
        {L"[99999999999:I]", 0, false, L"[99999999999:I]"},
        {L"[[2:I]", 1, false, L"[[3:I]"},
        {L"", 0, true, L""},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(SpectrumModel::rewrite_component_refs(cases[i].text, cases[i].index, cases[i].deleting),
                  cases[i].expected)
            << "case " << i;
}

// ---- Colours ----

TEST(SpectrumModelColors, PaletteThenPseudoRandom)
{
    EXPECT_EQ(subspectrum_color(0), 0xC0C0C0u);
    EXPECT_EQ(subspectrum_color(1), 0x0000FFu);
    EXPECT_EQ(subspectrum_color(5), 0x0A6CFFu);
    EXPECT_EQ(subspectrum_color(6), subspectrum_color(0));

    std::srand(1);
    SpectrumModel model;
    for (int k = 0; k < 7; ++k)
        model.insert_component(model.component_count(), lorentz());
    for (unsigned k = 0; k < 6; ++k)
        EXPECT_EQ(model.color_of(k), subspectrum_color(k)) << k;
    bool in_palette = false;
    for (unsigned i = 0; i < 6; ++i)
        in_palette = in_palette || model.color_of(6) == subspectrum_color(i);
    EXPECT_TRUE(in_palette);
    EXPECT_EQ(model.color_of(7), subspectrum_color(0));

    // Once the palette is used up, every palette colour can come (whatever RAND_MAX).
    std::set<COLORREF> drawn;
    for (int k = 0; k < 60; ++k)
        drawn.insert(next_component_color(model.components));
    EXPECT_GE(drawn.size(), 4u);

    // A colour freed by a removal is the next one given.
    model.components.erase(model.components.begin() + 2);
    model.components.erase(model.components.begin() + 5);
    model.layout_params();
    model.insert_component(0, lorentz());
    EXPECT_EQ(model.color_of(0), subspectrum_color(2));
}

}  // namespace
