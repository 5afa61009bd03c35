// Cost of user expressions: one evaluation (Expr::run, the value alone, the value with
// its gradient) of expressions with 3, 4 and 5 distinct references, on one thread and on
// every core at once (a fit evaluates link expressions from all its threads), and the
// compilation of 100 expressions against a model of 500 parameters.
#include "core/model/expr.h"
#include "core/model/spectrum_model.h"
#include "tests/support/expr_test_parts.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// 50 components of 10 parameters each.
const SpectrumModel& model_of_500()
{
    static const SpectrumModel model = [] {
        SpectrumModel m;
        for (unsigned c = 0; c < 50; ++c)
            m.insert_component(c, expr_test::inert<SimplePseudoVoigtSextetParams>());
        return m;
    }();
    return model;
}

const ExprPtr& expression(int references)
{
    static const ExprPtr expressions[] = {
        Expr::create(L"[1:I]/(1+[1:I₂/I₁]+[1:I₃/I₁])", model_of_500()),
        Expr::create(L"[1:δ]+[1:ε]*exp(-[1:Hn]/330)*[1:Γ₁]", model_of_500()),
        Expr::create(L"acos°((([1:I₂/I₁]-[2:I₂/I₁])/(4+[1:I₃/I₁]))^0.5)*[1:Hn]/[2:Hn]", model_of_500()),
    };
    return expressions[references - 3];
}

DVector parameters()
{
    DVector p(500);
    for (unsigned i = 0; i < 500; ++i)
        p(i) = 0.5 + i * 0.001;
    return p;
}

void BM_expr_run(benchmark::State& state)
{
    const auto& e = dynamic_cast<const Expr&>(*expression(static_cast<int>(state.range(0))));
    const DVector p = parameters();
    const DVector none;
    std::vector<double> stack(e.max_depth() * (e.references().size() + 1));
    for (auto _ : state) {
        e.run(p, none, stack.data(), true);
        benchmark::DoNotOptimize(stack.data());
    }
}

void BM_expr_value(benchmark::State& state)
{
    const ExprPtr& e = expression(static_cast<int>(state.range(0)));
    const DVector p = parameters();
    for (auto _ : state)
        benchmark::DoNotOptimize(e->value(p));
}

void BM_expr_value_and_gradient(benchmark::State& state)
{
    const ExprPtr& e = expression(static_cast<int>(state.range(0)));
    const DVector p = parameters();
    DVector gradient(p.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(e->value_and_gradient(p, gradient));
        benchmark::ClobberMemory();
    }
}

void BM_compile_100_expressions(benchmark::State& state)
{
    const SpectrumModel& model = model_of_500();
    std::vector<std::wstring> texts;
    for (unsigned k = 0; k < 100; ++k) {
        const std::wstring c = std::to_wstring(k % 50), d = std::to_wstring((k * 7 + 3) % 50);
        texts.push_back(L"[" + c + L":I]*[" + d + L":Hn]/(1+[" + c + L":ε]) + sin°([" + d + L":δ])^2 - " +
                        std::to_wstring(k) + L"*[" + c + L":Γ₁]");
    }
    for (auto _ : state)
        for (const std::wstring& t : texts)
            benchmark::DoNotOptimize(Expr::create(t, model));
    state.SetItemsProcessed(state.iterations() * 100);
}

// A sum of state.range(0) references, about 6 characters each.
void BM_compile_long_sum(benchmark::State& state)
{
    const SpectrumModel& model = model_of_500();
    std::wstring text = L"[1:I]";
    for (long k = 1; k < state.range(0); ++k)
        text += L"+[1:I]";
    for (auto _ : state)
        benchmark::DoNotOptimize(Expr::create(text, model));
    state.SetBytesProcessed(state.iterations() * static_cast<long>(text.size()));
}

}  // namespace

BENCHMARK(BM_expr_run)->DenseRange(3, 5)->Threads(1)->ThreadPerCpu();
BENCHMARK(BM_expr_value)->DenseRange(3, 5)->Threads(1)->ThreadPerCpu();
BENCHMARK(BM_expr_value_and_gradient)->DenseRange(3, 5)->Threads(1)->ThreadPerCpu();
BENCHMARK(BM_compile_100_expressions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_compile_long_sum)->Arg(1 << 10)->Arg(1 << 14)->Arg(1 << 17)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
