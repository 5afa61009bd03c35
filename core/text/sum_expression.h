// Sums of terms for the expression texts the program composes itself (areas, totals of
// distribution weights, moments of distributions).
#pragma once

#include <string>

// The terms t(first) "+" t(first + 1) "+" … "+" t(last), t(k) being `term_format`
// (one Boost.Format placeholder) formatted with k; t(first) alone when last < first.
void make_sum_expression(std::wstring& text, unsigned first, unsigned last, const std::wstring& term_format);
