// An anharmonic spin modulation through the main window, under Wine: the model added from
// the Add menu, a spectrum the program simulates from it at known values, the fit from
// a start off those values recovering them, and the component's two extra graphs (the
// spin profile and the field histogram) in the plot's pane column, with screenshots in
// English and Russian.
#include "ui/frame/main_frame.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "catalogue/sub_spec_factory.h"
#include "core/model/spectrum_operations.h"
#include "core/spectrum/poisson.h"
#include "tests/support/stepping_fit_engine.h"
#include "tests/ui/gui/screenshot.h"
#include "tests/ui/win/destroy_frame.h"
#include "tests/ui/win/frame_suite.h"
#include "tests/ui/win/modal_dialog_driver.h"
#include "tests/ui/win/recorded_dialogs.h"
#include "ui/logic/view_refresh.h"
#include "wingui/resources.h"

using test_support::pump_until;

namespace {

class SpinModulationWin : public ::testing::Test, protected RecordedDialogs {
protected:
    static void SetUpTestSuite() { frame_suite::set_up(); }
    static void TearDownTestSuite() { CoUninitialize(); }

    void TearDown() override
    {
        destroy_frame(frame);
        set_resource_language(0x409);
        set_message_language(0x409);
    }
    void command(UINT id) { SendMessageW(frame->hwnd(), WM_COMMAND, id, 0); }

    std::unique_ptr<CMainFrame> frame;
};

}  // namespace

TEST_F(SpinModulationWin, AddedFromTheMenuFittedToItsSimulatedSpectrumWithItsGraphs)
{
    const wchar_t* tags[] = {L"english", L"russian"};
    const WORD langids[] = {0x409, 0x419};
    for (int i = 0; i < 2; ++i) {
        destroy_frame(frame);
        ASSERT_TRUE(frame_suite::create_frame(frame, langids[i]));
        SetWindowPos(frame->hwnd(), nullptr, 0, 0, 790, 560, SWP_NOZORDER);
        ShowWindow(frame->hwnd(), SW_SHOW);
        command(21001 + SubSpecFactory::instance().index_of(L"Anharmonic spin modulation"));
        ModelState& d = frame->document();
        ASSERT_EQ(d.model.component_count(), 2u);  // the baseline the model needs, then the modulation
        ASSERT_TRUE(shown.empty());
        const unsigned first = d.model.components[1]->first;

        // The known values: I, I₂/I₁, I₃/I₁, δ, εmagn, εlat, εQ, His, Han, m, Γ₁, Γ₂/Γ₁, Γ₃/Γ₁, α.
        const double truth[] = {1.0, 0.6666666666666666, 0.3333333333333333, 0.25, 0.0, -0.06, 0.0, 300.0, 35.0, 0.6,
                                0.3, 1.0, 1.0, 0.0};
        d.model.scale = -3e5;
        DVector known = d.values;
        for (unsigned k = 0; k < 14; ++k) known(first + k) = truth[k];
        random_engine().seed(37);
        simulate(d.data, 512, -10.0, 10.0, true, d.model, known);

        // The start a user would type: every varied value a little off.
        d.values = known;
        d.values(first + 3) = 0.2;
        d.values(first + 5) = -0.02;
        d.values(first + 7) = 294.0;
        d.values(first + 8) = 25.0;
        d.values(first + 9) = 0.3;
        d.values(first + 10) = 0.34;
        d.model_history.clear();
        d.spectrum_history.clear();
        frame->document_changed(DocumentChange::model);
        frame->UpdateUIState();

        command(351);
        ASSERT_TRUE(pump_until([&] { return !frame->fit_running(); }, 300000));
        ASSERT_TRUE(frame->results_shown());
        EXPECT_TRUE(shown.empty());
        const DVector& v = d.fit_values;
        EXPECT_NEAR(v(first + 3), 0.25, 0.01);
        EXPECT_NEAR(v(first + 7), 300.0, 2.0);
        EXPECT_NEAR(v(first + 8), 35.0, 3.0);
        EXPECT_NEAR(v(first + 9), 0.6, 0.1);
        EXPECT_NEAR(v(first + 10), 0.3, 0.02);
        EXPECT_NEAR(frame->reduced_chi_square(), 1.0, 0.25);

        SetForegroundWindow(frame->hwnd());
        const Screenshot shot = modal_test::settled_capture(frame->hwnd());
        ASSERT_TRUE(modal_test::write_screenshot(shot, std::wstring(L"spin-modulation-fit-") + tags[i]));
        EXPECT_GT(modal_test::colours_of_part(shot, frame->hwnd(), frame->plot_view().window()), 3u);
    }
}
