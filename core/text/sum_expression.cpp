// The template is formatted once, with a marker in place of the index, and each term is
// the template's pieces joined by the index in decimal: formatting every term anew costs
// a microsecond or so, which a sum over a thousand points would pay many times per
// statistics table.
#include "core/text/sum_expression.h"

#include <vector>

#include "core/text/c_format.h"

void make_sum_expression(std::wstring& text, unsigned first, unsigned last, const std::wstring& term_format)
{
    constexpr wchar_t marker = L'\x1';
    const std::wstring filled = (c_format(term_format) % std::wstring(1, marker)).str();
    std::vector<std::wstring> pieces(1);
    for (wchar_t c : filled) {
        if (c == marker)
            pieces.emplace_back();
        else
            pieces.back() += c;
    }
    text.clear();
    for (unsigned k = first;; ++k) {
        // The index in decimal, written here: std::to_wstring goes through swprintf.
        wchar_t digits[10];
        wchar_t* const end = digits + 10;
        wchar_t* begin = end;
        for (unsigned v = k; begin == end || v != 0; v /= 10)
            *--begin = static_cast<wchar_t>(L'0' + v % 10);
        text += pieces.front();
        for (std::size_t i = 1; i < pieces.size(); ++i)
            text.append(begin, end).append(pieces[i]);
        if (k >= last)
            break;
        text += L'+';
    }
}
