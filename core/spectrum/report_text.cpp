#include "core/spectrum/report_text.h"

#include <algorithm>

#include <boost/algorithm/string/replace.hpp>

#include "core/spectrum/spectrum_data.h"

void append_keyword_line(std::wstring& text, const KeywordList& list, const std::wstring& key)
{
    std::wstring value;
    if (!kwlist_find(list, key, value) || value.empty())
        return;
    boost::replace_all(value, L"\r\n", L"\r\n\t");
    if (!text.empty())
        text += L"\r\n";
    text += key + L": " + value;
}

const std::wstring& cached_tail_text(const CachedName& name)
{
    if (!name.tail)
        name.tail = name.text.empty() ? std::wstring() : name.text.substr(1);
    return *name.tail;
}

void merge_marked_lines(const IModelData& spectrum, std::vector<SpectrumLine>& lines,
                        const std::vector<double>& marked)
{
    const std::vector<double>& x = spectrum.x();
    const std::vector<double>& y = spectrum.y();
    for (double m : marked) {
        const auto p = std::find_if(x.begin(), x.end(), [m](double v) { return !(v < m); });
        if (p == x.end())
            continue;
        if (std::any_of(lines.begin(), lines.end(), [m](const SpectrumLine& l) { return l.x == m; }))
            continue;
        const auto at = std::find_if(lines.begin(), lines.end(), [m](const SpectrumLine& l) { return l.x > m; });
        const auto index = p - x.begin();
        lines.insert(at, SpectrumLine{m, y[static_cast<std::size_t>(index)], static_cast<std::int32_t>(index)});
    }
}
