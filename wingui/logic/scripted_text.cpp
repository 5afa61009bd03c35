#include "wingui/logic/scripted_text.h"

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
    for (wchar_t& c : out)
        c = subscript_of(c);
    return out;
}
