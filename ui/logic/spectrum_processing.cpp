#include "ui/logic/spectrum_processing.h"

#include <algorithm>
#include <cwctype>

#include "wingui/logic/dialog_numbers.h"

std::vector<std::wstring> transform_parameter_names(std::wstring_view text)
{
    std::vector<std::wstring> names;
    for (std::size_t i = text.find(L'$'); i != std::wstring_view::npos; i = text.find(L'$', i)) {
        std::size_t end = i + 1;
        while (end < text.size() && std::iswalnum(text[end])) ++end;
        const std::wstring name(text.substr(i + 1, end - i - 1));
        // The scan goes on after the character that ended the name.
        i = end + 1;
        if (name.empty() || name == L"v" || name == L"I") continue;
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    return names;
}

KeywordList transform_parameter_list(std::wstring_view text, const KeywordList& previous)
{
    KeywordList list;
    for (const std::wstring& name : transform_parameter_names(text)) {
        std::wstring value = L"0";
        kwlist_find(previous, name, value);
        kwlist_set(list, name, value, 0);
    }
    return list;
}

std::optional<std::vector<double>> transform_parameter_values(const KeywordList& list, std::wstring& unreadable)
{
    std::vector<double> values;
    for (const auto& [name, data] : list) {
        const std::optional<double> value = read_field_double(data.value);
        if (!value) {
            unreadable = name;
            return std::nullopt;
        }
        values.push_back(*value);
    }
    return values;
}

std::vector<std::wstring> transform_variable_names(const KeywordList& list)
{
    std::vector<std::wstring> names;
    for (const auto& entry : list) names.push_back(entry.first);
    names.insert(names.end(), {L"v", L"I"});
    return names;
}

std::pair<double, double> generate_range(const std::vector<double>& x, const SpectrumModel& model,
                                         const DVector& values)
{
    if (x.size() >= 2) return {x.front(), x.back()};
    double low = -3.0, high = 3.0;
    model.velocity_range(values, low, high);
    return {low, high};
}
