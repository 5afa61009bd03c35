// Numbers as texts that read back exactly: the shortest round-trip decimal forms.
#pragma once

#include <span>
#include <string>

// +0.0 for a zero of either sign, else x: keeps a minus sign off every shown zero.
double fix_negative_zero(double x);

// The shortest text that reads back as exactly x, in general notation
// (std::to_chars with chars_format::general); "Overflow" if it needed more than 32
// characters.
std::wstring double_to_text(double x);

// As double_to_text, but special values spelled as format_double_list spells them.
std::wstring number_to_text(double x);

// The values in their shortest round-trip form, fixed or scientific notation, whichever
// is shorter (fixed on a tie), the exponent signed with at least two digits. Special
// values are "inf", "nan", "nan(snan)" (signalling) and, for the negative quiet NaN
// without payload, "nan(ind)", each after a '-' when the sign bit is set. One blank
// between values and "\r\n" instead of it before every ninth, seventeenth, ... value.
std::wstring format_double_list(std::span<const double> values);
