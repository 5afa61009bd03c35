// Cost of the spin-modulation models (anharmonic, spiral, density wave) at their default 250 phases per period
// and 512 velocities, values and values with the Jacobian (one call, on one core), and
// of the field histogram at its largest setting, 100000 phases.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/support/component_timing.h"
#include "relaxation/anharmonic_hamilton.h"
#include "relaxation/anharmonic_sextets.h"
#include "relaxation/density_wave.h"
#include "relaxation/nmr_anharmonic.h"
#include "relaxation/nmr_spiral.h"
#include "relaxation/spiral_models.h"
#include "subspec/subspec_impl.h"
#include "tests/support/program_isotopes.h"

namespace {

using test_support::iron;

constexpr double simple_params[] = {1.1, 0.7, 0.4, 0.1, 0.05, -0.12, 0.6, 300.0, 35.0, 0.35, 0.3, 1.1, 0.9, 0.2};
constexpr double anisotropic_params[] = {1.1,   0.7,   0.4,   0.1,  0.2,  0.5, 1.2, 0.3, 30.0, 50.0,
                                         -20.0, 250.0, 290.0, 330.0, -0.7, 15.0, 0.3, 1.1, 0.9, 0.2};
constexpr double hamilton_params[] = {1.1, 40.0, 0.1, 0.8, 25.0, 0.3, 300.0, -30.0, 0.6, 0.28, 0.2};
constexpr double nmr_params[] = {1.5, 70.0, 12.0, -0.3, 0.8, 0.5, 0.4};
constexpr double spiral_params[] = {1.1, 0.7, 0.4,  0.1, 0.3,   0.5,   40.0, 60.0, 0.3, 1.1, 0.9,
                                    0.2, 25.0, 0.8, 300.0, -30.0, 15.0, 0.0,  5.0,  0.0, 0.0, 2.0};
constexpr double spiral_hamilton_params[] = {1.1,   40.0, 0.1, 0.8, 40.0, 60.0, 0.3, 0.2, 25.0,
                                             0.8, 300.0, -30.0, 15.0, 0.0, 5.0,  0.0, 0.0, 2.0};
constexpr double nmr_spiral_params[] = {1.5, 5.0, 8.0, 0.8, 0.5, 0.4, 25.0, 0.8, 70.0, -6.0, 3.0, 0.0, 1.0, 0.0, 0.0, 0.5};
constexpr double density_wave_params[] = {1.1, 0.7,  0.4, 0.1, 0.001, 0.05, 0.0005, 30.0, 0.8, 0.2, 20.0, -5.0,
                                          3.0, 0.0, 1.0, 0.0, 0.0,   2.0,  25.0,   0.1,  0.05, 0.0, 0.02};

template <class T, const auto& params>
void values(benchmark::State& state)
{
    time_evaluate(state, make_subspec<T>(&iron()), params);
}

template <class T, const auto& params>
void jacobian(benchmark::State& state)
{
    time_evaluate_with_jacobian(state, make_subspec<T>(&iron()), params);
}

BENCHMARK(values<AnharmonicSpinModulation, simple_params>)->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(jacobian<AnharmonicSpinModulation, simple_params>)->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(values<AnharmonicSpinModulationAnisotropic, anisotropic_params>)->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(jacobian<AnharmonicSpinModulationAnisotropic, anisotropic_params>)->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(values<AnharmonicSpinModulationHamilton, hamilton_params>)->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(jacobian<AnharmonicSpinModulationHamilton, hamilton_params>)->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(values<NMR_AnharmonicSpinModulation, nmr_params>)->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(jacobian<NMR_AnharmonicSpinModulation, nmr_params>)->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(values<Spiral_Spin_Sextet, spiral_params>)->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(jacobian<Spiral_Spin_Sextet, spiral_params>)->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(values<Spiral_Spin_Hamilton, spiral_hamilton_params>)->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(jacobian<Spiral_Spin_Hamilton, spiral_hamilton_params>)->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(values<NMR_Spiral_Spin, nmr_spiral_params>)->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(jacobian<NMR_Spiral_Spin, nmr_spiral_params>)->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(values<SDW_CDW_Sextet, density_wave_params>)->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(jacobian<SDW_CDW_Sextet, density_wave_params>)->Arg(512)->Unit(benchmark::kMillisecond);

// The histogram of |H| over 100000 phases of the simple model.
void field_histogram(benchmark::State& state)
{
    const SubSpecPtr s = make_subspec<AnharmonicSpinModulation>(&iron());
    dynamic_cast<ISubSpecData&>(*s).load_extra(L"0|HPoints|100000");
    const DVector p = test_support::vec({std::begin(simple_params), std::end(simple_params)});
    std::vector<double> x, y;
    for (auto _ : state) {
        dynamic_cast<const IExtraGraph&>(*s).graph(2, test_support::all_of(p), x, y);
        benchmark::DoNotOptimize(y.data());
    }
}

BENCHMARK(field_histogram)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
