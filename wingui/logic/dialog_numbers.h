// Numbers in dialog fields: written with a precision fixed per field and read back
// strictly, so that "1.5x" or "1,5" is rejected rather than taken as 1.5 or 1.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// "%.*g" of `value` with `precision` significant digits.
std::wstring format_field_double(double value, int precision);

// The number when the field holds exactly one, with blanks and tabs around it only.
std::optional<double> read_field_double(std::wstring_view text);
// Decimal integers, the same way; out of range counts as unreadable.
std::optional<int> read_field_int(std::wstring_view text);
std::optional<unsigned> read_field_unsigned(std::wstring_view text);

// The dialogs' float fields: read_field_double, and a zero only from a text that starts
// with '0' after its blanks and tabs ("-0" and ".0" are refused).
std::optional<double> read_dialog_float(std::wstring_view text);
