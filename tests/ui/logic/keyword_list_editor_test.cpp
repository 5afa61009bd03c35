// The keyword-list editor's rows: hidden and read-only entries, renaming, adding and
// deleting entries, and what reaches the caller's list.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ui/logic/keyword_list_editor.h"

namespace {

KeywordList sample()
{
    return {{L"Name", {L"Fe foil", 0}},
            {L"Secret", {L"x", KWHidden}},
            {L"Fixed", {L"1", KWReadOnly}},
            {L"Temp", {L"300", KWTransient}}};
}

TEST(KeywordListEditor, RowsSkipHiddenEntriesAndEndWithTheNewEntryRow)
{
    const KeywordListEditor e(sample(), false);
    EXPECT_EQ(e.row_count(), 4u);
    EXPECT_EQ(e.text(1, 0), L"Fixed");
    EXPECT_EQ(e.text(2, 1), L"300");
    EXPECT_EQ(e.text(3, 0), L"");
    EXPECT_EQ(e.text(3, 1), std::nullopt);
    EXPECT_EQ(e.last_cell_column(0), 1);
    EXPECT_EQ(e.last_cell_column(3), 0);
    EXPECT_THROW(e.item(3), std::out_of_range);
    EXPECT_EQ(KeywordListEditor({}, false).row_count(), 1u);
}

TEST(KeywordListEditor, EditingRules)
{
    const KeywordListEditor e(sample(), false);
    EXPECT_EQ(e.begin_edit(0, 0), L"Name");
    EXPECT_EQ(e.begin_edit(0, 1), L"Fe foil");
    EXPECT_EQ(e.begin_edit(1, 1), std::nullopt);  // read-only entry
    EXPECT_EQ(e.begin_edit(3, 0), L"");
    EXPECT_EQ(e.begin_edit(3, 1), std::nullopt);
    const KeywordListEditor ro(sample(), true);
    for (int r = 0; r < 4; ++r) EXPECT_EQ(ro.begin_edit(r, 0), std::nullopt);
}

TEST(KeywordListEditor, RenameRefusesEmptyAndDuplicateKeys)
{
    KeywordListEditor e(sample(), false);
    EXPECT_EQ(e.set_text(0, 0, L"Title"), std::nullopt);
    EXPECT_EQ(e.list()[0].first, L"Title");
    EXPECT_TRUE(e.set_text(0, 0, L""));
    EXPECT_TRUE(e.set_text(0, 0, L"Temp"));
    EXPECT_TRUE(e.set_text(0, 0, L"Secret"));  // a hidden entry's key counts too
    EXPECT_EQ(e.list()[0].first, L"Title");
    EXPECT_EQ(e.set_text(0, 0, L"Title"), std::nullopt);  // unchanged is fine
}

TEST(KeywordListEditor, ValueEditMakesAnEntryPersistent)
{
    KeywordListEditor e(sample(), false);
    e.set_text(2, 1, L"77");
    EXPECT_EQ(e.list()[3].second, (KWData{L"77", 0}));
}

TEST(KeywordListEditor, AddAndDelete)
{
    KeywordListEditor e(sample(), false);
    EXPECT_EQ(e.set_text(3, 0, L""), std::nullopt);
    EXPECT_EQ(e.row_count(), 4u);
    EXPECT_TRUE(e.set_text(3, 0, L"Name"));
    EXPECT_EQ(e.set_text(3, 0, L"Added"), std::nullopt);
    EXPECT_EQ(e.row_count(), 5u);
    EXPECT_EQ(e.list().back(), (std::pair<std::wstring, KWData>{L"Added", {}}));
    e.set_text(3, 1, L"v");
    EXPECT_EQ(e.list().back().second.value, L"v");

    EXPECT_FALSE(e.delete_row(1));  // read-only
    EXPECT_TRUE(e.delete_row(0));
    EXPECT_EQ(e.list().size(), 4u);
    EXPECT_EQ(e.list()[0].first, L"Secret");  // the hidden entry keeps its place
    EXPECT_FALSE(e.delete_row(3));            // the new-entry row
    EXPECT_FALSE(KeywordListEditor(sample(), true).delete_row(0));
}

} // namespace
