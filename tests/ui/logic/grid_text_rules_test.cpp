// Rules of the grid control that need no window: scripted-text runs, column movement by
// the arrow keys, when an in-place edit is committed, and the clipboard texts.
#include <gtest/gtest.h>

#include <string>

#include "ui/logic/clipboard_text.h"
#include "ui/logic/grid_cursor.h"
#include "wingui/logic/scripted_text.h"

namespace {

TEST(ScriptedText, RunsAndTheirPlainCharacters)
{
    const auto runs = split_script_runs(L"x\u00B2w\u2081\u2081\u207F");
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[0].kind, ScriptClass::Normal);
    EXPECT_EQ(runs[1].kind, ScriptClass::Superscript);
    EXPECT_EQ(runs[1].text, L"2");
    EXPECT_EQ(runs[3].kind, ScriptClass::Subscript);
    EXPECT_EQ(runs[3].text, L"11");
    EXPECT_EQ(runs[4].text, L"n");  // U+207F is the superscript letter n
    EXPECT_EQ(plain_of_script(0x00B9), L'1');
    EXPECT_EQ(plain_of_script(0x208D), L'(');
    EXPECT_TRUE(split_script_runs(L"").empty());
    EXPECT_EQ(to_subscript(L"w12(-)"), L"w\u2081\u2082\u208D\u208B\u208E");
    EXPECT_EQ(split_script_runs(to_subscript(L"w12(-)"))[1].text, L"12(-)");
}

TEST(GridColumns, ArrowKeysHomeAndEnd)
{
    struct Case {
        GridKey key;
        int current, first, last;
        std::optional<int> moved;
    } cases[] = {
        {GridKey::Left, 3, 3, 6, -1},  // the first column: the whole row
        {GridKey::Left, 5, 3, 6, 4},
        {GridKey::Left, -1, 3, 6, std::nullopt},
        {GridKey::Right, -1, 3, 6, 3},
        {GridKey::Right, 6, 3, 6, std::nullopt},
        {GridKey::Right, -1, 3, 0, std::nullopt},  // an expression row
        {GridKey::Home, 5, 3, 6, 3},
        {GridKey::Home, 3, 3, 6, std::nullopt},
        {GridKey::End, -1, 3, 6, std::nullopt},
        {GridKey::End, 4, 3, 6, 6},
    };
    for (const Case& c : cases)
        EXPECT_EQ(move_grid_column(c.key, c.current, c.first, c.last), c.moved) << c.current;
}

TEST(GridEditSession, CommitsOnlyAnEditedTextAndOnlyOnce)
{
    GridEditSession s;
    s.open(1, 4, L"0.251");
    EXPECT_EQ(s.finish(L"0.251"), std::nullopt);  // opened and left: the exact value stays
    s.open(1, 4, L"0.251");
    EXPECT_EQ(s.finish(L"0.3"), L"0.3");
    EXPECT_EQ(s.finish(L"0.3"), std::nullopt);  // at most once per opening
    s.open(1, 4, L"0.251");
    s.cancel();
    EXPECT_EQ(s.finish(L"0.4"), std::nullopt);
    s.open(1, 4, L"0.251");
    s.press(false);  // a press elsewhere in the grid drops the edit
    EXPECT_EQ(s.finish(L"0.4"), std::nullopt);
    s.open(1, 4, L"0.251");
    s.press(true);  // a press below the last row commits
    EXPECT_EQ(s.finish(L"0.4"), L"0.4");
}

TEST(ClipboardText, ComponentForms)
{
    const auto a = parse_component_clip_text(L"Sextet (57Fe): I=1 δ=0");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->type_name, L"Sextet");
    EXPECT_EQ(a->isotope, L"57Fe");
    EXPECT_EQ(a->params, L"I=1 δ=0");
    const auto b = parse_component_clip_text(L"Lorentz: I=1\r\nδ=(2)");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type_name, L"Lorentz");
    EXPECT_FALSE(b->isotope);
    EXPECT_EQ(b->params, L"I=1\r\nδ=(2)");
    for (const wchar_t* bad : {L"", L"Lorentz", L"Lorentz:", L": I=1", L"Lorentz:   "})
        EXPECT_FALSE(parse_component_clip_text(bad)) << bad;
    EXPECT_FALSE(parse_component_clip_text(std::wstring(128, L'a') + L": I=1"));
    EXPECT_TRUE(parse_component_clip_text(std::wstring(127, L'a') + L": I=1"));
}

TEST(ClipboardText, AThousandPointLineIsReadWhole)
{
    std::wstring params;
    for (int i = 1; i <= 1000; ++i) params += L" w" + std::to_wstring(i) + L"=1.2345678901234567e-03";
    ASSERT_GT(params.size(), 16383u);
    const auto parsed = parse_component_clip_text(L"Distribution:" + params);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->params, params.substr(1));
}

TEST(ClipboardText, ExpressionsSplitAtTheFirstEqualsSign)
{
    std::wstring name, text;
    split_expression_clip_text(expression_clip_text(L"r", L"[1:I]/([2:I]=1)"), name, text);
    EXPECT_EQ(name, L"r");
    EXPECT_EQ(text, L"[1:I]/([2:I]=1)");
    split_expression_clip_text(L"[1:I]*2", name, text);
    EXPECT_EQ(name, L"");
    EXPECT_EQ(text, L"[1:I]*2");
}

TEST(ClipboardText, PastePlaceAndCut)
{
    EXPECT_EQ(paste_place(2, 4, 3).component, 2u);
    EXPECT_EQ(paste_place(2, 4, 3).expression, 0u);  // on a component: the first expression
    EXPECT_EQ(paste_place(6, 4, 3).component, 4u);   // on an expression: after the last component
    EXPECT_EQ(paste_place(6, 4, 3).expression, 2u);
    EXPECT_EQ(paste_place(99, 4, 3).expression, 3u);

    int removed = 0;
    EXPECT_FALSE(cut_after_copy([] { return false; }, [&] { ++removed; return true; }));
    EXPECT_EQ(removed, 0);  // a failed copy keeps the item
    EXPECT_TRUE(cut_after_copy([] { return true; }, [&] { ++removed; return true; }));
    EXPECT_EQ(removed, 1);
}

} // namespace
