// The view's mouse state machine without a window: hovering, zooming, range selection,
// the clicks that go to the parent and the segments over distribution panes.
#include <gtest/gtest.h>

#include "recording_canvas.h"

namespace {

// A spectrum pane at (100, 50)–(600, 350) showing x −10 … 10, y 0 … 300 (y up), and a
// distribution pane below it.
struct Gestures : ::testing::Test {
    TestView view;

    void SetUp() override
    {
        PlotTransform t{25.0f, 0.0f, 0.0f, -1.0f, 350.0f, 350.0f};
        view.panes.push_back({SpectrumPane, -1, t, {}, {100, 50, 600, 350}});
        PlotTransform d{10.0f, 0.0f, 0.0f, -10.0f, 100.0f, 400.0f};
        view.panes.push_back({DistributionPane, 3, d, d, {100, 360, 600, 400}});
    }
    void drag(int x1, int y1, int x2, int y2, unsigned keys = 0)
    {
        view.OnLButtonDown(x1, y1, keys);
        view.OnMouseMove(x2, y2, keys | 0x1);
        view.OnLButtonUp(x2, y2, keys);
    }
};

TEST_F(Gestures, NearestPointWithinFivePixels)
{
    view.points = {{10.0f, 10.0f, 0, 0}, {20.0f, 10.0f, 0, 0}};
    EXPECT_EQ(view.find_nearest_point(15, 10), 0);  // a tie: the earlier point
    EXPECT_EQ(view.find_nearest_point(25, 10), 1);  // exactly 5 pixels
    view.points = {{10.01f, 0.0f, 0, 0}};
    EXPECT_EQ(view.find_nearest_point(5, 0), -1);  // 5.01 pixels
    view.points.clear();
    EXPECT_EQ(view.find_nearest_point(5, 0), -1);
}

TEST_F(Gestures, ZoomByDraggedRectangle)
{
    drag(150, 100, 350, 250);
    ASSERT_TRUE(view.zoom.valid());
    EXPECT_NEAR(view.zoom.xmin, -8.0, 1e-6);
    EXPECT_NEAR(view.zoom.xmax, 0.0, 1e-6);
    EXPECT_NEAR(view.zoom.ymin, 100.0, 1e-6);
    EXPECT_NEAR(view.zoom.ymax, 250.0, 1e-6);
    EXPECT_GE(view.redrawn, 1);
    EXPECT_FALSE(view.captured);
    EXPECT_TRUE(view.events.empty());

    // A click without movement resets the zoom.
    view.OnLButtonDown(200, 200, 0);
    view.OnLButtonUp(200, 200, 0);
    EXPECT_FALSE(view.zoom.valid());
}

TEST_F(Gestures, ZoomNeedsARelativeExtentOf1e4)
{
    // y 1e6 … 1e6 + 100 at one data unit per pixel: 100/(1e6+100) < 1e-4 is refused.
    view.panes[0].first = {25.0f, 0.0f, 0.0f, -1.0f, 350.0f, 1000350.0f};
    view.zoom = {-1, 1, 1, 2};
    drag(150, 250, 350, 150);
    EXPECT_EQ(view.zoom.xmin, -1.0);  // the previous zoom stays
    // 250/1000250 ≥ 1e-4 at 2.5 data units per pixel.
    view.panes[0].first = {25.0f, 0.0f, 0.0f, -0.4f, 350.0f, 400250.0f};
    drag(150, 250, 350, 150);
    EXPECT_NEAR(view.zoom.ymax - view.zoom.ymin, 250.0, 0.1);
}

TEST_F(Gestures, RangeSelectionNotifiesTheDataRectangle)
{
    view.mouse_mode = ModeRange;
    drag(600, 100, 50, 250);  // reversed and past the pane's left edge
    ASSERT_EQ(view.events.size(), 1u);
    const PlotEvent& e = view.events[0];
    EXPECT_EQ(e.code, NotifyRange);
    EXPECT_NEAR(e.x1, -10.0, 1e-6);  // clipped to the pane
    EXPECT_NEAR(e.x2, 10.0, 1e-6);
    EXPECT_NEAR(e.y1, 100.0, 1e-6);
    EXPECT_NEAR(e.y2, 250.0, 1e-6);
}

TEST_F(Gestures, ChangedModifiersCancelTheDrag)
{
    view.mouse_mode = ModeRange;
    view.OnLButtonDown(150, 100, 0);
    view.OnMouseMove(300, 200, 0x1);
    view.OnLButtonUp(300, 200, KeyControl);
    EXPECT_TRUE(view.events.empty());
    EXPECT_EQ(view.drag_kind, DragNone);
    // A Shift drag does nothing at release.
    drag(150, 100, 300, 200, KeyShift);
    EXPECT_TRUE(view.events.empty());
}

TEST_F(Gestures, CtrlClickAddsAPointUnlessRefused)
{
    view.reply = 1;
    view.OnLButtonDown(350, 200, KeyControl);
    ASSERT_EQ(view.events.size(), 1u);
    EXPECT_EQ(view.events[0].code, NotifyAddPoint);
    EXPECT_NEAR(view.events[0].x1, 0.0, 1e-6);
    EXPECT_NEAR(view.events[0].y1, 150.0, 1e-6);
    EXPECT_EQ(view.events[0].x1, view.events[0].x2);
    EXPECT_EQ(view.drag_kind, DragNone);
    view.reply = 0;
    view.OnLButtonDown(350, 200, KeyControl);
    EXPECT_EQ(view.drag_kind, DragCtrl);
}

TEST_F(Gestures, CtrlDragOverADistributionPaneSendsSegments)
{
    view.OnLButtonDown(110, 390, KeyControl);
    view.OnMouseMove(130, 380, KeyControl);
    view.OnMouseMove(150, 370, KeyControl);
    ASSERT_EQ(view.events.size(), 2u);
    const PlotEvent& e = view.events[1];
    EXPECT_EQ(e.code, NotifySegmentCode);
    EXPECT_EQ(e.index, 3);
    EXPECT_NEAR(e.x1, 3.0, 1e-6);
    EXPECT_NEAR(e.y1, 2.0, 1e-6);
    EXPECT_NEAR(e.x2, 5.0, 1e-6);
    EXPECT_NEAR(e.y2, 3.0, 1e-6);
}

TEST_F(Gestures, ShiftClickOnTheHoveredPoint)
{
    view.points = {{200.0f, 200.0f, -6.0, 150.0}, {300.0f, 200.0f, -2.0, 150.0}};
    view.shift = true;
    view.OnMouseMove(302, 201, KeyShift);
    EXPECT_EQ(view.hovered_point, 1);
    view.OnLButtonDown(301, 199, KeyShift);
    ASSERT_EQ(view.events.size(), 1u);
    EXPECT_EQ(view.events[0].code, NotifyPointClick);
    EXPECT_EQ(view.events[0].index, 1);
    // Elsewhere it starts a Shift drag.
    view.OnLButtonDown(250, 300, KeyShift);
    EXPECT_EQ(view.drag_kind, DragShift);
    EXPECT_EQ(view.events.size(), 1u);
}

TEST_F(Gestures, DistributionPaneRangeAndMenu)
{
    drag(120, 370, 200, 390);
    ASSERT_EQ(view.events.size(), 1u);
    EXPECT_EQ(view.events[0].code, NotifyDistributionRange);
    EXPECT_EQ(view.events[0].index, 3);
    EXPECT_NEAR(view.events[0].x1, 2.0, 1e-6);
    EXPECT_NEAR(view.events[0].x2, 10.0, 1e-6);
    view.OnRButtonUp(300, 380);
    ASSERT_EQ(view.events.size(), 2u);
    EXPECT_EQ(view.events[1].code, NotifyDistributionMenu);
    view.OnRButtonUp(300, 200);  // the spectrum pane
    view.OnRButtonUp(5, 5);      // no pane
    EXPECT_EQ(view.events.size(), 2u);
}

TEST_F(Gestures, NormalisingClearsTheZoomOtherOptionsKeepIt)
{
    view.zoom = {-1, 1, 1, 2};
    view.SetOptions(0, OptGrid);
    EXPECT_TRUE(view.zoom.valid());
    EXPECT_EQ(view.options, initial_plot_options & ~OptGrid);
    view.SetOptions(0, OptNormalize);
    EXPECT_FALSE(view.zoom.valid());
    view.SetOptions(0x7, 0);
    EXPECT_EQ(view.options, 0x7);
}

TEST(PlotTransform, InverseOfASingularTransformIsZero)
{
    const DataPoint p = client_to_data({0.0f, 0.0f, 0.0f, -1.0f, 5.0f, 5.0f}, 10, 10);
    EXPECT_EQ(p.x, 0.0);
    EXPECT_EQ(p.y, 0.0);
}

}  // namespace
