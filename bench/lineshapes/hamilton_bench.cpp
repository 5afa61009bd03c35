// Cost of the hyperfine lines (two Jacobi eigen-solutions and the line intensities) on
// doubles and on the dual numbers of the models that call them, and of the values and
// the Jacobian of the two Hamiltonian models at 64 to 4096 velocities: the lines are
// found once per call, so their cost spreads over every point of the call.
#include <benchmark/benchmark.h>

#include <cmath>
#include <type_traits>

#include "bench/support/component_timing.h"
#include "lineshapes/hamilton.h"
#include "lineshapes/hyperfine_lines.h"
#include "subspec/subspec_impl.h"
#include "tests/support/program_isotopes.h"

namespace {

using test_support::iron;

// A field at an angle to a gradient with asymmetry: the excited matrix is dense.
template <class R>
void lines(benchmark::State& state)
{
    R p[6] = {0.9, 210.0, 35.0, 20.0, 0.4, 30.0};  // Q, H, θ, φ, η, γ
    if constexpr (!std::is_same_v<R, double>)
        for (int k = 0; k < 6; ++k)
            p[k] = R::seed(p[k][0], k);
    using std::cos;
    using std::sin;
    const R theta = to_radians(p[2]);
    const R c = cos(theta), s = sin(theta);
    const Isotope& fe = iron();
    for (auto _ : state) {
        HyperfineLines<R> result = hyperfine_lines(fe, p[0], p[1], c, s, p[3], p[4], p[5]);
        benchmark::DoNotOptimize(result);
    }
}

BENCHMARK(lines<double>);
BENCHMARK(lines<Dual<11>>);
BENCHMARK(lines<Dual<17>>);
BENCHMARK(lines<Dual<18>>);

constexpr double hamilton_params[] = {1.1, 30.0, 0.15, 0.9, 210.0, 35.0, 20.0, 0.4, 0.27, 0.3};
constexpr double hamilton8_params[] = {1.1,  30.0, 0.15, 0.9,  210.0, 35.0, 20.0, 0.4, 0.21,
                                       0.23, 0.25, 0.27, 0.29, 0.31,  0.33, 0.35, 0.3};

void hamilton_values(benchmark::State& state)
{
    time_evaluate(state, make_subspec<Hamilton>(&iron()), hamilton_params);
}

void hamilton_jacobian(benchmark::State& state)
{
    time_evaluate_with_jacobian(state, make_subspec<Hamilton>(&iron()), hamilton_params);
}

void hamilton8_jacobian(benchmark::State& state)
{
    time_evaluate_with_jacobian(state, make_subspec<Hamilton8>(&iron()), hamilton8_params);
}

BENCHMARK(hamilton_values)->Arg(64)->Arg(1024)->Arg(4096);
BENCHMARK(hamilton_jacobian)->Arg(64)->Arg(1024)->Arg(4096);
BENCHMARK(hamilton8_jacobian)->Arg(64)->Arg(1024)->Arg(4096);

}  // namespace

BENCHMARK_MAIN();
