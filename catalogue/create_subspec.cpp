#include <string_view>

#include "catalogue/sub_spec_factory.h"
#include "subspec/distribution.h"

SubSpecPtr create_subspec(std::wstring_view name, const Isotope* isotope)
{
    constexpr std::wstring_view distribution_prefix = L"[D] ";
    if (!name.starts_with(distribution_prefix))
        return SubSpecFactory::instance().create_by_name(name, isotope);
    SubSpecPtr inner = SubSpecFactory::instance().create_by_name(name.substr(distribution_prefix.size()), isotope);
    // The distribution takes its own reference; its points come with its model data. A
    // name of no catalogue model after the prefix may be a scripted model's whole name.
    return inner ? SubSpecPtr(new Distribution(std::move(inner)))
                 : SubSpecFactory::instance().create_by_name(name, isotope);
}
