#include "core/text/number_text.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

// The spellings the program's files have always used for special values.
std::wstring special_value_text(double x)
{
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    const std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    const std::uint64_t quiet_bit = std::uint64_t{1} << 51;
    const bool negative = (bits >> 63) != 0;
    std::wstring text = negative ? L"-" : L"";
    if (std::isinf(x))
        text += L"inf";
    else if ((mantissa & quiet_bit) == 0)
        text += L"nan(snan)";
    else if (negative && mantissa == quiet_bit)
        text += L"nan(ind)";
    else
        text += L"nan";
    return text;
}

} // namespace

double fix_negative_zero(double x) { return x == 0.0 ? 0.0 : x; }

std::wstring double_to_text(double x)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general);
    if (error != std::errc()) return L"Overflow";
    return std::wstring(buffer, end);
}

std::wstring number_to_text(double x)
{
    return std::isfinite(x) ? double_to_text(x) : special_value_text(x);
}

std::wstring format_double_list(std::span<const double> values)
{
    std::wstring text;
    char buffer[32];  // the longest shortest form, "-2.2250738585072014e-308", has 24
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) text += i % 8 == 0 ? L"\r\n" : L" ";
        const double x = values[i];
        if (std::isfinite(x)) {
            text.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, x).ptr);
        } else {
            text += special_value_text(x);
        }
    }
    return text;
}
