// Cost of evaluating a model of a baseline and further components: the values
// (IModel::evaluate, 16 blocks on the OpenMP team) and the values with the Jacobian as
// a fit computes them (IModel::evaluate_range_with_jacobian once per block of 16 in a
// parallel loop, buffers allocated beforehand). Arguments: points, components (the
// baseline counts as one), OpenMP threads, and the kind of the other components:
//   0  Lorentz singlets (nearly free: the cost of the model machinery itself);
//   1  a realistic mix, in turn a pseudo-Voigt sextet, a pseudo-Voigt doublet, a
//      simple pseudo-Voigt sextet and a Hamiltonian, of ⁵⁷Fe from the program's table.
// The counter "speedup" is the time of the same calls on one thread, measured right
// after the timed loop, over the time per call of the timed loop.
#include <benchmark/benchmark.h>
#include <thread>

#include <algorithm>
#include <array>
#include <chrono>
#include <stdexcept>
#include <vector>

#include "core/model/spectrum_model.h"
#include "core/fit/parallel_blocks.h"
#include "core/fit/point_blocks.h"
#include "bench/support/model_mix.h"
#include "tests/support/dvectors.h"
#include "tests/support/model_test_parts.h"
#include "tests/support/program_isotopes.h"

namespace {

using test_support::iron;

struct Setup {
    SpectrumModel model;
    DVector x, params;
};

Setup make_setup(const benchmark::State& state)
{
    const auto points = static_cast<std::size_t>(state.range(0));
    const auto components = static_cast<int>(state.range(1));
    Setup s;
    s.model.insert_component(0, model_test::baseline());
    std::vector<double> params = {1e5, 0.0, 0.0};  // N₀, c, v₀
    for (int k = 1; k < components; ++k) {
        const std::vector<double> p = bench_support::append_component(s.model, static_cast<int>(state.range(3)), k, components);
        params.insert(params.end(), p.begin(), p.end());
    }
    if (params.size() != s.model.param_count())
        throw std::logic_error("parameter list does not match the model");
    s.params = test_support::vec(params);
    s.x = test_support::grid(-10.0, 10.0, points);
    return s;
}

// Times `call` on the threads the arguments name, then on one thread for the counter
// "speedup": the serial pass makes 1/threads of the timed calls, as long as the timed
// loop at perfect scaling.
template <class Call>
void time_calls(benchmark::State& state, Call&& call)
{
    using clock = std::chrono::steady_clock;
    const auto threads = static_cast<int>(state.range(2));
    set_parallel_block_threads(unsigned(threads));
    const clock::time_point start = clock::now();
    for (auto _ : state)
        call();
    const std::chrono::duration<double> parallel = clock::now() - start;
    set_parallel_block_threads(1);
    const auto serial_calls = std::max<benchmark::IterationCount>(1, state.iterations() / threads);
    const clock::time_point serial_start = clock::now();
    for (benchmark::IterationCount i = 0; i < serial_calls; ++i)
        call();
    const std::chrono::duration<double> serial = clock::now() - serial_start;
    state.counters["speedup"] =
        (serial.count() / double(serial_calls)) / (parallel.count() / double(state.iterations()));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_evaluate(benchmark::State& state)
{
    const Setup s = make_setup(state);
    const std::size_t points = s.x.size();
    DVector out(points);
    time_calls(state, [&] {
        s.model.evaluate(s.x, 0, points, s.params, out);
        benchmark::DoNotOptimize(out.data().data());
    });
}

void BM_evaluate_with_jacobian(benchmark::State& state)
{
    const Setup s = make_setup(state);
    const std::size_t points = s.x.size();
    std::array<DVector, point_block_count> values;
    std::array<DMatrix, point_block_count> jacobians;
    for (unsigned b = 0; b < point_block_count; ++b) {
        const PointBlock block = point_block(b, points);
        values[b].resize(block.end - block.begin);
        jacobians[b].resize(block.end - block.begin, s.model.param_count());
    }
    const ExprGradients gradients;
    time_calls(state, [&] {
        parallel_blocks(point_block_count, [&](unsigned b) {
            const PointBlock block = point_block(b, points);
            s.model.evaluate_range_with_jacobian(s.x, block.begin, block.end - block.begin, s.params, gradients,
                                                 values[b], jacobians[b]);
        });
        benchmark::DoNotOptimize(jacobians[0].data().data());
    });
}

void model_args(benchmark::internal::Benchmark* b)
{
    std::vector<int64_t> threads;
    const int cores = int(std::thread::hardware_concurrency());
    for (int t = 1; t < cores; t *= 2)
        threads.push_back(t);
    threads.push_back(cores);
    b->ArgNames({"points", "components", "threads", "kind"});
    b->ArgsProduct({{512, 1024, 4096}, {1, 2, 5, 10}, threads, {0, 1}});
    b->UseRealTime();
}

}  // namespace

BENCHMARK(BM_evaluate)->Apply(model_args);
BENCHMARK(BM_evaluate_with_jacobian)->Apply(model_args);

BENCHMARK_MAIN();
