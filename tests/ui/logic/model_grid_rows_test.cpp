// The model grids' row commands over a stand-in document: copied texts, cuts that need
// a successful copy, and where pasted components and expressions go, a 1000-point
// distribution's line included.
#include <gtest/gtest.h>

#include <vector>

#include "subspec/distribution.h"
#include "tests/support/fake_grid_document.h"
#include "tests/support/model_test_parts.h"
#include "ui/logic/model_grid_rows.h"

namespace {

// The stand-in document with an expression.
struct FakeDocument : FakeGridDocument {
    explicit FakeDocument(SpectrumModel m) : FakeGridDocument(std::move(m))
    {
        model.insert_expression(0, L"sum", L"[1:I]+1");
    }
};

FakeDocument with_distribution()
{
    return FakeDocument(model_test::model_of(
        {model_test::baseline(), model_test::lorentz(), make_distribution(model_test::lorentz(), 1000, {1})}));
}

TEST(ModelGridRows, CopiedTextsOfComponentsAndExpressions)
{
    FakeDocument d = with_distribution();
    const auto line = row_clip_text(d, 1, true);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->format, std::wstring(component_clipboard_format));
    EXPECT_NE(line->text.find(L"=2.500000000000000e-01"), std::wstring::npos);
    EXPECT_NE(row_clip_text(d, 1, false)->text.find(L"=5.000000000000000e-01"), std::wstring::npos);
    const auto expr = row_clip_text(d, 3, true);
    ASSERT_TRUE(expr);
    EXPECT_EQ(expr->format, std::wstring(expression_clipboard_format));
    EXPECT_EQ(expr->text, L"sum=[1:I]+1");
    EXPECT_FALSE(row_clip_text(d, 4, true));
    EXPECT_FALSE(row_clip_text(d, -1, true));
}

TEST(ModelGridRows, ACutDeletesOnlyAfterASuccessfulCopyAndNeverABaseline)
{
    FakeDocument d = with_distribution();
    std::vector<RowClip> clipboard;
    auto works = [&](const RowClip& c) { clipboard.push_back(c); return true; };
    auto busy = [](const RowClip&) { return false; };
    EXPECT_FALSE(cut_row(d, 1, busy));
    EXPECT_FALSE(cut_row(d, 0, works));  // the baseline
    EXPECT_TRUE(d.calls.empty());
    EXPECT_TRUE(clipboard.empty());
    EXPECT_TRUE(cut_row(d, 1, works));
    EXPECT_TRUE(cut_row(d, 3, works));
    EXPECT_EQ(d.calls, (std::vector<std::wstring>{L"delete component 1", L"delete expression 0"}));
    EXPECT_EQ(clipboard.size(), 2u);
}

TEST(ModelGridRows, PasteRoundTripOfTheThousandPointDistribution)
{
    FakeDocument d = with_distribution();
    const std::wstring line = row_clip_text(d, 2, true)->text;
    ASSERT_GT(line.size(), 16383u);
    EXPECT_EQ(paste_row(d, 1, line, L"x=1"), 1);  // the component wins over the expression
    EXPECT_EQ(d.pasted.type_name, d.model.components[2]->subspec->display_name());
    EXPECT_EQ(d.pasted.params, line.substr(line.find(L':') + 2));
    EXPECT_EQ(d.calls, (std::vector<std::wstring>{L"component at 1"}));
}

TEST(ModelGridRows, PastePlacesAndFailures)
{
    FakeDocument d = with_distribution();
    EXPECT_EQ(paste_row(d, 4, L"Lorentz: I=1", std::nullopt), 3);  // clamped to the component count
    EXPECT_EQ(paste_row(d, 1, std::nullopt, L"r=[1:I]*2"), 3);      // on a component: the first expression
    EXPECT_EQ(paste_row(d, 4, std::nullopt, L"[1:I]*2"), 4);        // unnamed, after the one expression
    EXPECT_EQ(paste_row(d, 1, L"not a component", L"r=1"), -1);     // a bad component stops the paste
    d.paste_result = -1;
    EXPECT_EQ(paste_row(d, 1, L"Unknown: a=1", std::nullopt), -1);
    EXPECT_EQ(paste_row(d, 1, std::nullopt, std::nullopt), -1);
    EXPECT_EQ(d.calls, (std::vector<std::wstring>{L"component at 3", L"expression at 0: r|[1:I]*2",
                                                   L"expression at 1: |[1:I]*2", L"component at 1"}));
}

} // namespace
