// Evaluation of the model function
//     model(x) = Σ baselines b fᵦ(x) + scale · Σ other components c f꜀(x),
// each component evaluated on its slice of the flat parameter vector. Values are
// computed in 16 blocks of points on the block pool (parallel_blocks.h); the Jacobian
// is computed serially per call, the fit calling it once per block, and the links are
// then carried into it by the chain rule (model_links.cpp).
//
// The parallel evaluations keep their serial part small, since it bounds how far they
// scale with the threads: before the parallel region they only decide which
// components take part with which factor (a baseline test per component and call,
// not per block) and allocate the scratch array of component values, one heap buffer
// per call left uninitialised (a stack array sized by the point count would overflow
// the small stacks of worker threads for long spectra). Each block clears and writes
// only its own points of the output and the scratch array. The block pool carries the
// exception of the lowest block that raised one out of the loop and rethrows it to the
// caller, so a component's error reaches whoever asked for the values.
#include "core/model/spectrum_model.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

#include "core/fit/parallel_blocks.h"
#include "core/fit/point_blocks.h"

namespace {

namespace ublas = boost::numeric::ublas;

// out[i] += values[i]·factor; a baseline passes 1.0, which leaves its values exact.
void add_scaled(double* out, const double* values, std::size_t n, double factor)
{
    for (std::size_t i = 0; i < n; ++i)
        out[i] += values[i] * factor;
}

// Multiplies columns first … first + n − 1 of rows 0 … rows − 1 by `factor`, a row at
// a time through a plain pointer: the compiler then keeps the factor and the row in
// registers, which it cannot do when every store might change the model's scale.
void scale_columns(DMatrix& m, std::size_t rows, std::size_t first, std::size_t n, double factor)
{
    const std::size_t stride = m.size2();
    double* const block = std::to_address(m.data().begin()) + first;
    for (std::size_t i = 0; i < rows; ++i) {
        double* const row = block + i * stride;
        for (std::size_t j = 0; j < n; ++j)
            row[j] *= factor;
    }
}

// Points first … first + count − 1 of x, `params` the full vector, `out_size` the size
// of the output: every range of a call must lie inside its vector.
void check_call(const DVector& x, std::size_t first, std::size_t count, const DVector& params,
                unsigned param_count, std::size_t out_size)
{
    if (count > x.size() || first > x.size() - count)
        throw std::out_of_range("Point range outside the x vector");
    if (params.size() < param_count)
        throw std::out_of_range("Parameter vector shorter than the model");
    if (out_size < count)
        throw std::out_of_range("Output shorter than the point range");
}

// One component of a sum, in model order, with the factor of its values: 1 for a
// baseline, else the scale.
struct Term {
    const SubModel* component;
    bool baseline;
    double factor;
};

Term term_of(const SubModel& component, double scale)
{
    const bool baseline = component.is_baseline();
    return {&component, baseline, baseline ? 1.0 : scale};
}

// out[0 … count − 1] = Σ factor · values of the terms on points first … first + count − 1
// of x, in 16 blocks on the block pool, which rethrows the exception of the first block
// that raised one after all blocks.
void sum_in_blocks(const std::vector<Term>& terms, const DVector& x, std::size_t first, std::size_t count,
                   const DVector& params, double* out)
{
    if (terms.empty()) {
        std::fill(out, out + count, 0.0);
        return;
    }
    const auto scratch = std::make_unique_for_overwrite<double[]>(count);
    parallel_blocks(point_block_count, [&](unsigned b) {
        const PointBlock block = point_block(b, count);
        const std::size_t n = block.end - block.begin;
        if (n == 0)
            return;
        double* const values = out + block.begin;
        double* const component_values = scratch.get() + block.begin;
        const XPoints points(x, ublas::range(first + block.begin, first + block.end));
        std::fill_n(values, n, 0.0);
        for (const Term& t : terms) {
            t.component->subspec->evaluate(points, t.component->param_slice(params), component_values);
            add_scaled(values, component_values, n, t.factor);
        }
    });
}

}  // namespace

void SpectrumModel::evaluate(const DVector& x, std::size_t first, std::size_t count, const DVector& params,
                             DVector& out) const
{
    check_call(x, first, count, params, total_param_count, out.size());
    if (count == 0)
        return;
    std::vector<Term> terms;
    terms.reserve(components.size());
    for (const auto& c : components)
        terms.push_back(term_of(*c, scale));
    sum_in_blocks(terms, x, first, count, params, &out(0));
}

void SpectrumModel::evaluate_component(unsigned component, const DVector& x, const DVector& params,
                                       DVector& out) const
{
    const std::size_t count = x.size();
    check_call(x, 0, count, params, total_param_count, out.size());
    std::fill(out.begin() + count, out.end(), 0.0);
    if (count == 0)
        return;
    // The baselines up to and including `component`, and `component` itself when it is
    // not a baseline.
    std::vector<Term> terms;
    for (unsigned k = 0; k < components.size(); ++k) {
        const Term t = term_of(*components[k], scale);
        if (t.baseline || k == component)
            terms.push_back(t);
        if (k == component)
            break;
    }
    sum_in_blocks(terms, x, 0, count, params, &out(0));
}

void SpectrumModel::evaluate_range_with_jacobian(const DVector& x, std::size_t first, std::size_t count,
                                                 const DVector& params, const ExprGradients& gradients,
                                                 DVector& out, DMatrix& jacobian) const
{
    check_call(x, first, count, params, total_param_count, out.size());
    if (jacobian.size1() < count || jacobian.size2() < total_param_count)
        throw std::out_of_range("Jacobian smaller than points × parameters");
    if (count == 0)
        return;
    double* const o = &out(0);
    std::fill(o, o + count, 0.0);
    const XPoints points(x, ublas::range(first, first + count));
    const auto scratch = std::make_unique_for_overwrite<double[]>(count);
    for (const auto& c : components) {
        const ublas::range columns(c->first, c->first + c->count);
        c->subspec->evaluate_with_jacobian(points, c->param_slice(params), scratch.get(),
                                           JacobianRange(jacobian, ublas::range(0, count), columns));
        if (c->is_baseline()) {
            add_scaled(o, scratch.get(), count, 1.0);
            continue;
        }
        add_scaled(o, scratch.get(), count, scale);
        scale_columns(jacobian, count, c->first, c->count, scale);
    }
    carry_links(gradients, count, jacobian);
}
