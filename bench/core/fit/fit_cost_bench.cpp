// What a fit costs beyond its model evaluations: a complete lm_fit of ten varied
// parameters (a baseline's N₀; a pseudo-Voigt sextet's I, δ, ε, Hn, Γ₁; a pseudo-Voigt
// doublet's I, δ, ε, Γ₁, both of ⁵⁷Fe) to 1024 Poisson channels with the default
// settings, through a wrapper that counts and times the model calls the fit makes.
// Counters per fit:
//   jacobians, trials, steps: Jacobian rounds (evaluate_range_with_jacobian on the 16
//     blocks in parallel), value evaluations (the trial steps), accepted steps;
//   fit_over_jacobians: the fit's time over as many Jacobian rounds timed alone after
//     the fits, as the fit makes them;
//   fit_over_jacobians_in_fit: the fit's time over its Jacobian rounds as timed inside
//     the fit (first block's start to last block's end);
//   fit_over_model_calls: the fit's time over its Jacobian rounds and trial
//     evaluations as timed inside the fit; the rest is the engine's own work (the
//     residuals, the normal equations, the solves of the damped equations and the
//     covariance).
// The argument is the number of OpenMP threads.
#include <benchmark/benchmark.h>
#include <thread>

#include <algorithm>
#include <array>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <utility>
#include <vector>

#include "core/fit/lm_fit.h"
#include "core/model/spectrum_model.h"
#include "core/fit/parallel_blocks.h"
#include "core/fit/point_blocks.h"
#include "core/spectrum/poisson.h"
#include "lineshapes/doublets.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "subspec/subspec_impl.h"
#include "tests/support/dvectors.h"
#include "tests/support/model_test_parts.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/simulated_spectrum.h"

namespace {

constexpr std::size_t channels = 1024;

using clock_type = std::chrono::steady_clock;
using Interval = std::pair<clock_type::time_point, clock_type::time_point>;

// Passes every call on to the model and records when each evaluation ran; offers the
// links and excluded ranges of the model, as the fit looks for them.
class RecordingModel final : public IModel, public IDepVars, public IModelWithXRanges {
public:
    explicit RecordingModel(const SpectrumModel& model) : model_(model) {}

    unsigned param_count() const override { return model_.param_count(); }
    void evaluate_component(unsigned component, const DVector& x, const DVector& params,
                            DVector& out) const override
    {
        model_.evaluate_component(component, x, params, out);
    }
    void evaluate_range_with_jacobian(const DVector& x, std::size_t first, std::size_t count, const DVector& params,
                                      const ExprGradients& gradients, DVector& out,
                                      DMatrix& jacobian) const override
    {
        const clock_type::time_point start = clock_type::now();
        model_.evaluate_range_with_jacobian(x, first, count, params, gradients, out, jacobian);
        const clock_type::time_point end = clock_type::now();
        const std::lock_guard lock(mutex_);
        jacobian_blocks.emplace_back(start, end);
    }
    void evaluate(const DVector& x, std::size_t first, std::size_t count, const DVector& params,
                  DVector& out) const override
    {
        const clock_type::time_point start = clock_type::now();
        model_.evaluate(x, first, count, params, out);
        const clock_type::time_point end = clock_type::now();
        const std::lock_guard lock(mutex_);
        value_calls.emplace_back(start, end);
    }
    bool has_components() const override { return model_.has_components(); }
    bool is_emission() const override { return model_.is_emission(); }
    unsigned component_count() const override { return model_.component_count(); }
    bool set_distribution_abscissa(unsigned, unsigned) override { return false; }
    void set_distribution_marks(unsigned, const PointRangeList&) override {}

    void dependent_mask(std::vector<int>& mask) const override { model_.dependent_mask(mask); }
    void apply_links(DVector& values, ExprGradients* gradients) const override
    {
        model_.apply_links(values, gradients);
    }
    unsigned xrange_count() const override { return model_.xrange_count(); }
    void get_xrange(unsigned index, double& from, double& to) const override { model_.get_xrange(index, from, to); }

    mutable std::vector<Interval> jacobian_blocks, value_calls;

private:
    const SpectrumModel& model_;
    mutable std::mutex mutex_;
};

struct Problem {
    SpectrumModel model;
    DVector start, lower, upper;
    std::vector<int> varied;
    SpectrumData data;

