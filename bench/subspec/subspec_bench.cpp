// Cost of a subspectrum's values against its values with the Jacobian (one pass of the
// formula on Dual<3> numbers) for the three baselines.
#include <benchmark/benchmark.h>

#include "bench/support/component_timing.h"
#include "subspec/baseline.h"
#include "subspec/subspec_impl.h"

namespace {

constexpr double params[] = {0.4, 0.02, 0.1};

template <class T>
SubSpecPtr baseline()
{
    SubSpecPtr s = make_subspec<T>(nullptr);
    if (auto* automatic = dynamic_cast<IAutoBaseLine*>(s.get()))
        automatic->set_level(1.0e6);
    return s;
}

template <class T>
void evaluate(benchmark::State& state)
{
    time_evaluate(state, baseline<T>(), params);
}

template <class T>
void evaluate_with_jacobian(benchmark::State& state)
{
    time_evaluate_with_jacobian(state, baseline<T>(), params);
}

BENCHMARK(evaluate<BaseLine>)->Arg(1024)->Arg(65536);
BENCHMARK(evaluate_with_jacobian<BaseLine>)->Arg(1024)->Arg(65536);
BENCHMARK(evaluate<AutoBaseLine>)->Arg(1024)->Arg(65536);
BENCHMARK(evaluate_with_jacobian<AutoBaseLine>)->Arg(1024)->Arg(65536);
BENCHMARK(evaluate<AutoBaseLine2>)->Arg(1024)->Arg(65536);
BENCHMARK(evaluate_with_jacobian<AutoBaseLine2>)->Arg(1024)->Arg(65536);

}  // namespace

BENCHMARK_MAIN();
