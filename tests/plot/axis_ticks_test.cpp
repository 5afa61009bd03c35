// Tick steps and label formats against the rule (1, 2 or 5 times a decade), and the tick
// loops over spans from 1e-12 to 1e12, negative, zero and reversed ones, which must end
// with a sensible number of ticks or none.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "plot/axis_ticks.h"
#include "recording_canvas.h"

namespace {

TEST(NiceTickStep, DecadeRule)
{
    const struct {
        double span, step;
    } cases[] = {{10, 1}, {25, 2}, {60, 5}, {0.3, 0.02}, {1, 0.1}, {2, 0.1}, {5, 0.2}, {9.99, 0.5},
                 {1e-12, 1e-13}, {3e-12, 2e-13}, {1e12, 1e11}, {7e12, 5e11}};
    for (const auto& c : cases)
        EXPECT_NEAR(nice_tick_step(c.span), c.step, c.step * 1e-12) << c.span;
}

TEST(NiceTickStep, SpansWithoutTicksGiveNaN)
{
    for (double span : {0.0, -1.0, std::numeric_limits<double>::infinity(), std::nan("")})
        EXPECT_TRUE(std::isnan(nice_tick_step(span))) << span;
}

TEST(FormatTickLabel, DecimalsFollowTheSpan)
{
    const struct {
        double span;
        int k;
        const wchar_t* format;
    } cases[] = {{0.05, 0, L"%.2f"}, {50, 0, L"%.0f"}, {2.5, 3, L"%.3f"}, {1e-12, 0, L"%.0f"},
                 {1e-9, 0, L"%.9f"}, {0.5, 0, L"%.1f"}, {0, 0, L"%.0f"},   {std::nan(""), 0, L"%.0f"}};
    for (const auto& c : cases)
        EXPECT_EQ(format_tick_label(c.span, c.k), c.format) << c.span;
    EXPECT_EQ(format_tick_value(L"%.2f", 1.005), L"1.00");
}

// A view whose transform maps x 0 … 1 to 0 … 1000 pixels and y 0 … 1 to 500 … 0.
struct Ticks : ::testing::Test {
    CallLog log;
    RecordingCanvas canvas{log, 1000, 500};
    RecordingText text{log};
    TestView view;

    void SetUp() override { view.transform = {1000.0f, 0.0f, 0.0f, -500.0f, 0.0f, 500.0f}; }
};

TEST_F(Ticks, XTicksOverSpansOfEveryScale)
{
    for (double span = 1e-12; span <= 1e12; span *= 10.0) {
        for (double from : {-span, 0.0, 3.0 * span}) {
            canvas.lines.clear();
            const double step = nice_tick_step(span);
            view.DrawXTicks(canvas, text, step, from, from + span, 0, 10, 0);
            // 10 to 25 steps per span, less the ends.
            EXPECT_GE(canvas.lines.size(), 8u) << span;
            EXPECT_LE(canvas.lines.size(), 25u) << span;
        }
    }
}

TEST_F(Ticks, NoTicksWhenTheStepCannotAdvance)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double step, from, to;
    } cases[] = {
        {0.0, 0.0, 1.0},        // zero step
        {-0.1, 0.0, 1.0},       // negative step
        {std::nan(""), 0, 1},   // zero span's step
        {1.0, 1e20, 1e20 + 1e6},  // step below the spacing of doubles there
        {1e-12, 0.0, 1e6},      // far too many ticks
        {1.0, 0.0, inf},        // infinite range
        {1.0, std::nan(""), 1.0},
    };
    for (const auto& c : cases) {
        canvas.lines.clear();
        view.DrawXTicks(canvas, text, c.step, c.from, c.to, 0, 10, OptLabels);
        view.DrawYTicks(canvas, text, c.step, c.from, c.to, 0, 10, OptLabels);
        EXPECT_TRUE(canvas.lines.empty()) << c.step << " " << c.from;
    }
    EXPECT_TRUE(log.calls.empty());
}

