// The component of a Lua-scripted model: its parameters are those the script declared,
// its values and derivatives come from the script. It has no isotope, no model data and
// no area parameters (so it is not rescaled when added and cannot be distributed).
#pragma once

#include <string>
#include <vector>

#include "subspec/subspec.h"

struct Isotope;
struct LuaModelInfo;

class LuaSubSpec final : public ISubSpec, public ISubSpecArea {
public:
    // The catalogue's factory: `info` is the model's LuaModelInfo; the isotope is ignored.
    static SubSpecPtr create(void* info, const Isotope* isotope);

    explicit LuaSubSpec(LuaModelInfo& info) : info_(info) {}

    unsigned param_count() const override;
    unsigned shown_param_count() const override { return param_count(); }
    void evaluate(const XPoints& x, const ParamRange& p, double* values) const override;
    void evaluate_with_jacobian(const XPoints& x, const ParamRange& p, double* values,
                                JacobianRange jacobian) const override;
    // Every parameter at its declared default.
    void init_params(const SpectrumAnalysis& analysis, DVector& params, unsigned first,
                     unsigned count) const override;
    // std::runtime_error "parameter index out of range" beyond the declarations.
    const ParamInfo& param_info(unsigned i) const override;
    // The script's name without the "@" that hides it from the menus.
    std::wstring display_name() const override;
    // 0, 1, …, n − 1 in one group.
    void param_layout(std::vector<unsigned>& out) const override;
    SubSpecPtr clone() const override;

    // "[k:name of the first parameter]"; empty (no area) without parameters.
    std::wstring area_expr(unsigned component) const override;

private:
    LuaModelInfo& info_;
};
