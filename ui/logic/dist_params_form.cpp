#include "ui/logic/dist_params_form.h"

#include <algorithm>

#include "core/text/script_chars.h"
#include "subspec/subspec.h"
#include "wingui/logic/dialog_numbers.h"

namespace {

constexpr unsigned point_counts[] = {2, 5, 10, 25, 50, 75, 100, 150, 200, 250, 300, 400, 500, 1000};

} // namespace

std::wstring flatten_script_characters(std::wstring_view text)
{
    std::wstring out(text);
    for (wchar_t& c : out) c = plain_of_script(c);
    return out;
}

std::vector<DistParamRow> distribution_param_rows(const ISubSpec& subspec)
{
    std::vector<unsigned> areas;
    if (const auto* area = dynamic_cast<const IAAParam*>(&subspec)) area->area_params(areas);
    std::vector<int> kinds;
    if (const auto* types = dynamic_cast<const IDistVarTypes*>(&subspec)) types->dist_kinds(kinds);
    std::vector<DistParamRow> rows;
    for (unsigned i = 0; i < subspec.param_count(); ++i) {
        const ParamInfo& info = subspec.param_info(i);
        if (std::find(areas.begin(), areas.end(), i) != areas.end()) continue;
        if (std::find(kinds.begin(), kinds.end(), static_cast<int>(info.kind)) == kinds.end()) continue;
        rows.push_back({i, flatten_script_characters(info.name)});
    }
    return rows;
}

std::vector<std::wstring> point_count_choices()
{
    std::vector<std::wstring> texts;
    for (unsigned n : point_counts) texts.push_back(std::to_wstring(n));
    return texts;
}

std::wstring initial_point_count_text(unsigned points) { return std::to_wstring(points ? points : 100u); }

std::optional<unsigned> read_point_count(std::wstring_view text)
{
    const std::optional<unsigned> n = read_field_unsigned(text);
    if (!n || *n < min_chosen_points || *n > max_chosen_points) return std::nullopt;
    return n;
}
