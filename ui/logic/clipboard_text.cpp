#include "ui/logic/clipboard_text.h"

#include <algorithm>
#include <cwctype>

namespace {

constexpr std::size_t max_name = 127;

std::wstring_view trim_right(std::wstring_view s)
{
    while (!s.empty() && std::iswspace(s.back())) s.remove_suffix(1);
    return s;
}

// After a ':' any run of white space, as a blank in a scan pattern matches.
std::wstring_view skip_space(std::wstring_view s)
{
    while (!s.empty() && std::iswspace(s.front())) s.remove_prefix(1);
    return s;
}

} // namespace

std::optional<ComponentClipText> parse_component_clip_text(std::wstring_view text)
{
    const std::size_t colon = text.find(L':');
    if (colon == std::wstring_view::npos || colon == 0) return std::nullopt;
    std::wstring_view head = text.substr(0, colon);
    const std::wstring_view params = skip_space(text.substr(colon + 1));
    if (params.empty()) return std::nullopt;
    ComponentClipText out;
    out.params = params;
    const std::size_t open = head.find(L'(');
    if (open != std::wstring_view::npos && open > 0 && head.back() == L')') {
        const std::wstring_view isotope = head.substr(open + 1, head.size() - open - 2);
        if (open <= max_name && !isotope.empty() && isotope.size() <= max_name &&
            isotope.find(L')') == std::wstring_view::npos) {
            out.type_name = trim_right(head.substr(0, open));
            out.isotope = std::wstring(isotope);
            return out.type_name.empty() ? std::nullopt : std::optional(out);
        }
    }
    if (head.size() > max_name) return std::nullopt;
    out.type_name = trim_right(head);
    return out.type_name.empty() ? std::nullopt : std::optional(out);
}

std::wstring expression_clip_text(const std::wstring& name, const std::wstring& text)
{
    return name + L"=" + text;
}

void split_expression_clip_text(std::wstring_view clip, std::wstring& name, std::wstring& text)
{
    const std::size_t eq = clip.find(L'=');
    if (eq == std::wstring_view::npos) {
        name.clear();
        text = clip;
        return;
    }
    name = clip.substr(0, eq);
    text = clip.substr(eq + 1);
}

PastePlace paste_place(unsigned row, unsigned component_count, unsigned expression_count)
{
    PastePlace place;
    place.component = std::min(component_count, row);
    place.expression = row >= component_count ? std::min(expression_count, row - component_count) : 0;
    return place;
}

bool cut_after_copy(const std::function<bool()>& copy, const std::function<bool()>& remove)
{
    return copy() && remove();
}
