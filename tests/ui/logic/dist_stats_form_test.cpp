// The point ranges of the statistics page's field: read strictly piece by piece, written
// back one-based, and merged into the distribution's statistics grid.
#include "ui/logic/dist_stats_form.h"

#include <gtest/gtest.h>

namespace {

const PointRangeList untouched{{7, 8}};

TEST(PointRanges, ParseTable)
{
    struct Case {
        const wchar_t* text;
        bool ok;
        PointRangeList ranges;
    };
    const Case cases[] = {
        {L"", true, untouched},                          // empty keeps what was there
        {L"1-5,7-9", true, {{0, 4}, {6, 8}}},
        {L"7-9 1-5", true, {{6, 8}, {0, 4}}},            // order kept, blank separates
        {L"1-10", true, {{0, 9}}},                       // up to N
        {L"1-5,1-5", true, {{0, 4}, {0, 4}}},            // repeats are the caller's
        {L"1-5, 7-9", false, untouched},                 // comma and blank: an empty piece
        {L"1-5,,7-9", false, untouched},
        {L"1-5,", false, untouched},                     // trailing separator
        {L",1-5", false, untouched},
        {L"3-3", false, untouched},                      // a ≥ b
        {L"5-3", false, untouched},
        {L"3", false, untouched},                        // no single point
        {L"0-3", false, untouched},
        {L"1-11", false, untouched},                     // beyond N
        {L"1-5,7-11", false, untouched},                 // a later piece fails: all fails
        {L"a-b", false, untouched},
        {L"1-99999999999", false, untouched},
    };
    for (const Case& c : cases) {
        PointRangeList ranges = untouched;
        EXPECT_EQ(parse_point_ranges(c.text, 10, ranges), c.ok) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(ranges, c.ranges) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(PointRanges, FormatTableReadsBack)
{
    const std::pair<PointRangeList, const wchar_t*> cases[] = {
        {{}, L""},
        {{{0, 9}}, L"1-10"},
        {{{20, 29}, {0, 9}}, L"21-30,1-10"},
    };
    for (const auto& [ranges, text] : cases) {
        EXPECT_EQ(format_point_ranges(ranges), text);
        PointRangeList read;
        ASSERT_TRUE(parse_point_ranges(format_point_ranges(ranges), 30, read));
        EXPECT_EQ(read, ranges);
    }
}

TEST(PointRanges, GridMergeSortsDropsRepeatsAndAddsTheCurrentOnlyForADrag)
{
    const PointRangeList current{{4, 6}, {0, 2}};
    EXPECT_EQ(merged_stats_grid({{5, 8}, {0, 2}}, current, true), (PointRangeList{{0, 2}, {4, 6}, {5, 8}}));
    EXPECT_EQ(merged_stats_grid({{5, 8}, {0, 3}, {0, 2}, {5, 8}}, current, false),
              (PointRangeList{{0, 2}, {0, 3}, {5, 8}}));
    EXPECT_TRUE(merged_stats_grid({}, current, false).empty());
}

} // namespace
