#include "ui/logic/component_commands.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "core/document/change_records.h"
#include "core/document/component_copy.h"
#include "core/spectrum/isotope.h"
#include "catalogue/sub_spec_factory.h"
#include "subspec/distribution.h"

namespace {

std::wstring formatted(const wchar_t* format, double value)
{
    wchar_t buffer[64];
    std::swprintf(buffer, 64, format, value);
    return buffer;
}

} // namespace

unsigned insertion_position(unsigned component_count, int current_row)
{
    if (current_row < 0 || static_cast<unsigned>(current_row) >= component_count) return component_count;
    return std::min(static_cast<unsigned>(current_row) + 1, component_count);
}

bool add_subspectrum(ModelState& document, const SubSpecFactory& catalogue, int index, const Isotope* isotope,
                     bool as_distribution, int current_row, const std::wstring& folder,
                     const ChooseDistribution& choose)
{
    const SpectrumAnalysis& analysis = document.data.analysis(document.model.is_emission());
    SubSpecPtr subspec =
        index < 0 ? catalogue.create_baseline(isotope, analysis.N0) : catalogue.create_at(index, isotope);
    if (!subspec) return false;
    if (auto* data = dynamic_cast<ISubSpecData*>(subspec.get()))
        if (!data->set_defaults(folder)) return false;
    if (as_distribution) {
        bool properties_changed = false;
        const std::optional<DistributionChoice> choice = choose(*subspec, 0, properties_changed);
        if (!choice) return false;
        subspec = make_distribution(std::move(subspec), choice->points, choice->varying);
    }
    const unsigned position = insertion_position(document.model.component_count(), current_row);
    document.add_component(position, analysis, std::move(subspec), index >= 0);
    return true;
}

bool add_catalogue_entry(ModelState& document, const SubSpecFactory& catalogue, unsigned index,
                         const Isotope* isotope, bool as_distribution, int current_row, const std::wstring& folder,
                         const ChooseDistribution& choose, const ReportError& report)
{
    if (index >= catalogue.size()) return false;
    bool added = false;
    const auto step = [&](int entry, bool distribution) {
        try {
            added |= add_subspectrum(document, catalogue, entry, isotope, distribution, current_row, folder, choose);
        } catch (const std::exception& error) {
            report(error.what());
        }
    };
    bool is_baseline = false;
    try {
        const SubSpecPtr probe = catalogue.create_at(index, isotope);
        is_baseline = dynamic_cast<const IBaseLine*>(probe.get()) != nullptr;
    } catch (const std::exception& error) {
        report(error.what());
        return false;
    }
    if (!is_baseline && !document.model.starts_with_baseline()) step(-1, false);
    step(static_cast<int>(index), as_distribution);
    return added;
}

DeletedRow delete_model_row(ModelState& document, int row)
{
    if (row < 0) return DeletedRow::nothing;
    const unsigned n = document.model.component_count();
    const auto r = static_cast<unsigned>(row);
    if (r < n) {
        // Every model keeps its baseline.
        if (document.model.components[r]->is_baseline()) return DeletedRow::nothing;
        document.push_record<ModelState::ChangeRecordDelModel>(document.model_history, r);
        return DeletedRow::component;
    }
    if (r - n >= document.model.expressions.size()) return DeletedRow::nothing;
    document.push_record<ModelState::ChangeRecordDelExpr>(document.model_history, r - n);
    return DeletedRow::expression;
}

bool component_has_properties(const ModelState& document, int row)
{
    if (row < 0 || static_cast<unsigned>(row) >= document.model.component_count()) return false;
    const SubModel& component = *document.model.components[static_cast<unsigned>(row)];
    return dynamic_cast<const ISubSpecProperties*>(component.subspec.get()) || component.distribution();
}

bool edit_component(ModelState& document, unsigned component, const ChooseDistribution& choose)
{
    const SubModel& present = *document.model.components.at(component);
    if (dynamic_cast<const ISubSpecProperties*>(present.subspec.get()))
        return document.edit_component_properties(component);
    const auto* distribution = dynamic_cast<const Distribution*>(present.subspec.get());
    if (!distribution) return false;
    // The dialog's property editor works on the copy's inner model, which nothing else
    // holds; the copy replaces the component only when that data changed.
    const SubSpecPtr copy = copy_component_subspec(*distribution);
    auto& inner = const_cast<ISubSpec&>(static_cast<const Distribution&>(*copy).inner());
    bool properties_changed = false;
    const std::optional<DistributionChoice> choice = choose(inner, distribution->point_count(), properties_changed);
    if (!choice || (!properties_changed && choice->points == distribution->point_count())) return false;
    document.change_distribution(component, properties_changed ? copy : SubSpecPtr(), choice->points);
    return true;
}

std::array<std::wstring, 9> isotope_information_inserts(const Isotope& isotope)
{
    return {isotope.name,
            formatted(L"%.5f", isotope.Γτ),
            formatted(L"%.5f", isotope.Eγ),
            formatted(L"%.5f", isotope.g_gr),
            formatted(L"%.5f", isotope.g_ex),
            formatted(L"%.5f", 1.0 / isotope.K),
            formatted(L"%.5e", isotope.L),
            formatted(L"%.5f", isotope.α),
            formatted(L"%.5f", isotope.β)};
}
