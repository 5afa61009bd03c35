// Evaluation of the model function
//     model(x) = Σ baselines b fᵦ(x) + scale · Σ other components c f꜀(x),
// each component evaluated on its slice of the flat parameter vector. Values are
// computed in 16 blocks of points on the OpenMP team (static schedule); the Jacobian
// is computed serially per call, the fit calling it once per block, and the links are
// then carried into it by the chain rule (model_links.cpp).
//
// The scratch array of component values is one heap buffer per call, allocated before
// the parallel region: a stack array sized by the point count would overflow the small
// stacks of worker threads for long spectra. Each block writes only its own points. An
// exception never leaves a parallel region: the block that raised it gets NaN values.
#include "core/model/spectrum_model.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <vector>

#include "core/point_blocks.h"

namespace {

namespace ublas = boost::numeric::ublas;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// out[i] += values[i]·factor; a baseline passes 1.0, which leaves its values exact.
void add_scaled(double* out, const double* values, std::size_t n, double factor)
{
    for (std::size_t i = 0; i < n; ++i)
        out[i] += values[i] * factor;
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

// Runs body(block) for the 16 blocks of n points on the OpenMP team; a block whose
// body throws has its output points set to NaN.
template <class Body>
void for_each_point_block(std::size_t n, double* out, Body&& body)
{
#pragma omp parallel for schedule(static)
    for (int b = 0; b < static_cast<int>(point_block_count); ++b) {
        const PointBlock block = point_block(static_cast<unsigned>(b), n);
        if (block.begin == block.end)
            continue;
        try {
            body(block);
        } catch (...) {
            std::fill(out + block.begin, out + block.end, nan);
        }
    }
}

}  // namespace

void SpectrumModel::evaluate(const DVector& x, std::size_t first, std::size_t count, const DVector& params,
                             DVector& out) const
{
    check_call(x, first, count, params, total_param_count, out.size());
    if (count == 0)
        return;
    double* const o = &out(0);
    std::fill(o, o + count, 0.0);
    if (components.empty())
        return;
    std::vector<double> scratch(count);
    for_each_point_block(count, o, [&](const PointBlock& block) {
        const XPoints points(x, ublas::range(first + block.begin, first + block.end));
        const std::size_t n = block.end - block.begin;
        for (const auto& c : components) {
            c->subspec->evaluate(points, c->param_slice(params), &scratch[block.begin]);
            add_scaled(o + block.begin, &scratch[block.begin], n, c->is_baseline() ? 1.0 : scale);
        }
    });
}

void SpectrumModel::evaluate_component(unsigned component, const DVector& x, const DVector& params,
                                       DVector& out) const
{
    const std::size_t count = x.size();
    check_call(x, 0, count, params, total_param_count, out.size());
    std::fill(out.begin(), out.end(), 0.0);
    if (components.empty() || count == 0)
        return;
    double* const o = &out(0);
    std::vector<double> scratch(count);
    for_each_point_block(count, o, [&](const PointBlock& block) {
        const XPoints points(x, ublas::range(block.begin, block.end));
        const std::size_t n = block.end - block.begin;
        // The baselines up to and including `component`, and `component` itself when
        // it is not a baseline.
        for (unsigned k = 0; k < components.size(); ++k) {
            const SubModel& c = *components[k];
            const bool baseline = c.is_baseline();
            if (!baseline && k != component)
                continue;
            c.subspec->evaluate(points, c.param_slice(params), &scratch[block.begin]);
            add_scaled(o + block.begin, &scratch[block.begin], n, baseline ? 1.0 : scale);
            if (k == component)
                break;
        }
    });
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
    std::vector<double> scratch(count);
    for (const auto& c : components) {
        const ublas::range columns(c->first, c->first + c->count);
        c->subspec->evaluate_with_jacobian(points, c->param_slice(params), scratch.data(),
                                           JacobianRange(jacobian, ublas::range(0, count), columns));
        if (c->is_baseline()) {
            add_scaled(o, scratch.data(), count, 1.0);
            continue;
        }
        add_scaled(o, scratch.data(), count, scale);
        for (std::size_t i = 0; i < count; ++i)
            for (std::size_t j = c->first; j < c->first + c->count; ++j)
                jacobian(i, j) *= scale;
    }
    carry_links(gradients, count, jacobian);
}
