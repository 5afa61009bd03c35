// The document's undo records and model files at the sizes the program meets: spectrum
// edits on a 4096-channel spectrum, the resize of a 1000-point distribution, and a
// model of 50 components with a 1000-point distribution saved and loaded.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "core/document/change_records.h"
#include "core/text/text.h"
#include "tests/support/model_file_test_parts.h"

namespace {

// Resident memory of the process in bytes.
double resident_bytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// 1000 point edits of a 4096-channel spectrum, each one record of the spectrum before
// (read from its keyword list) and after: the time per record and the memory the
// history holds, beside the size of one keyword list.
void BM_SpectrumEditRecords(benchmark::State& state)
{
    double held = 0.0, list_bytes = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        auto d = std::make_unique<ModelState>();
        d->data.make_velocity_axis(4096, -10.0, 10.0);
        std::vector<double> y(4096), s(4096);
        for (std::size_t i = 0; i < y.size(); ++i) {
            y[i] = 1e6 - 3e4 * std::exp(-std::pow((i - 2048.0) / 100.0, 2));
            s[i] = std::sqrt(y[i]);
        }
        d->data.set_counts_and_std_dev(y, s);
        d->data.store_keywords();
        const double before = resident_bytes();
        state.ResumeTiming();
        for (int k = 0; k < 1000; ++k) {
            KeywordList list = d->data.keywords;
            y[k] += 1.0;
            d->data.set_counts_and_std_dev(y, s);
            d->spectrum_history.push(std::make_shared<ModelState::ChangeRecordData>(*d, std::move(list)));
        }
        state.PauseTiming();
        held = resident_bytes() - before;
        list_bytes = 0.0;
        for (const auto& [key, data] : d->data.keywords)
            list_bytes += static_cast<double>((key.size() + data.value.size()) * sizeof(wchar_t));
        d.reset();
        state.ResumeTiming();
    }
    // Each record shares its state before with the previous record's state after, so
    // the history keeps about one spectrum per record.
    state.counters["MB_held"] = held / 1e6;
    state.counters["KB_per_list"] = list_bytes / 1e3;
    state.counters["records"] = 1000;
}
BENCHMARK(BM_SpectrumEditRecords)->Unit(benchmark::kMillisecond)->Iterations(1);

// A baseline, a distribution of `points` points and a line.
std::unique_ptr<ModelState> distribution_document(unsigned points)
{
    auto d = std::make_unique<ModelState>();
    d->add_component(0, SpectrumAnalysis(), model_test::baseline(), true);
    d->add_component(1, SpectrumAnalysis(), document_test::distribution(points), true);
    d->add_component(2, SpectrumAnalysis(), model_test::lorentz(), true);
    return d;
}

// Undo and redo of a 1000 → 999 point resize (one pair per iteration).
void BM_ResizeUndoRedo(benchmark::State& state)
{
    const std::unique_ptr<ModelState> document = distribution_document(1000);
    ModelState& d = *document;
    d.model_history.push(std::make_shared<ModelState::ChangeRecordResizeDist>(d, 1, 999));
    for (auto _ : state) {
        d.model_history.undo(d);
        d.model_history.redo(d);
    }
}
BENCHMARK(BM_ResizeUndoRedo)->Unit(benchmark::kMillisecond);

// One value edited and undone on a document with a 4096-channel spectrum and a
// 1000-point distribution: the cost of keeping the document for an all-or-nothing step.
void BM_SetParamUndo(benchmark::State& state)
{
    const std::unique_ptr<ModelState> document = distribution_document(1000);
    ModelState& d = *document;
    d.data.make_velocity_axis(4096, -10.0, 10.0);
    d.data.set_counts_and_std_dev(std::vector<double>(4096, 1e6), std::vector<double>(4096, 1e3));
    for (auto _ : state) {
        d.set_param(5, 0.25);
        d.model_history.undo(d);
    }
}
BENCHMARK(BM_SetParamUndo)->Unit(benchmark::kMicrosecond);

// 49 Lorentz lines after a baseline, one of them a 1000-point distribution.
std::unique_ptr<ModelState> fifty_components()
{
    auto d = std::make_unique<ModelState>();
    d->add_component(0, SpectrumAnalysis(), model_test::baseline(), true);
    for (unsigned k = 1; k < 50; ++k)
        d->add_component(k, SpectrumAnalysis(), k == 25 ? document_test::distribution(1000) : model_test::lorentz(),
                         true);
    for (unsigned i = 0; i < d->model.param_count(); ++i)
        d->values(i) = 1.0 / (i + 3.0);
    return d;
}

const std::wstring& model_path()
{
    static const std::wstring path =
        utf8_to_wide((std::filesystem::temp_directory_path() / "vx_document_bench.mdl").string());
    return path;
}

void BM_SaveModel50(benchmark::State& state)
{
    const document_test::TestModelFileParts parts;
    const std::unique_ptr<ModelState> d = fifty_components();
    for (auto _ : state)
        d->save_model_file(model_path(), parts);
}
BENCHMARK(BM_SaveModel50)->Unit(benchmark::kMillisecond);

void BM_LoadModel50(benchmark::State& state)
{
    const document_test::TestModelFileParts parts;
    fifty_components()->save_model_file(model_path(), parts);
    ModelState d;
    for (auto _ : state)
        d.load_model_file(nullptr, model_path(), parts);
    state.counters["params"] = d.model.param_count();
}
BENCHMARK(BM_LoadModel50)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
