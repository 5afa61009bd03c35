// Lookups and changes of a KeywordList: the first entry with an exactly equal key
// answers; numbers are read and written in the "C" locale.
#include "core/text/kwfile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <locale>
#include <stdexcept>
#include <string>

#include <boost/format.hpp>

#include "core/text/kwfile_chars.h"
#include "core/text/messages.h"
#include "core/text/text.h"

namespace {

template <class List>
auto find_entry(List& list, std::wstring_view key)
{
    return std::find_if(list.begin(), list.end(), [&](const auto& e) { return e.first == key; });
}

const std::wstring* find_value(const KeywordList& list, std::wstring_view key)
{
    const auto it = find_entry(list, key);
    return it == list.end() ? nullptr : &it->second.value;
}

bool number_char(wchar_t c)
{
    return kw_is_alnum(c) || c == L'.' || c == L'+' || c == L'-' || c == L'(' || c == L')' || c == L'_';
}

bool is_hex_digit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// The value in ASCII for the number reader, one character per character: those a
// number can consist of keep their place, every other one becomes '\x01', which no
// number contains and which is not white space. Made once per value, so reading all
// its numbers costs time in proportion to its length even when they touch.
std::string number_text(std::wstring_view s)
{
    std::string text(s.size(), '\x01');
    for (size_t i = 0; i < s.size(); ++i)
        if (number_char(s[i])) text[i] = static_cast<char>(s[i]);
    return text;
}

// Reads a number at position `pos` of `s` (`text` its number_text) as wcstod does in
// the "C" locale: white space, a sign, then a decimal or "0x" hexadecimal number,
// "inf", "infinity" or "nan" (with an optional "(chars)"). Returns the characters
// used, 0 when there is no number.
size_t read_double(std::wstring_view s, std::string_view text, size_t pos, double& x)
{
    size_t start = pos;
    while (start < s.size() && kw_is_space(s[start])) ++start;
    const char* p = text.data() + start;
    const char* const end = text.data() + text.size();
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    if (p == end || *p == '-' || *p == '+') return 0;
    const char* const digits = p;
    double v = 0;
    std::from_chars_result r{p, std::errc::invalid_argument};
    if (end - p >= 3 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
        (is_hex_digit(p[2]) || (p[2] == '.' && end - p >= 4 && is_hex_digit(p[3]))))
        r = std::from_chars(p + 2, end, v, std::chars_format::hex);
    if (r.ec == std::errc::invalid_argument) r = std::from_chars(p, end, v, std::chars_format::general);
    if (r.ec == std::errc::invalid_argument) return 0;
    if (r.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: strtod gives infinity or the nearest tiny value.
        v = std::strtod(std::string(digits, r.ptr).c_str(), nullptr);
    }
    x = negative ? -v : v;
    return static_cast<size_t>(r.ptr - text.data()) - pos;
}

bool is_blank(std::wstring_view s) { return kw_trim(s).empty(); }

[[noreturn]] void format_error(const char* what, std::wstring_view key, std::wstring_view text)
{
    throw std::runtime_error(std::string(what) + " for <" + wide_to_utf8(key) + ">: " + wide_to_utf8(text));
}

[[noreturn]] void not_finite_error(std::wstring_view key, size_t index)
{
    throw std::runtime_error(MessageText(50081, key, index + 1).to_utf8());
}

std::wstring format_double(double x, std::wstring_view format)
{
    boost::wformat f(std::wstring(format), std::locale::classic());
    return (f % x).str();
}

template <class Pred>
void remove_entries(KeywordList& list, Pred pred)
{
    list.erase(std::remove_if(list.begin(), list.end(), pred), list.end());
}

} // namespace

bool kwlist_find(const KeywordList& list, std::wstring_view key, std::wstring& value)
{
    const std::wstring* v = find_value(list, key);
    if (!v) return false;
    value = *v;
    return true;
}

bool kwlist_has(const KeywordList& list, std::wstring_view key) { return find_value(list, key) != nullptr; }

