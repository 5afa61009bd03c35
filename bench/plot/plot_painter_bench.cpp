// One redraw of the plot: DrawPlot of a spectrum of 1024 or 4096 points with a model of
// ten components (a baseline, sextets, doublets, singlets and a Hamiltonian; with the
// second argument 1 the last sextet is a field distribution of 200 points; with the
// third argument 1 the data points carry their standard deviations as error bars), on a
// recording canvas (the painter and the model evaluations alone) and on the anti-aliased
// renderer (what a window's back buffer costs). Target: well under 50 ms.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "core/model/spectrum_model.h"
#include "lineshapes/doublets.h"
#include "lineshapes/hamilton.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "lineshapes/simple_sextets.h"
#include "lineshapes/singlets.h"
#include "subspec/baseline.h"
#include "subspec/distribution.h"
#include "subspec/subspec_impl.h"
#include "tests/plot/pixel_canvas.h"
#include "tests/plot/recording_canvas.h"
#include "tests/support/program_isotopes.h"

namespace {

struct Scene {
    SpectrumModel model;
    SpectrumData data;
    DVector params;

    Scene(unsigned channels, bool with_distribution)
    {
        const Isotope* fe = &test_support::iron();
        std::vector<std::pair<SubSpecPtr, std::vector<double>>> parts = {
            {make_subspec<PseudoVoigtSextet>(fe), {0.3, 0.667, 0.333, 0.0, 0.0, 330.0, 0, 0, 0.27, 1, 1, 1, 1, 1, 0.3}},
            {make_subspec<PseudoVoigtSextet>(fe), {0.2, 0.667, 0.333, 0.3, 0.05, 300.0, 0, 0, 0.3, 1, 1, 1, 1, 1, 0.3}},
            {make_subspec<PseudoVoigtSextet>(fe), {0.1, 0.667, 0.333, 0.4, -0.1, 250.0, 0, 0, 0.35, 1, 1, 1, 1, 1, 0.3}},
            {make_subspec<PseudoVoigtDoublet>(nullptr), {0.2, 1.0, 0.35, 0.42, 0.3, 1.0, 0.2}},
            {make_subspec<PseudoVoigtDoublet>(nullptr), {0.1, 1.0, 1.1, 2.2, 0.3, 1.0, 0.2}},
            {make_subspec<VoigtLine>(nullptr), {0.05, -0.1, 0.25, 0.2}},
            {make_subspec<VoigtLine>(nullptr), {0.05, 0.6, 0.25, 0.2}},
            {make_subspec<Hamilton>(fe), {0.2, 30.0, 0.15, 0.9, 210.0, 35.0, 20.0, 0.4, 0.27, 0.3}},
            {make_subspec<PseudoVoigtSextet>(fe), {0.1, 0.667, 0.333, 0.2, 0.0, 450.0, 0, 0, 0.3, 1, 1, 1, 1, 1, 0.3}},
        };
        if (with_distribution) {
            // I₂/I₁, I₃/I₁, δ, ε, HnL, HnR, Γ₁, Γ₂/Γ₁, Γ₃/Γ₁, α, then a two-peak profile.
            std::vector<double> p = {2.0 / 3.0, 1.0 / 3.0, 0.0, 0.0, 200.0, 400.0, 0.25, 1.0, 1.0, 0.0};
            for (unsigned i = 0; i < 200; ++i) {
                const double t = i / 199.0;
                p.push_back(0.002 * (std::exp(-0.5 * std::pow((t - 0.3) / 0.1, 2)) +
                                     0.7 * std::exp(-0.5 * std::pow((t - 0.7) / 0.07, 2))));
            }
            parts.back() = {make_distribution(make_subspec<SimplePseudoVoigtSextet>(fe), 200, {5}), p};
        }
        model.level = 1e6;
        model.insert_component(0, make_subspec<AutoBaseLine2>(nullptr));
        std::vector<double> p{0.0, 0.0, 0.0};
        for (const auto& [part, values] : parts) {
            model.insert_component(model.component_count(), part);
            p.insert(p.end(), values.begin(), values.end());
        }
        model.scale = -3e5;
        params = DVector(p.size());
        std::copy(p.begin(), p.end(), params.begin());
        DVector x(channels), m(channels);
        for (unsigned i = 0; i < channels; ++i)
            x(i) = -12.0 + 24.0 * i / (channels - 1);
        model.evaluate(x, 0, channels, params, m);
        std::mt19937 engine(1);
        for (unsigned i = 0; i < channels; ++i) {
            std::normal_distribution<double> noise(m(i), std::sqrt(m(i)));
            data.x_data.push_back(x(i));
            data.y_data.push_back(std::round(noise(engine)));
            data.std_dev_data.push_back(std::sqrt(std::max(data.y_data.back(), 1.0)));
        }
        data.update_analysis();
    }
};

constexpr int width = 1280, height = 800;

template <class Reset>
void draw(benchmark::State& state, Canvas& canvas, CallLog& log, Reset reset)
{
    const Scene scene(unsigned(state.range(0)), state.range(1) != 0);
    TestView view;
    view.options |= OptDetectedLines | (state.range(2) ? OptStdDevBars : 0);
    view.SetData(&scene.model, &scene.data, &scene.params, nullptr, nullptr, nullptr);
    RecordingText text(log);
    for (auto _ : state) {
        log.calls.clear();
        reset();
        view.DrawPlot(canvas, text);
        benchmark::DoNotOptimize(view.points.data());
    }
}

void BM_DrawPlotRecording(benchmark::State& state)
{
    CallLog log;
    RecordingCanvas canvas(log, width, height);
    draw(state, canvas, log, [&] {
        canvas.lines.clear();
        canvas.markers.clear();
    });
}

void BM_DrawPlotRendered(benchmark::State& state)
{
    CallLog log;
    PixelCanvas canvas(width, height);
    draw(state, canvas, log, [] {});
}

}  // namespace

BENCHMARK(BM_DrawPlotRecording)->ArgsProduct({{1024, 4096}, {0, 1}, {1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawPlotRendered)->ArgsProduct({{1024, 4096}, {0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
