// The model's derived expressions: each component's area, its share of the total area in
// percent and its area over the baseline level, as compiled expressions built from the
// texts the components supply (ISubSpecArea, IBaseLine). Their values and propagated
// errors come from the ordinary evaluator with the fit's covariance matrix. The three
// lists stay aligned with the component indices: an entry that cannot be formed is
// present with an empty text.
#include "core/model/spectrum_model.h"

namespace {

// The non-empty area texts joined by '+'.
std::wstring join_areas(const std::vector<std::wstring>& areas)
{
    std::wstring total;
    for (const std::wstring& area : areas) {
        if (area.empty())
            continue;
        if (!total.empty())
            total += L"+";
        total += area;
    }
    return total;
}

}  // namespace

std::vector<std::wstring> SpectrumModel::component_area_texts() const
{
    std::vector<std::wstring> areas(components.size());
    for (std::size_t k = 0; k < components.size(); ++k)
        if (const auto* area = dynamic_cast<const ISubSpecArea*>(components[k]->subspec.get()))
            areas[k] = area->area_expr(static_cast<unsigned>(k));
    return areas;
}

std::wstring SpectrumModel::total_area_text() const
{
    return join_areas(component_area_texts());
}

void SpectrumModel::rebuild_derived()
{
    area_exprs.clear();
    relative_area_exprs.clear();
    level_area_exprs.clear();

    const std::vector<std::wstring> areas = component_area_texts();
    const std::wstring total = join_areas(areas);
    std::wstring level_text;
    if (starts_with_baseline())
        level_text = dynamic_cast<const IBaseLine&>(*components.front()->subspec).level_expr(0);

    auto over_level = [&](const std::wstring& area) {
        return level_text.empty() ? NamedExpr() : NamedExpr({}, L"(" + area + L")/" + level_text, *this);
    };
    for (const std::wstring& area : areas) {
        if (total.empty() || area.empty()) {
            area_exprs.emplace_back();
            relative_area_exprs.emplace_back();
            level_area_exprs.emplace_back();
            continue;
        }
        area_exprs.emplace_back(std::wstring(), area, *this);
        relative_area_exprs.emplace_back(std::wstring(), area + L"*100/(" + total + L")", *this);
        level_area_exprs.push_back(over_level(area));
    }
    if (total.empty()) {
        area_exprs.emplace_back();
        level_area_exprs.emplace_back();
    } else {
        area_exprs.emplace_back(std::wstring(), total, *this);
        level_area_exprs.push_back(over_level(total));
    }
}

double SpectrumModel::derived_value_with_variance(unsigned i, const DVector& values, const DMatrix& covariance,
                                                  double& error) const
{
    if (i >= relative_area_exprs.size() || !relative_area_exprs[i].expr)
        return -1.0;
    return relative_area_exprs[i].expr->value_with_variance(values, covariance, error);
}
