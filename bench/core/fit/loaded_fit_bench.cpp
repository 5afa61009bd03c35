// Fits on a busy machine. Each iteration fits the same simulated spectrum twice, once
// on one thread and once on all of the machine's threads, alternately, so both see the
// same load; the counter "ratio" is the time with threads over the time on one thread
// (the bound to meet: 1.2 at any load; below 1 where threads help).
// Arguments:
//   model  0 or 1, the fit problems of loaded_fit.h;
//   points 1024 or 4096;
//   busy   how many busy processes run beside the fit (0: the machine as it is; n: n
//          processes that spin until the benchmark ends, each ending by itself after
//          five minutes at the latest).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <thread>

#include "bench/support/busy_processes.h"
#include "bench/support/loaded_fit.h"

namespace {

using namespace bench_support;

void BM_LoadedFit(benchmark::State& state)
{
    const auto points = static_cast<std::size_t>(state.range(1));
    const Problem p = state.range(0) == 0 ? sextet_problem(points) : heavy_problem(points);
    const unsigned all = std::max(1u, std::thread::hardware_concurrency());
    const BusyProcesses busy(static_cast<int>(state.range(2)));
    double one = 0.0, many = 0.0;
    FitStopCode code = FitStopSmallGradient;
    for (auto _ : state) {
        one += fit_seconds(p, 1, code);
        const double t = fit_seconds(p, all, code);
        many += t;
        state.SetIterationTime(t);
        benchmark::ClobberMemory();
    }
    set_parallel_block_threads(all);
    const double fits = double(state.iterations());
    state.counters["one_thread_ms"] = 1e3 * one / fits;
    state.counters["threads_ms"] = 1e3 * many / fits;
    state.counters["ratio"] = many / one;
    state.counters["stop_code"] = code;
}

void loaded_args(benchmark::internal::Benchmark* b)
{
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    b->ArgNames({"model", "points", "busy"});
    b->ArgsProduct({{0, 1}, {1024, 4096}, {0, std::max(1, cores / 2), std::max(1, cores - 1)}});
    b->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
}

}  // namespace

BENCHMARK(BM_LoadedFit)->Apply(loaded_args);

int main(int argc, char** argv)
{
    busy_child_main(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
