// The model grid's cells for a large model: a baseline, 50 lines and a distribution of
// 1000 points. Filling reads every cell's text, as the list view does when it sizes its
// columns to their contents; a refresh after a fit step reads every cell's text, image
// and colours with the fit values and their errors, as painting every cell would.
#include <benchmark/benchmark.h>

#include <vector>

#include "subspec/distribution.h"
#include "tests/subspec/test_models.h"
#include "tests/support/model_test_parts.h"
#include "ui/logic/model_grid_cells.h"

namespace {

struct LargeDocument {
    SpectrumModel model;
    DVector values, fit, lower, upper;
    DMatrix covariance;
    std::vector<int> flags;

    LargeDocument()
    {
        model.insert_component(0, model_test::baseline());
        for (unsigned i = 0; i < 50; ++i)
            model.insert_component(model.component_count(), make_subspec<test_models::TestLorentz>(nullptr));
        model.insert_component(model.component_count(), make_distribution(model_test::lorentz(), 1000, {1}));
        model.insert_expression(0, L"ratio", L"[1:I]/[2:I]");
        const unsigned P = model.param_count();
        values = DVector(P, 0.5);
        values(0) = 1e6;
        fit = values;
        lower = DVector(P, 0.0);
        upper = DVector(P, 10.0);
        flags.assign(P, ParamFree);
        covariance = DMatrix(P, P, 0.0);
        for (unsigned k = 0; k < P; ++k) covariance(k, k) = 1e-4 * (k % 7);
    }

    ModelGridCells grid(ModelGridOptions options) const
    {
        return ModelGridCells({&model, &values, &fit, &flags, &lower, &upper, &covariance,
                               [this](unsigned k) { return varied_by_flags(model, flags, k); }},
                              options);
    }
};

void read_cells(const ModelGridCells& g, bool with_colours, benchmark::State& state)
{
    const int rows = static_cast<int>(g.row_count()), columns = static_cast<int>(g.column_count());
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            benchmark::DoNotOptimize(g.text(r, c));
            if (!with_colours) continue;
            benchmark::DoNotOptimize(g.image(r, c));
            benchmark::DoNotOptimize(g.background(r, c, false));
            benchmark::DoNotOptimize(g.text_color(r, c));
        }
    }
    state.counters["cells"] = rows * columns;
}

void BM_ModelGridFill(benchmark::State& state)
{
    const LargeDocument doc;
    const ModelGridCells g = doc.grid({true, false, true, false, true});
    for (auto _ : state) {
        benchmark::DoNotOptimize(g.column_count());
        read_cells(g, false, state);
    }
}
BENCHMARK(BM_ModelGridFill)->Unit(benchmark::kMillisecond);

void BM_ModelGridRefreshAfterFitStep(benchmark::State& state)
{
    LargeDocument doc;
    for (auto _ : state) {
        doc.fit(3) += 1e-6;  // a fit step moved the values
        // A refresh reads the document anew.
        read_cells(doc.grid({false, true, false, true, true}), true, state);
    }
}
BENCHMARK(BM_ModelGridRefreshAfterFitStep)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
