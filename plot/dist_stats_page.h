// The statistics page of one distribution: one table per point range, the listed ranges
// first and the whole distribution last. The page is an ASCII byte string in which every
// other character is a decimal character reference, so a browser reads it from memory
// the same whatever encoding it assumes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/model/spectrum_model.h"

// The statistics of one range of points (zero-based, inclusive).
struct DistStatsTable {
    std::pair<unsigned, unsigned> range;
    std::vector<DistStatistic> rows;
};

// The tables of distribution n: one per range of `ranges`, then the whole distribution;
// nothing when there is no such distribution. The values with their covariance give
// the errors (an empty covariance gives none).
std::vector<DistStatsTable> dist_stats_tables(const SpectrumModel& model, unsigned n, const PointRangeList& ranges,
                                              const DVector& values, const DMatrix& covariance);

// A statistic's value as shown: with its error, cut to the error's digits when
// `rounding` is on.
std::wstring dist_stat_value_text(const DistStatistic& row, bool rounding);

// ASCII as it is, any other character (a UTF-16 pair as one) as "&#code;".
void html_escape_numeric(std::string& page, std::wstring_view text);
// As html_escape_numeric, with '%', '&' and '<' as references and each superscript or
// subscript character as its plain character in a "sup" or "sub" element.
void html_marked_scripts(std::string& page, std::wstring_view text);

// The whole page.
std::string dist_stats_page(const std::vector<DistStatsTable>& tables, bool rounding);
