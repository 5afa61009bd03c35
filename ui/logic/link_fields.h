// The numbers of the link and bounds dialogs. Both show their values rounded (a factor
// with 3 significant digits, a bound with 3 decimals); a field whose text the user left
// as shown gives back the exact value, so that confirming a dialog unedited changes
// nothing. Edited texts are read strictly: "1O" is not 1.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A value and the text its field shows for it.
struct RoundedField {
    double value = 0.0;
    std::wstring shown;
};

RoundedField factor_field(double factor);
// The factor, or nothing for a text that is not one finite number. "-0" is refused as
// the dialog always has: a factor of zero is written "0".
std::optional<double> read_factor(const RoundedField& field, std::wstring_view text);

// "-inf" and "inf" for the infinities (no bound), "%.3f" for any other value.
RoundedField bound_field(double bound);
// A finite number, or "inf" / "-inf" in any letter case; nothing for anything else.
std::optional<double> read_bound(const RoundedField& field, std::wstring_view text);
// The dialog closes only with the upper bound above the lower one.
inline bool bounds_in_order(double lower, double upper) { return upper > lower; }
