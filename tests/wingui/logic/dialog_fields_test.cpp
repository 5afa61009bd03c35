#include <gtest/gtest.h>

#include "wingui/logic/dialog_layout.h"
#include "wingui/logic/dialog_numbers.h"

TEST(DialogNumbers, WrittenWithTheFieldsPrecision)
{
    EXPECT_EQ(format_field_double(1e-5, 6), L"1e-05");
    EXPECT_EQ(format_field_double(0.1 + 0.2, 15), L"0.3");
    EXPECT_EQ(format_field_double(0.1 + 0.2, 17), L"0.30000000000000004");
    EXPECT_EQ(format_field_double(1234.5, 3), L"1.23e+03");
}

TEST(DialogNumbers, ReadStrictly)
{
    EXPECT_EQ(read_field_double(L" \t2.5e3\t "), 2500.0);
    EXPECT_EQ(read_field_double(L"-0.125"), -0.125);
    for (const wchar_t* bad : {L"", L"  ", L"1.5x", L"1,5", L"1 2", L"\n1", L"1e999", L"x1"})
        EXPECT_FALSE(read_field_double(bad)) << bad;

    EXPECT_EQ(read_field_int(L" -12 "), -12);
    EXPECT_EQ(read_field_unsigned(L"\t4000000000"), 4000000000u);
    for (const wchar_t* bad : {L"1.0", L"3000000000", L"12a", L""}) EXPECT_FALSE(read_field_int(bad)) << bad;
    for (const wchar_t* bad : {L"-1", L"+1", L"4294967296", L" "}) EXPECT_FALSE(read_field_unsigned(bad)) << bad;
}

TEST(DialogLayout, ControlsFollowTheEdgesTheyAreAnchoredTo)
{
    const LayoutRect r{10, 20, 110, 40};  // in a 200 x 100 client area, grown to 300 x 160
    EXPECT_EQ(anchored_rect(r, anchor_top_left, 200, 100, 300, 160), r);
    EXPECT_EQ(anchored_rect(r, anchor_all, 200, 100, 300, 160), (LayoutRect{10, 20, 210, 100}));
    EXPECT_EQ(anchored_rect(r, anchor_right | anchor_bottom, 200, 100, 300, 160), (LayoutRect{110, 80, 210, 100}));
    // Neither horizontal anchor: the centre keeps its share (60 of 200 -> 90 of 300).
    EXPECT_EQ(anchored_rect(r, anchor_top, 200, 100, 300, 160), (LayoutRect{40, 20, 140, 40}));
    // Shrinking works the same way back.
    EXPECT_EQ(anchored_rect({10, 20, 210, 100}, anchor_all, 300, 160, 200, 100), r);
}
