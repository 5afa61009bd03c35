// Cost of a distribution component: a sextet spread over the hyperfine field with 10,
// 100 and 1000 points over 512 to 4096 channels, its values and its values with the
// Jacobian; one Levenberg-Marquardt step of a fit of all its weights with smoothing;
// and, at 1000 points, the interactive edits (a new point count, a moved end value) and
// the statistics table with its errors.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/support/component_timing.h"
#include "core/fit/lm_fit.h"
#include "core/model/spectrum_model.h"
#include "lineshapes/simple_sextets.h"
#include "subspec/baseline.h"
#include "subspec/distribution.h"
#include "subspec/subspec_impl.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/simulated_spectrum.h"

namespace {

using namespace test_support;

SubSpecPtr field_distribution(unsigned n)
{
    return make_distribution(make_subspec<SimplePseudoVoigtSextet>(&iron()), n, {5});
}

// I₂/I₁, I₃/I₁, δ, ε, HnL, HnR, Γ₁, Γ₂/Γ₁, Γ₃/Γ₁, α, then a two-peak profile.
std::vector<double> field_params(unsigned n)
{
    std::vector<double> p = {2.0 / 3.0, 1.0 / 3.0, 0.0, 0.0, 200.0, 400.0, 0.25, 1.0, 1.0, 0.0};
    for (unsigned i = 0; i < n; ++i) {
        const double t = double(i) / (n - 1);
        p.push_back(std::exp(-0.5 * std::pow((t - 0.3) / 0.1, 2)) + 0.7 * std::exp(-0.5 * std::pow((t - 0.7) / 0.07, 2)));
    }
    return p;
}

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

// A baseline and the distribution, as the program sets them up for a spectrum.
struct FieldModel {
    explicit FieldModel(unsigned n, unsigned channels)
    {
        model.level = 1e6;
        model.insert_component(0, make_subspec<AutoBaseLine2>(nullptr));
        model.insert_component(1, field_distribution(n));
        model.scale = -3e5;
        values = DVector(model.param_count(), 0.0);
        const std::vector<double> p = field_params(n);
        std::copy(p.begin(), p.end(), values.begin() + 3);
        const DVector x = grid(-10.0, 10.0, channels);
        DVector expected(channels);
        model.evaluate(x, 0, channels, values, expected);
        random_engine().seed(7);
        data = poisson_spectrum(x, expected);
        data.update_analysis();
    }

    SpectrumModel model;
    DVector values;
    SpectrumData data;
};

// One accepted step with every weight and the level varied, from a flat start.
void fit_step(benchmark::State& state)
{
    const auto n = unsigned(state.range(1));
    FieldModel f(n, unsigned(state.range(0)));
    const unsigned count = f.model.param_count();
    DVector start = f.values, lower(count), upper(count);
    std::vector<int> varied(count, 0);
    varied[0] = 1;
    for (unsigned i = 0; i < n; ++i) {
        start(13 + i) = 1.0 / n;
        varied[13 + i] = 1;
    }
    for (unsigned k = 0; k < count; ++k) {
        lower(k) = -unbounded;
        upper(k) = unbounded;
    }
    FitSettings settings;
    settings.kmax = 1;
    for (auto _ : state) {
        DVector fitted;
        DMatrix covariance, directions;
        double chi_square = 0, reduced = 0;
        unsigned iterations = 0;
        FitStopCode code{};
        lm_fit(f.model, f.data, start, varied, lower, upper, settings, fitted, covariance, directions, chi_square,
               reduced, iterations, code);
        benchmark::DoNotOptimize(fitted.data().begin());
    }
}

BENCHMARK(fit_step)->Apply(channels_and_points)->Unit(benchmark::kMillisecond)->UseRealTime();

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
