#include "ui/logic/model_state_grid_document.h"

#include <algorithm>
#include <exception>
#include <memory>

#include "core/document/change_records.h"
#include "core/spectrum/isotope.h"

ModelStateGridDocument::ModelStateGridDocument(ModelState& document, const ModelFileParts& parts,
                                               std::function<void()> before_change)
    : document_(document), parts_(parts), before_change_(std::move(before_change))
{
}

void ModelStateGridDocument::before_change() const
{
    if (before_change_) before_change_();
}

ModelGridSource ModelStateGridDocument::source() const
{
    const ModelState& d = document_;
    return {&d.model,        &d.values,       &d.fit_values, &d.flags, &d.lower_bounds,
            &d.upper_bounds, &d.covariance, [&d](unsigned k) { return d.is_varied(k); }};
}

ModelGridCommits ModelStateGridDocument::commits()
{
    return {[this](unsigned k, double value) {
                before_change();
                document_.set_param(k, value);
            },
            [this](unsigned first, unsigned end, int bits) {
                before_change();
                document_.set_flags(first, end, 0, bits);
            }};
}

std::wstring ModelStateGridDocument::component_line(unsigned component, bool use_values) const
{
    const ModelState& d = document_;
    return parts_.write_line(*d.model.components.at(component), use_values ? d.values : d.fit_values, d.flags,
                             d.lower_bounds, d.upper_bounds);
}

void ModelStateGridDocument::delete_component(unsigned component)
{
    before_change();
    document_.push_record<ModelState::ChangeRecordDelModel>(document_.model_history, component);
}

void ModelStateGridDocument::delete_expression(unsigned expression)
{
    before_change();
    document_.push_record<ModelState::ChangeRecordDelExpr>(document_.model_history, expression);
}

int ModelStateGridDocument::insert_pasted_component(unsigned index, const ComponentClipText& text)
{
    const IsotopeTable& isotopes = parts_.isotopes();
    const Isotope* isotope = isotopes.count() > 0 ? &isotopes.at(0) : nullptr;
    if (text.isotope) {
        isotope = isotopes.find(*text.isotope);
        if (!isotope) return -1;
    }
    // A text the catalogue or the line reader refuses pastes nothing, quietly.
    try {
        SubSpecPtr subspec = parts_.create(text.type_name, isotope);
        if (!subspec) return -1;
        DVector values, lower, upper;
        std::vector<int> flags;
        std::vector<LinkSpec> links;
        parts_.read_line(text.params, subspec, text.type_name, values, flags, lower, upper, links);
        const bool baseline = dynamic_cast<const IBaseLine*>(subspec.get()) != nullptr;
        const unsigned at = baseline ? 0 : std::min(index, document_.model.component_count());
        before_change();
        document_.insert_component(at, std::move(subspec), values, flags, lower, upper);
        return static_cast<int>(at);
    } catch (const std::exception&) {
        return -1;
    }
}

void ModelStateGridDocument::insert_pasted_expression(unsigned index, const std::wstring& name,
                                                      const std::wstring& text)
{
    before_change();
    document_.add_expression(std::min<unsigned>(index, static_cast<unsigned>(document_.model.expressions.size())),
                             name, text);
}
