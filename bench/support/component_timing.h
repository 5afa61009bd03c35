// Timing of one component at state.range(0) velocities over [−10, 10]: its values, and
// its values with the Jacobian; parameters and buffers are set up once, outside the
// timed loop.
#pragma once

#include <benchmark/benchmark.h>

#include <span>
#include <utility>
#include <vector>

#include "subspec/subspec.h"
#include "subspec/subspec_impl.h"
#include "tests/support/dvectors.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/subspec_ranges.h"

struct ComponentTiming {
    SubSpecPtr subspec;
    DVector x, p;
    std::vector<double> values;
    DMatrix jacobian;

    ComponentTiming(SubSpecPtr s, const benchmark::State& state, std::span<const double> params)
        : subspec(std::move(s)),
          x(test_support::grid(-10.0, 10.0, std::size_t(state.range(0)))),
          p(test_support::vec({params.begin(), params.end()})),
          values(x.size()),
          jacobian(x.size(), params.size())
    {
    }
};

inline void time_evaluate(benchmark::State& state, SubSpecPtr subspec, std::span<const double> params)
{
    using test_support::all_of;
    ComponentTiming t(std::move(subspec), state, params);
    for (auto _ : state) {
        t.subspec->evaluate(all_of(t.x), all_of(t.p), t.values.data());
        benchmark::DoNotOptimize(t.values.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

inline void time_evaluate_with_jacobian(benchmark::State& state, SubSpecPtr subspec,
                                        std::span<const double> params)
{
    using test_support::all_of;
    ComponentTiming t(std::move(subspec), state, params);
    for (auto _ : state) {
        t.subspec->evaluate_with_jacobian(all_of(t.x), all_of(t.p), t.values.data(), all_of(t.jacobian));
        benchmark::DoNotOptimize(t.values.data());
        benchmark::DoNotOptimize(&t.jacobian(0, 0));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A built-in model type T timed on ⁵⁷Fe at the parameters BenchParams<T>::values, which
// each benchmark program specialises for the types it times.
template <class T>
struct BenchParams;

template <class T>
void evaluate_model(benchmark::State& state)
{
    time_evaluate(state, make_subspec<T>(&test_support::iron()), BenchParams<T>::values);
}

template <class T>
void evaluate_model_with_jacobian(benchmark::State& state)
{
    time_evaluate_with_jacobian(state, make_subspec<T>(&test_support::iron()), BenchParams<T>::values);
}
