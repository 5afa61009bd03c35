// Reading the numbers of a data block: blank-separated counts, and numbers that touch
// ("0.5-1000.25-999.75…", each sign starting the next number), which hand-written and
// exported files carry. Both should cost time in proportion to the text.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/text/kwfile.h"

namespace {

KeywordList block_of(std::size_t count, bool touching)
{
    std::wstring text;
    for (std::size_t i = 0; i < count; ++i) {
        if (!touching && i > 0)
            text += L' ';
        text += i % 2 ? L"-999.75" : L"1000.25";
    }
    return {{L"Spectrum", KWData{text, 0}}};
}

void BM_read_numbers(benchmark::State& state, bool touching)
{
    const KeywordList list = block_of(std::size_t(state.range(0)), touching);
    std::vector<double> numbers;
    for (auto _ : state) {
        kwlist_get_doubles(list, L"Spectrum", numbers);
        benchmark::DoNotOptimize(numbers.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK_CAPTURE(BM_read_numbers, separated, false)
    ->RangeMultiplier(4)
    ->Range(5000, 80000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_read_numbers, touching, true)->RangeMultiplier(4)->Range(5000, 80000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
