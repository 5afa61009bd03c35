// Cost of the many-state relaxation sextets at 101, 1001 and 10000 levels and 512 and
// 1024 velocity points, values and values with the Jacobian, serially on one thread; the
// process's peak resident memory after each run, which only grows: run one case per
// process for its own figure.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>

#include "bench/support/component_timing.h"
#include "relaxation/many_state_relaxation.h"
#include "subspec/subspec_impl.h"
#include "tests/support/program_isotopes.h"

namespace {

// I, I₂/I₁, I₃/I₁, δ, ε, H, ln(R) between the static and the fast limit, the population
// parameters, Γ₁, Γ₂/Γ₁, Γ₃/Γ₁.
constexpr double spin_params[] = {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 22.0, 0.9, 0.3, 1.1, 0.9};
constexpr double particle_params[] = {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 22.0, 3.0, 0.5, 0.3, 1.1, 0.9};

template <class T>
SubSpecPtr with_levels(long levels)
{
    SubSpecPtr s = make_subspec<T>(&test_support::iron());
    dynamic_cast<ISubSpecData&>(*s).load_extra(L"0|Levels (2S+1)|" + std::to_wstring(levels));
    return s;
}

void peak_memory(benchmark::State& state)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// state.range(0) velocity points, state.range(1) levels.
template <class T>
void values(benchmark::State& state, std::span<const double> params)
{
    time_evaluate(state, with_levels<T>(state.range(1)), params);
    peak_memory(state);
}

template <class T>
void jacobian(benchmark::State& state, std::span<const double> params)
{
    time_evaluate_with_jacobian(state, with_levels<T>(state.range(1)), params);
    peak_memory(state);
}

void spin_values(benchmark::State& state) { values<ManyStateRelaxSextet>(state, spin_params); }
void spin_jacobian(benchmark::State& state) { jacobian<ManyStateRelaxSextet>(state, spin_params); }
void particle_values(benchmark::State& state) { values<ManyStateSPRelaxSextet>(state, particle_params); }
void particle_jacobian(benchmark::State& state) { jacobian<ManyStateSPRelaxSextet>(state, particle_params); }

#define VX_MANY_STATE_BENCH(f) \
    BENCHMARK(f)->ArgsProduct({{512, 1024}, {101, 1001, 10000}})->Unit(benchmark::kMillisecond)

VX_MANY_STATE_BENCH(spin_values);
VX_MANY_STATE_BENCH(spin_jacobian);
VX_MANY_STATE_BENCH(particle_values);
VX_MANY_STATE_BENCH(particle_jacobian);

}  // namespace

BENCHMARK_MAIN();