    Problem()
    {
        using test_support::iron;
        model.insert_component(0, model_test::baseline());
        model.insert_component(1, make_subspec<PseudoVoigtSextet>(&iron()));
        model.insert_component(2, make_subspec<PseudoVoigtDoublet>(&iron()));
        model.scale = -2e5;
        // Baseline N₀, c, v₀; sextet I, I₂/I₁, I₃/I₁, δ, ε, Hn, a₊, a₋, Γ₁, five Γ ratios, α;
        // doublet I, I₂/I₁, δ, ε, Γ₁, Γ₂/Γ₁, α.
        const std::vector<double> truth = {1e6, 0.0, 0.0,
                                           1.0, 2.0 / 3.0, 1.0 / 3.0, -0.11, 0.01, 330.0, 0, 0, 0.27, 1, 1, 1, 1, 1, 0.3,
                                           0.5, 1.0, 0.35, 0.6, 0.3, 1.0, 0.2};
        const std::vector<double> offset = {1e4, 0, 0,
                                            -0.1, 0, 0, 0.05, -0.02, -4.0, 0, 0, 0.04, 0, 0, 0, 0, 0, 0,
                                            0.1, 0, -0.05, 0.05, 0.05, 0, 0};
        varied = {1, 0, 0,
                  1, 0, 0, 1, 1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0,
                  1, 0, 1, 1, 1, 0, 0};
        if (truth.size() != model.param_count())
            throw std::logic_error("parameter list does not match the model");
        const DVector exact = test_support::vec(truth);
        start = exact;
        lower = upper = DVector(truth.size());
        for (const auto& c : model.components)
            for (unsigned j = 0; j < c->count; ++j) {
                const ParamInfo& info = c->subspec->param_info(j);
                lower(c->first + j) = info.lower;
                upper(c->first + j) = info.upper;
            }
        for (std::size_t k = 0; k < truth.size(); ++k)
            start(k) += offset[k];

        const DVector x = test_support::grid(-10.0, 10.0, channels);
        DVector expected(channels);
        model.evaluate(x, 0, channels, exact, expected);
        random_engine().seed(11);
        data = test_support::poisson_spectrum(x, expected);
    }
};

double seconds(const Interval& i)
{
    return std::chrono::duration<double>(i.second - i.first).count();
}

// The rounds of block calls, the first start to the last end of each: rounds never
// overlap, and each has one call per block (every block holds points at 1024 channels).
std::vector<Interval> rounds_of(std::vector<Interval> calls)
{
    if (calls.size() % point_block_count != 0)
        throw std::logic_error("a Jacobian round without one call per block");
    std::sort(calls.begin(), calls.end());
    std::vector<Interval> rounds;
    for (std::size_t first = 0; first < calls.size(); first += point_block_count) {
        Interval round = calls[first];
        for (std::size_t i = first + 1; i < first + point_block_count; ++i)
            round.second = std::max(round.second, calls[i].second);
        rounds.push_back(round);
    }
    return rounds;
}

double total_seconds(const std::vector<Interval>& intervals)
{
    double sum = 0.0;
    for (const Interval& i : intervals)
        sum += seconds(i);
    return sum;
}

void BM_FitCost(benchmark::State& state)
{
    static const Problem p;
    set_parallel_block_threads(static_cast<unsigned>(state.range(0)));
    const RecordingModel recording(p.model);
    DVector values;
    DMatrix covariance, directions;
    double chi_square = 0.0, reduced = 0.0;
    unsigned steps = 0;
    FitStopCode code = FitStopSmallGradient;
    const clock_type::time_point start = clock_type::now();
    for (auto _ : state) {
        lm_fit(recording, p.data, p.start, p.varied, p.lower, p.upper, FitSettings(), values, covariance,
               directions, chi_square, reduced, steps, code);
        benchmark::DoNotOptimize(chi_square);
    }
    const double fits = double(state.iterations());
    const double fit = seconds({start, clock_type::now()}) / fits;
    const std::vector<Interval> rounds = rounds_of(recording.jacobian_blocks);
    const double jacobians_in_fit = total_seconds(rounds) / fits;
    const double trials_in_fit = total_seconds(recording.value_calls) / fits;

    // As many Jacobian rounds alone, at the fitted values.
    const DVector x = test_support::vec(p.data.x_data);
    std::array<DVector, point_block_count> block_values;
    std::array<DMatrix, point_block_count> block_jacobians;
    for (unsigned b = 0; b < point_block_count; ++b) {
        const PointBlock block = point_block(b, channels);
        block_values[b].resize(block.end - block.begin);
        block_jacobians[b].resize(block.end - block.begin, p.model.param_count());
    }
    const ExprGradients gradients;
    const clock_type::time_point alone_start = clock_type::now();
    for (std::size_t r = 0; r < rounds.size(); ++r) {
        parallel_blocks(point_block_count, [&](unsigned b) {
            const PointBlock block = point_block(b, channels);
            p.model.evaluate_range_with_jacobian(x, block.begin, block.end - block.begin, values, gradients,
                                                 block_values[b], block_jacobians[b]);
        });
        benchmark::DoNotOptimize(block_jacobians[0].data().data());
    }
    const double jacobians_alone = seconds({alone_start, clock_type::now()}) / fits;

    state.counters["jacobians"] = double(rounds.size()) / fits;
    state.counters["trials"] = double(recording.value_calls.size()) / fits;
    state.counters["steps"] = steps;
    state.counters["reduced_chi_square"] = reduced;
    state.counters["fit_over_jacobians"] = fit / jacobians_alone;
    state.counters["fit_over_jacobians_in_fit"] = fit / jacobians_in_fit;
    state.counters["fit_over_model_calls"] = fit / (jacobians_in_fit + trials_in_fit);
}

void thread_args(benchmark::internal::Benchmark* b)
{
    const int cores = int(std::thread::hardware_concurrency());
    for (int t = 1; t < cores; t *= 2)
        b->Arg(t);
    b->Arg(cores);
    b->ArgName("threads")->Unit(benchmark::kMillisecond)->UseRealTime();
}

}  // namespace

BENCHMARK(BM_FitCost)->Apply(thread_args);

BENCHMARK_MAIN();
