// Values for display: exponents as superscript powers of ten, and a value with its
// standard error, both cut at the error's significant digits.
#pragma once

#include <string>
#include <string_view>

// x formatted with the printf-style `format`; an exponent "e+03" becomes "×10³".
std::wstring format_superscript_exponent(std::wstring_view format, double x);

// "value±error" with the error cut to one significant digit, or two when the first is
// 1, 2 or 3, and the value cut at the same decimal place; exponents outside −4 … 4 as
// "(q±r)×10ⁿ". With `keep_format_precision`, an "f" or "e" format's precision is never
// given up. A non-positive or non-finite error, a non-finite value, or an error below
// a millionth of the value gives the value alone in `format`.
std::wstring format_value_with_error(double value, double error, std::wstring_view format,
                                     bool keep_format_precision);
