#include "core/model/sub_model.h"

#include <stdexcept>
#include <utility>

SubModel::SubModel(SubSpecPtr s, COLORREF c) : subspec(std::move(s)), color(c)
{
    if (!subspec)
        throw std::runtime_error("No subspectrum for the component");
    count = subspec->param_count();
    shown_count = subspec->shown_param_count();
    links.resize(count);
}

bool SubModel::is_baseline() const
{
    return dynamic_cast<const IBaseLine*>(subspec.get()) != nullptr;
}

bool SubModel::get_link(unsigned param, ParamLink& link) const
{
    if (param >= links.size())
        throw std::out_of_range("Parameter index out of range");
    const ParamLink& own = links[param];
    if (own.kind == NotLinked)
        return false;
    link = own;
    return true;
}
