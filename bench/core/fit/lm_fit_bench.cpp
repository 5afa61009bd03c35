// The fit engine's cost by the number of varied parameters: one Levenberg-Marquardt
// iteration (evaluations, damped solve, trial, final covariance), with and without
// the eps4 test's extra pseudo-inverse, and the assembly of the normal equations JᵀJ;
// the pseudo-inverse of a well-determined JᵀJ with and without the singular directions.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "core/fit/lm_fit.h"
#include "core/fit/model_interfaces.h"
#include "core/fit/normal_equations.h"
#include "core/fit/svd.h"
#include "core/spectrum/poisson.h"
#include "core/spectrum/spectrum_data.h"
#include "tests/support/dvectors.h"
#include "tests/support/random_rows.h"
#include "tests/support/simulated_spectrum.h"

namespace {

constexpr unsigned points = 2048;

double lorentz(double x, double x0, double width)
{
    const double g = width / 2, d = x - x0;
    return g * g / (d * d + g * g);
}

// A level and n − 1 weights of fixed Lorentz lines spread over the velocity range: a
// dense Jacobian, like a distribution's.
class WeightsModel : public IModel {
public:
    explicit WeightsModel(unsigned n) : n_(n) {}

    unsigned param_count() const override { return n_; }
    void evaluate_component(unsigned, const DVector& x, const DVector& p, DVector& out) const override
    {
        evaluate(x, 0, x.size(), p, out);
    }
    void evaluate_range_with_jacobian(const DVector& x, std::size_t first, std::size_t count, const DVector& p,
                                      const ExprGradients&, DVector& out, DMatrix& j) const override
    {
        for (std::size_t i = 0; i < count; ++i) {
            const double xi = x(first + i);
            double f = p(0);
            j(i, 0) = 1.0;
            for (unsigned k = 1; k < n_; ++k) {
                const double shape = -lorentz(xi, position(k), 0.3);
                f += p(k) * shape;
                j(i, k) = shape;
            }
            out(i) = f;
        }
    }
    void evaluate(const DVector& x, std::size_t first, std::size_t count, const DVector& p,
                  DVector& out) const override
    {
        for (std::size_t i = 0; i < count; ++i) {
            double f = p(0);
            for (unsigned k = 1; k < n_; ++k)
                f -= p(k) * lorentz(x(first + i), position(k), 0.3);
            out(i) = f;
        }
    }
    bool has_components() const override { return true; }
    bool is_emission() const override { return false; }
    unsigned component_count() const override { return n_; }
    bool set_distribution_abscissa(unsigned, unsigned) override { return false; }
    void set_distribution_marks(unsigned, const PointRangeList&) override {}

private:
    double position(unsigned k) const { return -8.0 + 16.0 * k / n_; }
    unsigned n_;
};

// Poisson counts of the model at `points` velocities over [−10, 10].
SpectrumData synthetic_spectrum(const WeightsModel& model, const DVector& p)
{
    const DVector x = test_support::grid(-10.0, 10.0, points);
    DVector expected(points);
    model.evaluate(x, 0, points, p, expected);
    random_engine().seed(1);
    return test_support::poisson_spectrum(x, expected);
}

void one_iteration(benchmark::State& state, double eps4)
{
    const auto n = static_cast<unsigned>(state.range(0));
    const WeightsModel model(n);
    DVector truth(n), start(n);
    truth(0) = start(0) = 1e5;
    for (unsigned k = 1; k < n; ++k) {
        truth(k) = 2e4 * (1.0 + 0.5 * std::sin(0.1 * k)) * 10.0 / n;
        start(k) = 0.8 * truth(k);
    }
    const SpectrumData data = synthetic_spectrum(model, truth);
    const std::vector<int> mask(n, 1);
    FitSettings settings;
    settings.kmax = 1;
    settings.eps4 = eps4;
    DVector values;
    DMatrix covariance, directions;
    double chi = 0.0, reduced = 0.0;
    unsigned iterations = 0;
    FitStopCode code = FitStopSmallGradient;
    for (auto _ : state) {
        lm_fit(model, data, start, mask, {}, {}, settings, values, covariance, directions, chi, reduced, iterations,
               code);
        benchmark::DoNotOptimize(chi);
    }
    state.counters["accepted"] = iterations;
}

void BM_LmFitIteration(benchmark::State& state)
{
    one_iteration(state, 0.0);
}

void BM_LmFitIterationEps4(benchmark::State& state)
{
    one_iteration(state, 0.1);
}

void BM_NormalEquations(benchmark::State& state)
{
    std::mt19937 rng(2);
    const auto [jt, r] = test_support::random_rows(static_cast<std::size_t>(state.range(0)), points, rng);
    DMatrix a;
    DVector g;
    for (auto _ : state) {
        normal_equations(jt, r, points, a, g);
        benchmark::DoNotOptimize(a.data().data());
    }
}

// JᵀJ of random rows, which determine every direction: without the directions no
// eigen-decomposition is needed (argument 1: with them).
void BM_PseudoInverse(benchmark::State& state)
{
    std::mt19937 rng(3);
    const auto [jt, r] = test_support::random_rows(static_cast<std::size_t>(state.range(0)), points, rng);
    DMatrix a, p, directions;
    DVector g;
    normal_equations(jt, r, points, a, g);
    SvdWorkspace ws;
    for (auto _ : state) {
        svd_pseudo_inverse(a, p, state.range(1) ? &directions : nullptr, ws);
        benchmark::DoNotOptimize(p.data().data());
    }
}

}  // namespace

BENCHMARK(BM_LmFitIteration)->Arg(10)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LmFitIterationEps4)->Arg(10)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PseudoInverse)->ArgsProduct({{100, 1000}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NormalEquations)->Arg(10)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
