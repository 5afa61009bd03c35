// The document's construction, its varied test and the operations on it as a whole.
#include "core/document/model_state.h"

#include <utility>

#include "core/document/change_records.h"

ModelState::ModelState()
{
    set_levels_from_spectrum();
}

void ModelState::set_levels_from_spectrum()
{
    const Transaction transaction(*this);
    const SpectrumAnalysis& a = data.analysis(model.is_emission());
    model.set_levels(a.S, a.N0);
}

bool ModelState::is_varied(unsigned index) const
{
    if (index >= flags.size())
        throw std::runtime_error("Invalid variable index");
    const int f = flags[index];
    if (!(f & ParamFree) || (f & ParamLocked))
        return false;
    const SubModel& c = model.component_of_param(index);
    return c.links[index - c.first].kind == NotLinked;
}

void ModelState::accept_fit_values(const DVector& new_values)
{
    const Transaction transaction(*this);
    if (new_values.size() != model.param_count())
        throw std::invalid_argument("Fit values of another length than the model's parameters");
    model_history.push(std::make_shared<ChangeRecordA0>(*this, new_values));
}

void ModelState::set_isotope(const Isotope* isotope)
{
    const Transaction transaction(*this);
    model.isotope = isotope;
    model.compile_expressions();
}

bool ModelState::edit_component_properties(ISubSpecProperties& editor)
{
    const Transaction transaction(*this);
    if (!editor.edit_properties())
        return false;
    model.compile_expressions();
    return true;
}

void ModelState::append_spectrum_comment(const std::wstring& text)
{
    const Transaction transaction(*this);
    keep_spectrum();
    data.store_keywords();
    KeywordList list = data.keywords;
    std::wstring comment;
    kwlist_find(list, L"Comment", comment);
    if (!comment.empty())
        comment += L", ";
    comment += text;
    kwlist_set(list, L"Comment", comment, 0);
    data.load_keywords(list);
    data.keywords = std::move(list);
}
