// What the open dialog's preview shows of the file the user has selected: the kind of
// file, chosen by its ending, and the description text under the plot.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <utility>
#include <string_view>

#include "core/model/spectrum_model.h"
#include "core/text/kwfile.h"

enum class PreviewKind { none, spectrum, model };

// By the last four characters in any letter case: ".spc", ".txt", ".dat" and ".dlt" are
// spectra, ".mdl" models, anything else (".spcx" too) has no preview.
PreviewKind preview_kind(std::wstring_view path);

// When the list has `key` with a non-empty value, appends "key: value" to `text`, after a
// line break unless `text` is empty.
void append_keyword_line(std::wstring& text, const KeywordList& list, std::wstring_view key);

// A spectrum's description: its comment and channel calibration, a line for each key
// that has a value.
std::wstring spectrum_preview_text(const KeywordList& keywords);

// A model's description: its comment, then one line per component, numbered from 1,
// with the component's display name, so that models are told apart before they open.
std::wstring model_preview_text(const SpectrumModel& model);

// The preview's width in the open dialog: the common dialog's visible controls that lie
// wholly above the preview (bottom edge at or above its top) give it their leftmost left
// and rightmost right edge; none when no control lies above it.
struct ScreenRect {
    int left, top, right, bottom;
};
std::optional<std::pair<int, int>> preview_span(const ScreenRect& preview, std::span<const ScreenRect> controls);
