// The portable parts of the idle pass and of a progress message: the command states of
// a snapshot, the window title, the chi-square text of a view refresh and the fit
// status pane's text.
#include <benchmark/benchmark.h>

#include "ui/logic/command_state.h"
#include "ui/logic/fit_protocol.h"
#include "ui/logic/view_refresh.h"
#include "ui/logic/window_title.h"

namespace {

void BM_CommandStates(benchmark::State& state)
{
    CommandSnapshot s;
    s.points = 1024;
    s.has_components = true;
    s.row = RowKind::Component;
    s.column = 4;
    s.fit_running = true;
    s.plot_mask = 0x7F7B;
    s.plot_options = 0xB7B;
    for (auto _ : state)
        benchmark::DoNotOptimize(command_states(s));
}
BENCHMARK(BM_CommandStates);

void BM_WindowTitle(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(window_title(L"Vexmoor", LR"(C:\Users\me\Documents\fits\2020\run1\foil.spc)", true,
                                              LR"(C:\Users\me\Documents\fits\2020\run1\model.mdl)", false));
}
BENCHMARK(BM_WindowTitle);

void BM_ChiSquareText(benchmark::State& state)
{
    FitStatus status;
    status.stop_code = 0;
    status.iterations = 12;
    for (auto _ : state)
        benchmark::DoNotOptimize(plan_view_refresh(ViewsResults | ViewsChiSquare, &status, 1012.5, 1.0125));
}
BENCHMARK(BM_ChiSquareText);

// What the window computes for each progress record that carries no values.
void BM_FitStatusText(benchmark::State& state)
{
    FitProgress p;
    p.iteration = 17;
    p.chi_square = 1012.5;
    p.reduced_chi_square = 1.0125;
    p.previous_chi_square = 1013.25;
    p.rho = 0.75;
    p.step_length = 1e-3;
    for (auto _ : state)
        benchmark::DoNotOptimize(fit_status_text(true, false, p));
}
BENCHMARK(BM_FitStatusText);

}  // namespace
BENCHMARK_MAIN();
