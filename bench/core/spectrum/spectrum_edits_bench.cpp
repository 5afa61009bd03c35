// The spectrum edits at 1024 and 16384 channels: a noisy sextet on a calibrated channel
// axis, copied afresh (outside the timing) before every edit. Each edit analyses the
// spectrum again and most write the keyword list, which is what they cost.
#include <benchmark/benchmark.h>

#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "core/spectrum/savitzky_golay.h"
#include "core/spectrum/spectrum_data.h"

namespace {

SpectrumData sextet(unsigned n)
{
    const double positions[] = {-5.33, -3.08, -0.84, 0.84, 3.08, 5.33};
    const double depths[] = {90000, 60000, 30000, 30000, 60000, 90000};
    SpectrumData s;
    s.make_velocity_axis(n, -10.0, 10.0);
    std::mt19937 gen(1);
    for (unsigned i = 0; i < n; ++i) {
        double expected = 1e6;
        for (int l = 0; l < 6; ++l) {
            const double u = (s.x_data[i] - positions[l]) / 0.14;
            expected -= depths[l] / (1.0 + u * u);
        }
        s.y_data[i] = std::round(std::normal_distribution<double>(expected, std::sqrt(expected))(gen));
    }
    s.compute_std_dev(s.keywords);
    s.update_analysis();
    s.store_keywords();
    return s;
}

void run_edit(benchmark::State& state, const std::function<void(SpectrumData&)>& edit)
{
    const SpectrumData original = sextet(static_cast<unsigned>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        SpectrumData s = original;
        state.ResumeTiming();
        edit(s);
        benchmark::DoNotOptimize(s.y_data.data());
    }
}

void BM_remove_x_interval(benchmark::State& state)
{
    run_edit(state, [](SpectrumData& s) { s.remove_x_interval(-1.0, 1.0); });
}

void BM_apply_filter(benchmark::State& state)
{
    // A 0.2 mm/s smoother, as the filter command builds it.
    const unsigned m = filter_half_width(sextet(static_cast<unsigned>(state.range(0))).keywords, 0.2);
    std::vector<double> kernel;
    savitzky_golay_coefficients(4, m < 2 ? 2 : m, 0, kernel);
    run_edit(state, [&](SpectrumData& s) { s.apply_filter(kernel); });
}

void BM_decimate_by_2(benchmark::State& state)
{
    run_edit(state, [](SpectrumData& s) { s.decimate_by_2(); });
}

void BM_reverse_counts(benchmark::State& state)
{
    run_edit(state, [](SpectrumData& s) { s.reverse_counts(); });
}

}  // namespace

BENCHMARK(BM_remove_x_interval)->Arg(1024)->Arg(16384)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_apply_filter)->Arg(1024)->Arg(16384)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_decimate_by_2)->Arg(1024)->Arg(16384)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_reverse_counts)->Arg(1024)->Arg(16384)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
