// Character classes of the keyword-file format. They are fixed sets rather than the C
// library's classification, so that every build (16- and 32-bit wchar_t, any locale)
// splits, trims and escapes a text alike.
#pragma once

#include <string_view>

// ASCII white space and the Unicode space separators that do not forbid a break.
inline bool kw_is_space(wchar_t c)
{
    const auto u = static_cast<unsigned long>(c);
    return (u >= 0x09 && u <= 0x0D) || u == 0x20 || u == 0x85 || u == 0x1680 ||
           (u >= 0x2000 && u <= 0x200A && u != 0x2007) || u == 0x2028 || u == 0x2029 ||
           u == 0x205F || u == 0x3000;
}

// The characters that the one-line form copies unescaped.
inline bool kw_is_alnum(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

inline std::wstring_view kw_trim(std::wstring_view s)
{
    while (!s.empty() && kw_is_space(s.front())) s.remove_prefix(1);
    while (!s.empty() && kw_is_space(s.back())) s.remove_suffix(1);
    return s;
}