bool kwlist_get_int(const KeywordList& list, std::wstring_view key, int& out)
{
    const std::wstring* v = find_value(list, key);
    if (!v) return false;
    const std::wstring& s = *v;
    size_t i = 0;
    while (i < s.size() && kw_is_space(s[i])) ++i;
    const bool negative = i < s.size() && s[i] == L'-';
    if (i < s.size() && (s[i] == L'-' || s[i] == L'+')) ++i;
    if (i == s.size() || s[i] < L'0' || s[i] > L'9') format_error("Invalid integer format", key, s);
    // Accumulated as a negative number, whose range reaches INT_MIN; out-of-range
    // values stop at the nearest limit.
    long long n = 0;
    for (; i < s.size() && s[i] >= L'0' && s[i] <= L'9'; ++i)
        n = std::max<long long>(n * 10 - (s[i] - L'0'), static_cast<long long>(INT_MIN) - 1);
    if (!negative) n = -n;
    out = static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX));
    return true;
}

bool kwlist_get_double(const KeywordList& list, std::wstring_view key, double& out)
{
    const std::wstring* v = find_value(list, key);
    return v && read_double(*v, number_text(*v), 0, out) > 0;
}

bool kwlist_get_doubles(const KeywordList& list, std::wstring_view key, std::vector<double>& out)
{
    const std::wstring* v = find_value(list, key);
    if (!v) return false;
    const std::wstring_view s = *v;
    const std::string text = number_text(s);
    std::vector<double> numbers;
    for (size_t i = 0;;) {
        while (i < s.size() && (kw_is_space(s[i]) || s[i] == L',')) ++i;
        if (i == s.size()) break;
        double x = 0;
        const size_t used = read_double(s, text, i, x);
        if (used == 0) format_error("Invalid floating point format", key, s.substr(i));
        numbers.push_back(x);
        i += used;
    }
    out = std::move(numbers);
    return true;
}

bool kwlist_get_finite_double(const KeywordList& list, std::wstring_view key, double& out)
{
    const std::wstring* v = find_value(list, key);
    if (!v || is_blank(*v)) return false;
    double x = 0;
    if (read_double(*v, number_text(*v), 0, x) == 0) format_error("Invalid floating point format", key, *v);
    if (!std::isfinite(x)) not_finite_error(key, 0);
    out = x;
    return true;
}

bool kwlist_get_finite_doubles(const KeywordList& list, std::wstring_view key, std::vector<double>& out)
{
    std::vector<double> numbers;
    if (!kwlist_get_doubles(list, key, numbers)) return false;
    const auto bad = std::find_if(numbers.begin(), numbers.end(), [](double x) { return !std::isfinite(x); });
    if (bad != numbers.end()) not_finite_error(key, static_cast<size_t>(bad - numbers.begin()));
    out = std::move(numbers);
    return true;
}

void kwlist_set(KeywordList& list, std::wstring_view key, std::wstring_view value, int flags)
{
    const auto it = find_entry(list, key);
    if (it == list.end()) {
        list.emplace_back(std::wstring(key), KWData{std::wstring(value), flags});
    } else {
        it->second.value.assign(value);
        it->second.flags = flags;
    }
}

void kwlist_set_int(KeywordList& list, std::wstring_view key, int n) { kwlist_set(list, key, std::to_wstring(n)); }

void kwlist_set_uint(KeywordList& list, std::wstring_view key, unsigned n)
{
    kwlist_set(list, key, std::to_wstring(n));
}

void kwlist_set_double(KeywordList& list, std::wstring_view key, double x, std::wstring_view format)
{
    kwlist_set(list, key, format_double(x, format));
}

void kwlist_set_double_transient(KeywordList& list, std::wstring_view key, double x, std::wstring_view format)
{
    kwlist_set(list, key, format_double(x, format), KWTransient);
}

void kwlist_set_double(KeywordList& list, std::wstring_view key, double x)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, x);
    kwlist_set(list, key, std::wstring(buf, r.ptr));
}

void kwlist_set_flags(KeywordList& list, std::wstring_view key, int flags)
{
    const auto it = find_entry(list, key);
    if (it != list.end()) it->second.flags = flags;
}

void kwlist_set_flags_by_prefix(KeywordList& list, std::wstring_view prefix, int flags)
{
    for (auto& e : list)
        if (e.first.starts_with(prefix)) e.second.flags = flags;
}

void kwlist_remove(KeywordList& list, std::wstring_view key)
{
    remove_entries(list, [&](const auto& e) { return e.first == key; });
}

void kwlist_remove_by_prefix(KeywordList& list, std::wstring_view prefix)
{
    remove_entries(list, [&](const auto& e) { return e.first.starts_with(prefix); });
}

size_t read_leading_double(std::wstring_view text, double& out) { return read_double(text, number_text(text), 0, out); }
