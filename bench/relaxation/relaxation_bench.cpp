// Cost of the relaxation models, values against values with the Jacobian at 512 and 1024
// velocity points, serially on one component, beside the pseudo-Voigt sextet's (the
// single-ion relaxation at four rates); and one
// solve of a level chain on doubles and on Dual<12> at 2 and 6 levels.
#include <benchmark/benchmark.h>

#include <complex>
#include <cstdint>
#include <span>
#include <vector>

#include "bench/support/component_timing.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "relaxation/fluctuating_fields.h"
#include "relaxation/spin_relax_sextet.h"
#include "relaxation/tridiagonal_solver.h"
#include "relaxation/two_state_models.h"
#include "subspec/subspec_impl.h"
#include "tests/support/program_isotopes.h"

template <>
struct BenchParams<PseudoVoigtSextet> {
    static constexpr double values[] = {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.03, -0.02,
                                        0.3, 1.1, 0.9, 1.05, 0.95, 1.1, 0.2};
};
template <>
struct BenchParams<RelaxDoublet> {
    static constexpr double values[] = {1.1, 0.8, 0.3, 0.6, -0.2, 1.1, 19.1, 0.7, 0.3};
};
template <>
struct BenchParams<RelaxSextet> {
    static constexpr double values[] = {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 19.8, 1.3, 0.3};
};
template <>
struct BenchParams<TwoStateRelaxSextet> {
    static constexpr double values[] = {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.3, -0.1, 250.0, 19.5, 0.8, 0.3};
};
template <>
struct BenchParams<SpinRelaxSextet> {
    static constexpr double values[] = {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 17.5, 0.6, 0.3, 5.5, 7.5, 9.5};
};
template <>
struct BenchParams<FluctuatingEFG> {
    static constexpr double values[] = {1.1, 0.8, 0.3, 0.6, 19.0, 0.3};
};
template <>
struct BenchParams<FluctuatingMMF> {
    static constexpr double values[] = {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 20.0, 0.3};
};

namespace {

#define VX_RELAXATION_BENCH(T)                       \
    BENCHMARK(evaluate_model<T>)->Arg(512)->Arg(1024);     \
    BENCHMARK(evaluate_model_with_jacobian<T>)->Arg(512)->Arg(1024)

VX_RELAXATION_BENCH(PseudoVoigtSextet);
VX_RELAXATION_BENCH(RelaxDoublet);
VX_RELAXATION_BENCH(RelaxSextet);
VX_RELAXATION_BENCH(TwoStateRelaxSextet);
VX_RELAXATION_BENCH(SpinRelaxSextet);
VX_RELAXATION_BENCH(FluctuatingEFG);
VX_RELAXATION_BENCH(FluctuatingMMF);

// The single-ion relaxation also at a slow rate, a fast one and one far above the spread
// (the narrowed line), ln Ω = 15, 22 and 30.
constexpr double spin_relax_slow[] = {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 15.0, 0.6, 0.3, 5.5, 7.5, 9.5};
constexpr double spin_relax_fast[] = {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 22.0, 0.6, 0.3, 5.5, 7.5, 9.5};
constexpr double spin_relax_narrowed[] = {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 30.0, 0.6, 0.3, 5.5, 7.5, 9.5};

void spin_relax_values(benchmark::State& state, std::span<const double> params)
{
    time_evaluate(state, make_subspec<SpinRelaxSextet>(&test_support::iron()), params);
}

void spin_relax_jacobian(benchmark::State& state, std::span<const double> params)
{
    time_evaluate_with_jacobian(state, make_subspec<SpinRelaxSextet>(&test_support::iron()), params);
}

#define VX_SPIN_RELAX_BENCH(name)                                                  \
    BENCHMARK_CAPTURE(spin_relax_values, name, spin_relax_##name)->Arg(512)->Arg(1024); \
    BENCHMARK_CAPTURE(spin_relax_jacobian, name, spin_relax_##name)->Arg(512)->Arg(1024)

VX_SPIN_RELAX_BENCH(slow);
VX_SPIN_RELAX_BENCH(fast);
VX_SPIN_RELAX_BENCH(narrowed);

// One chain solve of state.range(0) levels, rates of the width's order.
template <class R>
void solve_chain(benchmark::State& state)
{
    using C = std::complex<R>;
    const std::uint32_t n = static_cast<std::uint32_t>(state.range(0));
    std::vector<R> lower(n), upper(n);
    std::vector<C> own(n), x(n), factor(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        lower[i] = R(i > 0 ? 0.7 : 0.0);
        upper[i] = R(i + 1 < n ? 1.3 : 0.0);
        own[i] = C(R(-0.15), R(0.5 * i - 1.0));
    }
    double v = -2.0;
    for (auto _ : state) {
        solve_rate_chain(n, C(R(0.0), R(v)), lower.data(), own.data(), upper.data(), x.data(), factor.data());
        benchmark::DoNotOptimize(x.data());
        v = v > 2.0 ? -2.0 : v + 0.001;
    }
}

BENCHMARK(solve_chain<double>)->Arg(2)->Arg(6);
BENCHMARK(solve_chain<Dual<12>>)->Arg(2)->Arg(6);

}  // namespace

BENCHMARK_MAIN();
