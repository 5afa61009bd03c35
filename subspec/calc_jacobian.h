// The value-and-Jacobian adapter: turns a model formula written once for a generic
// number type into values and a block of the model's Jacobian. Each parameter k is
// seeded as a Dual<N> with value p[k] and a unit derivative in column k, so one pass of
// the formula yields the value and all N partial derivatives at every point
// (forward-mode differentiation, exact to rounding).
//
// The formula comes in two steps: what does not depend on the velocity (a line list,
// the lines' shapes) is prepared once per call from the seeds, and the prepared formula
// then runs over the points in sub-blocks of eval_block_points, which bounds the dual
// buffer on the calling thread's stack (at most 24 doubles a point, 12 KiB) for any
// point count: worker threads have small stacks. The formulas are pointwise, so the
// split does not change the results. An exception from the formula (a library domain
// error from a typed-in value, a missing isotope) passes to the caller.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <span>

#include "core/numerics/dual.h"
#include "subspec/subspec.h"

inline constexpr std::size_t eval_block_points = 64;

// prepare(seeds) gives the prepared formula, a callable that, called as
// (xs, out), writes the value and the N derivatives at every point of xs into
// out[0 .. xs.size() − 1]. The Jacobian block must have x.size() rows and N columns
// (check_jacobian_block).
template <std::size_t N, class Prepare>
void calc_jacobian(std::span<const double> x, std::span<const double, N> p, double* values,
                   JacobianRange jacobian, Prepare&& prepare)
{
    if (x.empty())
        return;
    Dual<N> seeds[N];
    for (std::size_t k = 0; k < N; ++k)
        seeds[k] = Dual<N>::seed(p[k], k);
    const auto formula = prepare(static_cast<const Dual<N>*>(seeds));
    alignas(16) Dual<N> buffer[eval_block_points];

    DMatrix& m = jacobian.data().expression();
    const std::size_t stride = m.size2();
    double* const block = std::to_address(m.data().begin()) + jacobian.start1() * stride + jacobian.start2();
    for (std::size_t first = 0; first < x.size(); first += eval_block_points) {
        const std::size_t count = std::min(eval_block_points, x.size() - first);
        formula(x.subspan(first, count), static_cast<Dual<N>*>(buffer));
        for (std::size_t i = 0; i < count; ++i) {
            const double* d = buffer[i].data();
            values[first + i] = d[0];
            std::copy_n(d + 1, N, block + (first + i) * stride);
        }
    }
}
