#include "wingui/logic/dialog_numbers.h"

#include <cerrno>
#include <climits>
#include <cwchar>
#include <cwctype>
#include <string>

namespace {

std::wstring trimmed(std::wstring_view text)
{
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) return {};
    const size_t last = text.find_last_not_of(L" \t");
    return std::wstring(text.substr(first, last - first + 1));
}

// wcstod and wcstol skip leading white space of every kind themselves; only blanks and
// tabs were allowed, so the trimmed text must start with the number itself.
template <class Parse>
bool parse_whole(const std::wstring& text, Parse parse)
{
    if (text.empty() || std::iswspace(text.front())) return false;
    wchar_t* end = nullptr;
    errno = 0;
    parse(text.c_str(), &end);
    return errno != ERANGE && end == text.c_str() + text.size();
}

} // namespace

std::wstring format_field_double(double value, int precision)
{
    wchar_t buffer[64];
    std::swprintf(buffer, 64, L"%.*g", precision, value);
    return buffer;
}

std::optional<double> read_field_double(std::wstring_view field)
{
    const std::wstring text = trimmed(field);
    double value = 0;
    if (!parse_whole(text, [&](const wchar_t* s, wchar_t** end) { value = std::wcstod(s, end); })) return {};
    return value;
}

std::optional<int> read_field_int(std::wstring_view field)
{
    const std::wstring text = trimmed(field);
    long value = 0;
    if (!parse_whole(text, [&](const wchar_t* s, wchar_t** end) { value = std::wcstol(s, end, 10); })) return {};
    if (value < INT_MIN || value > INT_MAX) return {};
    return static_cast<int>(value);
}

std::optional<unsigned> read_field_unsigned(std::wstring_view field)
{
    const std::wstring text = trimmed(field);
    long long value = 0;
    if (text.starts_with(L"-") || text.starts_with(L"+")) return {};
    if (!parse_whole(text, [&](const wchar_t* s, wchar_t** end) { value = std::wcstoll(s, end, 10); })) return {};
    if (value > UINT_MAX) return {};
    return static_cast<unsigned>(value);
}

std::optional<double> read_dialog_float(std::wstring_view field)
{
    const std::optional<double> value = read_field_double(field);
    if (!value || *value != 0.0) return value;
    const std::size_t first = field.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos || field[first] != L'0') return std::nullopt;
    return value;
}
