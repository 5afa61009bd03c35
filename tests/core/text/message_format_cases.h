// Message definitions with inserts and the text FormatMessageW gives for them in
// maximum-width mode. The portable test checks the formatter against the expected
// texts; the Windows test checks that FormatMessageW itself agrees where its result
// is defined and Wine follows the documentation.
#pragma once

#include <string>
#include <vector>

#include "core/text/messages.h"

struct MessageFormatCase {
    const char* name;
    std::wstring definition;
    std::vector<MessageInsert> inserts;
    std::wstring expected;  // empty where FormatMessageW fails
    bool compare_with_windows = true;
};

inline std::vector<MessageFormatCase> message_format_cases()
{
    using I = std::vector<MessageInsert>;
    return {
        {"crlf_becomes_blank", L"hi\r\n", I{}, L"hi "},
        {"lf_becomes_blank", L"hi\n", I{}, L"hi "},
        {"cr_and_crlf_two_blanks", L"a\r\r\nb", I{}, L"a  b"},
        {"hard_breaks_stay", L"a%nb%rc", I{}, L"a\r\nb\rc"},
        {"literal_tab_stays", L"a\tb", I{}, L"a\tb"},
        // Documented as a tab; Wine gives CR LF in maximum-width mode.
        {"escaped_tab", L"a%tb", I{}, L"a\tb", false},
        {"end_drops_the_rest", L"Information%0\r\n", I{}, L"Information"},
        {"escaped_characters", L"100%% sure%. %!% x", I{}, L"100% sure. ! x"},
        {"inserts_in_any_order", L"%1%3%2%1", I{L"t", L"s", L"e"}, L"test"},
        {"default_is_string", L"<%1>", I{L"a b"}, L"<a b>"},
        {"two_digit_insert", L"%10|%1", I{L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"ten"},
         L"ten|1"},
        {"exclamation_after_insert", L"%1!s!!", I{L"x"}, L"x!"},
        {"insert_text_verbatim", L"%1!s!", I{L"a\r\nb%1"}, L"a\r\nb%1"},
        {"unsigned", L"found %1!u!, %2!u!", I{4u, -1}, L"found 4, 4294967295"},
        {"signed_width", L"[%1!4d!][%2!-4d!]", I{-1, 7}, L"[  -1][7   ]"},
        {"hex_and_octal", L"%1!x! %1!04X! %1!o!", I{255}, L"ff 00FF 377"},
        {"unsigned_precision", L"%1!4.2u!", I{3}, L"  03"},
        {"string_width_precision", L"[%1!3s!][%2!-3s!][%3!.2s!]", I{L"t", L"u", L"test"}, L"[  t][u  ][te]"},
        {"character", L"%1!c!%2!wc!", I{int('o'), int('k')}, L"ok"},
        {"unicode_text", L"\u0393\u03c4=%1!s! \u0416", I{L"0.097"}, L"\u0393\u03c4=0.097 \u0416"},
        {"percent_at_end_fails", L"test%", I{}, L""},
        // Windows reads past the arguments.
        {"missing_insert_fails", L"%1 %2", I{L"a"}, L"", false},
    };
}
