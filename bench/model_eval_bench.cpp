// Cost of evaluating a model of a baseline and Lorentz singlets: the values
// (IModel::evaluate, 16 blocks on the OpenMP team) and the values with the Jacobian as
// a fit computes them (IModel::evaluate_range_with_jacobian once per block of 16 in a
// parallel loop, buffers allocated beforehand). Arguments: points, components (the
// baseline counts as one), OpenMP threads.
#include <benchmark/benchmark.h>
#include <omp.h>

#include <array>
#include <vector>

#include "core/model/spectrum_model.h"
#include "core/point_blocks.h"
#include "tests/support/dvectors.h"
#include "tests/support/model_test_parts.h"

namespace {

struct Setup {
    SpectrumModel model;
    DVector x, params;
};

Setup make_setup(std::size_t points, int components)
{
    Setup s;
    s.model.insert_component(0, model_test::baseline());
    for (int k = 1; k < components; ++k)
        s.model.insert_component(k, model_test::lorentz());
    s.x = test_support::grid(-10.0, 10.0, points);
    s.params = DVector(s.model.param_count(), 0.0);
    s.params(0) = 1e5;
    for (int k = 1; k < components; ++k) {
        const std::size_t first = s.model.components[k]->first;
        s.params(first) = 1.0;
        s.params(first + 1) = -8.0 + 16.0 * k / components;
        s.params(first + 2) = 0.3;
    }
    return s;
}

void BM_evaluate(benchmark::State& state)
{
    const std::size_t points = state.range(0);
    const Setup s = make_setup(points, static_cast<int>(state.range(1)));
    omp_set_num_threads(static_cast<int>(state.range(2)));
    DVector out(points);
    for (auto _ : state) {
        s.model.evaluate(s.x, 0, points, s.params, out);
        benchmark::DoNotOptimize(out.data().data());
    }
    state.SetItemsProcessed(state.iterations() * points);
}

void BM_evaluate_with_jacobian(benchmark::State& state)
{
    const std::size_t points = state.range(0);
    const Setup s = make_setup(points, static_cast<int>(state.range(1)));
    omp_set_num_threads(static_cast<int>(state.range(2)));
    std::array<DVector, point_block_count> values;
    std::array<DMatrix, point_block_count> jacobians;
    for (unsigned b = 0; b < point_block_count; ++b) {
        const PointBlock block = point_block(b, points);
        values[b].resize(block.end - block.begin);
        jacobians[b].resize(block.end - block.begin, s.model.param_count());
    }
    const ExprGradients gradients;
    for (auto _ : state) {
#pragma omp parallel for schedule(static)
        for (int b = 0; b < static_cast<int>(point_block_count); ++b) {
            const PointBlock block = point_block(static_cast<unsigned>(b), points);
            s.model.evaluate_range_with_jacobian(s.x, block.begin, block.end - block.begin, s.params, gradients,
                                                 values[b], jacobians[b]);
        }
        benchmark::DoNotOptimize(jacobians[0].data().data());
    }
    state.SetItemsProcessed(state.iterations() * points);
}

void model_args(benchmark::internal::Benchmark* b)
{
    std::vector<int64_t> threads;
    const int cores = omp_get_num_procs();
    for (int t = 1; t < cores; t *= 2)
        threads.push_back(t);
    threads.push_back(cores);
    b->ArgNames({"points", "components", "threads"});
    b->ArgsProduct({{512, 1024, 4096}, {1, 2, 5, 10}, threads});
    b->UseRealTime();
}

}  // namespace

BENCHMARK(BM_evaluate)->Apply(model_args);
BENCHMARK(BM_evaluate_with_jacobian)->Apply(model_args);

BENCHMARK_MAIN();
