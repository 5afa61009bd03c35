// The anti-aliased canvas against Anti-Grain Geometry on a 1920×1080 bitmap, with the
// shapes a plot is made of: 4096 circle markers with error bars in one path, a
// 3000-vertex curve stroked 1 and 5 px wide, and a filled band of 6000 vertices. Each
// iteration builds the path and draws it, as the painter does.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "plot/anti_aliased_canvas.h"
#include "tests/plot/agg/agg_reference_canvas.h"

namespace {

using test_support::AggReferenceCanvas;

constexpr int width = 1920;
constexpr int height = 1080;

double curve(double i)
{
    return 540 + 300 * std::sin(i * 0.011) * std::cos(i * 0.0031) + 40 * std::sin(i * 0.37);
}

template <class AnyCanvas>
void markers(AnyCanvas& c)
{
    for (int i = 0; i < 4096; ++i)
        c.Marker(0, 10.3 + i * 0.465, curve(i * 0.7), 3.0, 4.0 + (i % 7));
    c.DrawPath(1.0, 0x202020, 1.0, 0, 0.0);
}

template <class AnyCanvas, int stroke_width>
void polyline(AnyCanvas& c)
{
    c.MoveTo(0.5, curve(0));
    for (int i = 1; i < 3000; ++i)
        c.LineTo(0.5 + i * 0.64, curve(i));
    c.DrawPath(stroke_width, 0xC02020, 1.0, 0, 0.0);
}

template <class AnyCanvas>
void band(AnyCanvas& c)
{
    c.MoveTo(0.5, curve(0));
    for (int i = 1; i < 3000; ++i)
        c.LineTo(0.5 + i * 0.64, curve(i) - 60 - 30 * std::sin(i * 0.02));
    for (int i = 2999; i >= 0; --i)
        c.LineTo(0.5 + i * 0.64, curve(i) + 60);
    c.DrawPath(0.0, 0, 0.0, 0x20A040, 0.4);
}

template <class AnyCanvas, void (*Draw)(AnyCanvas&)>
void run(benchmark::State& state)
{
    std::vector<std::uint8_t> bits(4 * width * height, 0xF0);
    AnyCanvas canvas(bits.data(), width, height, -4 * width);
    for (auto _ : state) {
        Draw(canvas);
        benchmark::DoNotOptimize(bits.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(run<AntiAliasedCanvas, markers<AntiAliasedCanvas>>)->Name("Markers4096/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(run<AggReferenceCanvas, markers<AggReferenceCanvas>>)->Name("Markers4096/agg")->Unit(benchmark::kMillisecond);
BENCHMARK(run<AntiAliasedCanvas, polyline<AntiAliasedCanvas, 1>>)->Name("Polyline3000x1px/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(run<AggReferenceCanvas, polyline<AggReferenceCanvas, 1>>)->Name("Polyline3000x1px/agg")->Unit(benchmark::kMillisecond);
BENCHMARK(run<AntiAliasedCanvas, polyline<AntiAliasedCanvas, 5>>)->Name("Polyline3000x5px/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(run<AggReferenceCanvas, polyline<AggReferenceCanvas, 5>>)->Name("Polyline3000x5px/agg")->Unit(benchmark::kMillisecond);
BENCHMARK(run<AntiAliasedCanvas, band<AntiAliasedCanvas>>)->Name("Band6000/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(run<AggReferenceCanvas, band<AggReferenceCanvas>>)->Name("Band6000/agg")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
