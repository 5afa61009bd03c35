// The results table: two rows for a spreadsheet, a header naming every column and one
// row of unrounded numbers. Each result has three columns: its value, its standard
// error (Δ) and that error scaled by √χ²ᵣ (†Δ). A file name ending in ".csv" gives
// ';'-separated fields, any other name tab-separated fields; both quoted where needed.
#pragma once

#include <string>
#include <string_view>

#include "plot/report_values.h"

// Collects the fields of the two rows side by side, so that they always match.
class TableWriter {
public:
    explicit TableWriter(bool csv) : csv_(csv) {}

    void column(const std::wstring& header, const std::wstring& value);
    // The value in its shortest round-trip text.
    void column(const std::wstring& header, double value);
    // Both rows, each ended by a line feed.
    std::wstring text() const;

private:
    wchar_t separator() const { return csv_ ? L';' : L'\t'; }

    bool csv_;
    unsigned columns_ = 0;
    std::wstring header_;
    std::wstring values_;
};

// Appends one field of a table row, quoted (its quotes doubled) where the text as it is
// would end the field or the row or open a quoted field: in a ';'-separated table (`csv`)
// a text holding ';', '"' or a line break; in a tab-separated one a text holding a tab
// or a line break or beginning with '"'. Otherwise the text as it is.
void append_table_field(std::wstring& row, std::wstring_view text, bool csv);

// True for a path longer than 4 characters that ends in ".csv" in any letter case.
bool is_csv_path(const std::wstring& path);

// The table's text (line feeds) for the fit that gave χ² and χ²ᵣ.
std::wstring compose_results_table(const ResultsSource& source, double chi_square, double reduced_chi_square,
                                   bool csv);

// Writes the table as UTF-8 with a byte-order mark and CR LF line ends; an existing file
// is replaced only by the complete new table (std::runtime_error on failure).
void write_results_table(const std::wstring& path, const ResultsSource& source, double chi_square,
                         double reduced_chi_square);
