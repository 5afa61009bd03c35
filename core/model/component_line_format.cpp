// Writes a component line in one pass over the component's parameters.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "core/model/component_line.h"
#include "core/model/model_records.h"
#include "core/text/c_format.h"
#include "core/text/kwfile.h"
#include "core/text/kwfile_chars.h"
#include "core/text/number_text.h"

namespace {

bool same_bits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

}  // namespace

std::wstring encode_name(std::wstring_view name)
{
    // A leading letter or digit is coded too: an escaped text has at least one code,
    // so that "extradata" reads back decoded.
    std::wstring out = L"$$";
    if (!name.empty() && kw_is_alnum(name.front())) {
        out += (c_format(L"$%04x") % static_cast<unsigned>(name.front())).str();
        name.remove_prefix(1);
    }
    kwlist_escape(name, out);
    return out;
}

bool param_name_needs_encoding(std::wstring_view name)
{
    return name.empty() || name == L"extradata" || name.starts_with(L"$$") ||
           std::any_of(name.begin(), name.end(), [](wchar_t c) { return c == L'=' || kw_is_space(c); });
}

std::wstring format_component_line(const SubModel& component, const DVector& values, const std::vector<int>& flags,
                                   const DVector& lower, const DVector& upper)
{
    const std::size_t end = std::size_t(component.first) + component.count;
    if (values.size() < end || flags.size() < end || lower.size() < end || upper.size() < end)
        throw std::out_of_range("Parameter vectors shorter than the model");
    const ISubSpec& subspec = *component.subspec;
    std::wstring line = subspec.display_name() + L":";
    if (const auto* data = dynamic_cast<const ISubSpecData*>(&subspec))
        if (const std::wstring extra = data->save_extra(); !extra.empty())
            line += L" extradata=" + extra;
    for (unsigned i = 0; i < component.count; ++i) {
        const ParamInfo& info = subspec.param_info(i);
        const std::size_t k = component.first + i;
        line += L" " + (param_name_needs_encoding(info.name) ? encode_name(info.name) : info.name) + L"=" +
                double_to_text(values(k));
        if (!(flags[k] & ParamFree))
            line += L"F";
        const ParamLink& link = component.links.at(i);
        if (link.kind == LinkToParam)
            line += L"L" + double_to_text(link.factor) + L"*" + std::to_wstring(link.target_component + 1) + L"." +
                    std::to_wstring(link.target_param);
        else if (link.kind == LinkToExpr)
            line += L"L" + double_to_text(link.factor) + L"*" + std::to_wstring(link.target_component + 1);
        // Every bound but "none" is written as its number, so +inf below and -inf above
        // survive too; a bound is the descriptor's only when it has the same bits.
        const double low = lower(k), high = upper(k);
        if (!same_bits(low, info.lower))
            line += low == -unbounded ? L"b" : L"B" + double_to_text(low);
        if (!same_bits(high, info.upper))
            line += high == unbounded ? L"t" : L"T" + double_to_text(high);
    }
    return line;
}
