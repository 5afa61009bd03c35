// Components and levels changed without any record: for models that are not the
// document's, and for the document operations that record the values themselves.
#include <stdexcept>

#include "core/model/spectrum_model.h"

void SpectrumModel::append_component(SubSpecPtr subspec)
{
    const bool baseline = dynamic_cast<const IBaseLine*>(subspec.get()) != nullptr;
    if (baseline && starts_with_baseline())
        throw std::runtime_error("Baseline can't be added after the model is populated");
    if (baseline)
        if (auto* automatic = dynamic_cast<IAutoBaseLine*>(subspec.get()))
            automatic->set_level(level);
    const COLORREF color = subspectrum_color(static_cast<unsigned>(components.size()));
    components.push_back(std::make_shared<SubModel>(std::move(subspec), color));
    layout_params();
    rebuild_derived();
}

void SpectrumModel::set_baseline_level(double N0, DVector& values)
{
    level = N0;
    if (starts_with_baseline()) {
        const SubModel& b = *components.front();
        double x = N0;
        if (auto* automatic = dynamic_cast<IAutoBaseLine*>(b.subspec.get())) {
            automatic->set_level(N0);
            x = 0.0;
        }
        std::vector<int> areas;
        b.append_area_params(areas);
        if (!areas.empty())
            values(areas.front()) = x;
    }
    rebuild_derived();
}
