// The spectrum operations through the model at 1024 and 16384 channels: simulation
// with and without Poisson noise, the difference to the model, a transform and the
// deconvolution of a 64-point distribution of Lorentz lines (as sums over its lines).
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "core/model/expr.h"
#include "core/model/spectrum_operations.h"
#include "core/spectrum/poisson.h"
#include "tests/support/model_test_parts.h"

namespace {

using namespace model_test;

void BM_simulate(benchmark::State& state)
{
    const LineModel m;
    const bool noise = state.range(1) != 0;
    random_engine().seed(1);
    SpectrumData s;
    for (auto _ : state) {
        simulate(s, static_cast<unsigned>(state.range(0)), -10.0, 10.0, noise, m.model, m.values);
        benchmark::DoNotOptimize(s.y_data.data());
    }
}

void BM_subtract_model(benchmark::State& state)
{
    const LineModel m;
    SpectrumData original;
    simulate(original, static_cast<unsigned>(state.range(0)), -10.0, 10.0, true, m.model, m.values);
    for (auto _ : state) {
        state.PauseTiming();
        SpectrumData s = original;
        state.ResumeTiming();
        subtract_model(s, 1e6, m.model, m.values);
        benchmark::DoNotOptimize(s.y_data.data());
    }
}

void BM_transform_counts(benchmark::State& state)
{
    const LineModel m;
    SpectrumData s;
    simulate(s, static_cast<unsigned>(state.range(0)), -10.0, 10.0, true, m.model, m.values);
    const ExprPtr absorbance = Expr::create(L"ln($N0/$I)", m.model, {L"N0", L"v", L"I"});
    std::vector<double> y, sigma;
    for (auto _ : state) {
        transform_counts(*absorbance, {1e6}, s, y, sigma);
        benchmark::DoNotOptimize(y.data());
    }
}

// 64 Lorentz lines spread over ±6 mm/s.
class LorentzLines final : public ISubSpec, public ILorenzLines {
public:
    unsigned param_count() const override { return 1; }
    unsigned shown_param_count() const override { return 1; }
    void evaluate(const XPoints& x, const ParamRange&, double* values) const override
    {
        for (std::size_t i = 0; i < x.size(); ++i)
            values[i] = 0.0;
    }
    void evaluate_with_jacobian(const XPoints& x, const ParamRange& p, double* values, JacobianRange) const override
    {
        evaluate(x, p, values);
    }
    void init_params(const SpectrumAnalysis&, DVector&, unsigned, unsigned) const override {}
    const ParamInfo& param_info(unsigned i) const override { return FreeVarParams::param_info(i); }
    std::wstring display_name() const override { return L"lines"; }
    void param_layout(std::vector<unsigned>& out) const override { out = {0}; }
    SubSpecPtr clone() const override { return SubSpecPtr(new LorentzLines); }
    void lorentz_lines(const ParamRange&, std::vector<double>& amplitudes, std::vector<double>& positions,
                       std::vector<double>& widths) const override
    {
        for (int k = 0; k < 64; ++k) {
            amplitudes.push_back(2.0 / 64 / (std::numbers::pi * 0.4));
            positions.push_back(-6.0 + 12.0 * k / 63.0);
            widths.push_back(0.4);
        }
    }
};

void BM_deconvolve_spectrum_values(benchmark::State& state)
{
    SpectrumModel model = model_of({baseline(), SubSpecPtr(new LorentzLines)});
    model.scale = -1e5;
    DVector values(model.param_count());
    values(0) = 1e6, values(1) = 0.0, values(2) = 0.0, values(3) = 1.0;
    std::vector<double> x(static_cast<std::size_t>(state.range(0)));
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = -10.0 + 20.0 * static_cast<double>(i) / static_cast<double>(x.size() - 1);
    std::vector<double> out;
    double largest = 0.0, width = 0.0;
    random_engine().seed(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(model.deconvolve_spectrum_values(values, 0.7, 0.2, 2e5, x, largest, width, out));
        benchmark::DoNotOptimize(out.data());
    }
}

}  // namespace

BENCHMARK(BM_simulate)->Args({1024, 0})->Args({1024, 1})->Args({16384, 0})->Args({16384, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_subtract_model)->Arg(1024)->Arg(16384)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_transform_counts)->Arg(1024)->Arg(16384)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_deconvolve_spectrum_values)->Arg(1024)->Arg(16384)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
