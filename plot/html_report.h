// The results report: one self-contained HTML page with the spectrum and model
// descriptions, the excluded ranges, the plot as an embedded PNG image, the global
// results, a block per component (areas, parameters with errors and links,
// distribution statistics, lines) and the user expressions with their values.
#pragma once

#include <ctime>
#include <functional>
#include <string>

#include "plot/report_values.h"

enum ReportFlag : unsigned {
    ReportRoundResults = 0x01,  // numbers cut to the digits of their errors
    ReportPlotImage = 0x02,
    ReportComponents = 0x08,
    ReportLineTables = 0x10,
    ReportExpressions = 0x20,
    ReportNormalized = 0x40,    // the plot drawn relative to the baseline
};

// Appends the base64 text of the plot's PNG image to the page.
using ReportImageWriter = std::function<void(std::wstring& page)>;

// The page as composed in memory, dated `local_time`; superscripts and subscripts are
// still characters (html_script_runs marks them up on the way to the file).
std::wstring compose_html_report(const ResultsSource& source, const std::wstring& stop_text, unsigned flags,
                                 const std::tm& local_time, const ReportImageWriter& image);

// Composes the page dated now and writes it as UTF-8 with a byte-order mark and CR LF
// line ends. An existing file is replaced only by the complete new page: an error while
// composing or writing (std::runtime_error, or what the image writer throws) leaves it
// as it was and no file behind.
void write_html_report(const std::wstring& path, const ResultsSource& source, const std::wstring& stop_text,
                       unsigned flags, const ReportImageWriter& image);
