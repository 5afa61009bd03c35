// The automatic analysis runs after every change of the counts and on every load: a
// noisy magnetic sextet over ±10 mm/s from 512 to 10 million points, and a flat noisy
// spectrum of as many points. The lines keep their width in mm/s, so the smoothing
// kernels widen with the point count as on real spectrometers; the cost should grow
// with the points only.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "core/spectrum/analyze_spectrum.h"

namespace {

struct Spectrum {
    std::vector<double> x, y, sigma;
};

Spectrum sextet(std::size_t n, bool flat)
{
    const double positions[] = {-5.33, -3.08, -0.84, 0.84, 3.08, 5.33};
    const double depths[] = {90000, 60000, 30000, 30000, 60000, 90000};
    const int line_count = flat ? 0 : 6;
    const double half_width = 0.14;
    std::mt19937 gen(1);
    Spectrum s{std::vector<double>(n), std::vector<double>(n), std::vector<double>(n)};
    for (std::size_t i = 0; i < n; ++i) {
        s.x[i] = -10.0 + 20.0 * double(i) / double(n - 1);
        double expected = 1e6;
        for (int l = 0; l < line_count; ++l) {
            const double u = (s.x[i] - positions[l]) / half_width;
            expected -= depths[l] / (1.0 + u * u);
        }
        s.y[i] = std::round(std::normal_distribution<double>(expected, std::sqrt(expected))(gen));
        s.sigma[i] = std::sqrt(s.y[i]);
    }
    return s;
}

void BM_analyze_spectrum(benchmark::State& state, bool flat)
{
    const Spectrum s = sextet(std::size_t(state.range(0)), flat);
    SpectrumAnalysis a;
    for (auto _ : state) {
        benchmark::DoNotOptimize(analyze_spectrum(a, s.x, s.y, s.sigma, 0));
        benchmark::ClobberMemory();
    }
    state.counters["lines"] = double(a.lines.size());
    state.counters["filter_width"] = double(a.auto_filter_width);
}

}  // namespace

BENCHMARK_CAPTURE(BM_analyze_spectrum, sextet, false)
    ->RangeMultiplier(8)
    ->Range(512, 1 << 21)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_analyze_spectrum, flat, true)->Arg(1 << 20)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
