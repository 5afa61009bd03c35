#include "core/text/index_range.h"

#include <algorithm>
#include <climits>
#include <cwctype>
#include <optional>

namespace {

// scanf's "%d": blanks, an optional sign, at least one digit. A number beyond int's range
// saturates just outside it, so that no range check can pass it.
std::optional<long long> scan_int(std::wstring_view text, size_t& i)
{
    constexpr long long beyond = static_cast<long long>(INT_MAX) + 1;
    while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    const size_t digits = i;
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        value = std::min(value * 10 + (text[i] - L'0'), beyond);
    if (i == digits) return std::nullopt;
    return negative ? -value : value;
}

} // namespace

bool parse_index_range(std::wstring_view text, std::pair<std::size_t, std::size_t>& range, std::size_t count,
                       bool allow_single)
{
    size_t i = 0;
    const std::optional<long long> first = scan_int(text, i);
    if (!first) return false;
    std::optional<long long> last = first;
    if (i < text.size() && text[i] == L'-') {
        ++i;
        if (const std::optional<long long> second = scan_int(text, i)) last = second;
    }
    if (*first < 1 || *first > *last || static_cast<unsigned long long>(*last) > count) return false;
    if (*first == *last && !allow_single) return false;
    range = {static_cast<size_t>(*first - 1), static_cast<size_t>(*last - 1)};
    return true;
}
