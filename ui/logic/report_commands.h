// What the report commands of the main window take from the document and the window:
// the fit results, the report's sections and plot options, and the file name they
// propose.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/document/model_state.h"
#include "plot/report_values.h"

// The document's fit results for the report and the table; nothing unless there is a
// fit value and a covariance row and column for every parameter of the model (the
// report reads them by flat index without further checks).
std::optional<ResultsSource> document_results(const ModelState& document, const std::wstring& spectrum_name,
                                              const std::wstring& model_name);

// The report's sections (plot image, components, line tables, expressions), the plot
// normalised to the baseline when the plot view's option 0x200 is on, and numbers cut
// to the digits of their errors when "Round results" is on.
unsigned report_flags(std::int32_t plot_options, bool round_results);

// The plot view's options that the report's image keeps.
std::int32_t report_view_options(std::int32_t plot_options);

// The name proposed for a report or a table: the model file's name without folder and
// extension, else the spectrum file's.
std::wstring report_file_stem(const std::wstring& model_path, const std::wstring& spectrum_path);

// `path` with the last extension of its file name replaced by `extension` (".html"), or
// `extension` appended when the name has none: the files saved beside a model file.
std::wstring sibling_path(const std::wstring& path, const std::wstring& extension);

// The temporary files of "View results": this prefix, a UUID and ".html". A viewed report
// stays (the system's browser may still be reading it) until a start of the program
// finds it older than a day.
inline constexpr std::wstring_view temporary_report_prefix = L"Vexmoor-report-";
bool is_temporary_report_name(std::wstring_view name);
// File times in 100 ns units, as Windows keeps them.
bool temporary_report_expired(std::uint64_t written, std::uint64_t now);
