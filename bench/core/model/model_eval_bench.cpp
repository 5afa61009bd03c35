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
#include <omp.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <stdexcept>
#include <vector>

#include "core/model/spectrum_model.h"
#include "core/fit/point_blocks.h"
#include "lineshapes/doublets.h"
#include "lineshapes/hamilton.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "lineshapes/simple_sextets.h"
#include "subspec/subspec_impl.h"
#include "tests/support/dvectors.h"
#include "tests/support/model_test_parts.h"
#include "tests/support/program_isotopes.h"

namespace {

using test_support::iron;

struct Setup {
    SpectrumModel model;
    DVector x, params;
};

// Appends component k ≥ 1 of `components` and returns its parameters: the lines of
// component k stand at the shift −1 + 2k/components (Lorentz: −8 + 16k/components).
std::vector<double> append_component(SpectrumModel& model, int kind, int k, int components)
{
    const double shift = -1.0 + 2.0 * k / components;
    std::vector<double> p;
    switch (kind == 0 ? -1 : (k - 1) % 4) {
    case -1:
        model.insert_component(k, model_test::lorentz());
        p = {1.0, -8.0 + 16.0 * k / components, 0.3};
        break;
    case 0:  // I, I₂/I₁, I₃/I₁, δ, ε, Hn, a₊, a₋, Γ₁, Γ ratios, α
        model.insert_component(k, make_subspec<PseudoVoigtSextet>(&iron()));
        p = {1.0, 2.0 / 3.0, 1.0 / 3.0, shift, 0.01, 300.0 + 5.0 * k, 0, 0, 0.27, 1, 1, 1, 1, 1, 0.3};
        break;
    case 1:  // I, I₂/I₁, δ, ε, Γ₁, Γ₂/Γ₁, α
        model.insert_component(k, make_subspec<PseudoVoigtDoublet>(&iron()));
        p = {0.4, 1.0, shift, 0.42, 0.3, 1.0, 0.2};
        break;
    case 2:  // I, I₂/I₁, I₃/I₁, δ, ε, Hn, Γ₁, Γ₂/Γ₁, Γ₃/Γ₁, α
        model.insert_component(k, make_subspec<SimplePseudoVoigtSextet>(&iron()));
        p = {1.0, 0.7, 0.4, shift, 0.05, 250.0 + 5.0 * k, 0.3, 1.2, 0.8, 0.35};
        break;
    default:  // I, γ, δ, Q, Hn, θ, φ, η, Γ, α
        model.insert_component(k, make_subspec<Hamilton>(&iron()));
        p = {1.1, 30.0, shift, 0.9, 210.0, 35.0, 20.0, 0.4, 0.27, 0.3};
        break;
    }
    return p;
}

Setup make_setup(const benchmark::State& state)
{
    const auto points = static_cast<std::size_t>(state.range(0));
    const auto components = static_cast<int>(state.range(1));
    Setup s;
    s.model.insert_component(0, model_test::baseline());
    std::vector<double> params = {1e5, 0.0, 0.0};  // N₀, c, v₀
    for (int k = 1; k < components; ++k) {
        const std::vector<double> p = append_component(s.model, static_cast<int>(state.range(3)), k, components);
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
    omp_set_num_threads(threads);
    const clock::time_point start = clock::now();
    for (auto _ : state)
        call();
    const std::chrono::duration<double> parallel = clock::now() - start;
    omp_set_num_threads(1);
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
#pragma omp parallel for schedule(static)
        for (int b = 0; b < static_cast<int>(point_block_count); ++b) {
            const PointBlock block = point_block(static_cast<unsigned>(b), points);
            s.model.evaluate_range_with_jacobian(s.x, block.begin, block.end - block.begin, s.params, gradients,
                                                 values[b], jacobians[b]);
        }
        benchmark::DoNotOptimize(jacobians[0].data().data());
    });
}

void model_args(benchmark::internal::Benchmark* b)
{
    std::vector<int64_t> threads;
    const int cores = omp_get_num_procs();
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
