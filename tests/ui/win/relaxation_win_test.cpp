// The relaxation models through the main window: each added from the Add subspectrum menu
// is one undo step with its parameters in the grid; a spectrum generated from a
// relaxation model with noise (Generate from model) is fitted back to the model's
// parameters within their errors, and the fitted spectrum is shown in English and Russian.
#include "ui/frame/main_frame.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <string>
#include <vector>

#include "catalogue/sub_spec_factory.h"
#include "tests/support/stepping_fit_engine.h"
#include "tests/ui/win/dialog_command_suite.h"
#include "ui/logic/view_refresh.h"
#include "ui/resource_ids.h"

namespace {

using test_support::pump_until;

const wchar_t* const relaxation_models[] = {
    L"Two state paramagnetic relaxation",
    L"Two state magnetic relaxation",
    L"Two state relaxation",
    L"Single-ion spin relaxation [S=5/2]",
    L"Isotropic magnetic hyperfine field relaxation",
    L"Isotropic electric field gradient relaxation",
};

class RelaxationWin : public DialogCommandSuite {
protected:
    static void SetUpTestSuite() { frame_suite::set_up(); }
    static void TearDownTestSuite() { CoUninitialize(); }

    static UINT add_id(const wchar_t* name) { return 21001 + SubSpecFactory::instance().index_of(name); }
    void send(UINT id) { SendMessageW(frame->hwnd(), WM_COMMAND, id, 0); }
    std::size_t steps() { return document().model_history.records().size(); }
    // The parameter grid's text at a row and column (a component's parameter k in column 3 + k).
    std::wstring grid_text(int row, int column)
    {
        wchar_t buffer[512] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 512;
        SendMessageW(frame->parameter_grid().hwnd(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
};

TEST_F(RelaxationWin, EachModelFromTheMenuIsOneUndoStepWithItsParametersInTheGrid)
{
    create_with(0x409, {});
    SetWindowPos(frame->hwnd(), nullptr, 0, 0, 790, 560, SWP_NOZORDER);
    ShowWindow(frame->hwnd(), SW_SHOWNOACTIVATE);
    for (const wchar_t* name : relaxation_models) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(SubSpecFactory::instance().index_of(name)));
        const std::size_t before = steps();
        const unsigned count = document().model.component_count();
        send(add_id(name));
        ASSERT_EQ(document().model.component_count(), count + 1);
        EXPECT_EQ(steps(), before + 1);
        const auto& component = *document().model.components.back();
        EXPECT_EQ(component.subspec->display_name(), std::wstring(name) + L" (57Fe)");
        // The component's row shows a value in each of its parameters' cells.
        const int row = static_cast<int>(count);
        EXPECT_EQ(SendMessageW(frame->parameter_grid().hwnd(), LVM_GETITEMCOUNT, 0, 0), row + 1);
        for (unsigned k = 0; k < component.count; ++k)
            EXPECT_FALSE(grid_text(row, 3 + static_cast<int>(k)).empty()) << "row " << row << ", parameter " << k;
        for (unsigned k = 0; k < component.count; ++k)
            EXPECT_TRUE(std::isfinite(document().values(component.first + k)));
        for (double y : document().fit_values)
            EXPECT_TRUE(std::isfinite(y));
    }
    // Undo takes them away one by one.
    for (std::size_t i = 0; i < std::size(relaxation_models); ++i)
        document().model_history.undo(document());
    EXPECT_EQ(document().model.component_count(), 1u);
}

// A two-state magnetic relaxation at an intermediate rate, generated with noise on 1024
// channels, then fitted from a start away from it.
TEST_F(RelaxationWin, ASpectrumGeneratedFromTheModelIsFittedBackInEnglishAndRussian)
{
    const wchar_t* tags[] = {L"english", L"russian"};
    const WORD langids[] = {0x409, 0x419};
    for (int l = 0; l < 2; ++l) {
        create_with(langids[l], {});
        SetWindowPos(frame->hwnd(), nullptr, 0, 0, 790, 560, SWP_NOZORDER);
        ShowWindow(frame->hwnd(), SW_SHOWNOACTIVATE);
        send(add_id(L"Two state magnetic relaxation"));
        ModelState& d = document();
        const unsigned first = d.model.components.back()->first;
        // I, I₂/I₁, I₃/I₁, δ, ε, Hn, ln(ΩAB), ΩBA/ΩAB, Γ
        const double truth[] = {1.0, 2.0 / 3, 1.0 / 3, 0.1, 0.0, 300.0, 18.0, 1.0, 0.25};
        for (unsigned k = 0; k < 9; ++k)
            d.set_param(first + k, truth[k]);
        command(204, [](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_VELOCITY_MIN, L"-10");
            SetDlgItemTextW(dialog, IDC_VELOCITY_MAX, L"10");
            SetDlgItemTextW(dialog, IDC_VELOCITY_POINTS, L"1024");
            CheckDlgButton(dialog, IDC_VELOCITY_NOISE, BST_CHECKED);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        ASSERT_EQ(d.data.x_data.size(), 1024u);
        const DVector generated = d.values;

        // Start away from the truth: shift, field, rate.
        d.set_param(first + 3, 0.15);
        d.set_param(first + 5, 295.0);
        d.set_param(first + 6, 18.4);
        frame->document_changed(DocumentChange::model);
        send(351);
        ASSERT_TRUE(pump_until([&] { return !frame->fit_running(); }, 300000));
        ASSERT_TRUE(frame->results_shown());
        EXPECT_NEAR(frame->reduced_chi_square(), 1.0, 0.2);
        for (unsigned k : {3u, 5u, 6u}) {
            const double sigma = std::sqrt(d.covariance(first + k, first + k));
            EXPECT_GT(sigma, 0.0);
            EXPECT_NEAR(d.fit_values(first + k), generated(first + k), 4.0 * sigma) << "parameter " << k;
        }

        ShowWindow(frame->hwnd(), SW_SHOW);
        SetForegroundWindow(frame->hwnd());
        const Screenshot shot = modal_test::settled_capture(frame->hwnd());
        ASSERT_TRUE(modal_test::write_screenshot(shot, std::wstring(L"relaxation-fit-") + tags[l]));
        EXPECT_GT(modal_test::colours_of_part(shot, frame->hwnd(), frame->plot_view().window()), 3u);
        frame.reset();
    }
}

}  // namespace
