// The fit through the main window, under Wine: run, one iteration, pause, stop and abort
// with an engine that steps on demand, the command states and status texts on the way,
// accepting the results as one undo step, Fit area, closing the window during a fit, and
// a real fit of a sextet, a doublet and a baseline on 1024 channels with screenshots of
// the result in English and Russian.
#include "ui/frame/main_frame.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/model/spectrum_operations.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "subspec/baseline.h"
#include "subspec/distribution.h"
#include "subspec/subspec_impl.h"
#include "tests/support/alpha_iron.h"
#include "tests/support/document_test_parts.h"
#include "core/spectrum/poisson.h"
#include "core/text/messages.h"
#include "tests/support/sextet_doublet_fit.h"
#include "tests/support/stepping_fit_engine.h"
#include "tests/ui/gui/screenshot.h"
#include "tests/ui/win/frame_suite.h"
#include "tests/ui/win/modal_dialog_driver.h"
#include "tests/wingui/win/recorded_dialogs.h"
#include "ui/logic/language_list.h"
#include "ui/logic/view_refresh.h"
#include "wingui/dialog_hooks.h"
#include "wingui/resources.h"

using test_support::pump_until;
using test_support::SteppingEngine;

namespace {

constexpr unsigned channels = 1024;

// The close prompt's answers: the model counts as unchanged, so closing asks only
// whether to close, and the hook says OK.
class UnchangedDocument final : public IDocumentChanges {
public:
    bool model_changed() const override { return false; }
    bool save_model() override { return true; }
};

// Message boxes and file dialogs are recorded, not shown (RecordedDialogs).
class MainFrameFitTest : public ::testing::Test, protected RecordedDialogs {
protected:
    static void SetUpTestSuite() { frame_suite::set_up(); }
    static void TearDownTestSuite() { CoUninitialize(); }

    void TearDown() override
    {
        close();
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
        set_resource_language(0x409);
        set_message_language(0x409);
    }

    // The window with the document of the real-sized fit: the spectrum simulated from
    // the true values, the model at the start values with the fit's free parameters.
    void create(WORD langid = 0x409)
    {
        close();
        ASSERT_TRUE(frame_suite::create_frame(frame, langid));
        SetWindowPos(frame->hwnd(), nullptr, 0, 0, 790, 560, SWP_NOZORDER);
        ShowWindow(frame->hwnd(), SW_SHOWNOACTIVATE);
        ModelState& d = frame->document();
        d.model.scale = fit.model.scale;
        for (const auto& c : fit.model.components) {
            DVector v(c->count), lower(c->count), upper(c->count);
            std::vector<int> flags(c->count);
            for (unsigned k = 0; k < c->count; ++k) {
                v(k) = fit.start(c->first + k);
                lower(k) = fit.lower(c->first + k);
                upper(k) = fit.upper(c->first + k);
                flags[k] = fit.varied[c->first + k] ? ParamFree : 0;
            }
            d.insert_component(d.model.component_count(), c->subspec, v, flags, lower, upper);
        }
        random_engine().seed(24);
        simulate(d.data, channels, -10.0, 10.0, true, d.model, fit.truth);
        d.model_history.clear();
        d.spectrum_history.clear();
        frame->document_changed(DocumentChange::model);
        frame->UpdateUIState();
    }

    void close()
    {
        if (frame && IsWindow(frame->hwnd())) {
            frame->set_document_changes(nullptr);
            DestroyWindow(frame->hwnd());
        }
        frame.reset();
    }
    void command(UINT id) { SendMessageW(frame->hwnd(), WM_COMMAND, id, 0); }
    bool enabled(UINT id) const { return !(GetMenuState(GetMenu(frame->hwnd()), id, MF_BYCOMMAND) & MF_GRAYED); }
    bool button_enabled(UINT id) const { return SendMessageW(frame->toolbar(), TB_ISBUTTONENABLED, id, 0) != 0; }
    std::wstring pane(int index) const
    {
        wchar_t text[512] = {};
        SendMessageW(frame->status_bar(), SB_GETTEXTW, index, reinterpret_cast<LPARAM>(text));
        return text;
    }
    std::vector<double> values() const { return {frame->document().values.begin(), frame->document().values.end()}; }
    std::vector<double> fit_values() const
    {
        return {frame->document().fit_values.begin(), frame->document().fit_values.end()};
    }

