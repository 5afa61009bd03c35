// The main window's document commands driven by messages: spectrum and model undo and
// redo of an edit, the question before clearing a changed spectrum, and the plot's range
// and distribution gestures, the drawing being one undo step for the whole gesture.
#include "ui/frame/main_frame.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/text/messages.h"
#include "plot/model_data_view.h"
#include "subspec/free_var.h"
#include "tests/support/document_test_parts.h"
#include "tests/support/spectrum_texts.h"
#include "tests/wingui/win/recorded_dialogs.h"
#include "wingui/dialog_hooks.h"

namespace {

// Message boxes are recorded and take the queued answers; no file is chosen, so a save
// that asks for a name fails.
class DocumentCommandsWin : public ::testing::Test, protected RecordedDialogs {
protected:
    void SetUp() override
    {
        frame = std::make_unique<CMainFrame>();
        ASSERT_TRUE(frame->create_window());
        ModelState& d = frame->document();
        d.data.load_text(test_support::counts_text());
        d.set_levels_from_spectrum();
        document_test::add(d, model_test::baseline());
        document_test::add(d, document_test::distribution(6));
    }
    void TearDown() override
    {
        frame.reset();
        // The window's end posts the quit message of a normal close.
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
    }

    void command(UINT id) { SendMessageW(frame->hwnd(), WM_COMMAND, id, 0); }
    LRESULT gesture(std::int32_t code, double x1, double y1, double x2, double y2, std::int32_t index = -1)
    {
        PlotNotification n{};
        n.hdr.hwndFrom = frame->plot_view().window();
        n.hdr.idFrom = CMainFrame::plot_view_id;
        n.hdr.code = static_cast<UINT>(code);
        n.x1 = x1, n.y1 = y1, n.x2 = x2, n.y2 = y2;
        n.index = index;
        return SendMessageW(frame->hwnd(), WM_NOTIFY, CMainFrame::plot_view_id, reinterpret_cast<LPARAM>(&n));
    }

    std::unique_ptr<CMainFrame> frame;
};

TEST_F(DocumentCommandsWin, SpectrumAndModelEditsUndoAndRedoThroughTheirOwnHistories)
{
    ModelState& d = frame->document();
    const std::vector<double> counts = d.data.y_data;
    command(217);  // invert
    EXPECT_EQ(d.data.y_data.front(), counts.back());
    command(209);  // spectrum undo
    EXPECT_EQ(d.data.y_data, counts);
    command(210);  // spectrum redo
    EXPECT_EQ(d.data.y_data.front(), counts.back());

    command(263);  // emission
    EXPECT_TRUE(d.model.is_emission());
    command(257);  // model undo
    EXPECT_FALSE(d.model.is_emission());
    command(258);
    EXPECT_TRUE(d.model.is_emission());
    EXPECT_TRUE(shown.empty());
}

TEST_F(DocumentCommandsWin, AddVariableAppendsAFreeVariableAsOneUndoStep)
{
    ModelState& d = frame->document();
    const unsigned components = d.model.component_count();
    const std::size_t records = d.model_history.records().size();
    command(273);
    ASSERT_EQ(d.model.component_count(), components + 1);
    EXPECT_NE(dynamic_cast<const FreeVar*>(d.model.components.back()->subspec.get()), nullptr);
    EXPECT_EQ(d.model_history.records().size(), records + 1);
    command(257);  // model undo
    EXPECT_EQ(d.model.component_count(), components);
}

TEST_F(DocumentCommandsWin, ClearingAChangedSpectrumGoesOnOnlyAfterNoOrASuccessfulSave)
{
    ModelState& d = frame->document();
    command(217);
    const std::size_t points = d.data.x_data.size();

    answers = {IDCANCEL};
    command(213);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, MessageText(50013).str());
    EXPECT_EQ(d.data.x_data.size(), points);

    // Yes, but the save is cancelled in its file dialog: nothing is lost.
    answers = {IDYES};
    command(213);
    EXPECT_EQ(d.data.x_data.size(), points);

    answers = {IDNO};
    command(213);
    EXPECT_TRUE(d.data.x_data.empty());
    EXPECT_TRUE(frame->spectrum_file_name().empty());
    command(209);  // the cleared spectrum comes back
    EXPECT_EQ(d.data.x_data.size(), points);
}

TEST_F(DocumentCommandsWin, PlotGesturesChangeTheDocumentOneStepEach)
{
    ModelState& d = frame->document();
    command(401);  // mouse mode 0: ranges are added
    EXPECT_EQ(gesture(NotifyRange, -0.5, 0.0, 0.5, 0.0), 0);
    EXPECT_EQ(d.model.xranges, (std::vector<XRange>{{-0.5, 0.5}}));
    command(402);  // mode 1: deleted
    gesture(NotifyRange, -0.1, 0.0, 0.1, 0.0);
    EXPECT_EQ(d.model.xranges, (std::vector<XRange>{{-0.5, -0.1}, {0.1, 0.5}}));
    command(209);
    EXPECT_EQ(d.model.xranges, (std::vector<XRange>{{-0.5, 0.5}}));

    // A drawn distribution: many mouse moves, one step.
    const std::vector<double> before(d.values.begin(), d.values.end());
    const std::size_t steps = d.model_history.records().size();
    gesture(NotifySegmentCode, 0.0, 1.0, 1.0, 2.0, 0);
    gesture(NotifySegmentCode, 1.0, 2.0, 2.0, 3.0, 0);
    gesture(NotifySegmentCode, 2.0, 3.0, 5.0, 0.5, 0);
    EXPECT_EQ(d.model_history.records().size(), steps + 1);
    unsigned last_weight = 0;
    ASSERT_TRUE(d.model.distribution_point_param(0, 5, last_weight));
    EXPECT_EQ(d.values(last_weight), 0.5);
    command(257);
    EXPECT_TRUE(document_test::same_doubles(std::vector<double>(d.values.begin(), d.values.end()), before));
    // A distribution that does not exist draws nothing.
    gesture(NotifySegmentCode, 0.0, 1.0, 1.0, 2.0, 3);
    EXPECT_EQ(d.model_history.records().size(), steps + 1);
}

TEST_F(DocumentCommandsWin, UnlinkActsOnTheParameterGridsCell)
{
    ModelState& d = frame->document();
    document_test::add(d, model_test::lorentz());
    document_test::add(d, model_test::lorentz());
    const unsigned first = d.model.components[3]->first;
    d.add_link({2, 1, LinkToParam, 3, 1, 1.0});
    command(259);  // no cell source yet: nothing
    EXPECT_NE(d.model.components[3]->links[1].kind, NotLinked);
    frame->set_parameter_cell_source([] { return CMainFrame::GridCell{3, 4, 4}; });
    command(259);
    EXPECT_EQ(d.model.components[3]->links[1].kind, NotLinked);
    command(257);
    EXPECT_NE(d.model.components[3]->links[1].kind, NotLinked);
    EXPECT_EQ(d.values(first + 1), d.values(d.model.components[2]->first + 1));
}

}  // namespace
