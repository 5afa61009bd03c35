// SubSpecImpl<T> turns a plain model struct T into a complete subspectrum. T knows only
// its own formula and tables; the template adds the reference count, the isotope
// pointer, IAAParam and the ISubSpec operations, and T's base classes (the mixins of
// subspec/mixins.h, the model-data sets of subspec/model_data.h) supply the optional
// interfaces.
//
// What T provides:
//   - from its T##Params base (subspec/param_tables.h): n_params, catalogue_name,
//     needs_isotope, param_info(i) and param_layout(order, area);
//   - the formula, once, generic over the number type R (double, or Dual<n_params>):
//         template <class R>
//         void calc([const Isotope* isotope,] std::span<const double> x, R* out,
//                   const R& p0, const R& p1, ...) const;
//     writing the value at every point of x into out[i], one argument per parameter
//     in table order; the isotope argument only where the formula reads it;
//   - or, in place of calc, the same formula in two steps, where a part that does not
//     depend on the velocity is costly (a line list from eigen-solutions, the lines of
//     many phases):
//         template <class R>
//         auto prepare([const Isotope* isotope,] const R& p0, const R& p1, ...) const;
//     giving a callable (std::span<const double> x, R* out) that writes what calc
//     would write; the Jacobian adapter then prepares once per call instead of once
//     per sub-block of points;
//   - void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis,
//                      std::span<double> p) const: the starting values.
// Evaluation reads T and writes only its outputs, so any number of threads may
// evaluate one object at once.
#pragma once

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/numerics/dual.h"
#include "core/spectrum/isotope.h"
#include "subspec/calc_jacobian.h"
#include "subspec/eval_ranges.h"
#include "subspec/subspec.h"

template <class T>
class SubSpecImpl final : public ISubSpec, public IAAParam, public T {
public:
    static constexpr unsigned N = T::n_params;

    explicit SubSpecImpl(const Isotope* isotope) : isotope_(isotope) {}

    // The record the component was created for; null when created without one.
    const Isotope* isotope() const { return isotope_; }

    unsigned param_count() const override { return N; }
    unsigned shown_param_count() const override { return param_count(); }

    void evaluate(const XPoints& x, const ParamRange& p, double* values) const override
    {
        const std::span<const double> points = range_points(x);
        const std::span<const double> params = range_params(p, N);
        prepare_formula(params.data(), std::make_index_sequence<N>())(points, values);
    }

    void evaluate_with_jacobian(const XPoints& x, const ParamRange& p, double* values,
                                JacobianRange jacobian) const override
    {
        const std::span<const double> points = range_points(x);
        const std::span<const double> params = range_params(p, N);
        check_jacobian_block(jacobian, points.size(), N);
        calc_jacobian<N>(points, params.first<N>(), values, jacobian,
                         [this](const Dual<N>* seeds) { return prepare_formula(seeds, std::make_index_sequence<N>()); });
    }

    void init_params(const SpectrumAnalysis& analysis, DVector& params, unsigned first,
                     unsigned count) const override
    {
        T::init_params(isotope_, analysis, init_slice(params, first, count, N));
    }

    const ParamInfo& param_info(unsigned i) const override { return T::param_info(i); }

    std::wstring display_name() const override
    {
        std::wstring name = T::catalogue_name;
        if (!name.empty() && name.front() == L'@')
            name.erase(0, 1);
        if (T::needs_isotope && isotope_)
            name += L" (" + isotope_->name + L")";
        return name;
    }

    void param_layout(std::vector<unsigned>& out) const override
    {
        std::vector<unsigned> area;
        T::param_layout(out, area);
    }

    void area_params(std::vector<unsigned>& out) const override
    {
        std::vector<unsigned> order;
        T::param_layout(order, out);
    }

    SubSpecPtr clone() const override { return SubSpecPtr(new SubSpecImpl(isotope_)); }

private:
    template <class R>
    void run_formula(std::span<const double> x, R* out, const R* p) const
    {
        call_formula(x, out, p, std::make_index_sequence<N>());
    }

    // T's prepared formula where it has one, else its formula on every call.
    template <class R, std::size_t... I>
    auto prepare_formula(const R* p, std::index_sequence<I...>) const
    {
        const T& model = *this;
        if constexpr (requires { model.prepare(isotope_, p[I]...); })
            return model.prepare(isotope_, p[I]...);
        else if constexpr (requires { model.prepare(p[I]...); })
            return model.prepare(p[I]...);
        else
            return [this, p](std::span<const double> x, R* out) { run_formula(x, out, p); };
    }

    template <class R, std::size_t... I>
    void call_formula(std::span<const double> x, R* out, const R* p, std::index_sequence<I...>) const
    {
        const T& model = *this;
        if constexpr (requires { model.calc(isotope_, x, out, p[I]...); })
            model.calc(isotope_, x, out, p[I]...);
        else
            model.calc(x, out, p[I]...);
    }

    const Isotope* isotope_;
};

// The catalogue's factory of T: a new object for the isotope (or none), count 1.
template <class T>
SubSpecPtr make_subspec(const Isotope* isotope)
{
    return SubSpecPtr(new SubSpecImpl<T>(isotope));
}
