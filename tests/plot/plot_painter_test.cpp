// The painter's drawing calls for small scenes, recorded without a window: the order of
// the layers, their colours and clips, the shading of excluded ranges, the ranges of
// degenerate documents, and values that are not numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "lineshapes/doublets.h"
#include "recording_canvas.h"
#include "tests/support/model_test_parts.h"

namespace {

using model_test::baseline;
using model_test::lorentz;

// Varies the parameters below `count`.
struct FirstVaried final : ILockInfo {
    unsigned count = 0;
    bool is_varied(unsigned index) const override { return index < count; }
};

// 400 × 300 pixels, the recording font: L = 10 + 6·9 = 64, T = 10 + 12 = 22, the pane
// ends at 390, the plot at B = 278.
struct Painter : ::testing::Test {
    CallLog log;
    RecordingCanvas canvas{log, 400, 300};
    RecordingText text{log};
    TestView view;
    SpectrumModel model = model_test::model_of({baseline(), lorentz()});
    SpectrumData data;
    DVector params;

    void SetUp() override
    {
        model.scale = -300.0;
        params = DVector(6);
        params(0) = 1000.0, params(1) = 0.0, params(2) = 0.0;  // level, curvature, centre
        params(3) = 1.0, params(4) = 0.5, params(5) = 0.5;     // area, position, width
        DVector m(21), x(21);
        for (int i = 0; i < 21; ++i)
            x(i) = -5.0 + 0.5 * i;
        model.evaluate(x, 0, 21, params, m);
        for (int i = 0; i < 21; ++i) {
            data.x_data.push_back(x(i));
            data.y_data.push_back(m(i) + (i % 2 ? 10.0 : -10.0));
            data.std_dev_data.push_back(10.0);
        }
        view.options = initial_plot_options & ~OptNormalize;
    }
    void draw()
    {
        view.SetData(&model, &data, &params, nullptr, nullptr, nullptr);
        view.DrawPlot(canvas, text);
    }
    // The calls that reach the pixels, without texts.
    std::string shapes() const
    {
        std::string s;
        for (const Call& c : log.calls)
            if (c.op != "Write")
                s += c.op + " ";
        return s;
    }
    std::vector<std::wstring> texts() const
    {
        std::vector<std::wstring> out;
        for (const Call* c : log.named("Write"))
            out.push_back(c->text);
        return out;
    }
};

TEST_F(Painter, LayersInOrderWithTheirColoursAndClips)
{
    draw();
    EXPECT_EQ(shapes(),
              "FrameRect FillOpaque "              // frame, background
              "DrawPath DrawPath "                 // band top and zero lines, ±3σ lines
              "DrawPath "                          // grid
              "SetClip DrawPolygon "               // envelope
              "DrawPolygon DrawPath "              // baseline curve, its (empty) combs
              "DrawPolygon DrawPath "              // line band, its combs
              "DrawPath "                          // data points
              "SetClip DrawPolygon ");             // difference
    const auto frame = log.named("FrameRect")[0]->args;
    EXPECT_EQ(frame, (std::vector<double>{63, 21, 391, 279, 3.0, 0xC0C000}));
    EXPECT_EQ(log.named("FillOpaque")[0]->args, (std::vector<double>{64, 22, 390, 278, 0x800000}));

    const auto paths = log.named("DrawPath");
    EXPECT_EQ(paths[0]->args, (std::vector<double>{2.0, 0xC0C000, 1.0, 0, 0}));
    EXPECT_EQ(paths[0]->path_items, 2u);  // the band's top and the zero line
    EXPECT_EQ(paths[1]->args, (std::vector<double>{1.0, 0xA0A0A0, 1.0, 0, 0}));
    EXPECT_EQ(paths[1]->path_items, 2u);
    EXPECT_EQ(paths[2]->args, (std::vector<double>{0.5, 0xC0C000, 1.0, 0, 0}));
    EXPECT_GT(paths[2]->path_items, 4u);
    EXPECT_EQ(paths[5]->args, (std::vector<double>{1.0, 0xFF00FF, 0.8, 0, 0}));
    EXPECT_EQ(paths[5]->path_items, 21u);

    const auto clips = log.named("SetClip");
    const double band_top = clips[0]->args[3];
    EXPECT_EQ(clips[0]->args, (std::vector<double>{64, 22, 390, band_top}));
    EXPECT_GT(band_top, 150);
    EXPECT_LT(band_top, 278);
    EXPECT_EQ(clips[1]->args, (std::vector<double>{64, 22, 390, 278}));

    const auto polygons = log.named("DrawPolygon");
    EXPECT_EQ(std::vector<double>(polygons[0]->args.begin() + 1, polygons[0]->args.begin() + 6),
              (std::vector<double>{5.0, 0x808080, 0.5, 0, 0}));
    // The baseline stroked in its colour, the line filled down to the baseline at 0.4.
    EXPECT_EQ(polygons[1]->args[1], 1.0);
    EXPECT_EQ(polygons[1]->args[2], double(model.color_of(0)));
    EXPECT_EQ(polygons[2]->args[1], 0.0);
    EXPECT_EQ(polygons[2]->args[4], double(model.color_of(1)));
    EXPECT_EQ(polygons[2]->args[5], 0.4);
    EXPECT_EQ(polygons[2]->args[0], 2.0 * polygons[1]->args[0]);  // curve and baseline back
    EXPECT_EQ(std::vector<double>(polygons[3]->args.begin() + 1, polygons[3]->args.begin() + 6),
              (std::vector<double>{1.0, 0x00FF00, 1.0, 0, 0}));
    EXPECT_EQ(polygons[3]->args[0], 21.0);

    // Markers: circles of 1.5 pt at the points, inside the spectrum part of the pane.
    ASSERT_EQ(canvas.markers.size(), 21u);
    for (const auto& m : canvas.markers) {
        EXPECT_EQ(m[0], 0.0);
        EXPECT_EQ(m[3], 2.0);
        EXPECT_GE(m[1], 64);
        EXPECT_LE(m[1], 390);
        EXPECT_GE(m[2], 22);
        EXPECT_LE(m[2], band_top);
    }
    EXPECT_EQ(view.points.size(), 21u);
    ASSERT_EQ(view.panes.size(), 1u);
    EXPECT_EQ(view.panes[0].rect.left, 64);
    EXPECT_EQ(view.panes[0].rect.bottom, band_top);
    EXPECT_FALSE(log.saw_non_finite);

    // χ² = 21 over 21 points, nothing varied: ν = 21.
    const auto t = texts();
    EXPECT_NE(std::find(t.begin(), t.end(), L"\u03C7\u00B2=21.00 (1.000\u00B10.309)"), t.end());
    EXPECT_EQ(t.back(), L"5.08");  // xmax of −5.075 … 5.075 (3/W wider), "%.2f"
}

TEST_F(Painter, VariedParametersReduceTheDegreesOfFreedom)
{
    FirstVaried lock;
    lock.count = 1;
    view.SetData(&model, &data, &params, nullptr, &lock, nullptr);
    view.DrawPlot(canvas, text);
    const auto t = texts();
    EXPECT_NE(std::find(t.begin(), t.end(), L"\u03C7\u00B2=21.00 (1.050\u00B10.316)"), t.end());
}

TEST_F(Painter, ExcludedRangesAreShadedInsideThePane)
{
    model.xranges = {{-1.0, 1.0}, {3.0, 99.0}, {-99.0, -98.0}};
    draw();
    const auto fills = log.named("FillOpaque");
    ASSERT_EQ(fills.size(), 3u);  // the background and two ranges; the third is outside
    const PlotTransform& t = view.transform;
    const auto px = [&](double x) { return std::floor(t.a11 * x + t.b1 + 0.5); };
    EXPECT_EQ(fills[1]->args, (std::vector<double>{px(-1.0), 22, px(1.0), 278, 0x000000}));
    EXPECT_EQ(fills[2]->args, (std::vector<double>{px(3.0), 22, 390, 278, 0x000000}));
    // Shading comes before the shapes it lies under.
    EXPECT_EQ(log.calls[2].op, "FillOpaque");
    // The points inside a range do not count in χ²: 21 − 4 − 5 = 12 (x in [−1, 1) and [3, 99)).
    const auto tx = texts();
    EXPECT_NE(std::find(tx.begin(), tx.end(), L"\u03C7\u00B2=12.00 (1.000\u00B10.408)"), tx.end());
}

TEST_F(Painter, SelectedComponentIsDrawnLastAndStronger)
{
    view.selected_component = 0;
    model.components[0]->subspec = model_test::auto_baseline();  // stays a baseline
    view.selected_component = 1;
    draw();
    const auto polygons = log.named("DrawPolygon");
    ASSERT_EQ(polygons.size(), 5u);  // envelope, baseline, band, selected outline, difference
    EXPECT_EQ(polygons[2]->args[5], 0.8);
    EXPECT_EQ(polygons[3]->args[1], 2.0);
    EXPECT_EQ(polygons[3]->args[3], 1.0);
}

TEST_F(Painter, EmptyViewDrawsFrameAndBackground)
{
    view.SetData(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    view.DrawPlot(canvas, text);
    EXPECT_EQ(shapes(), "FrameRect FillOpaque SetClip ");
    EXPECT_EQ(view.available_mask & (OptPoints | OptEnvelope | OptGrid | OptComponents), 0);
    // x −9 … 9 across the pane; y 0 … 1 with the 5 % pad.
    EXPECT_NEAR(view.DataToClient(-9.0, 0.0).x, 64.0, 1e-3);
    EXPECT_NEAR(view.DataToClient(9.0, 0.0).x, 390.0, 1e-3);
    EXPECT_NEAR(view.DataToClient(0.0, -0.05).y, 278.0, 1e-3);
    EXPECT_NEAR(view.DataToClient(0.0, 1.05).y, 22.0, 1e-3);
}

TEST_F(Painter, DataWithoutModelAndAllCountsEqual)
{
    for (double& y : data.y_data)
        y = 1000.0;
    view.SetData(nullptr, &data, nullptr, nullptr, nullptr, nullptr);
    view.DrawPlot(canvas, text);
    EXPECT_EQ(log.named("DrawPolygon").size(), 0u);  // no envelope, no difference
    EXPECT_EQ(canvas.markers.size(), 21u);
    // 995 … 1005, padded by 0.5 on each side.
    EXPECT_NEAR(view.DataToClient(0.0, 994.5).y, 278.0, 1e-2);
    EXPECT_NEAR(view.DataToClient(0.0, 1005.5).y, 22.0, 1e-2);
    for (const std::wstring& t : texts())
        EXPECT_EQ(t.find(L"\u03C7"), std::wstring::npos);
}

TEST_F(Painter, DifferenceOffHidesTheChiSquare)
{
    view.options &= ~OptDifference;
    draw();
    for (const std::wstring& t : texts())
        EXPECT_EQ(t.find(L"\u03C7"), std::wstring::npos);
    EXPECT_EQ(log.named("SetClip").size(), 1u);
}

TEST_F(Painter, ValuesThatAreNotNumbersNeitherStopNorWidenThePlot)
{
    const double inf = std::numeric_limits<double>::infinity();
    data.y_data[3] = std::nan("");
    data.y_data[4] = inf;
    data.std_dev_data[5] = std::nan("");
    data.x_data[6] = -inf;
    draw();
    EXPECT_FALSE(log.saw_non_finite);
    EXPECT_EQ(canvas.markers.size(), 18u);
    // The axes still span the finite data: x −5 … 5 plus a little, y about 600 … 1000.
    EXPECT_NEAR(view.DataToClient(-5.075, 0).x, 64.0, 1e-3);
    EXPECT_GT(view.DataToClient(0, 1000.0).y, 22.0);
    EXPECT_LT(view.DataToClient(0, 1000.0).y, 60.0);

    // A broken component: every model value is NaN.
    log.calls.clear();
    canvas.markers.clear();
    params(5) = std::nan("");
    draw();
    EXPECT_FALSE(log.saw_non_finite);
    EXPECT_EQ(canvas.markers.size(), 18u);
    const PlotTransform& t = view.transform;
    EXPECT_TRUE(std::isfinite(t.a22) && t.a22 < 0.0f && std::isfinite(t.b2));
}

TEST_F(Painter, SmoothedDifferenceSmoothsShortSpectra)
{
    // 21 points of ±10 around the model: the smoothed curve must be much flatter.
    view.options |= OptSmoothDifference;
    draw();
    const auto& diff = canvas.last_polygon;
    ASSERT_EQ(diff.size(), 21u);
    float lo = diff[5].y, hi = diff[5].y;
    for (std::size_t i = 5; i < 16; ++i) {
        lo = std::min(lo, diff[i].y);
        hi = std::max(hi, diff[i].y);
    }
    const double raw_spread = 20.0 * std::fabs(view.transform.a22);
    EXPECT_LT(hi - lo, 0.5 * raw_spread);  // a 3-point window would leave it as it is
}

TEST_F(Painter, PointsWithoutDeviationCarryNoWeight)
{
    data.std_dev_data[0] = 0.0;
    draw();
    const auto t = texts();
    EXPECT_NE(std::find(t.begin(), t.end(), L"\u03C7\u00B2=20.00 (1.000\u00B10.316)"), t.end());
}

TEST_F(Painter, NoteBoxAtTheLowerLeft)
{
    view.note = L"note";
    draw();
    const auto fill = log.named("FillRect");
    ASSERT_EQ(fill.size(), 1u);
    EXPECT_EQ(fill[0]->args, (std::vector<double>{69, 255, 99, 273, 0x80FF00, 0.5}));
    EXPECT_EQ(log.named("WriteNote")[0]->args, (std::vector<double>{72, 258, 96, 270}));
}

TEST_F(Painter, NormalisedToTheBaseline)
{
    view.options |= OptNormalize;
    draw();
    // The baseline of 1000 counts reads 100 %: the first point (10 below the model) is
    // (m − 10)/10.
    DVector x(1, -5.0), m(1);
    model.evaluate(x, 0, 1, params, m);
    EXPECT_NEAR(view.points[0].y, (m(0) - 10.0) / 10.0, 1e-9);
    const auto polygons = log.named("DrawPolygon");
    // The line's band closes along 100 %: (xmax, 100), (xmin, 100) at its end.
    const auto& band = polygons[2]->args;
    const std::size_t points = std::size_t(band[0]);
    const double y100 = view.DataToClient(0, 100.0).y;
    EXPECT_NEAR(band[6 + 2 * (points - 1) + 1], y100, 1e-3);
    EXPECT_NEAR(band[6 + 2 * (points - 2) + 1], y100, 1e-3);
    EXPECT_NEAR(band[6 + 2 * (points - 1)], 64.0, 1e-3);
}

TEST_F(Painter, DetectedLinesFromTheAnalysis)
{
    SpectrumAnalysis analysis;
    analysis.valid = true;
    analysis.N0 = 1000.0;
    analysis.lines = {{0.5, 620.0, 11}, {2.0, 900.0, 14}};
    view.options |= OptDetectedLines;
    view.SetData(&model, &data, &params, nullptr, nullptr, &analysis);
    view.DrawPlot(canvas, text);
    const auto paths = log.named("DrawPath");
    const Call* lines = paths[paths.size() - 1];
    EXPECT_EQ(lines->args, (std::vector<double>{1.0, 0x00FF00, 1.0, 0, 0}));
    EXPECT_EQ(lines->path_items, 2u);
    const auto& first = canvas.lines[canvas.lines.size() - 2];
    EXPECT_NEAR(first[1], view.DataToClient(0.5, 1000.0).y, 1e-9);
    EXPECT_NEAR(first[3], view.DataToClient(0.5, 620.0).y, 1e-9);
    EXPECT_EQ(first[0], first[2]);
}

TEST_F(Painter, LineCombsAboveTheSpectrum)
{
    SpectrumModel doublet = model_test::model_of({baseline(), make_subspec<PseudoVoigtDoublet>(nullptr)});
    doublet.scale = -300.0;
    DVector p(10);
    const double values[] = {1000.0, 0.0, 0.0, 0.4, 1.0, 0.35, 0.42, 0.3, 1.0, 0.2};
    std::copy(std::begin(values), std::end(values), p.begin());
    view.SetData(&doublet, &data, &p, nullptr, nullptr, nullptr);
    view.DrawPlot(canvas, text);
    // The doublet's comb: two 5 pt ticks at its two line positions and the bar between
    // them, in the first row 2 pt below the pane's top.
    std::vector<std::vector<double>> groups;
    doublet.line_positions(1, p, groups);
    ASSERT_EQ(groups.size(), 1u);
    ASSERT_EQ(groups[0].size(), 2u);
    const auto paths = log.named("DrawPath");
    ASSERT_GE(paths.size(), 5u);
    EXPECT_EQ(paths[3]->path_items, 0u);  // the baseline has no lines
    EXPECT_EQ(paths[4]->path_items, 3u);
    EXPECT_EQ(paths[4]->args[1], double(doublet.color_of(1)));
    std::vector<std::vector<double>> comb;
    for (const auto& l : canvas.lines)
        if (l[1] == 22.0 + 2.0 * 96 / 72 + 0.5)
            comb.push_back(l);
    ASSERT_EQ(comb.size(), 3u);
    const auto px = [&](double x) { return std::floor(view.transform.a11 * x + view.transform.b1) + 0.5; };
    EXPECT_EQ(comb[0][0], px(groups[0][0]));
    EXPECT_EQ(comb[1][0], px(groups[0][1]));
    EXPECT_NEAR(comb[0][3] - comb[0][1], 5.0 * 96 / 72, 1e-9);
    EXPECT_EQ(comb[2][0], comb[0][0]);
    EXPECT_EQ(comb[2][2], comb[1][0]);
}

}  // namespace
