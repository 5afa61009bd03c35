// The context menu of a distribution pane through the main window: the items follow the
// distribution's ties, and each command (lock, weight, clear, link, unlink, export) goes
// through its dialog, answered by the test, and is one undo step; screenshots of the
// dialogs in both languages.
#include "ui/frame/main_frame.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "core/text/messages.h"
#include "core/text/text.h"
#include "plot/model_data_view.h"
#include "subspec/distribution.h"
#include "tests/support/document_test_parts.h"
#include "tests/support/spectrum_texts.h"
#include "tests/ui/win/dialog_command_suite.h"
#include "ui/resource_ids.h"
#include "wingui/resources.h"

namespace {

using modal_test::item_text;

constexpr unsigned points = 6;

class DistributionMenuWin : public DialogCommandSuite {
protected:
    // A baseline and two distributions of six lines (components 1 and 2).
    void create(WORD langid = 0x409)
    {
        create_with(langid, {document_test::distribution(points), document_test::distribution(points)});
    }
    // Runs a menu command with `step` on the dialog it opens.
    void run(UINT command, PointRange range, std::function<void(HWND)> step)
    {
        modal_test::when_dialog_shows(std::move(step));
        frame->RunDistributionCommand(command, 0, range);
    }
    unsigned weight(unsigned i) const { return document_first_weight() + i; }
    unsigned document_first_weight() const
    {
        const SubModel& c = *frame->document().model.components[1];
        return c.first + c.shown_count;
    }
    bool enabled(HMENU popup, UINT id) const { return !(GetMenuState(popup, id, MF_BYCOMMAND) & MF_GRAYED); }
};

TEST_F(DistributionMenuWin, TheItemsFollowTheTiesAndOfferTheOtherDistribution)
{
    create();
    const HMENU menu = load_menu_resource(IDR_DISTRIBUTION_MENU);
    ASSERT_TRUE(menu);
    frame->BuildDistributionMenu(menu, 0);
    const HMENU popup = GetSubMenu(menu, 0);
    EXPECT_TRUE(enabled(popup, DistInfo));
    EXPECT_FALSE(enabled(popup, DistSaveAs));  // no fit results on show
    EXPECT_TRUE(enabled(popup, DistLock));
    EXPECT_FALSE(enabled(popup, DistUnlink));
    EXPECT_NE(GetMenuState(popup, DistFirstLink + 2, MF_BYCOMMAND), static_cast<UINT>(-1));
    DestroyMenu(menu);

    // Linked to component 2 through the link dialog: Unlink names the link.
    std::wstring dependent;
    run(DistFirstLink + 2, {0, points - 1}, [&](HWND d) {
        dependent = item_text(d, IDC_LINK_DEPENDENT);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(dependent, L"[1] = ");
    const HMENU again = load_menu_resource(IDR_DISTRIBUTION_MENU);
    frame->BuildDistributionMenu(again, 0);
    wchar_t text[128] = {};
    GetMenuStringW(GetSubMenu(again, 0), DistUnlink, text, 128, MF_BYCOMMAND);
    EXPECT_NE(std::wstring(text).find(L"(=1.000 \u00D7 [2])"), std::wstring::npos) << wide_to_utf8(text);
    EXPECT_TRUE(enabled(GetSubMenu(again, 0), DistUnlink));
    EXPECT_FALSE(enabled(GetSubMenu(again, 0), DistLock));
    DestroyMenu(again);
    frame->RunDistributionCommand(DistUnlink, 0, {0, points - 1});
    unsigned target = 0;
    double factor = 0.0;
    EXPECT_FALSE(document().model.components[1]->get_distribution_link(target, factor));
}

TEST_F(DistributionMenuWin, LockWeightAndClearAreOneUndoStepEach)
{
    create();
    ModelState& d = document();
    const document_test::Snapshot before(d);

    std::wstring shown_range;
    run(DistLock, {0, points - 1}, [&](HWND dialog) {
        shown_range = item_text(dialog, IDC_DIST_POINTS);
        SetDlgItemTextW(dialog, IDC_DIST_POINTS, L"2-3");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(shown_range, L"1-6");
    EXPECT_TRUE(d.is_varied(weight(0)));
    EXPECT_FALSE(d.is_varied(weight(1)));
    EXPECT_FALSE(d.is_varied(weight(2)));
    d.model_history.undo(d);
    EXPECT_TRUE(d.is_varied(weight(1)));

    std::vector<DistPointParams> records;
    d.model.point_params(records);
    const double deviation = records[0].deviations[2];
    run(DistWeight, {2, 3}, [](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_DIST_VALUE, L"*2");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    records.clear();
    d.model.point_params(records);
    EXPECT_NEAR(records[0].deviations[2], deviation / std::sqrt(2.0), 1e-12);
    d.model_history.undo(d);

    std::wstring title;
    run(DistClear, {0, 1}, [&](HWND dialog) {
        wchar_t caption[64] = {};
        GetWindowTextW(dialog, caption, 64);
        title = caption;
        SetDlgItemTextW(dialog, IDC_DIST_VALUE, L"5");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(title, MessageText(50059).str());
    EXPECT_EQ(d.values(weight(0)), 5.0);
    EXPECT_EQ(d.values(weight(1)), 5.0);
    d.model_history.undo(d);
    // Clear puts the fit values back to the values, as a new start; undo leaves them.
    const document_test::Snapshot after(d);
    EXPECT_EQ(after.values, before.values);
    EXPECT_EQ(after.flags, before.flags);
    EXPECT_EQ(after.components, before.components);
}

TEST_F(DistributionMenuWin, ARangeThatDoesNotReadKeepsTheDialogOpen)
{
    create();
    bool still_open = false;
    run(DistLock, {0, points - 1}, [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_DIST_POINTS, L"5-9");  // beyond the six points
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        still_open = IsWindowVisible(dialog) != FALSE;
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(still_open);
    EXPECT_TRUE(document().is_varied(weight(4)));
}

TEST_F(DistributionMenuWin, SaveAsWritesTheDistributionAsSpectrumData)
{
    create();
    const std::wstring path =
        (std::filesystem::temp_directory_path() / (L"vx-dist-" + std::to_wstring(GetCurrentProcessId()) + L".spc"))
            .wstring();
    chosen_files = {path};
    frame->RunDistributionCommand(DistSaveAs, 0, {0, points - 1});
    ASSERT_FALSE(requests.empty());
    EXPECT_TRUE(requests.back().save);
    SpectrumData saved;
    saved.load_file(path);
    EXPECT_EQ(saved.x_data.size(), points);
    std::filesystem::remove(path);
}

TEST_F(DistributionMenuWin, ScreenshotsOfTheMenuAndTheDialogsInEnglishAndRussian)
{
    struct Language {
        WORD langid;
        const wchar_t* tag;
        const wchar_t* captions[2];  // the weight and the points dialogs
    };
    const Language languages[] = {{0x409, L"english", {L"Distribution point weights", L"Distribution points"}},
                                  {0x419, L"russian", {L"Веса точек распределения", L"Точки распределения"}}};
    for (const Language& language : languages) {
        const WORD langid = language.langid;
        const wchar_t* tag = language.tag;
        SCOPED_TRACE(wide_to_utf8(tag));
        create(langid);
        SetWindowPos(frame->hwnd(), nullptr, 0, 0, 790, 560, SWP_NOZORDER);
        ShowWindow(frame->hwnd(), SW_SHOW);
        SetForegroundWindow(frame->hwnd());
        // A right click on the first distribution's pane; the desktop shows a window's
        // first popup menu too late to be captured, so the first one closes unseen.
        std::vector<std::wstring> items;
        for (const bool shoot : {false, true}) {
            bool shown_menu = false;
            modal_test::when_window_shows(
                [&](HWND menu) {
                    if (shoot) EXPECT_TRUE(modal_test::save_settled_screenshot(menu, std::wstring(L"distribution-menu-") + tag));
                    // The items the user reads, in the window's language.
                    const auto popup = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
                    items.clear();
                    for (int i = 0; popup && i < GetMenuItemCount(popup); ++i) {
                        wchar_t text[128] = {};
                        GetMenuStringW(popup, i, text, 128, MF_BYPOSITION);
                        items.push_back(text);
                    }
                    shown_menu = true;
                    EndMenu();
                },
                L"#32768");
            PlotNotification n{};
            n.hdr.hwndFrom = frame->plot_view().window();
            n.hdr.idFrom = CMainFrame::plot_view_id;
            n.hdr.code = static_cast<UINT>(NotifyDistributionMenu);
            n.mouse_x = 500, n.mouse_y = 100;
            n.index = 0;
            SendMessageW(frame->hwnd(), WM_NOTIFY, CMainFrame::plot_view_id, reinterpret_cast<LPARAM>(&n));
            EXPECT_TRUE(shown_menu);
        }
        // The menu resource's items in the language, the Unlink item among them.
        const HMENU resource = load_menu_resource(IDR_DISTRIBUTION_MENU);
        ASSERT_TRUE(resource);
        wchar_t unlink[128] = {};
        GetMenuStringW(GetSubMenu(resource, 0), DistUnlink, unlink, 128, MF_BYCOMMAND);
        DestroyMenu(resource);
        EXPECT_GT(items.size(), 5u);
        EXPECT_NE(std::find(items.begin(), items.end(), std::wstring(unlink)), items.end()) << wide_to_utf8(unlink);
        const std::pair<UINT, const wchar_t*> dialogs[] = {{DistWeight, L"distribution-weight"},
                                                           {DistLock, L"distribution-points"}};
        for (std::size_t k = 0; k < 2; ++k) {
            bool shot = false;
            std::wstring caption, range;
            run(dialogs[k].first, {1, 3}, [&, name = dialogs[k].second](HWND d) {
                wchar_t text[128] = {};
                GetWindowTextW(d, text, 128);
                caption = text;
                range = item_text(d, IDC_DIST_POINTS);
                shot = modal_test::save_screenshot(d, std::wstring(name) + L"-" + tag);
                SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
            });
            EXPECT_TRUE(shot) << wide_to_utf8(dialogs[k].second);
            EXPECT_EQ(caption, language.captions[k]);
            EXPECT_EQ(range, L"2-4");  // the points dragged over, numbered from 1
        }
        frame.reset();
    }
}

}  // namespace
