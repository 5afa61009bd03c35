// Parts for the model tests: a Lorentz singlet built with the subspectrum framework, a
// subspectrum that throws for velocities above a limit, a product expression with its
// exact gradient and a small compiler for products of parameter references
// "[c:name]*[c:name]*…", installed through the model's compiler seam.
#pragma once

#include <cmath>
#include <memory>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/model/expr_interface.h"
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

// The product of the referenced parameters (a flat index may repeat).
class ProductExpr final : public IExpr {
public:
    ProductExpr(std::vector<unsigned> factors, std::wstring text) : factors_(std::move(factors)), text_(std::move(text))
    {
    }

    double value_with_variance(const DVector& params, const DMatrix& covariance, double& error) const override
    {
        DVector g;
        const double v = value_and_gradient(params, g);
        double sum = 0.0;
        for (unsigned p : used())
            for (unsigned q : used())
                sum += g(p) * g(q) * covariance(p, q);
        error = std::sqrt(sum);
        return v;
    }
    double value_and_gradient(const DVector& params, DVector& gradient) const override
    {
        gradient = DVector(params.size(), 0.0);
        for (std::size_t k = 0; k < factors_.size(); ++k) {
            double others = 1.0;
            for (std::size_t m = 0; m < factors_.size(); ++m)
                if (m != k)
                    others *= params(factors_[m]);
            gradient(factors_[k]) += others;
        }
        return value(params);
    }
    double value(const DVector& params) const override
    {
        double v = 1.0;
        for (unsigned f : factors_)
            v *= params(f);
        return v;
    }
    double value_with_variance_ext(const DVector& params, const DMatrix& covariance, const DVector&, const DVector&,
                                   double& error) const override
    {
        return value_with_variance(params, covariance, error);
    }
    void used_params(std::set<unsigned>& out) const override { out.insert(factors_.begin(), factors_.end()); }
    std::wstring text() const override { return text_; }

private:
    std::set<unsigned> used() const { return {factors_.begin(), factors_.end()}; }

    std::vector<unsigned> factors_;
    std::wstring text_;
};

// "[c:name]" factors joined by "*": c a component index, name one of its parameters.
inline ExprPtr compile_product(const std::wstring& text, const SpectrumModel& model, const std::vector<std::wstring>&)
{
    std::vector<unsigned> factors;
    std::size_t at = 0;
    while (true) {
        const std::size_t colon = text.find(L':', at);
        const std::size_t close = text.find(L']', at);
        if (text.compare(at, 1, L"[") != 0 || colon == std::wstring::npos || close == std::wstring::npos ||
            colon > close)
            return nullptr;
        const std::wstring number = text.substr(at + 1, colon - at - 1);
        const std::wstring name = text.substr(colon + 1, close - colon - 1);
        if (number.empty() || number.find_first_not_of(L"0123456789") != std::wstring::npos)
            return nullptr;
        const unsigned c = std::stoul(number);
        if (c >= model.components.size())
            return nullptr;
        const SubModel& component = *model.components[c];
        unsigned j = 0;
        while (j < component.count && component.subspec->param_info(j).name != name)
            ++j;
        if (j == component.count)
            return nullptr;
        factors.push_back(component.first + j);
        at = close + 1;
        if (at == text.size())
            return std::make_shared<ProductExpr>(factors, text);
        if (text[at] != L'*')
            return nullptr;
        ++at;
    }
}

// Installs compile_product for the lifetime of the object.
class ProductCompiler {
public:
    ProductCompiler() : previous_(set_expression_compiler(compile_product)) {}
    ~ProductCompiler() { set_expression_compiler(previous_); }
    ProductCompiler(const ProductCompiler&) = delete;
    ProductCompiler& operator=(const ProductCompiler&) = delete;

private:
    ExprCompiler previous_;
};

// A model of the given components, appended in order.
inline SpectrumModel model_of(std::initializer_list<SubSpecPtr> parts)
{
    SpectrumModel model;
    for (const SubSpecPtr& s : parts)
        model.insert_component(model.component_count(), s);
    return model;
}

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
