// The value-and-Jacobian adapter: turns a model formula written once for a generic
// number type into values and a block of the model's Jacobian. Each parameter k is
// seeded as a Dual<N> with value p[k] and a unit derivative in column k, so one pass of
// the formula yields the value and all N partial derivatives at every point
// (forward-mode differentiation, exact to rounding).
//
// Points pass through the formula in sub-blocks of eval_block_points, which bounds the
// dual buffer on the calling thread's stack (at most 24 doubles a point, 12 KiB) for
// any point count: worker threads have small stacks. The formulas are pointwise, so
// the split does not change the results. A sub-block whose formula throws (a library
// domain error from a typed-in value, an exhausted heap) gets NaN values and NaN
// derivatives: evaluations run on worker threads inside parallel regions, which no
// exception may leave.
#pragma once

#include <algorithm>
#include <cstddef>
#include <limits>
#include <memory>
#include <span>

#include "core/numerics/dual.h"
#include "subspec/subspec.h"

inline constexpr std::size_t eval_block_points = 64;

// Calls body(first, count) for the consecutive sub-blocks of n points; a sub-block whose
// body throws is passed to fail(first, count) instead.
template <class Body, class Fail>
void for_each_eval_block(std::size_t n, Body&& body, Fail&& fail) noexcept
{
    for (std::size_t first = 0; first < n; first += eval_block_points) {
        const std::size_t count = std::min(eval_block_points, n - first);
        try {
            body(first, count);
        } catch (...) {
            fail(first, count);
        }
    }
}

// formula(xs, out, seeds) writes the value and the N derivatives at every point of xs
// into out[0 .. xs.size() - 1], given the N seeded parameters. The Jacobian block must
// have x.size() rows and N columns (check_jacobian_block).
template <std::size_t N, class Formula>
void calc_jacobian(std::span<const double> x, std::span<const double, N> p, double* values,
                   JacobianRange jacobian, Formula&& formula)
{
    if (x.empty())
        return;
    Dual<N> seeds[N];
    for (std::size_t k = 0; k < N; ++k)
        seeds[k] = Dual<N>::seed(p[k], k);
    alignas(16) Dual<N> buffer[eval_block_points];

    DMatrix& m = jacobian.data().expression();
    const std::size_t stride = m.size2();
    double* const block = std::to_address(m.data().begin()) + jacobian.start1() * stride + jacobian.start2();
    for_each_eval_block(
        x.size(),
        [&](std::size_t first, std::size_t count) {
            formula(x.subspan(first, count), buffer, static_cast<const Dual<N>*>(seeds));
            for (std::size_t i = 0; i < count; ++i) {
                const double* d = buffer[i].data();
                values[first + i] = d[0];
                std::copy_n(d + 1, N, block + (first + i) * stride);
            }
        },
        [&](std::size_t first, std::size_t count) {
            constexpr double nan = std::numeric_limits<double>::quiet_NaN();
            std::fill_n(values + first, count, nan);
            for (std::size_t i = first; i < first + count; ++i)
                std::fill_n(block + i * stride, N, nan);
        });
}
