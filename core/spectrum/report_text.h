// Small text and list routines for the report pages, the open dialog's model preview
// and the velocity calibration.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/text/kwfile.h"
#include "core/spectrum/spectrum_analysis.h"

class IModelData;

// Appends "key: value" to `text` when the list has `key` with a non-empty value: after a
// "\r\n" unless `text` is empty, with every "\r\n" of the value followed by a tab.
void append_keyword_line(std::wstring& text, const KeywordList& list, const std::wstring& key);

// A name whose text without its first character is built once, on the first request.
struct CachedName {
    std::wstring text;
    mutable std::optional<std::wstring> tail;
};

// The name's text without its first character (empty for an empty name).
const std::wstring& cached_tail_text(const CachedName& name);

// Inserts a line for each marked x, in order, at the place that keeps `lines` sorted by
// x: the marked x with the count and index of the first point whose x is not below it.
// A mark beyond the last point, or at an x already in the list, adds nothing.
void merge_marked_lines(const IModelData& spectrum, std::vector<SpectrumLine>& lines,
                        const std::vector<double>& marked);
