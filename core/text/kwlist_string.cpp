// The one-line form of a KeywordList, "flags|key|value|flags|key|value...", in which
// a list travels inside one text field (a component's extra data). Keys and values
// are escaped so that '|' never occurs in them.
#include "core/text/kwfile.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "core/text/kwfile_chars.h"

namespace {

int hex_value(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

void append_code(std::wstring& out, std::uint32_t unit)
{
    static constexpr wchar_t digits[] = L"0123456789abcdef";
    out += L'$';
    for (int shift = 12; shift >= 0; shift -= 4) out += digits[(unit >> shift) & 0xF];
}

// Appends one decoded UTF-16 code unit. With 32-bit wchar_t a low surrogate that
// follows a high one joins it into one character.
void append_unit(std::wstring& out, std::uint32_t unit)
{
    if constexpr (sizeof(wchar_t) > 2) {
        if (unit >= 0xDC00 && unit < 0xE000 && !out.empty()) {
            const auto high = static_cast<std::uint32_t>(out.back());
            if (high >= 0xD800 && high < 0xDC00) {
                out.back() = static_cast<wchar_t>(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
                return;
            }
        }
    }
    out += static_cast<wchar_t>(unit);
}

// Decimal with an optional sign, 0 when there is no number. The text "%u" wrote for a
// negative int reads back as that int.
int read_flags(std::wstring_view s)
{
    size_t i = 0;
    while (i < s.size() && kw_is_space(s[i])) ++i;
    const bool negative = i < s.size() && s[i] == L'-';
    if (i < s.size() && (s[i] == L'-' || s[i] == L'+')) ++i;
    std::uint64_t n = 0;
    for (; i < s.size() && s[i] >= L'0' && s[i] <= L'9'; ++i)
        n = std::min<std::uint64_t>(n * 10 + static_cast<std::uint64_t>(s[i] - L'0'), UINT32_MAX);
    const auto bits = static_cast<std::uint32_t>(negative ? 0 - n : n);
    return static_cast<int>(bits);
}

} // namespace

void kwlist_escape(std::wstring_view text, std::wstring& out)
{
    for (wchar_t c : text) {
        if (kw_is_alnum(c)) {
            out += c;
            continue;
        }
        const auto u = static_cast<std::uint32_t>(c);
        if (u <= 0xFFFF) {
            append_code(out, u);
        } else if (u <= 0x10FFFF) {  // 32-bit wchar_t: written as its UTF-16 surrogate pair
            append_code(out, 0xD800 + ((u - 0x10000) >> 10));
            append_code(out, 0xDC00 + ((u - 0x10000) & 0x3FF));
        } else {
            append_code(out, 0xFFFD);
        }
    }
}

void kwlist_unescape(std::wstring& text)
{
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text[i] != L'$') {
            out += text[i++];
            continue;
        }
        const size_t n = std::min<size_t>(4, text.size() - i - 1);
        std::uint32_t unit = 0;
        for (size_t k = 1; k <= n && hex_value(text[i + k]) >= 0; ++k)
            unit = unit * 16 + static_cast<std::uint32_t>(hex_value(text[i + k]));
        append_unit(out, unit);
        i += 1 + n;
    }
    text = std::move(out);
}

std::wstring kwlist_next_field(std::wstring_view text, size_t& pos)
{
    if (pos >= text.size()) {
        pos = text.size();
        return {};
    }
    const size_t bar = text.find(L'|', pos);
    const size_t end = bar == std::wstring_view::npos ? text.size() : bar;
    std::wstring field(text.substr(pos, end - pos));
    pos = bar == std::wstring_view::npos ? text.size() : bar + 1;
    return field;
}

std::wstring kwlist_to_string(const KeywordList& list)
{
    std::wstring out;
    for (const auto& [key, data] : list) {
        if (data.flags & KWTransient) continue;
        if (!out.empty()) out += L'|';
        out += std::to_wstring(static_cast<unsigned>(data.flags));
        out += L'|';
        kwlist_escape(key, out);
        out += L'|';
        kwlist_escape(data.value, out);
    }
    return out;
}

void kwlist_from_string(std::wstring_view text, KeywordList& list)
{
    for (size_t pos = 0; pos < text.size();) {
        const int flags = read_flags(kwlist_next_field(text, pos));
        std::wstring key = kwlist_next_field(text, pos);
        std::wstring value = kwlist_next_field(text, pos);
        kwlist_unescape(key);
        kwlist_unescape(value);
        list.emplace_back(std::move(key), KWData{std::move(value), flags});
    }
}
