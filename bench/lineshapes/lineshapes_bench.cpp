// Cost of the line, doublet and sextet models: values against values with the Jacobian
// (one pass of the formula on Dual<N>, N the parameter count) at 512, 4096 and 65536
// velocity points, serially on one component.
#include <benchmark/benchmark.h>

#include "bench/support/component_timing.h"
#include "lineshapes/doublets.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "lineshapes/simple_sextets.h"
#include "lineshapes/singlets.h"
#include "subspec/subspec_impl.h"
#include "tests/support/program_isotopes.h"

template <>
struct BenchParams<LorenzLine> {
    static constexpr double values[] = {1.2, 0.2, 0.35};
};
template <>
struct BenchParams<PseudoVoigtLine> {
    static constexpr double values[] = {1.2, 0.2, 0.35, 0.3};
};
template <>
struct BenchParams<VoigtLine> {
    static constexpr double values[] = {1.2, 0.2, 0.25, 0.3};
};
template <>
struct BenchParams<PseudoVoigtDoublet> {
    static constexpr double values[] = {1.1, 0.8, 0.3, 0.6, 0.3, 1.2, 0.4};
};
template <>
struct BenchParams<VoigtDoublet> {
    static constexpr double values[] = {1.1, 0.8, 0.3, 0.6, 0.2, 0.25, 1.3};
};
template <>
struct BenchParams<SimplePseudoVoigtSextet> {
    static constexpr double values[] = {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.3, 1.1, 0.9, 0.2};
};
template <>
struct BenchParams<SimpleVoigtSextet> {
    static constexpr double values[] = {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.2, 0.25, 1.1, 0.9};
};
template <>
struct BenchParams<PseudoVoigtSextet> {
    static constexpr double values[] = {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.03, -0.02,
                                        0.3, 1.1, 0.9, 1.05, 0.95, 1.1, 0.2};
};

namespace {

#define VX_LINE_BENCH(T)                                              \
    BENCHMARK(evaluate_model<T>)->Arg(512)->Arg(4096)->Arg(65536);          \
    BENCHMARK(evaluate_model_with_jacobian<T>)->Arg(512)->Arg(4096)->Arg(65536)

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
