// Axis ticks: a step of 1, 2 or 5 times a power of ten from the axis span, and the
// printf format of a label whose decimals follow from the step or the span.
#pragma once

#include <string>

// 0.1, 0.2 or 0.5 times the decade of the span (10 → 1, 25 → 2, 60 → 5); a span that is
// not positive and finite gives NaN, which draws no ticks.
double nice_tick_step(double span);
// "%.<−d>f" for −10 < d < 0, d = floor(log10(span)) − extra_digits; else "%.0f".
std::wstring format_tick_label(double span, int extra_digits);
// The value written with such a format.
std::wstring format_tick_value(const std::wstring& format, double value);

// Most ticks one axis ever gets: a step far below the span (or below the spacing of
// doubles there) draws none instead of looping.
constexpr double max_ticks_per_axis = 10000.0;
