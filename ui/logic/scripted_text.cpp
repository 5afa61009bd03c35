#include "ui/logic/scripted_text.h"

namespace {

constexpr wchar_t script_plain[] = L"0123456789+-=() ";

} // namespace

ScriptClass script_class(wchar_t c)
{
    if ((c >= 0x2070 && c <= 0x207F) || c == 0x00B2 || c == 0x00B3 || c == 0x00B9) return ScriptClass::Superscript;
    if (c >= 0x2080 && c <= 0x208F) return ScriptClass::Subscript;
    return ScriptClass::Normal;
}

wchar_t plain_of_script(wchar_t c)
{
    if (c == 0x00B9) return L'1';
    if (script_class(c) == ScriptClass::Normal) return c;
    return script_plain[c & 0xF];
}

std::vector<ScriptRun> split_script_runs(std::wstring_view text)
{
    std::vector<ScriptRun> runs;
    for (const wchar_t c : text) {
        const ScriptClass kind = script_class(c);
        if (runs.empty() || runs.back().kind != kind) runs.push_back({kind, {}});
        runs.back().text.push_back(plain_of_script(c));
    }
    return runs;
}

std::wstring to_subscript(std::wstring_view text)
{
    std::wstring out(text);
    for (wchar_t& c : out) {
        if (c >= L'0' && c <= L'9') c = static_cast<wchar_t>(0x2080 + (c - L'0'));
        else if (const wchar_t* p = std::char_traits<wchar_t>::find(script_plain + 10, 5, c))
            c = static_cast<wchar_t>(0x2080 + (p - script_plain));
    }
    return out;
}
