// Cost of the line, doublet and sextet models: values against values with the Jacobian
// (one pass of the formula on Dual<N>, N the parameter count) at 512, 4096 and 65536
// velocity points, serially on one component.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/isotope.h"
#include "lineshapes/doublets.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "lineshapes/simple_sextets.h"
#include "lineshapes/singlets.h"
#include "subspec/subspec_impl.h"

namespace {

namespace ublas = boost::numeric::ublas;

// The constants of ⁵⁷Fe as isotope.txt gives them.
const Isotope& iron()
{
    static const Isotope iso = [] {
        Isotope i;
        i.name = L"57Fe";
        i.Γτ = 0.097;
        i.Eγ = 14.4125;
        i.g_gr = 0.18088;
        i.g_ex = -0.103267;
        i.KN = 0.9450811114935828 / i.Eγ;
        i.K = (3.0 * i.g_ex - i.g_gr) * i.KN;
        i.L = i.Eγ * 5067730.716156395;
        const double r = 1.0 / (3.0 * i.g_ex - i.g_gr);
        i.α = (i.g_ex - i.g_gr) * r;
        i.β = -(i.g_gr + i.g_ex) * r;
        return i;
    }();
    return iso;
}

template <class T>
struct Params;
template <>
struct Params<LorenzLine> {
    static constexpr double values[] = {1.2, 0.2, 0.35};
};
template <>
struct Params<PseudoVoigtLine> {
    static constexpr double values[] = {1.2, 0.2, 0.35, 0.3};
};
template <>
struct Params<VoigtLine> {
    static constexpr double values[] = {1.2, 0.2, 0.25, 0.3};
};
template <>
struct Params<PseudoVoigtDoublet> {
    static constexpr double values[] = {1.1, 0.8, 0.3, 0.6, 0.3, 1.2, 0.4};
};
template <>
struct Params<VoigtDoublet> {
    static constexpr double values[] = {1.1, 0.8, 0.3, 0.6, 0.2, 0.25, 1.3};
};
template <>
struct Params<SimplePseudoVoigtSextet> {
    static constexpr double values[] = {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.3, 1.1, 0.9, 0.2};
};
template <>
struct Params<SimpleVoigtSextet> {
    static constexpr double values[] = {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.2, 0.25, 1.1, 0.9};
};
template <>
struct Params<PseudoVoigtSextet> {
    static constexpr double values[] = {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.03, -0.02,
                                        0.3, 1.1, 0.9, 1.05, 0.95, 1.1, 0.2};
};

template <class T>
struct Setup {
    static constexpr unsigned n = T::n_params;
    SubSpecPtr subspec = make_subspec<T>(&iron());
    DVector x, p;
    std::vector<double> values;
    DMatrix jacobian;

    explicit Setup(std::size_t points) : x(points), p(n), values(points), jacobian(points, n)
    {
        for (std::size_t i = 0; i < points; ++i)
            x(i) = -10.0 + 20.0 * double(i) / double(points);
        std::copy(std::begin(Params<T>::values), std::end(Params<T>::values), p.begin());
    }
    XPoints points() const { return XPoints(x, ublas::range(0, x.size())); }
    ParamRange params() const { return ParamRange(p, ublas::range(0, n)); }
};

template <class T>
void evaluate(benchmark::State& state)
{
    Setup<T> s{std::size_t(state.range(0))};
    for (auto _ : state) {
        s.subspec->evaluate(s.points(), s.params(), s.values.data());
        benchmark::DoNotOptimize(s.values.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <class T>
void evaluate_with_jacobian(benchmark::State& state)
{
    Setup<T> s{std::size_t(state.range(0))};
    for (auto _ : state) {
        s.subspec->evaluate_with_jacobian(s.points(), s.params(), s.values.data(),
                                          JacobianRange(s.jacobian, ublas::range(0, s.x.size()),
                                                        ublas::range(0, Setup<T>::n)));
        benchmark::DoNotOptimize(s.values.data());
        benchmark::DoNotOptimize(&s.jacobian(0, 0));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

#define VX_LINE_BENCH(T)                                              \
    BENCHMARK(evaluate<T>)->Arg(512)->Arg(4096)->Arg(65536);          \
    BENCHMARK(evaluate_with_jacobian<T>)->Arg(512)->Arg(4096)->Arg(65536)

VX_LINE_BENCH(LorenzLine);
VX_LINE_BENCH(PseudoVoigtLine);
VX_LINE_BENCH(VoigtLine);
VX_LINE_BENCH(PseudoVoigtDoublet);
VX_LINE_BENCH(VoigtDoublet);
VX_LINE_BENCH(SimplePseudoVoigtSextet);
VX_LINE_BENCH(SimpleVoigtSextet);
VX_LINE_BENCH(PseudoVoigtSextet);

}  // namespace

BENCHMARK_MAIN();
