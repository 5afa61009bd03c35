// Cost of a distribution component: a sextet spread over the hyperfine field with 10,
// 100 and 1000 points over 512 to 4096 channels, its values and its values with the
// Jacobian; one Levenberg-Marquardt step of a fit of all its weights with smoothing;
// and, at 1000 points, the interactive edits (a new point count, a moved end value) and
// the statistics table with its errors.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/support/component_timing.h"
#include "bench/support/field_distribution.h"

namespace {

using namespace bench_support;
using namespace test_support;

void values(benchmark::State& state)
{
    const auto n = unsigned(state.range(1));
    time_evaluate(state, field_distribution(n), field_params(n));
}

void values_and_jacobian(benchmark::State& state)
{
    const auto n = unsigned(state.range(1));
    time_evaluate_with_jacobian(state, field_distribution(n), field_params(n));
}

void channels_and_points(benchmark::internal::Benchmark* b)
{
    for (long n : {10, 100, 1000})
        for (long channels : {512, 4096})
            b->Args({channels, n});
}

BENCHMARK(values)->Apply(channels_and_points)->Unit(benchmark::kMillisecond);
BENCHMARK(values_and_jacobian)->Apply(channels_and_points)->Unit(benchmark::kMillisecond);

// One accepted step with every weight and the level varied, from a flat start. At 1000
// points over 512 channels the undamped JᵀJ at the end has about 20 directions below the
// cutoff (and some 265 below 1e-8 of the largest singular value), so its covariance
// comes from the full eigen-decomposition, which costs more than the step itself.
void fit_step(benchmark::State& state)
{
    FieldStep step(unsigned(state.range(1)), unsigned(state.range(0)));
    for (auto _ : state) {
        step.run();
        benchmark::DoNotOptimize(step.fitted.data().begin());
    }
}

BENCHMARK(fit_step)->Apply(channels_and_points)->Unit(benchmark::kMillisecond)->UseRealTime();
// The largest distribution the component allows, 10000 points: one call, once, as it
// takes minutes and some 13 GB.
BENCHMARK(fit_step)->Args({512, 10000})->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// A new point count, 1000 → 999, on a fresh distribution each time.
void resize_1000(benchmark::State& state)
{
    const DVector p = vec(field_params(1000));
    std::vector<double> out;
    for (auto _ : state) {
        state.PauseTiming();
        const SubSpecPtr d = field_distribution(1000);
        state.ResumeTiming();
        dynamic_cast<Distribution&>(*d).resize(999, all_of(p), out);
        benchmark::DoNotOptimize(out.data());
    }
}

void set_end_value_1000(benchmark::State& state)
{
    const SubSpecPtr d = field_distribution(1000);
    const DVector p = vec(field_params(1000));
    std::vector<double> out, deviations;
    for (auto _ : state) {
        dynamic_cast<Distribution&>(*d).set_end_value(4, 250.0, all_of(p), out, deviations);
        benchmark::DoNotOptimize(out.data());
    }
}

// The whole table over all 1000 points, with the errors from a covariance matrix
// (argument 1) or without errors (0).
void statistics_1000(benchmark::State& state)
{
    FieldModel f(1000, 512);
    const unsigned count = state.range(0) ? f.model.param_count() : 0;
    DMatrix covariance(count, count, 0.0);
    for (unsigned k = 0; k < count; ++k)
        covariance(k, k) = 1e-6;
    for (auto _ : state) {
        std::vector<DistStatistic> rows;
        f.model.distribution_statistics(0, 0, 999, f.values, covariance, rows);
        benchmark::DoNotOptimize(rows.data());
    }
}

BENCHMARK(resize_1000)->Unit(benchmark::kMillisecond);
BENCHMARK(set_end_value_1000)->Unit(benchmark::kMillisecond);
BENCHMARK(statistics_1000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
