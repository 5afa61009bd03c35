#include "plot/html_markup.h"

#include "core/text/script_chars.h"

namespace {

bool needs_reference(wchar_t c)
{
    return c == L'&' || c == L'<' || c == L'%';
}

void append_reference(std::wstring& page, wchar_t c)
{
    page += L"&#" + std::to_wstring(static_cast<unsigned>(c)) + L';';
}

const wchar_t* script_tag(ScriptClass kind)
{
    return kind == ScriptClass::Superscript ? L"sup" : L"sub";
}

void begin_desc_table(std::wstring& page)
{
    page += L"<table class='desc'>\n";
}

void desc_row(std::wstring& page, std::wstring_view key, std::wstring_view value)
{
    page += L"<tr><td>" + html_escape(key) + L"</td><td class='val'>" + html_escape(value) + L"</td></tr>\n";
}

void end_desc_table(std::wstring& page)
{
    page += L"</table><br>\n";
}

} // namespace

std::wstring html_escape(std::wstring_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (const wchar_t c : text) {
        if (needs_reference(c))
            append_reference(out, c);
        else
            out += c;
    }
    return out;
}

void html_heading(std::wstring& page, int level, std::wstring_view text)
{
    const std::wstring n = std::to_wstring(level);
    page += L"<h" + n + L">";
    page += text;
    page += L"</h" + n + L">\n";
}

void html_desc_table(std::wstring& page, const KeywordList& list)
{
    begin_desc_table(page);
    for (const auto& [key, data] : list)
        if (!(data.flags & KWHidden))
            desc_row(page, key, data.value);
    end_desc_table(page);
}

void html_desc_table(std::wstring& page, const PropertyList& list)
{
    begin_desc_table(page);
    for (const auto& [name, text] : list)
        desc_row(page, name, text);
    end_desc_table(page);
}

void html_param_cell(std::wstring& page, unsigned& cells, std::wstring_view name, std::wstring_view value_text)
{
    page += L"<c><n>";
    html_param_name(page, name);
    page += L"</n><v>" + html_escape(value_text) + L"</v></c>";
    ++cells;
}

void html_param_line(std::wstring& page, std::wstring_view name, std::wstring_view value_text)
{
    page += L"<c><n>";
    page += name;
    page += L"</n><v>";
    page += value_text;
    page += L"</v></c>\n<br>\n";
}

void html_param_name(std::wstring& page, std::wstring_view name)
{
    if (name.size() > 1 && name.front() == L'X') {
        page += L"<span class='over'>";
        html_scripted_tail(page, name);
        page += L"</span>";
        return;
    }
    for (const std::wstring_view suffix : {L"L", L"R", L"max"})
        if (html_subscript_suffix(page, name, suffix))
            return;
    html_scripted_name(page, name);
}

void html_scripted_name(std::wstring& page, std::wstring_view text)
{
    for (const wchar_t c : text) {
        const ScriptClass kind = script_class(c);
        if (kind != ScriptClass::Normal) {
            const std::wstring tag = script_tag(kind);
            page += L"<" + tag + L">";
            page += plain_of_script(c);
            page += L"</" + tag + L">";
        } else if (needs_reference(c)) {
            append_reference(page, c);
        } else {
            page += c;
        }
    }
}

void html_scripted_tail(std::wstring& page, std::wstring_view name)
{
    if (!name.empty())
        html_scripted_name(page, name.substr(1));
}

bool html_subscript_suffix(std::wstring& page, std::wstring_view name, std::wstring_view suffix)
{
    if (name.size() <= suffix.size() || !name.ends_with(suffix))
        return false;
    html_scripted_name(page, name.substr(0, name.size() - suffix.size()));
    page += L"<sub>";
    html_scripted_name(page, suffix);
    page += L"</sub>";
    return true;
}

std::wstring html_script_runs(std::wstring_view text)
{
    std::wstring out;
    out.reserve(text.size() + text.size() / 8);
    ScriptClass open = ScriptClass::Normal;
    for (const wchar_t c : text) {
        const ScriptClass kind = script_class(c);
        if (kind != open) {
            if (open != ScriptClass::Normal)
                out += std::wstring(L"</") + script_tag(open) + L">";
            if (kind != ScriptClass::Normal)
                out += std::wstring(L"<") + script_tag(kind) + L">";
            open = kind;
        }
        out += plain_of_script(c);
    }
    if (open != ScriptClass::Normal)
        out += std::wstring(L"</") + script_tag(open) + L">";
    return out;
}
