#include "plot/dist_stats_page.h"

#include "core/text/format_value.h"
#include "plot/html_markup.h"

namespace {

const char* const page_head =
    "<html><head><style type='text/css'>html,body { margin:0pt; padding:0pt; }body {padding: 3px; }"
    "body,td { background:white; color:black; font-size:10pt; font-family:sans-serif; }"
    "td { white-space: nowrap; vertical-align: baseline; }td.v { padding-left: 15pt; }"
    ".over { text-decoration: overline; }</style></head><body>";

bool is_high_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void write_table(std::string& page, const DistStatsTable& table, bool rounding)
{
    page += "<table border='0'>";
    bool row_open = false;
    for (const DistStatistic& row : table.rows) {
        if (row.starts_row && row_open) {
            page += "</tr>";
            row_open = false;
        }
        if (!row_open) {
            page += "<tr>";
            row_open = true;
        }
        page += row.starts_row ? "<td align='right'>" : "<td align='right' class='v'>";
        // The name's markup is the report's: overlined, subscripted suffixes, scripts.
        std::wstring name;
        html_param_name(name, row.name);
        html_escape_numeric(page, name);
        page += "</td><td>=</td><td>";
        html_marked_scripts(page, dist_stat_value_text(row, rounding));
        page += "</td>";
    }
    if (row_open) page += "</tr>";
    page += "</table>";
}

} // namespace

std::vector<DistStatsTable> dist_stats_tables(const SpectrumModel& model, unsigned n, const PointRangeList& ranges,
                                              const DVector& values, const DMatrix& covariance)
{
    std::vector<DistStatsTable> tables;
    const SubModel* component = model.distribution_at(n);
    const unsigned count = component ? component->distribution()->point_count() : 0;
    if (count == 0) return tables;
    PointRangeList all = ranges;
    all.emplace_back(0u, count - 1);
    for (const auto& range : all) {
        DistStatsTable& table = tables.emplace_back();
        table.range = range;
        model.distribution_statistics(n, range.first, range.second, values, covariance, table.rows);
    }
    return tables;
}

std::wstring dist_stat_value_text(const DistStatistic& row, bool rounding)
{
    return format_value_with_error(row.value, row.error, row.format, !rounding);
}

void html_escape_numeric(std::string& page, std::wstring_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if (c < 128) {
            page += static_cast<char>(c);
            continue;
        }
        // A character beyond the basic plane is one reference, not two halves.
        if (is_high_surrogate(c) && i + 1 < text.size() && is_low_surrogate(static_cast<char32_t>(text[i + 1])))
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
        page += "&#" + std::to_string(static_cast<unsigned long>(c)) + ';';
    }
}

void html_marked_scripts(std::string& page, std::wstring_view text)
{
    std::wstring marked;
    html_scripted_name(marked, text);
    html_escape_numeric(page, marked);
}

std::string dist_stats_page(const std::vector<DistStatsTable>& tables, bool rounding)
{
    std::string page = page_head;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (i > 0) page += "<hr>";
        write_table(page, tables[i], rounding);
    }
    page += "</body>";
    return page;
}
