// Cost of a subspectrum's values against its values with the Jacobian (one pass of the
// formula on Dual<3> numbers) for the three baselines.
#include <benchmark/benchmark.h>

#include <vector>

#include "subspec/baseline.h"
#include "subspec/subspec_impl.h"

namespace {

namespace ublas = boost::numeric::ublas;

struct Setup {
    SubSpecPtr subspec;
    DVector x, p;
    std::vector<double> values;
    DMatrix jacobian;

    Setup(SubSpecPtr s, std::size_t n) : subspec(std::move(s)), x(n), p(3), values(n), jacobian(n, 3)
    {
        for (std::size_t i = 0; i < n; ++i)
            x(i) = -10.0 + 20.0 * double(i) / double(n);
        p(0) = 0.4;
        p(1) = 0.02;
        p(2) = 0.1;
        if (auto* automatic = dynamic_cast<IAutoBaseLine*>(subspec.get()))
            automatic->set_level(1.0e6);
    }
    XPoints points() const { return XPoints(x, ublas::range(0, x.size())); }
    ParamRange params() const { return ParamRange(p, ublas::range(0, 3)); }
};

template <class T>
void evaluate(benchmark::State& state)
{
    Setup s(make_subspec<T>(nullptr), std::size_t(state.range(0)));
    for (auto _ : state) {
        s.subspec->evaluate(s.points(), s.params(), s.values.data());
        benchmark::DoNotOptimize(s.values.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <class T>
void evaluate_with_jacobian(benchmark::State& state)
{
    Setup s(make_subspec<T>(nullptr), std::size_t(state.range(0)));
    for (auto _ : state) {
        s.subspec->evaluate_with_jacobian(s.points(), s.params(), s.values.data(),
                                          JacobianRange(s.jacobian, ublas::range(0, s.x.size()), ublas::range(0, 3)));
        benchmark::DoNotOptimize(s.values.data());
        benchmark::DoNotOptimize(&s.jacobian(0, 0));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(evaluate<BaseLine>)->Arg(1024)->Arg(65536);
BENCHMARK(evaluate_with_jacobian<BaseLine>)->Arg(1024)->Arg(65536);
BENCHMARK(evaluate<AutoBaseLine>)->Arg(1024)->Arg(65536);
BENCHMARK(evaluate_with_jacobian<AutoBaseLine>)->Arg(1024)->Arg(65536);
BENCHMARK(evaluate<AutoBaseLine2>)->Arg(1024)->Arg(65536);
BENCHMARK(evaluate_with_jacobian<AutoBaseLine2>)->Arg(1024)->Arg(65536);

}  // namespace

BENCHMARK_MAIN();
