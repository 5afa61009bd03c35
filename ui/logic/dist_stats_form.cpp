#include "ui/logic/dist_stats_form.h"

#include <algorithm>

#include "core/text/index_range.h"
#include "ui/logic/link_targets.h"

std::wstring format_point_ranges(const PointRangeList& ranges)
{
    std::wstring text;
    for (const auto& [from, to] : ranges) {
        if (!text.empty()) text += L',';
        text += std::to_wstring(from + 1) + L'-' + std::to_wstring(to + 1);
    }
    return text;
}

bool parse_point_ranges(std::wstring_view text, unsigned count, PointRangeList& ranges)
{
    if (text.empty()) return true;
    PointRangeList read;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find_first_of(L" ,", start);
        const std::wstring_view piece = text.substr(start, end == std::wstring_view::npos ? end : end - start);
        std::pair<std::size_t, std::size_t> range;
        if (piece.empty() || !parse_index_range(piece, range, count, false)) return false;
        read.emplace_back(static_cast<unsigned>(range.first), static_cast<unsigned>(range.second));
        if (end == std::wstring_view::npos) break;
        start = end + 1;
    }
    ranges = std::move(read);
    return true;
}

PointRangeList merged_stats_grid(PointRangeList ranges, const PointRangeList& current, bool add_current)
{
    if (add_current) ranges.insert(ranges.end(), current.begin(), current.end());
    std::sort(ranges.begin(), ranges.end());
    ranges.erase(std::unique(ranges.begin(), ranges.end()), ranges.end());
    return ranges;
}

std::vector<StatsListLine> stats_list_lines(const std::vector<DistStatsTable>& tables, bool rounding)
{
    std::vector<StatsListLine> lines;
    for (const DistStatsTable& table : tables) {
        lines.push_back({true, table.range, {}, {}});
        for (const DistStatistic& row : table.rows) {
            const bool mean = row.name.size() > 1 && row.name.front() == L'X';
            std::wstring name = normalize_script_text(mean ? std::wstring_view(row.name).substr(1) : row.name);
            if (mean) name = L"<" + name + L">";
            lines.push_back({false, table.range, std::move(name), dist_stat_value_text(row, rounding)});
        }
    }
    return lines;
}
