// Edits that replace a component's subspectrum object as a whole: its model data
// changed on a copy, so that the step can be undone and a view reading the original
// meanwhile never sees a half-changed object.
#include <stdexcept>

#include "core/document/change_records.h"
#include "core/document/component_copy.h"

SubSpecPtr copy_component_subspec(const ISubSpec& subspec)
{
    SubSpecPtr copy = subspec.clone();
    if (const auto* data = dynamic_cast<const ISubSpecData*>(&subspec))
        if (!dynamic_cast<ISubSpecData&>(*copy).load_extra(data->save_extra()))
            throw std::runtime_error("The component's data could not be copied");
    if (const auto* from = dynamic_cast<const IDistribution*>(&subspec))
        dynamic_cast<IDistribution&>(*copy).set_axis_param(from->axis_param());
    return copy;
}

ModelState::ChangeRecordSubSpec::ChangeRecordSubSpec(ModelState& document, unsigned component,
                                                     SubSpecPtr replacement)
    : component_(component), before_(document.model.components.at(component)->subspec), after_(std::move(replacement))
{
    if (!after_ || after_->param_count() != before_->param_count() ||
        after_->shown_param_count() != before_->shown_param_count())
        throw std::invalid_argument("A replacement subspectrum must have the same parameters");
    apply(document, after_);
}

void ModelState::ChangeRecordSubSpec::apply(ModelState& document, const SubSpecPtr& subspec) const
{
    document.model.components.at(component_)->subspec = subspec;
    document.model.compile_expressions();
}

bool ModelState::edit_component_properties(unsigned component)
{
    const Transaction transaction(*this);
    const SubSpecPtr& present = model.components.at(component)->subspec;
    if (!dynamic_cast<ISubSpecProperties*>(present.get()))
        return false;
    const SubSpecPtr copy = copy_component_subspec(*present);
    if (!dynamic_cast<ISubSpecProperties&>(*copy).edit_properties())
        return false;
    model_history.push(std::make_shared<ChangeRecordSubSpec>(*this, component, copy));
    return true;
}

void ModelState::change_distribution(unsigned component, SubSpecPtr replacement, unsigned points)
{
    const Transaction transaction(*this);
    const IDistribution* present = model.components.at(component)->distribution();
    if (!present)
        throw std::invalid_argument("The component is no distribution");
    std::vector<ChangeRecordPtr> list;
    if (replacement)
        list.push_back(std::make_shared<ChangeRecordSubSpec>(*this, component, std::move(replacement)));
    if (points != model.components[component]->distribution()->point_count())
        list.push_back(std::make_shared<ChangeRecordResizeDist>(*this, component, points));
    if (list.size() == 1)
        model_history.push(list.front());
    else if (!list.empty())
        model_history.push(std::make_shared<ChangeRecordList>(std::move(list)));
}
