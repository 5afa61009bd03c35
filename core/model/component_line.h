// One model component as one line of text, as model files store it and the clipboard
// carries it: the display name, ":", the model data (" extradata=" and its one-line
// text, for models that have any), then for every parameter " name=value" with flag
// letters: "F" fixed, "L" and "factor*c.p" a link to parameter p of component c (c from
// 1) or "L" and "factor*e" a link to user expression e (from 1), "B"/"T" and a number a
// lower/upper bound other than the descriptor's, "b"/"t" no lower/upper bound.
//
// Numbers are written in their shortest round-trip form, so a line read back gives
// every value, factor and bound exactly; a parameter name that a token cannot carry is
// written encoded. Files written under older model and parameter
// names still read through the table of legacy names.
#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/sub_model.h"
#include "core/numerics/ublas_types.h"

// A model name of older files: the catalogue name it stands for now, and the parameter
// renames as blank-separated words "old=new".
struct LegacyModelName {
    const wchar_t* old_name;
    const wchar_t* catalogue_name;
    const wchar_t* renames;
};

extern const std::array<LegacyModelName, 12> legacy_model_names;

// The first entry whose old name equals `name` exactly; null when none.
const LegacyModelName* find_legacy_model(std::wstring_view name);

// Adds the renames of `entry` (nothing when null) for component number `component` to
// `renames`, each as "component:old" -> "component:new"; a later word with the same
// old name replaces the earlier one. The map serves the renaming of parameter
// references in the user expressions of an older file.
void add_param_renames(const LegacyModelName* entry, unsigned component,
                       std::map<std::wstring, std::wstring>& renames);

// key = the text before the first "=", value = the text after it; without "=" the key
// is empty and the value is the whole text.
void split_key_value(std::wstring_view text, std::wstring& key, std::wstring& value);

// Names in component lines and model files. A name that its place cannot carry as it is
// travels as "$$" and its one-line escape, the form keyword files give such texts;
// decode_name gives the name back from that form ("$$" alone is the empty name) and
// takes any other text as it is.
std::wstring encode_name(std::wstring_view name);
std::wstring decode_name(std::wstring_view text);
// A parameter name that a token cannot carry: empty, with white space or "=", the word
// of the model data ("extradata"), or beginning with "$$".
bool param_name_needs_encoding(std::wstring_view name);

// The component's line: a model data that is empty (a measured spectrum without its
// reference) is not written, so the component reads back as it was. values, flags, lower and upper are the document's per-parameter
// vectors by flat index; std::out_of_range when they do not cover the component.
std::wstring format_component_line(const SubModel& component, const DVector& values, const std::vector<int>& flags,
                                   const DVector& lower, const DVector& upper);
