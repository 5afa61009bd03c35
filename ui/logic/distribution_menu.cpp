#include "ui/logic/distribution_menu.h"

#include <algorithm>
#include <cmath>

#include "core/text/c_format.h"
#include "core/text/data_files.h"
#include "core/text/kwfile.h"

std::optional<PointRange> drag_point_range(double x1, double x2, unsigned n)
{
    if (n == 0) return std::nullopt;
    long long from = static_cast<long long>(x1 + 0.5);
    long long to = static_cast<long long>(x2 + 0.5);
    if (from < 0 || to < 0) from = 0;
    if (to < 0 || to >= static_cast<long long>(n)) to = n - 1;
    if (to < from) return std::nullopt;
    return PointRange{static_cast<unsigned>(from), static_cast<unsigned>(to)};
}

DistributionTies distribution_ties(const SubModel& component)
{
    DistributionTies ties;
    ties.linked = component.get_distribution_link(ties.target, ties.factor);
    for (unsigned k = 0; k < 2 && !ties.linked; ++k) {
        const unsigned param = component.shown_count + k;
        ParamLink link;
        if (param < component.count && component.get_link(param, link) && link.kind == LinkToParam &&
            link.target_component == component.index)
            ties.shape_locked = true;
    }
    return ties;
}

std::vector<MenuItemState> distribution_menu_items(const DistributionTies& ties, bool results)
{
    const bool free = !ties.linked && !ties.shape_locked;
    return {{DistInfo, true},           {DistSaveAs, results},   {DistLock, free},   {DistLockShape, free},
            {DistUnlock, !ties.linked}, {DistWeight, true},      {DistClear, free},  {DistClearAndLock, free},
            {DistUnlink, ties.linked}};
}

std::wstring unlink_item_text(const std::wstring& text, const DistributionTies& ties)
{
    if (!ties.linked) return text;
    return text + (c_format(L" (=%.3f \u00D7 [%u])") % ties.factor % ties.target).str();
}

std::optional<TypedWeight> read_typed_weight(std::wstring_view text)
{
    TypedWeight weight;
    const std::size_t start = text.find_first_not_of(L" \t");
    if (start != std::wstring_view::npos && text[start] == L'*') {
        weight.multiply = true;
        text.remove_prefix(start + 1);
    }
    if (read_leading_double(text, weight.value) == 0) return std::nullopt;
    return weight;
}

double weight_deviation_argument(const TypedWeight& weight)
{
    if (weight.multiply && weight.value > 0.0) return -1.0 / std::sqrt(weight.value);
    return 1.0 / std::sqrt(std::max(weight.value, 1e-10));
}

std::wstring distribution_file_name(const std::wstring& model_path, const std::wstring& spectrum_path, unsigned n)
{
    const std::wstring& path = model_path.empty() ? spectrum_path : model_path;
    if (path.empty()) return {};
    return (c_format(L"%s-D%u") % file_stem(path) % (n + 1)).str();
}
