// Sums of terms for the expression texts the program composes itself (areas, totals of
// distribution weights, moments of distributions).
#pragma once

#include <string>

// The terms t(first) "+" t(first + 1) "+" … "+" t(last), t(k) being `term_format`
// formatted with k; t(first) alone when last < first. The format's placeholders take
// the index as a plain decimal ("%u", "%d", "%1%", each as often as wanted), without a
// width or other flags.
void make_sum_expression(std::wstring& text, unsigned first, unsigned last, const std::wstring& term_format);
