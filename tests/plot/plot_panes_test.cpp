// The pane column beside the spectrum: one pane per distribution with its points over
// the index, its weights below, its marked ranges and its smoothness; the spectrum pane
// narrows to make room; no column when the option is off or the canvas too narrow, and
// an empty column when the panes would be too low. A component's extra graphs in their
// pane, and the component's error message there when it cannot draw them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "recording_canvas.h"
#include "relaxation/anharmonic_sextets.h"
#include "subspec/distribution.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/model_test_parts.h"

namespace {

constexpr unsigned points = 5;

struct NothingVaried final : ILockInfo {
    bool is_varied(unsigned) const override { return false; }
};

// A baseline, a line and a distribution of five lines, on a 21-point spectrum. With the
// recording font and a 400-pixel canvas: margin 10, column 133 wide from 257 to 390.
struct Panes : ::testing::Test {
    CallLog log;
    RecordingCanvas canvas{log, 400, 300};
    RecordingText text{log};
    TestView view;
    SpectrumModel model = model_test::model_of(
        {model_test::baseline(), model_test::lorentz(), make_distribution(model_test::lorentz(), points, {1})});
    SpectrumData data;
    DVector params;
    const SubModel& dist() const { return *model.components[2]; }

    void SetUp() override
    {
        model.scale = -300.0;
        params = DVector(model.param_count(), 0.0);
        params(0) = 1000.0;
        params(3) = 1.0, params(4) = 0.5, params(5) = 0.5;
        for (unsigned j = 0; j < dist().shown_count; ++j)
            params(dist().first + j) = 0.3;  // the shared width
        const double weights[points] = {0.1, 0.4, 0.9, 0.4, 0.05};
        for (unsigned i = 0; i < points; ++i)
            params(dist().first + dist().shown_count + i) = weights[i];
        for (int i = 0; i < 21; ++i) {
            data.x_data.push_back(-5.0 + 0.5 * i);
            data.y_data.push_back(1000.0 - (i == 10 ? 50.0 : 0.0));
            data.std_dev_data.push_back(10.0);
        }
        data.update_analysis();
        view.options = initial_plot_options & ~OptNormalize;
    }
    void draw(const ILockInfo* lock = nullptr)
    {
        view.SetData(&model, &data, &params, nullptr, lock, nullptr);
        view.DrawPlot(canvas, text);
    }
    std::vector<std::wstring> texts() const
    {
        std::vector<std::wstring> out;
        for (const Call* c : log.named("Write"))
            out.push_back(c->text);
        return out;
    }
};

TEST_F(Panes, ADistributionGetsAPaneBesideTheNarrowedSpectrum)
{
    draw();
    ASSERT_EQ(view.panes.size(), 2u);
    EXPECT_EQ(view.panes[0].kind, SpectrumPane);
    EXPECT_EQ(view.panes[0].rect.right, 400 - 133 - 2 * 10);
    const PlotPane& pane = view.panes[1];
    EXPECT_EQ(pane.kind, DistributionPane);
    EXPECT_EQ(pane.index, 0);
    EXPECT_EQ(pane.rect.left, 257);
    EXPECT_EQ(pane.rect.right, 390);
    EXPECT_EQ(pane.rect.top, 22);
    EXPECT_EQ(pane.rect.bottom, 278);
    // Point index 0 … K−1 spans the pane less 3 pixels each side.
    EXPECT_FLOAT_EQ(pane.second.a11 * 0.0f + pane.second.b1, 260.0f);
    EXPECT_FLOAT_EQ(pane.second.a11 * (points - 1) + pane.second.b1, 387.0f);
    // The largest value 0.9 lies at 1.1·0.9 − 0.9 below the top of a 1.15·0.9 range.
    const double top_fraction = (1.1 * 0.9 - 0.9) / (1.15 * 0.9);
    EXPECT_NEAR(pane.second.a22 * 0.9 + pane.second.b2, 22 + top_fraction * (278 - 22), 1e-3);

    // Every weight a triangle, every point a circle.
    const auto count = [&](double type) {
        return std::count_if(canvas.markers.begin(), canvas.markers.end(),
                             [&](const std::vector<double>& m) { return m[0] == type && m[1] >= 257; });
    };
    EXPECT_EQ(count(1), points);
    EXPECT_EQ(count(0), points);
    // The spectrum's transform is the view's again after the column.
    EXPECT_EQ(view.transform.a11, view.panes[0].first.a11);
}

TEST_F(Panes, TheSmoothnessOfTheDistributionIsReadOut)
{
    draw();
    std::vector<DistPointParams> scaled;
    model.scaled_point_params(data.analysis(false), scaled);
    ASSERT_EQ(scaled.size(), 1u);
    const auto p = [&](unsigned i) { return params(dist().first + dist().shown_count + i); };
    const auto& v = scaled[0].deviations;
    double s = std::pow((2 * p(0) - p(1)) / v[0], 2) + std::pow((2 * p(4) - p(3)) / v[4], 2);
    for (unsigned i = 1; i < 4; ++i)
        s += std::pow((2 * p(i) - p(i - 1) - p(i + 1)) / v[i], 2);
    wchar_t expected[64];
    std::swprintf(expected, 64, L"\u03C7\u00B2 = %.2f", s);
    const auto t = texts();
    EXPECT_NE(std::find(t.begin(), t.end(), std::wstring(expected)), t.end());
}

TEST_F(Panes, PointsTheFitLeavesAloneAreDrawnInTheirOwnColour)
{
    NothingVaried lock;
    draw(&lock);
    const auto paths = log.named("DrawPath");
    ASSERT_FALSE(paths.empty());
    EXPECT_EQ(paths.back()->args[1], double((*view.palette)[12]));
    EXPECT_EQ(paths.back()->path_items, points);
}

TEST_F(Panes, NoColumnWithoutTheOptionOrOnANarrowCanvasAndNoPaneWhenTooLow)
{
    view.options &= ~OptExtraPanes;
    draw();
    EXPECT_EQ(view.panes.size(), 1u);
    EXPECT_EQ(view.panes[0].rect.right, 390);

    view.options |= OptExtraPanes;
    RecordingCanvas narrow{log, 59, 300};
    view.SetData(&model, &data, &params, nullptr, nullptr, nullptr);
    view.DrawPlot(narrow, text);
    EXPECT_EQ(view.panes.size(), 1u);

    // A plot 10 pixels high (B = max(2T + 10, 32) − T = 32, T = 22): the column is kept
    // free, but no pane fits into it.
    RecordingCanvas low{log, 400, 32};
    view.DrawPlot(low, text);
    ASSERT_EQ(view.panes.size(), 1u);
    EXPECT_EQ(view.panes[0].rect.right, 400 - 133 - 2 * 10);
}

// An anharmonic spin modulation draws its profile and its field histogram in a pane of
// its own; with an elliptic parameter outside −1 … 1 the pane shows the component's
// message, wrapped into the pane, and the paint goes on (no spectrum and no model curve
// here, so that only the pane computes the component).
TEST(ExtraGraphPanes, CurvesOrTheComponentsMessage)
{
    CallLog log;
    RecordingCanvas canvas{log, 400, 300};
    RecordingText text{log};
    TestView view;
    SpectrumModel model = model_test::model_of({model_test::baseline(), make_subspec<AnharmonicSpinModulation>(&test_support::iron())});
    DVector params(model.param_count(), 0.0);
    const double modulation[] = {1.0, 0.7, 0.35, 0.1, 0.05, -0.1, 0.4, 300.0, 40.0, 0.3, 0.3, 1.0, 1.0, 0.0};
    std::copy(std::begin(modulation), std::end(modulation), params.begin() + 3);
    SpectrumData data;
    view.options = initial_plot_options & ~OptEnvelope;
    view.SetData(&model, &data, &params, nullptr, nullptr, nullptr);
    view.DrawPlot(canvas, text);
    const auto paths = log.named("DrawPath");
    // 200 profile points and 200 histogram bins: 199 lines each.
    EXPECT_EQ(std::count_if(paths.begin(), paths.end(), [](const Call* c) { return c->path_items == 199; }), 2);
    const auto in_column = [&] {
        std::vector<const Call*> out;
        for (const Call* c : log.named("Write"))
            if (c->args[0] >= 257)
                out.push_back(c);
        return out;
    };
    EXPECT_EQ(in_column().size(), 2u);  // the histogram's ends

    log.calls.clear();
    params(3 + 9) = 1.5;
    EXPECT_NO_THROW(view.DrawPlot(canvas, text));
    std::wstring shown;
    for (const Call* c : in_column()) {
        EXPECT_LE(c->text.size() * 6, 127u) << "wider than the pane";  // the recording font: 6 pixels a letter
        shown += (shown.empty() ? L"" : L" ") + c->text;
    }
    EXPECT_EQ(shown, L"The modulation parameter m = 1.5 lies outside -1 ... 1, where the elliptic spin profile is not "
                     L"defined");
}

}  // namespace
