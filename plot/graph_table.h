// The graph table: the plot's curves at every point of the spectrum, one row per point,
// for a spreadsheet or another plotting program. Columns: velocity, counts, their
// standard deviation, the model, the difference counts − model, and each component on
// top of the baselines before it, as the plot draws it.
#pragma once

#include <string>

#include "core/model/spectrum_model.h"
#include "core/spectrum/spectrum_data.h"

// The table's text (line feeds), tab-separated, or ';'-separated when `csv`; numbers in
// their shortest round-trip form. Without components the model columns are left out.
// std::invalid_argument when `values` does not hold one value per model parameter.
std::wstring compose_graph_table(const SpectrumModel& model, const SpectrumData& data, const DVector& values,
                                 bool csv);

// Writes the table for `path` (';'-separated for a ".csv" name) as UTF-8 with a byte-order
// mark and CR LF line ends; an existing file is replaced only by the complete table.
void write_graph_table(const std::wstring& path, const SpectrumModel& model, const SpectrumData& data,
                       const DVector& values);
