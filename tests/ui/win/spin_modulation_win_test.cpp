// The spin-modulation models through the main window, under Wine: each model added from
// the Add menu, a spectrum the program simulates from it at known values, the fit from
// a start off those values recovering them, and the component's extra graphs (the
// modulation profile and the field histogram) in the plot's pane column, with
// screenshots in English and Russian.
#include "ui/frame/main_frame.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/sub_spec_factory.h"
#include "core/model/spectrum_operations.h"
#include "core/spectrum/poisson.h"
#include "tests/support/stepping_fit_engine.h"
#include "tests/ui/gui/screenshot.h"
#include "tests/ui/win/destroy_frame.h"
#include "tests/ui/win/frame_suite.h"
#include "tests/ui/win/modal_dialog_driver.h"
#include "tests/wingui/win/recorded_dialogs.h"
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

struct Checked {
    unsigned index;
    double value, tolerance;
};

struct WinCase {
    const wchar_t* model;
    const wchar_t* tag;  // of the screenshots
    double velocity;     // channels over ±velocity
    std::vector<double> truth;
    std::vector<std::pair<unsigned, double>> start;  // the varied values a user would type, a little off
    std::vector<Checked> checks;
};

// The spiral structures' and the density wave's truths keep the field along the axis, its
// offset (not varied by default) and the harmonics that the fit does not vary.
const WinCase cases[] = {
    {L"Anharmonic spin modulation", L"spin-modulation-fit-", 10.0,
     {1.0, 0.6666666666666666, 0.3333333333333333, 0.25, 0.0, -0.06, 0.0, 300.0, 35.0, 0.6, 0.3, 1.0, 1.0, 0.0},
     {{3, 0.2}, {5, -0.02}, {7, 294.0}, {8, 25.0}, {9, 0.3}, {10, 0.34}},
     {{3, 0.25, 0.01}, {7, 300.0, 2.0}, {8, 35.0, 3.0}, {9, 0.6, 0.1}, {10, 0.3, 0.02}}},
    {L"Spiral-like spin structure", L"spiral-fit-", 10.0,
     {1.0, 0.6666666666666666, 0.3333333333333333, 0.25, 0.3, 0.0, 0.0, 40.0, 0.3, 1.0, 1.0, 0.0, 0.0, 0.8, 300.0,
      0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0},
     {{3, 0.2}, {4, 0.35}, {8, 0.34}, {13, 0.9}, {14, 294.0}},
     {{3, 0.25, 0.01}, {4, 0.3, 0.03}, {8, 0.3, 0.02}, {13, 0.8, 0.03}, {14, 300.0, 2.0}}},
    {L"Spiral-like spin structure [Hamilton]", L"spiral-hamilton-fit-", 10.0,
     {1.0, 54.735610317245346, 0.25, 0.6, 0.0, 40.0, 0.3, 0.0, 0.0, 0.8, 300.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0},
     {{2, 0.2}, {3, 0.5}, {6, 0.34}, {9, 0.9}, {10, 294.0}},
     {{2, 0.25, 0.01}, {3, 0.6, 0.05}, {6, 0.3, 0.02}, {9, 0.8, 0.03}, {10, 300.0, 2.0}}},
    {L"NMR Spiral-like spin structure", L"nmr-spiral-fit-", 4.0,
     {0.15915494309189535, 0.0, 0.0, 0.3, 0.2, 0.5, 0.0, 0.7, 2.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0},
     {{3, 0.33}, {4, 0.15}, {7, 0.75}, {8, 1.95}},
     {{3, 0.3, 0.05}, {7, 0.7, 0.05}, {8, 2.0, 0.02}}},
    {L"Spin/Charge density wave", L"density-wave-fit-", 10.0,
     {1.0, 0.6666666666666666, 0.3333333333333333, 0.25, 0.0, 0.1, 0.0, 100.0, 0.3, 0.0, 250.0, 0.0, 0.0, 0.0, 0.0,
      0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0},
     {{3, 0.2}, {5, 0.14}, {8, 0.34}, {10, 240.0}},
     {{3, 0.25, 0.01}, {5, 0.1, 0.01}, {8, 0.3, 0.02}, {10, 250.0, 2.0}}},
};

}  // namespace

TEST_F(SpinModulationWin, AddedFromTheMenuFittedToItsSimulatedSpectrumWithItsGraphs)
{
    const wchar_t* tags[] = {L"english", L"russian"};
    const WORD langids[] = {0x409, 0x419};
    for (const WinCase& c : cases) {
        for (int i = 0; i < 2; ++i) {
            SCOPED_TRACE(std::wstring(c.model) + L" " + tags[i]);
            destroy_frame(frame);
            ASSERT_TRUE(frame_suite::create_frame(frame, langids[i]));
            SetWindowPos(frame->hwnd(), nullptr, 0, 0, 790, 560, SWP_NOZORDER);
            ShowWindow(frame->hwnd(), SW_SHOW);
            command(21001 + SubSpecFactory::instance().index_of(c.model));
            ModelState& d = frame->document();
            ASSERT_EQ(d.model.component_count(), 2u);  // the baseline the model needs, then the modulation
            ASSERT_TRUE(shown.empty());
            const unsigned first = d.model.components[1]->first;
            ASSERT_EQ(d.model.components[1]->count, c.truth.size());

            d.model.scale = -3e5;
            DVector known = d.values;
            for (unsigned k = 0; k < c.truth.size(); ++k) known(first + k) = c.truth[k];
            random_engine().seed(37);
            simulate(d.data, 512, -c.velocity, c.velocity, true, d.model, known);

            d.values = known;
            for (const auto& [k, value] : c.start) d.values(first + k) = value;
            d.model_history.clear();
            d.spectrum_history.clear();
            frame->document_changed(DocumentChange::model);
            frame->UpdateUIState();

            command(351);
            ASSERT_TRUE(pump_until([&] { return !frame->fit_running(); }, 300000));
            ASSERT_TRUE(frame->results_shown());
            EXPECT_TRUE(shown.empty());
            for (const Checked& k : c.checks)
                EXPECT_NEAR(d.fit_values(first + k.index), k.value, k.tolerance) << "parameter " << k.index;
            EXPECT_NEAR(frame->reduced_chi_square(), 1.0, 0.25);

            SetForegroundWindow(frame->hwnd());
            const Screenshot shot = modal_test::settled_capture(frame->hwnd());
            ASSERT_TRUE(modal_test::write_screenshot(shot, std::wstring(c.tag) + tags[i]));
            EXPECT_GT(modal_test::colours_of_part(shot, frame->hwnd(), frame->plot_view().window()), 3u);
        }
    }
}
