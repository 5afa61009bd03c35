// Parts for the model tests and benchmarks: a Lorentz singlet built with the subspectrum
// framework, a subspectrum that throws for velocities above a limit, and models of them.
#pragma once

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/model/spectrum_model.h"
#include "subspec/baseline.h"
#include "subspec/param_tables.h"
#include "subspec/subspec_impl.h"

namespace model_test {

// I·(Γ/2π) / ((x − δ)² + (Γ/2)²): a line of area I at δ with full width Γ.
struct Lorentz : LorenzLineParams {
    template <class R>
    void calc(std::span<const double> x, R* out, const R& area, const R& position, const R& width) const
    {
        const R half = width * 0.5;
        for (std::size_t i = 0; i < x.size(); ++i) {
            const R u = x[i] - position;
            out[i] = area * half / (3.141592653589793 * (u * u + half * half));
        }
    }

    void init_params(const Isotope*, const SpectrumAnalysis&, std::span<double> p) const
    {
        p[0] = 1.0;
        p[1] = 0.0;
        p[2] = 0.3;
    }
};

inline SubSpecPtr lorentz()
{
    return make_subspec<Lorentz>(nullptr);
}

inline SubSpecPtr baseline()
{
    return make_subspec<BaseLine>(nullptr);
}

inline SubSpecPtr auto_baseline()
{
    return make_subspec<AutoBaseLine>(nullptr);
}

// Value x₀ of one parameter at every point; evaluate throws when a velocity of the
// call exceeds `limit`.
class ThrowingSubSpec final : public ISubSpec {
public:
    explicit ThrowingSubSpec(double limit) : limit_(limit) {}

    unsigned param_count() const override { return 1; }
    unsigned shown_param_count() const override { return 1; }
    void evaluate(const XPoints& x, const ParamRange& p, double* values) const override
    {
        for (std::size_t i = 0; i < x.size(); ++i) {
            if (x(i) > limit_)
                throw std::runtime_error("velocity beyond the limit");
            values[i] = p(0);
        }
    }
    void evaluate_with_jacobian(const XPoints& x, const ParamRange& p, double* values,
                                JacobianRange jacobian) const override
    {
        evaluate(x, p, values);
        for (std::size_t i = 0; i < x.size(); ++i)
            jacobian(i, 0) = 1.0;
    }
    void init_params(const SpectrumAnalysis&, DVector&, unsigned, unsigned) const override {}
    const ParamInfo& param_info(unsigned) const override { return FreeVarParams::param_info(0); }
    std::wstring display_name() const override { return L"throwing"; }
    void param_layout(std::vector<unsigned>& out) const override { out = {0}; }
    SubSpecPtr clone() const override { return SubSpecPtr(new ThrowingSubSpec(limit_)); }

private:
    double limit_;
};

// One parameter, value 0; its area text cannot be formed (as a scripted model without
// parameters once failed), so inserting it fails once the insertion has begun.
class AreaFailsSubSpec final : public ISubSpec, public ISubSpecArea {
public:
    unsigned param_count() const override { return 1; }
    unsigned shown_param_count() const override { return 1; }
    void evaluate(const XPoints& x, const ParamRange&, double* values) const override
    {
        std::fill_n(values, x.size(), 0.0);
    }
    void evaluate_with_jacobian(const XPoints& x, const ParamRange& p, double* values,
                                JacobianRange jacobian) const override
    {
        evaluate(x, p, values);
        for (std::size_t i = 0; i < x.size(); ++i)
            jacobian(i, 0) = 0.0;
    }
    void init_params(const SpectrumAnalysis&, DVector& p, unsigned first, unsigned) const override { p(first) = 0.0; }
    const ParamInfo& param_info(unsigned) const override { return FreeVarParams::param_info(0); }
    std::wstring display_name() const override { return L"area fails"; }
    void param_layout(std::vector<unsigned>& out) const override { out = {0}; }
    SubSpecPtr clone() const override { return SubSpecPtr(new AreaFailsSubSpec); }
    std::wstring area_expr(unsigned) const override { throw std::runtime_error("no area for this model"); }
};

// A model of the given components, appended in order.
inline SpectrumModel model_of(std::initializer_list<SubSpecPtr> parts)
{
    SpectrumModel model;
    for (const SubSpecPtr& s : parts)
        model.insert_component(model.component_count(), s);
    return model;
}

// A baseline at N0 = 1e6 and an absorption line of area 1 at 0.3 mm/s, width 0.4, on
// the scale −3e5.
struct LineModel {
    SpectrumModel model = model_of({baseline(), lorentz()});
    DVector values;

    LineModel()
    {
        model.scale = -3e5;
        values = DVector(model.param_count());
        values(0) = 1e6, values(1) = 0.0, values(2) = 0.0;
        values(3) = 1.0, values(4) = 0.3, values(5) = 0.4;
    }

    // The model's counts at the velocities x.
    std::vector<double> at(const std::vector<double>& x) const
    {
        DVector xs(x.size()), out(x.size());
        std::copy(x.begin(), x.end(), xs.begin());
        model.evaluate(xs, 0, x.size(), values, out);
        return std::vector<double>(out.begin(), out.end());
    }
};

inline void link_param(SpectrumModel& model, unsigned component, unsigned param, unsigned target_component,
                       unsigned target_param, double factor)
{
    model.components[component]->links[param] = ParamLink{target_component, target_param, LinkToParam, factor};
}

inline void link_expr(SpectrumModel& model, unsigned component, unsigned param, unsigned expression, double factor)
{
    model.components[component]->links[param] = ParamLink{expression, 0, LinkToExpr, factor};
}

}  // namespace model_test
