// The point ranges of the distribution statistics page: the field's text, typed one-based
// as "a-b" pieces, and the statistics grid that the dialog's ranges become; and the
// lines of the list that shows the statistics where no browser can show the page.
#pragma once

#include <string>
#include <string_view>

#include <vector>

#include "core/fit/model_interfaces.h"
#include "plot/dist_stats_page.h"

// "a-b,c-d" with each zero-based range written one-based; empty for no ranges.
std::wstring format_point_ranges(const PointRangeList& ranges);

// Reads pieces separated by single ' ' or ',' (two separators in a row leave an empty
// piece, which fails), each "a-b" with 1 ≤ a < b ≤ count. On success `ranges` becomes
// the pieces in order (an empty text leaves it as it is) and the result is true; on
// failure `ranges` is untouched.
bool parse_point_ranges(std::wstring_view text, unsigned count, PointRangeList& ranges);

// The grid stored after the dialog: `ranges`, with `current` added when the dialog was
// opened for a dragged range, sorted by start then end with repeats dropped.
PointRangeList merged_stats_grid(PointRangeList ranges, const PointRangeList& current, bool add_current);

// A line of the statistics list: a range's heading (its points, no name or value), or a
// statistic with its name (an overlined mean "Xq" as "<q>", scripts as plain characters)
// and its value as the page shows it.
struct StatsListLine {
    bool heading = false;
    std::pair<unsigned, unsigned> range;
    std::wstring name, value;
};
std::vector<StatsListLine> stats_list_lines(const std::vector<DistStatsTable>& tables, bool rounding);