    const test_support::SextetDoubletFit fit;
    std::unique_ptr<CMainFrame> frame;
};

std::wstring starts(const std::wstring& text, std::size_t n) { return text.substr(0, n); }

}  // namespace

TEST_F(MainFrameFitTest, OneIterationAtATimeThenRunToTheEndAndAcceptAsOneUndoStep)
{
    SteppingEngine engine(4);
    create();
    frame->set_fit_engine(engine.engine());
    const std::vector<double> start = values();
    EXPECT_TRUE(enabled(351) && enabled(352) && enabled(359));
    EXPECT_FALSE(enabled(363) || enabled(353) || enabled(355));

    command(352);
    ASSERT_TRUE(frame->fit_running());
    // The fit-result page comes to the front.
    EXPECT_EQ(frame->tab_container().current_page(), 1);
    engine.release(1);
    ASSERT_TRUE(pump_until([&] { return frame->fit_waiting(); }));
    // Waiting: one more step, run or stop; no pause. The step's values are on show.
    EXPECT_TRUE(enabled(352) && enabled(351) && enabled(353));
    EXPECT_FALSE(enabled(363));
    EXPECT_TRUE(button_enabled(352));
    EXPECT_FALSE(button_enabled(363));
    EXPECT_EQ(fit_values()[0], 1.0);
    EXPECT_EQ(values(), start);
    EXPECT_EQ(starts(pane(0), 5), L"χ² = ");
    ASSERT_TRUE(pump_until([&] { return pane(1).find(L": 1;") != std::wstring::npos; }));
    EXPECT_EQ(starts(pane(1), MessageText(50004, L"").str().size()), MessageText(50004, L"").str());

    command(352);
    engine.release(1);
    ASSERT_TRUE(pump_until([&] { return frame->fit_waiting() && fit_values()[0] == 2.0; }));

    command(351);
    EXPECT_FALSE(frame->fit_waiting());
    engine.release(2);
    ASSERT_TRUE(pump_until([&] { return !frame->fit_running(); }));
    EXPECT_TRUE(frame->results_shown());
    EXPECT_EQ(frame->stop_code(), FitStopSmallGradient);
    EXPECT_EQ(fit_values()[0], 4.0);
    EXPECT_NE(pane(0).find(MessageText(50028).str() + L": 4, " + MessageText(50016).str()), std::wstring::npos);
    ASSERT_TRUE(pump_until([&] { return pane(1).empty() && enabled(355); }));
    EXPECT_FALSE(enabled(353));
    EXPECT_EQ(values(), start);  // the model is the user's until the results are accepted

    // Accept fit results: the model takes the fit values as one undo step, and is no
    // longer the model in its file, which a save would otherwise overwrite unasked.
    ModelState& d = frame->document();
    frame->set_model_file_name(L"C:\\fits\\start.mdl");
    const std::size_t records = d.model_history.records().size();
    command(355);
    frame->UpdateUIState();
    EXPECT_EQ(d.model_history.records().size(), records + 1);
    EXPECT_EQ(values()[0], 4.0);
    EXPECT_EQ(frame->tab_container().current_page(), 0);
    EXPECT_TRUE(frame->model_file_name().name().empty());
    EXPECT_FALSE(frame->model_file_name().quick_save_target());
    wchar_t title[256] = {};
    GetWindowTextW(frame->hwnd(), title, 256);
    EXPECT_EQ(std::wstring(title), MessageText(50000).str());
    EXPECT_TRUE(enabled(257));
    d.model_history.undo(d);
    EXPECT_EQ(values(), start);
}

