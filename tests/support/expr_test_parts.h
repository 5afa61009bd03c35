// Parts for the expression tests and benchmarks: components that have a catalogue type's
// parameter table but no formula (they evaluate to 0), one that offers extra variables,
// a model built from them and an isotope record with round constants.
#pragma once

#include <map>
#include <span>
#include <string>
#include <vector>

#include "core/spectrum/isotope.h"
#include "core/model/expr.h"
#include "core/model/spectrum_model.h"
#include "subspec/param_tables.h"
#include "subspec/subspec_impl.h"

namespace expr_test {

// The parameter table, names and display name of a catalogue type; the value 0.
template <class Params>
struct Inert : Params {
    template <class R, class... P>
    void calc(std::span<const double> x, R* out, const P&...) const
    {
        for (std::size_t i = 0; i < x.size(); ++i)
            out[i] = 0.0;
    }

    void init_params(const Isotope*, const SpectrumAnalysis&, std::span<double>) const {}
};

template <class Params>
SubSpecPtr inert(const Isotope* isotope = nullptr)
{
    return make_subspec<Inert<Params>>(isotope);
}

// A free variable that offers "[c:twice]" = 2·x and "[c:x2]" = its square.
struct VarsComponent : Inert<FreeVarParams>, IModelExtVars {
    void ext_vars(unsigned c, std::map<std::wstring, std::wstring>& vars) const override
    {
        const std::wstring x = L"[" + std::to_wstring(c) + L":x]";
        vars[L"[" + std::to_wstring(c) + L":twice]"] = L"2*" + x;
        vars[L"[" + std::to_wstring(c) + L":x2]"] = x + L"*" + x;
    }
};

// Flat indices: baseline N₀ 0, c 1, v₀ 2; first singlet I 3, δ 4, Γ 5; second singlet
// I 6, δ 7, Γ 8.
inline SpectrumModel baseline_and_two_singlets()
{
    SpectrumModel model;
    model.insert_component(0, inert<BaseLineParams>());
    model.insert_component(1, inert<LorenzLineParams>());
    model.insert_component(2, inert<LorenzLineParams>());
    return model;
}

// Round numbers, so that each constant is told from the others.
inline Isotope test_isotope()
{
    Isotope iso;
    iso.name = L"57Fe";
    iso.Γτ = 0.097;
    iso.Eγ = 14.4125;
    iso.g_gr = 0.18088;
    iso.g_ex = -0.103267;
    iso.K = -0.25;
    iso.L = 48.0;
    iso.α = 0.5;
    iso.β = -0.125;
    return iso;
}

inline void add_user_expression(SpectrumModel& model, const std::wstring& name, const std::wstring& text)
{
    NamedExpr e;
    e.name = name;
    e.text = text;
    model.expressions.push_back(e);
}

}  // namespace expr_test
