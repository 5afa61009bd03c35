#include "core/text/sum_expression.h"

#include "core/text/c_format.h"

void make_sum_expression(std::wstring& text, unsigned first, unsigned last, const std::wstring& term_format)
{
    text = (c_format(term_format) % first).str();
    for (unsigned k = first; k < last;)
        text += L"+" + (c_format(term_format) % ++k).str();
}
