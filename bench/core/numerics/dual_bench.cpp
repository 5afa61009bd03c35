// Cost of line formulas on Dual<N> against the same formulas on doubles (the target is
// about N + 1 times), and of the Faddeeva function on values and on ComplexDual<2>.
#include "core/numerics/complex_dual.h"
#include "core/numerics/dual.h"
#include "lineshapes/faddeeva.h"
#include "lineshapes/pseudo_voigt.h"

#include <benchmark/benchmark.h>

#include <complex>
#include <cstddef>
#include <type_traits>
#include <vector>

namespace {

constexpr int points = 1024;

double velocity(int i) { return -10.0 + 20.0 * i / points; }

template <class R>
R parameter(double value, std::size_t k)
{
    if constexpr (std::is_same_v<R, double>)
        return value;
    else
        return R::seed(value, k);
}

// Arithmetic only: a Lorentz line of area I, position x0 and full width g.
template <class R>
R lorentz(double v, const R& area, const R& x0, const R& width)
{
    const R x = (v - x0) * 2.0 / width;
    return area * 2.0 / (width * 3.141592653589793 * (1.0 + x * x));
}

// `line(v, a, b, c)` at every velocity, its three parameters seeded as the dual parts 0
// to 2.
template <class R, class Line>
void time_line(benchmark::State& state, double a, double b, double c, Line line)
{
    const R p0 = parameter<R>(a, 0), p1 = parameter<R>(b, 1), p2 = parameter<R>(c, 2);
    std::vector<R> out(points);
    for (auto _ : state) {
        for (int i = 0; i < points; ++i)
            out[i] = line(velocity(i), p0, p1, p2);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * points);
}

template <class R>
void BM_lorentz(benchmark::State& state)
{
    time_line<R>(state, 1.5, 0.3, 0.8,
                 [](double v, const R& area, const R& x0, const R& width) { return lorentz(v, area, x0, width); });
}

// With one exponential per point.
template <class R>
void BM_pseudo_voigt(benchmark::State& state)
{
    time_line<R>(state, 0.4, 0.3, 0.8, [](double v, const R& a, const R& x0, const R& width) {
        return pseudo_voigt(R((v - x0) * 2.0 / width), a);
    });
}

template <class Z>
Z faddeeva_argument(int i)
{
    using R = typename Z::value_type;
    return Z(parameter<R>(velocity(i), 0), parameter<R>(0.6, 1));
}

template <class Z>
void BM_faddeeva_w(benchmark::State& state)
{
    std::vector<Z> in(points);
    std::vector<Z> out(points);
    for (int i = 0; i < points; ++i)
        in[i] = faddeeva_argument<Z>(i);
    for (auto _ : state) {
        for (int i = 0; i < points; ++i)
            out[i] = faddeeva_w(in[i]);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * points);
}

BENCHMARK_TEMPLATE(BM_lorentz, double);
BENCHMARK_TEMPLATE(BM_lorentz, Dual<3>);
BENCHMARK_TEMPLATE(BM_lorentz, Dual<10>);
BENCHMARK_TEMPLATE(BM_lorentz, Dual<23>);
BENCHMARK_TEMPLATE(BM_pseudo_voigt, double);
BENCHMARK_TEMPLATE(BM_pseudo_voigt, Dual<3>);
BENCHMARK_TEMPLATE(BM_pseudo_voigt, Dual<10>);
BENCHMARK_TEMPLATE(BM_pseudo_voigt, Dual<23>);
BENCHMARK_TEMPLATE(BM_faddeeva_w, std::complex<double>);
BENCHMARK_TEMPLATE(BM_faddeeva_w, ComplexDual<2>);

}  // namespace

BENCHMARK_MAIN();
