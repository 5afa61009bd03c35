// The fit settings dialog without the window: the texts its fields show, the defaults,
// and the strict reading of the fields on OK. A number shown rounded (the tolerances
// with one significant digit) stays exactly as it was unless its text was edited.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/fit/fit_settings.h"

// Field ids of dialog 10101.
enum FitSettingsField : int {
    fit_field_eps1 = 10101,
    fit_field_eps2 = 10102,
    fit_field_eps3 = 10103,
    fit_field_eps4 = 10104,
    fit_field_dmax = 10105,
    fit_field_kmax = 10106,
    fit_field_tau = 10107,
};
inline constexpr int fit_settings_defaults_button = 10108;
inline constexpr unsigned max_fit_steps = 10000;

struct FieldText {
    int id;
    std::wstring text;
};

class FitSettingsForm {
public:
    explicit FitSettingsForm(const FitSettings& settings) : settings_(settings) { remember_shown(); }

    const FitSettings& settings() const { return settings_; }
    // Every field's text, in the order the fields are filled.
    const std::array<FieldText, 7>& shown() const { return shown_; }
    // The initial settings of the frame; the texts to show change with them.
    void restore_defaults();
    // Reads the fields in their order through `text_of` (field id → its text). The
    // first field that does not read is returned, the fields before it are already
    // taken; nothing when every field read.
    std::optional<int> read(const std::function<std::wstring(int)>& text_of);

private:
    void remember_shown();

    FitSettings settings_;
    // The settings as shown, to tell an untouched rounded text from an edited one.
    FitSettings shown_settings_;
    std::array<FieldText, 7> shown_{};
};
