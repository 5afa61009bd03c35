#include "subspec/mixins.h"

#include <locale>
#include <stdexcept>

#include <boost/format.hpp>

std::wstring DefaultArea::area_expr(unsigned component) const
{
    const auto* subspec = dynamic_cast<const ISubSpec*>(this);
    if (!subspec)
        throw std::runtime_error("Can't access ISubSpec in DefaultArea::area_expr");
    return (boost::wformat(L"[%u:%s]", std::locale::classic()) % component % subspec->param_info(0).name).str();
}
