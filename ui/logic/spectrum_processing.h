// What the spectrum processing commands of the main window decide without a window: the
// parameters a transform's expression asks for, their values, and the velocity range
// proposed for a spectrum generated from the model.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/model/spectrum_model.h"
#include "core/text/kwfile.h"

// The names after each '$' of a transform's text (runs of letters and digits), in order
// of first use; "v" and "I", every transform's own variables, are left out.
std::vector<std::wstring> transform_parameter_names(std::wstring_view text);

// The editor's list for the transform: one entry per parameter name, its value the one
// last confirmed for that name in `previous`, else "0".
KeywordList transform_parameter_list(std::wstring_view text, const KeywordList& previous);

// The confirmed values in list order, each read strictly as a number; nothing, with
// `unreadable` naming the first entry that does not read, otherwise.
std::optional<std::vector<double>> transform_parameter_values(const KeywordList& list, std::wstring& unreadable);

// The variables the transform's expression is compiled with: the parameters in list
// order, then "v" and "I".
std::vector<std::wstring> transform_variable_names(const KeywordList& list);

// The range Generate from model proposes: the spectrum's first and last velocity when it
// has two points or more, else the model's extent at `values` (+∞ … −∞ when no component
// has one, which generates nothing).
std::pair<double, double> generate_range(const std::vector<double>& x, const SpectrumModel& model,
                                         const DVector& values);
