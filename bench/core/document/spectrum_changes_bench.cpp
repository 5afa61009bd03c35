// The document's spectrum edits at 1024 and 16384 channels: each edit with its undo
// record (the spectra before and after) and its undo, which puts the spectrum back.
#include <benchmark/benchmark.h>

#include <cmath>
#include <functional>
#include <string>

#include "core/document/model_state.h"

namespace {

// A channel spectrum of one absorption line on 10⁶ counts.
void load(ModelState& d, int n)
{
    std::wstring text = L"FirstChannel:1\nZeroChannel:" + std::to_wstring(n / 2) + L".5\nChannelPrice(mm/s):" +
                        std::to_wstring(20.0 / n) + L"\nSpectrum:";
    for (int i = 0; i < n; ++i) {
        const double u = (i - 0.4 * n) / (0.01 * n);
        text += std::to_wstring(static_cast<int>(1e6 - 3e5 / (1 + u * u))) + L" ";
    }
    d.data.load_text(text + L"\n");
    d.set_levels_from_spectrum();
}

void run(benchmark::State& state, const std::function<void(ModelState&)>& edit)
{
    ModelState d;
    load(d, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        edit(d);
        d.spectrum_history.undo(d);
    }
    state.SetComplexityN(state.range(0));
}

void BM_Invert(benchmark::State& state) { run(state, [](ModelState& d) { d.invert_spectrum(); }); }
void BM_Filter(benchmark::State& state) { run(state, [](ModelState& d) { d.filter_spectrum(0.5); }); }
void BM_Decimate(benchmark::State& state) { run(state, [](ModelState& d) { d.decimate_spectrum(); }); }
void BM_DifferenceAsData(benchmark::State& state) { run(state, [](ModelState& d) { d.use_difference_as_data(); }); }

BENCHMARK(BM_Invert)->Arg(1024)->Arg(16384)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Filter)->Arg(1024)->Arg(16384)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decimate)->Arg(1024)->Arg(16384)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DifferenceAsData)->Arg(1024)->Arg(16384)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
