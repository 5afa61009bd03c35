#include "catalogue/lua_subspec.h"

#include <locale>
#include <numeric>
#include <stdexcept>

#include <boost/format.hpp>

#include "catalogue/lua_models.h"
#include "subspec/eval_ranges.h"

SubSpecPtr LuaSubSpec::create(void* info, const Isotope*)
{
    return SubSpecPtr(new LuaSubSpec(*static_cast<LuaModelInfo*>(info)));
}

unsigned LuaSubSpec::param_count() const
{
    return static_cast<unsigned>(info_.params.size());
}

void LuaSubSpec::evaluate(const XPoints& x, const ParamRange& p, double* values) const
{
    const std::span<const double> points = range_points(x);
    const std::span<const double> params = range_params(p, param_count());
    info_.runtime->invoke(info_, points.size(), params.size(), values, points.data(), params.data());
}

void LuaSubSpec::evaluate_with_jacobian(const XPoints& x, const ParamRange& p, double* values,
                                        JacobianRange jacobian) const
{
    const std::span<const double> points = range_points(x);
    const std::span<const double> params = range_params(p, param_count());
    check_jacobian_block(jacobian, points.size(), params.size());
    std::size_t stride = 0;
    double* const block = jacobian_block_data(jacobian, stride);
    info_.runtime->invoke_df(info_, points.size(), params.size(), values, block, stride, points.data(),
                             params.data());
}

void LuaSubSpec::init_params(const SpectrumAnalysis&, DVector& params, unsigned first, unsigned count) const
{
    const std::span<double> p = init_slice(params, first, count, param_count());
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = info_.params[i].default_value;
}

const ParamInfo& LuaSubSpec::param_info(unsigned i) const
{
    if (i >= info_.params.size())
        throw std::runtime_error("parameter index out of range");
    return info_.params[i].info;
}

std::wstring LuaSubSpec::display_name() const
{
    // The name the catalogue knows: model files and the clipboard find the type by it.
    const std::wstring& name = info_.name;
    return !name.empty() && name.front() == L'@' ? name.substr(1) : name;
}

void LuaSubSpec::param_layout(std::vector<unsigned>& out) const
{
    out.resize(param_count());
    std::iota(out.begin(), out.end(), 0u);
}

SubSpecPtr LuaSubSpec::clone() const
{
    return SubSpecPtr(new LuaSubSpec(info_));
}

std::wstring LuaSubSpec::area_expr(unsigned component) const
{
    if (param_count() == 0)
        return std::wstring();  // a model without parameters has no area
    return (boost::wformat(L"[%u:%s]", std::locale::classic()) % component % param_info(0).name).str();
}
