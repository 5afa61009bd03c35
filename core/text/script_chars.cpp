#include "core/text/script_chars.h"

namespace {

// U+2070 … U+207F and U+2080 … U+208F by their low four bits; '\0' where the code point
// is not assigned.
constexpr wchar_t superscript_plain[] = L"0i\0\0" L"456789+-=()n";
constexpr wchar_t subscript_plain[] = L"0123456789+-=()\0";
// U+2090 … U+209C.
constexpr wchar_t subscript_letters[] = L"aeox\u0259hklmnpst";
constexpr wchar_t operators[] = L"+-=()";

} // namespace

ScriptClass script_class(wchar_t c)
{
    return plain_of_script(c) == c ? ScriptClass::Normal
           : (c >= 0x2080)         ? ScriptClass::Subscript
                                   : ScriptClass::Superscript;
}

wchar_t plain_of_script(wchar_t c)
{
    wchar_t plain = L'\0';
    if (c == 0x00B2 || c == 0x00B3)
        plain = static_cast<wchar_t>(L'2' + (c - 0x00B2));
    else if (c == 0x00B9)
        plain = L'1';
    else if (c >= 0x2070 && c <= 0x207F)
        plain = superscript_plain[c - 0x2070];
    else if (c >= 0x2080 && c <= 0x208F)
        plain = subscript_plain[c - 0x2080];
    else if (c >= 0x2090 && c <= 0x209C)
        plain = subscript_letters[c - 0x2090];
    return plain == L'\0' ? c : plain;
}

wchar_t superscript_of(wchar_t c)
{
    if (c == L'1')
        return 0x00B9;
    if (c == L'2' || c == L'3')
        return static_cast<wchar_t>(0x00B2 + (c - L'2'));
    // The others sit sixteen code points below their subscripts.
    const wchar_t sub = subscript_of(c);
    return sub == c ? c : static_cast<wchar_t>(sub - 0x10);
}

wchar_t subscript_of(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return static_cast<wchar_t>(0x2080 + (c - L'0'));
    const std::wstring_view ops(operators);
    const auto at = ops.find(c);
    return at == std::wstring_view::npos ? c : static_cast<wchar_t>(0x208A + at);
}