TEST_F(Ticks, ReversedAndZeroRangesDrawNothing)
{
    view.DrawXTicks(canvas, text, 0.1, 1.0, 0.0, 0, 10, 0);
    view.DrawYTicks(canvas, text, 0.1, 1.0, 0.0, 0, 10, 0);
    view.DrawXTicks(canvas, text, 0.1, 0.5, 0.5, 0, 10, 0);
    EXPECT_TRUE(canvas.lines.empty());
}

TEST_F(Ticks, XTicksNearTheEndsAreSkippedYTicksAreNot)
{
    // 0 … 1 with step 0.2: 0 and 1 lie at the ends; 0.2 … 0.8 are drawn.
    view.DrawXTicks(canvas, text, 0.2, 0.0, 1.0, 3, 40, OptLabels);
    ASSERT_EQ(canvas.lines.size(), 4u);
    EXPECT_NEAR(canvas.lines[0][0], 200.0, 1e-3);
    EXPECT_EQ(canvas.lines[0][1], 3.0);
    EXPECT_EQ(canvas.lines[0][3], 40.0);
    // Labels centred above the first row with the step's decimals.
    ASSERT_EQ(log.named("Write").size(), 4u);
    EXPECT_EQ(log.named("Write")[0]->text, L"0.2");
    EXPECT_EQ(log.named("Write")[0]->args, (std::vector<double>{200, -1, TextCenter | TextBottom}));
    // A tick 0.05 % inside the range is skipped too.
    canvas.lines.clear();
    view.DrawXTicks(canvas, text, 0.25, 0.2496, 1.0, 3, 40, 0);
    EXPECT_EQ(canvas.lines.size(), 2u);

    canvas.lines.clear();
    log.calls.clear();
    view.DrawYTicks(canvas, text, 0.25, 0.0, 1.0, 20, 900, OptLabels);
    ASSERT_EQ(canvas.lines.size(), 4u);  // 0, 0.25, 0.5, 0.75: the one at ymin is drawn
    EXPECT_EQ(canvas.lines[0][1], 500.0);
    EXPECT_EQ(canvas.lines[1][1], 375.0);
    // Right-aligned 3 pt (4 px) left of x1, centred on the line.
    EXPECT_EQ(log.named("Write")[1]->args, (std::vector<double>{16, 369, TextRight | TextTop}));
}

TEST_F(Ticks, FitTickStepsDoublesUntilTheLabelsFit)
{
    // Labels "%.1f" of 10 are 4 chars: 24 + 8 px wide, 12 high.
    double x = 0.01, y = 0.01;
    view.FitTickSteps(text, x, y, 10.0);
    EXPECT_GT(1000.0 * x, 6.0 * format_tick_value(format_tick_label(x, 0), 10.0).size() + 8.0);
    EXPECT_LE(1000.0 * x / 2, 6.0 * format_tick_value(format_tick_label(x / 2, 0), 10.0).size() + 8.0);
    EXPECT_DOUBLE_EQ(y, 0.04);  // 500·0.04 = 20 > 12, 500·0.02 = 10 is not

    // A y step of −1 leaves y alone.
    x = 0.01, y = -1.0;
    view.FitTickSteps(text, x, y, 10.0);
    EXPECT_EQ(y, -1.0);
    EXPECT_GT(x, 0.01);
}

TEST_F(Ticks, FitTickStepsEndsOnDegenerateScales)
{
    // A zero x scale doubles the step until it is infinite.
    view.transform.a11 = 0.0f;
    double x = 0.1, y = 0.1;
    view.FitTickSteps(text, x, y, 1.0);
    EXPECT_TRUE(std::isinf(x));
    // A zero step never grows: the loop must not start.
    x = 0.0, y = 0.1;
    view.FitTickSteps(text, x, y, 1.0);
    EXPECT_EQ(x, 0.0);
    x = std::nan("");
    view.FitTickSteps(text, x, y, 1.0);
    EXPECT_TRUE(std::isnan(x));
}

}  // namespace
