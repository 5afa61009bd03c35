#include "ui/logic/open_preview.h"

#include <algorithm>
#include <cwctype>

PreviewKind preview_kind(std::wstring_view path)
{
    if (path.size() < 4)
        return PreviewKind::none;
    std::wstring ending(path.substr(path.size() - 4));
    std::transform(ending.begin(), ending.end(), ending.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    if (ending == L".spc" || ending == L".txt" || ending == L".dat" || ending == L".dlt")
        return PreviewKind::spectrum;
    if (ending == L".mdl")
        return PreviewKind::model;
    return PreviewKind::none;
}

void append_keyword_line(std::wstring& text, const KeywordList& list, std::wstring_view key)
{
    std::wstring value;
    if (!kwlist_find(list, key, value) || value.empty())
        return;
    if (!text.empty())
        text += L"\n";
    text.append(key).append(L": ").append(value);
}

std::wstring spectrum_preview_text(const KeywordList& keywords)
{
    std::wstring text;
    for (const wchar_t* key :
         {L"Comment", L"FirstChannel", L"LastChannel", L"ZeroChannel", L"(mm/s)PerChannel", L"ChannelPrice(mm/s)"})
        append_keyword_line(text, keywords, key);
    return text;
}

std::wstring model_preview_text(const SpectrumModel& model)
{
    std::wstring text;
    append_keyword_line(text, model.keywords, L"Comment");
    for (std::size_t k = 0; k < model.components.size(); ++k) {
        if (!text.empty())
            text += L"\n";
        text += std::to_wstring(k + 1) + L". " + model.components[k]->subspec->display_name();
    }
    return text;
}

std::optional<std::pair<int, int>> preview_span(const ScreenRect& preview, std::span<const ScreenRect> controls)
{
    std::optional<std::pair<int, int>> span;
    for (const ScreenRect& c : controls) {
        if (c.bottom > preview.top)
            continue;
        span = span ? std::pair{std::min(span->first, c.left), std::max(span->second, c.right)} : std::pair{c.left, c.right};
    }
    return span;
}