TEST_F(MainFrameFitTest, LinksBoundsAndExpressionsKeepTheResultsOnShowAndAModelChangeEndsThem)
{
    SteppingEngine engine(2);
    create();
    frame->set_fit_engine(engine.engine());
    command(351);
    engine.release(2);
    ASSERT_TRUE(pump_until([&] { return !frame->fit_running() && frame->results_shown(); }));
    const std::wstring status = pane(0);
    const std::vector<double> fitted = fit_values();
    ASSERT_NE(status, L"");
    const auto add_expression = [](HWND d) {
        SetDlgItemTextW(d, IDC_EXPRESSION_NAME, L"w");
        SetDlgItemTextW(d, IDC_EXPRESSION_TEXT, L"[2:Γ₁]/Γτ");
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    };
    struct Change {
        const char* name;
        int row, column;  // the cell selected in the parameter grid: the doublet's δ, or the expression
        UINT id;
        std::function<void(HWND)> dialog;  // none: the command opens no dialog
    };
    const Change changes[] = {
        {"bounds", 2, 5, 264, [](HWND d) {
             SetDlgItemTextW(d, IDC_BOUND_UPPER, L"2");
             SendMessageW(d, WM_COMMAND, IDOK, 0);
         }},
        {"link to the first target", 2, 5, 5001, [](HWND d) { SendMessageW(d, WM_COMMAND, IDOK, 0); }},
        {"unlink", 2, 5, 259, nullptr},
        {"add expression", 2, 5, 262, add_expression},
        {"delete the expression", 3, -1, 255, nullptr},
        {"add it again", 2, 5, 262, add_expression},
        {"delete all expressions", 2, 5, 272, nullptr},
        {"add it once more", 2, 5, 262, add_expression},
    };
    const std::size_t records = frame->document().model_history.records().size();
    for (const Change& c : changes) {
        SCOPED_TRACE(c.name);
        frame->parameter_grid().SelectCell(c.row, c.column);
        ASSERT_EQ(frame->parameter_cell().row, c.row);
        if (c.dialog) modal_test::when_dialog_shows(c.dialog);
        frame->BuildGridLinkMenu(GetMenu(frame->hwnd()));
        command(c.id);
        EXPECT_FALSE(modal_test::dialog_step());
        modal_test::dialog_step() = nullptr;
        frame->UpdateUIState();
        EXPECT_TRUE(frame->results_shown());
        EXPECT_EQ(pane(0), status);
        EXPECT_EQ(fit_values(), fitted);
        EXPECT_TRUE(enabled(355) && enabled(356) && enabled(362));
    }
    EXPECT_EQ(frame->document().model_history.records().size(), records + std::size(changes));
    // The expression reads the isotope's Γτ: the window's model has the isotope its menu shows.
    ASSERT_EQ(frame->document().model.isotope, frame->GetCurrentIsotope());
    ASSERT_EQ(frame->document().model.expressions.size(), 1u);
    EXPECT_TRUE(frame->document().model.expressions[0].expr);

    // A change of the model's values ends them.
    command(257);
    frame->UpdateUIState();
    EXPECT_FALSE(frame->results_shown());
    EXPECT_FALSE(enabled(355));
}

TEST_F(MainFrameFitTest, TheSameDistributionFitFromTheSameStartEndsOnTheSameBits)
{
    close();
    ASSERT_TRUE(frame_suite::create_frame(frame, 0x409));
    ModelState& d = frame->document();
    d.data = alpha_iron::spectrum();
    d.set_levels_from_spectrum();
    // A field distribution of pseudo-Voigt sextets, whose lines need the library's exp.
    const SpectrumAnalysis analysis = d.data.analysis(false);
    d.add_component(0, analysis, make_subspec<AutoBaseLine2>(nullptr), true);
    d.add_component(1, analysis, make_distribution(make_subspec<PseudoVoigtSextet>(frame->GetCurrentIsotope()), 20, {5}),
                    true);
    frame->document_changed(DocumentChange::model);
    frame->fit_settings().kmax = 12;
    const std::vector<double> start = values();
    std::vector<std::vector<double>> results;
    std::vector<double> chi_squares;
    for (int run = 0; run < 3; ++run) {
        command(351);
        ASSERT_TRUE(pump_until([&] { return !frame->fit_running(); }, 120000));
        ASSERT_TRUE(frame->results_shown());
        EXPECT_EQ(values(), start);
        results.push_back(fit_values());
        chi_squares.push_back(frame->chi_square());
    }
    EXPECT_NE(results[0], start);
    for (int run = 1; run < 3; ++run) {
        EXPECT_TRUE(document_test::same_doubles(results[run], results[0])) << run;
        EXPECT_TRUE(document_test::same_bits(chi_squares[run], chi_squares[0])) << run;
    }
}

TEST_F(MainFrameFitTest, PauseWaitsAfterTheNextStepAndStopKeepsTheResultsSoFar)
{
    SteppingEngine engine(10);
    create();
    frame->set_fit_engine(engine.engine());
    command(351);
    engine.release(2);
    ASSERT_TRUE(pump_until([&] { return engine.steps_done == 2; }));
    ASSERT_TRUE(pump_until([&] { return enabled(363) && !enabled(352); }));
    command(363);
    engine.release(1);
    ASSERT_TRUE(pump_until([&] { return frame->fit_waiting(); }));
    EXPECT_EQ(fit_values()[0], 3.0);
    command(353);
    ASSERT_TRUE(pump_until([&] { return !frame->fit_running(); }));
    EXPECT_TRUE(frame->results_shown());
    EXPECT_EQ(frame->stop_code(), FitStopByCaller);
    EXPECT_EQ(fit_values()[0], 3.0);
    EXPECT_NE(pane(0).find(MessageText(50022).str()), std::wstring::npos);
}

