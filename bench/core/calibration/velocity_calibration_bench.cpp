// One calibration run at 1024 channels, as the dialog makes it: the analysis of a noisy
// α-iron spectrum, the choice of the 6-line model and its Levenberg-Marquardt fit.
#include <benchmark/benchmark.h>

#include <cmath>

#include "core/calibration/velocity_calibration.h"
#include "core/model/spectrum_operations.h"
#include "core/spectrum/poisson.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "subspec/baseline.h"
#include "subspec/subspec_impl.h"
#include "tests/support/calibration_catalogue.h"
#include "tests/support/program_isotopes.h"

namespace {

SpectrumData iron_spectrum(unsigned n)
{
    const Isotope& fe = test_support::iron();
    SpectrumModel model;
    model.insert_component(0, make_subspec<BaseLine>(nullptr));
    model.insert_component(1, make_subspec<PseudoVoigtSextet>(&fe));
    model.scale = -2e5;
    const double p[] = {1e6, 0, 0, 1, 0.667, 0.333, 0.02, 0, 10.624 / std::fabs(fe.K), 0, 0, 0.25, 1, 1, 1, 1, 1, 0};
    DVector values(model.param_count());
    std::copy(std::begin(p), std::end(p), values.begin());
    SpectrumData s;
    random_engine().seed(57);
    simulate(s, n, -10.5, 10.5, true, model, values);
    s.store_keywords();
    return s;
}

void BM_velocity_calibration(benchmark::State& state)
{
    const SpectrumData s = iron_spectrum(static_cast<unsigned>(state.range(0)));
    const test_support::CalibrationCatalogue catalogue;
    const SpectrumModel document;
    VelocityCalibration c(test_support::iron(), L"α-Fe", document, s, catalogue);
    int width = 2;
    while (width < 40 && !(c.run(width) == CalibrationOutcome::fitted && c.analysis().lines.size() == 6))
        ++width;
    for (auto _ : state)
        benchmark::DoNotOptimize(c.run(width));
    state.counters["success"] = c.success();
    state.counters["filter_width"] = width;
}

}  // namespace

BENCHMARK(BM_velocity_calibration)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
