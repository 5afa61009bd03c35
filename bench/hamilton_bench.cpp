// Cost of the hyperfine lines (two Jacobi eigen-solutions and the line intensities) on
// doubles and on the dual numbers of the models that call them, and of the values and
// the Jacobian of the two Hamiltonian models at 1024 velocities.
#include <benchmark/benchmark.h>

#include <cmath>
#include <type_traits>
#include <vector>

#include "lineshapes/hamilton.h"
#include "lineshapes/hyperfine_lines.h"
#include "subspec/subspec_impl.h"

namespace {

namespace ublas = boost::numeric::ublas;

Isotope iron57()
{
    Isotope iso;
    iso.name = L"57Fe";
    iso.Γτ = 0.097;
    iso.Eγ = 14.4125;
    iso.g_gr = 0.18088;
    iso.g_ex = -0.103267;
    iso.KN = 0.9450811114935828 / iso.Eγ;
    iso.K = (3.0 * iso.g_ex - iso.g_gr) * iso.KN;
    return iso;
}

const Isotope iron = iron57();

// A field at an angle to a gradient with asymmetry: the excited matrix is dense.
template <class R>
void lines(benchmark::State& state)
{
    R p[6] = {0.9, 210.0, 35.0, 20.0, 0.4, 30.0};  // Q, H, θ, φ, η, γ
    if constexpr (!std::is_same_v<R, double>)
        for (int k = 0; k < 6; ++k)
            p[k] = R::seed(p[k][0], k);
    using std::cos;
    using std::sin;
    const R theta = to_radians(p[2]);
    const R c = cos(theta), s = sin(theta);
    for (auto _ : state) {
        HyperfineLines<R> result = hyperfine_lines(iron, p[0], p[1], c, s, p[3], p[4], p[5]);
        benchmark::DoNotOptimize(result);
    }
}

BENCHMARK(lines<double>);
BENCHMARK(lines<Dual<11>>);
BENCHMARK(lines<Dual<17>>);
BENCHMARK(lines<Dual<18>>);

template <class T>
void evaluate_with_jacobian(benchmark::State& state, const std::vector<double>& params)
{
    const SubSpecPtr subspec = make_subspec<T>(&iron);
    const std::size_t n = std::size_t(state.range(0)), m = params.size();
    DVector x(n), p(m);
    for (std::size_t i = 0; i < n; ++i)
        x(i) = -10.0 + 20.0 * double(i) / double(n);
    std::copy(params.begin(), params.end(), p.begin());
    std::vector<double> values(n);
    DMatrix jacobian(n, m);
    for (auto _ : state) {
        subspec->evaluate_with_jacobian(XPoints(x, ublas::range(0, n)), ParamRange(p, ublas::range(0, m)),
                                        values.data(), JacobianRange(jacobian, ublas::range(0, n), ublas::range(0, m)));
        benchmark::DoNotOptimize(values.data());
        benchmark::DoNotOptimize(&jacobian(0, 0));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void hamilton_jacobian(benchmark::State& state)
{
    evaluate_with_jacobian<Hamilton>(state, {1.1, 30.0, 0.15, 0.9, 210.0, 35.0, 20.0, 0.4, 0.27, 0.3});
}

void hamilton8_jacobian(benchmark::State& state)
{
    evaluate_with_jacobian<Hamilton8>(
        state, {1.1, 30.0, 0.15, 0.9, 210.0, 35.0, 20.0, 0.4, 0.21, 0.23, 0.25, 0.27, 0.29, 0.31, 0.33, 0.35, 0.3});
}

BENCHMARK(hamilton_jacobian)->Arg(1024);
BENCHMARK(hamilton8_jacobian)->Arg(1024);

}  // namespace

BENCHMARK_MAIN();