TEST_F(MainFrameFitTest, AnAbortBeforeADocumentChangeWaitsAndPutsTheModelsValuesBack)
{
    SteppingEngine engine(10);
    create();
    frame->set_fit_engine(engine.engine());
    command(351);
    engine.release(1);
    ASSERT_TRUE(pump_until([&] { return engine.steps_done == 1; }));
    frame->PostFitControl(FitCtlAbort);
    EXPECT_FALSE(frame->fit_running());
    EXPECT_TRUE(engine.finished);
    EXPECT_FALSE(frame->results_shown());
    EXPECT_EQ(fit_values(), values());
    EXPECT_EQ(pane(0), L"");
    EXPECT_EQ(pane(1), L"");
    EXPECT_TRUE(shown.empty());
}

TEST_F(MainFrameFitTest, AFailingEngineIsReportedAndChangesNothing)
{
    SteppingEngine engine(1, true);
    create();
    frame->set_fit_engine(engine.engine());
    const std::vector<double> start = values();
    command(351);
    engine.release(1);
    ASSERT_TRUE(pump_until([&] { return !frame->fit_running() && !shown.empty(); }));
    EXPECT_EQ(texts(), std::vector<std::wstring>{L"model failure"});
    EXPECT_FALSE(frame->results_shown());
    EXPECT_EQ(values(), start);
    EXPECT_EQ(fit_values(), start);
}

TEST_F(MainFrameFitTest, ClosingTheWindowDuringAFitEndsTheFitFirst)
{
    SteppingEngine engine(10);
    create();
    UnchangedDocument unchanged;
    frame->set_document_changes(&unchanged);
    frame->set_fit_engine(engine.engine());
    command(351);
    engine.release(1);
    ASSERT_TRUE(pump_until([&] { return engine.steps_done == 1; }));
    SendMessageW(frame->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(frame->hwnd()));
    EXPECT_TRUE(engine.finished);
    EXPECT_FALSE(frame->fit_running());
    EXPECT_EQ(shown.size(), 1u);  // the close question only
}

TEST_F(MainFrameFitTest, FitAreaIsOneUndoStepAndChangesNothingWhenTheEngineCannotStep)
{
    create();
    ModelState& d = frame->document();
    // Every value at its truth but the two areas.
    for (std::size_t i = 0; i < d.values.size(); ++i) d.values(i) = fit.truth(i);
    d.values(3) = 0.7;
    d.values(18) = 0.8;
    const std::vector<double> before = values();
    command(359);
    ASSERT_EQ(d.model_history.records().size(), 1u);
    EXPECT_NEAR(d.values(3), 1.0, 0.02);
    EXPECT_NEAR(d.values(18), 0.5, 0.02);
    EXPECT_EQ(fit_values(), values());
    EXPECT_EQ(frame->tab_container().current_page(), 0);
    EXPECT_FALSE(frame->results_shown());
    d.model_history.undo(d);
    EXPECT_EQ(values(), before);

    // Codes 8 to 11: the engine stops before its first step; the model stays.
    struct Case {
        const char* name;
        void (*spoil)(ModelState&);
    };
    const Case cases[] = {
        {"no points", [](ModelState& m) { m.data.x_data.clear(), m.data.y_data.clear(), m.data.std_dev_data.clear(); }},
        {"zero deviation", [](ModelState& m) { m.data.std_dev_data[10] = 0.0; }},
        {"count not a number", [](ModelState& m) { m.data.y_data[10] = std::nan(""); }},
    };
    for (const Case& c : cases) {
        create();
        ModelState& m = frame->document();
        c.spoil(m);
        const std::vector<double> start = values();
        command(359);
        EXPECT_EQ(values(), start) << c.name;
        EXPECT_FALSE(m.model_history.can_undo()) << c.name;
    }
}

