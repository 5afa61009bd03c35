// The model's derived expressions: each component's area, its share of the total area in
// percent and its area over the baseline level, as compiled expressions built from the
// texts the components supply (ISubSpecArea, IBaseLine). Their values and propagated
// errors come from the ordinary evaluator with the fit's covariance matrix; the relative
// areas also all at once, from the areas' gradients and one sweep over it. The three
// lists stay aligned with the component indices: an entry that cannot be formed is
// present with an empty text.
#include <cmath>

#include "core/model/covariance_gram.h"
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

std::vector<std::optional<ValueWithError>> SpectrumModel::relative_areas(const DVector& values,
                                                                         const DMatrix& covariance) const
{
    std::vector<std::optional<ValueWithError>> out(relative_area_exprs.size());
    if (area_exprs.size() != components.size() + 1 || !area_exprs.back().expr)
        return out;
    // The areas that the total adds up, each with its gradient; part[k] is component k's
    // place among them.
    constexpr std::size_t none = static_cast<std::size_t>(-1);
    std::vector<std::size_t> part(components.size(), none);
    std::vector<double> areas;
    std::vector<SparseGradient> gradients;
    DVector dense;
    for (std::size_t k = 0; k < components.size(); ++k) {
        const NamedExpr& area = area_exprs[k];
        if (area.text.empty())
            continue;
        if (!area.expr)
            return out;
        part[k] = areas.size();
        areas.push_back(area.expr->value_and_gradient(values, dense));
        SparseGradient g;
        for (unsigned p : area.used_params) {
            g.index.push_back(p);
            g.value.push_back(p < dense.size() ? dense(p) : 0.0);
        }
        gradients.push_back(std::move(g));
    }
    const double total = area_exprs.back().expr->value(values);
    // Row i is 100·Aᵢ/T with the gradient Σⱼ βⱼ ∇Aⱼ, βⱼ = 100·(δᵢⱼ·T − Aᵢ)/T², so its
    // variance is βᵀ G β with G the areas' covariances.
    const DMatrix gram = covariance_gram(covariance, gradients);
    std::vector<double> beta(areas.size());
    for (std::size_t k = 0; k < out.size(); ++k) {
        if (!relative_area_exprs[k].expr || part[k] == none)
            continue;
        const std::size_t i = part[k];
        for (std::size_t j = 0; j < beta.size(); ++j)
            beta[j] = ((j == i ? total : 0.0) - areas[i]) * 100.0 / (total * total);
        double variance = 0.0;
        for (std::size_t j = 0; j < beta.size(); ++j)
            for (std::size_t l = 0; l < beta.size(); ++l)
                variance += beta[j] * gram(j, l) * beta[l];
        out[k] = ValueWithError{areas[i] * 100.0 / total, std::sqrt(variance)};
    }
    return out;
}