TEST_F(MainFrameFitTest, AModelWithoutFreeParametersEndsWithItsReasonOnly)
{
    create();
    ModelState& d = frame->document();
    std::fill(d.flags.begin(), d.flags.end(), 0);
    command(351);
    ASSERT_TRUE(pump_until([&] { return !frame->fit_running(); }));
    EXPECT_EQ(frame->stop_code(), FitStopNoVariables);
    EXPECT_FALSE(frame->results_shown());
    EXPECT_EQ(pane(0), MessageText(50026).str());
    EXPECT_EQ(fit_values(), values());
}

TEST_F(MainFrameFitTest, CommandStatesOfAnEmptyDocument)
{
    frame = std::make_unique<CMainFrame>();
    ASSERT_TRUE(frame->create_window());
    frame->UpdateUIState();
    for (UINT id : {351u, 352u, 359u, 205u, 252u, 253u, 363u, 353u, 355u, 213u, 215u})
        EXPECT_FALSE(enabled(id)) << id;
    for (UINT id : {251u, 256u, 262u, 273u, 201u}) EXPECT_TRUE(enabled(id)) << id;
    EXPECT_FALSE(button_enabled(351));
    wchar_t title[256] = {};
    GetWindowTextW(frame->hwnd(), title, 256);
    EXPECT_EQ(std::wstring(title), MessageText(50000).str());
}

TEST_F(MainFrameFitTest, ARealFitFromTheWindowShownInThePlotInEnglishAndRussian)
{
    const wchar_t* tags[] = {L"english", L"russian"};
    const WORD langids[] = {0x409, 0x419};
    for (int i = 0; i < 2; ++i) {
        create(langids[i]);
        command(351);
        ASSERT_TRUE(pump_until([&] { return !frame->fit_running(); }, 300000));
        ASSERT_TRUE(frame->results_shown());
        EXPECT_LE(frame->stop_code(), FitStopSmallChiSquare);
        const DVector& v = frame->document().fit_values;
        EXPECT_NEAR(v(0), 1e6, 1e6 * 0.002);
        EXPECT_NEAR(v(3), 1.0, 0.05);
        EXPECT_NEAR(v(8), 330.0, 1.0);
        EXPECT_NEAR(v(18), 0.5, 0.05);
        EXPECT_NEAR(v(21), 0.4, 0.01);
        // About one per degree of freedom for Poisson counts.
        EXPECT_NEAR(frame->reduced_chi_square(), 1.0, 0.2);
        EXPECT_EQ(frame->document().covariance.size1(), v.size());
        EXPECT_NE(pane(0).find(MessageText(50028).str()), std::wstring::npos);

        ShowWindow(frame->hwnd(), SW_SHOW);
        SetForegroundWindow(frame->hwnd());
        const Screenshot shot = modal_test::settled_capture(frame->hwnd());
        ASSERT_TRUE(modal_test::write_screenshot(shot, std::wstring(L"main-frame-fit-") + tags[i]));
        // The plot is drawn: data markers, the model curve and the residuals pane.
        EXPECT_GT(modal_test::colours_of_part(shot, frame->hwnd(), frame->plot_view().window()), 3u);
    }
}

// ---- Figure (printed; the Windows build has no benchmark library) ----

TEST_F(MainFrameFitTest, TheWindowsCostPerProgressMessage)
{
    // Each record updates the fit status pane; its refresh brings the command states,
    // the fit status and the title up to date.
    SteppingEngine engine(1);
    create();
    frame->set_fit_engine(engine.engine());
    command(351);
    ASSERT_TRUE(frame->fit_running());
    constexpr int n = 2000;
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    for (int i = 0; i < n; ++i) {
        auto* p = new FitProgress;
        p->fit = 1;  // the window's first fit
        p->iteration = i + 1;
        p->chi_square = 1000.0 - i;
        p->previous_chi_square = 1001.0 - i;
        p->reduced_chi_square = 1.0;
        p->step_length = 0.01;
        PostMessageW(frame->hwnd(), WM_APP, FitMsgProgress, reinterpret_cast<LPARAM>(p));
        MSG message;
        while (PeekMessageW(&message, frame->hwnd(), WM_APP, WM_APP, PM_REMOVE)) DispatchMessageW(&message);
    }
    QueryPerformanceCounter(&b);
    std::printf("the main window's cost of one progress record with its refresh: %.1f us\n",
                1e6 * double(b.QuadPart - a.QuadPart) / double(f.QuadPart) / n);
    EXPECT_NE(pane(1).find(L": 2000;"), std::wstring::npos);
    frame->PostFitControl(FitCtlAbort);
}
