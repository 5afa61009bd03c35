// The statistics of a distribution (Info in a distribution pane's menu) and the report
// viewer under Wine. Wine here has no HTML engine: the statistics show in a list, with the
// ranges still edited and stored as one undo step, and "View results" falls back to the
// system's browser. With the engine check answered yes, the dialogs host Wine's
// WebBrowser control (which shows nothing without an engine) for their layout.
#include "ui/frame/main_frame.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/text/messages.h"
#include "tests/ui/win/dialog_command_suite.h"
#include "ui/dialogs/report_dlg.h"
#include "ui/logic/report_commands.h"
#include "ui/report_viewer.h"
#include "ui/resource_ids.h"
#include "wingui/browser.h"

namespace {

using modal_test::item_text;

constexpr unsigned points = 6;
const std::pair<WORD, const wchar_t*> languages[] = {{0x409, L"english"}, {0x419, L"russian"}};

// The engine check answered yes while it lives.
struct EnginePresent {
    EnginePresent() : previous(CBrowser::set_html_engine_check([] { return true; })) {}
    ~EnginePresent() { CBrowser::set_html_engine_check(previous); }
    CBrowser::EngineCheck previous;
};

std::wstring class_of(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

RECT rect_in(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE size_of(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// The list's lines as "name|value".
std::vector<std::wstring> list_lines(HWND dialog)
{
    const HWND list = GetDlgItem(dialog, IDC_DIST_STATS_PAGE);
    std::vector<std::wstring> lines;
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
        wchar_t name[128] = {}, value[128] = {};
        ListView_GetItemText(list, i, 0, name, 128);
        ListView_GetItemText(list, i, 1, value, 128);
        lines.push_back(std::wstring(name) + L"|" + value);
    }
    return lines;
}

std::vector<std::wstring> headings(HWND dialog)
{
    std::vector<std::wstring> out;
    for (const std::wstring& line : list_lines(dialog))
        if (line.ends_with(L"|")) out.push_back(line.substr(0, line.size() - 1));
    return out;
}

// Grows the dialog and checks the anchors, tries to shrink it below its opening size,
// and maximises it (the grip hides) and restores it.
void check_resizing(HWND dialog, int page, int field, int grip)
{
    const SIZE opened = size_of(dialog);
    const RECT page_before = rect_in(dialog, page), field_before = rect_in(dialog, field);
    const RECT ok_before = rect_in(dialog, IDOK);
    SetWindowPos(dialog, nullptr, 0, 0, opened.cx + 120, opened.cy + 90, SWP_NOMOVE | SWP_NOZORDER);
    const RECT page_after = rect_in(dialog, page), field_after = rect_in(dialog, field);
    const RECT ok_after = rect_in(dialog, IDOK);
    EXPECT_EQ(page_after.right - page_after.left, page_before.right - page_before.left + 120);
    EXPECT_EQ(page_after.bottom - page_after.top, page_before.bottom - page_before.top + 90);
    EXPECT_EQ(field_after.top, field_before.top + 90);
    EXPECT_EQ(ok_after.left, ok_before.left + 120);
    EXPECT_EQ(ok_after.top, ok_before.top + 90);
    // The opening size is the least it takes.
    SetWindowPos(dialog, nullptr, 0, 0, opened.cx - 80, opened.cy - 60, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_GE(size_of(dialog).cx, opened.cx);
    EXPECT_GE(size_of(dialog).cy, opened.cy);
    ShowWindow(dialog, SW_MAXIMIZE);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, grip)));
    ShowWindow(dialog, SW_RESTORE);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, grip)));
    SetWindowPos(dialog, nullptr, 0, 0, opened.cx, opened.cy, SWP_NOMOVE | SWP_NOZORDER);
}

std::vector<std::filesystem::path> temporary_reports()
{
    std::vector<std::filesystem::path> out;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path()))
        if (is_temporary_report_name(entry.path().filename().wstring())) out.push_back(entry.path());
    return out;
}

class DistStatsWin : public DialogCommandSuite {
protected:
    void create(WORD langid = 0x409) { create_with(langid, {document_test::distribution(points)}); }
    void info(PointRange range, bool whole, std::function<void(HWND)> step)
    {
        modal_test::when_dialog_shows(std::move(step));
        frame->RunDistributionCommand(DistInfo, 0, range, whole);
    }
    PointRangeList grid() const
    {
        PointRangeList marks;
        frame->document().model.marked_ranges(0, marks);
        return marks;
    }
    std::size_t steps() const { return frame->document().model_history.records().size(); }
};

TEST_F(DistStatsWin, WithoutAnEngineTheStatisticsShowInAListInBothLanguages)
{
    for (const auto& [langid, tag] : languages) {
        create(langid);
        const std::size_t before = steps();
        bool shown = false;
        info({0, points - 1}, true, [&, tag = tag](HWND d) {
            shown = true;
            EXPECT_EQ(class_of(GetDlgItem(d, IDC_DIST_STATS_PAGE)), WC_LISTVIEWW);
            wchar_t caption[64] = {};
            GetWindowTextW(d, caption, 64);
            const wchar_t* title = langid == 0x409 ? L"Distribution info" : L"Информация о распределении";
            EXPECT_EQ(std::wstring(caption), title);
            // Opened for the whole distribution: OK stores, Cancel does not.
            EXPECT_EQ(item_text(d, IDOK), MessageText(50001).str());
            EXPECT_EQ(item_text(d, IDCANCEL), MessageText(50002).str());
            EXPECT_EQ(item_text(d, IDC_DIST_POINTS), L"");
            EXPECT_EQ(headings(d), std::vector<std::wstring>{MessageText(50280, 1, 6).str()});
            const std::vector<std::wstring> lines = list_lines(d);
            EXPECT_NE(std::find(lines.begin(), lines.end(), L"L|1"), lines.end());
            EXPECT_NE(std::find(lines.begin(), lines.end(), L"R|6"), lines.end());
            check_resizing(d, IDC_DIST_STATS_PAGE, IDC_DIST_POINTS, IDC_DIST_STATS_GRIP);
            EXPECT_TRUE(modal_test::save_screenshot(d, std::wstring(L"distribution-info-") + tag));
            SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_TRUE(shown);
        EXPECT_EQ(steps(), before);
        frame.reset();
    }
}

TEST_F(DistStatsWin, ValidRangesRebuildInvalidOnesChangeNothingAndSaveIsOneStep)
{
    create();
    const std::size_t before = steps();
    std::vector<std::wstring> valid, invalid, two;
    info({0, points - 1}, true, [&](HWND d) {
        SetDlgItemTextW(d, IDC_DIST_POINTS, L"1-3");
        valid = headings(d);
        const std::vector<std::wstring> lines = list_lines(d);
        for (const wchar_t* text : {L"1-3, 4-6", L"1-3,", L"3-3", L"4", L"1-7"}) {
            SetDlgItemTextW(d, IDC_DIST_POINTS, text);
            EXPECT_EQ(list_lines(d), lines) << wide_to_utf8(text);
        }
        // Save with a text that does not read keeps the dialog open.
        SendMessageW(d, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(IsWindowVisible(d));
        EXPECT_EQ(GetFocus(), GetDlgItem(d, IDC_DIST_POINTS));
        SetDlgItemTextW(d, IDC_DIST_POINTS, L"4-6 1-3");
        two = headings(d);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(valid, (std::vector<std::wstring>{MessageText(50280, 1, 3).str(), MessageText(50280, 1, 6).str()}));
    EXPECT_EQ(two.size(), 3u);
    // Stored sorted, as one step.
    EXPECT_EQ(grid(), (PointRangeList{{0, 2}, {3, 5}}));
    EXPECT_EQ(steps(), before + 1);
    frame->document().model_history.undo(frame->document());
    EXPECT_TRUE(grid().empty());

    // Emptied and saved: the grid goes.
    frame->document().model_history.redo(frame->document());
    info({0, points - 1}, true, [&](HWND d) {
        EXPECT_EQ(item_text(d, IDC_DIST_POINTS), L"1-3,4-6");
        SetDlgItemTextW(d, IDC_DIST_POINTS, L"");
        EXPECT_EQ(headings(d).size(), 1u);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(grid().empty());
}

TEST_F(DistStatsWin, ADraggedRangeIsAddedToTheGrid)
{
    create();
    frame->document().set_distribution_marks(0, {{0, 2}});
    const std::size_t before = steps();
    info({1, 3}, false, [&](HWND d) {
        EXPECT_EQ(item_text(d, IDC_DIST_POINTS), L"2-4");
        EXPECT_EQ(headings(d).size(), 2u);
        // Save and OK, the dialog's own texts.
        EXPECT_EQ(item_text(d, IDOK), L"Save");
        EXPECT_EQ(item_text(d, IDCANCEL), L"OK");
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(grid(), (PointRangeList{{0, 2}, {1, 3}}));
    EXPECT_EQ(steps(), before + 1);
    // The same again changes nothing, and takes no step.
    info({1, 3}, false, [](HWND d) { SendMessageW(d, WM_COMMAND, IDOK, 0); });
    EXPECT_EQ(steps(), before + 1);
}

TEST_F(DistStatsWin, WithTheBrowserBothDialogsOpenFromTheirCommandsAndResize)
{
    const EnginePresent engine;
    for (const auto& [langid, tag] : languages) {
        create(langid);
        bool opened = false;
        info({0, points - 1}, true, [&, tag = tag](HWND d) {
            opened = true;
            EXPECT_EQ(class_of(GetDlgItem(d, IDC_DIST_STATS_PAGE)), L"VexmoorBrowser");
            // The notice of a first document builds the page; Wine has no document to take it.
            SendMessageW(d, WM_APP, 0, 0);
            SetDlgItemTextW(d, IDC_DIST_POINTS, L"1-2");
            check_resizing(d, IDC_DIST_STATS_PAGE, IDC_DIST_POINTS, IDC_DIST_STATS_GRIP);
            EXPECT_TRUE(modal_test::save_screenshot(d, std::wstring(L"distribution-info-browser-") + tag));
            SendMessageW(d, WM_COMMAND, IDOK, 0);
        });
        EXPECT_TRUE(opened);
        EXPECT_EQ(grid(), (PointRangeList{{0, 1}}));

        // View results: the viewer opens, and its report stays in the temporary folder.
        ModelState& d = document();
        d.fit_values = d.values;
        d.covariance = DMatrix(d.values.size(), d.values.size(), 0.0);
        const std::vector<std::filesystem::path> reports_before = temporary_reports();
        shown.clear();
        std::wstring caption;
        command(ID_FILE_VIEW_RESULTS, [&, tag = tag](HWND d) {
            wchar_t text[64] = {};
            GetWindowTextW(d, text, 64);
            caption = text;
            EXPECT_EQ(class_of(GetDlgItem(d, IDC_REPORT_PAGE)), L"VexmoorBrowser");
            check_resizing(d, IDC_REPORT_PAGE, IDOK, IDC_REPORT_GRIP);
            EXPECT_TRUE(modal_test::save_screenshot(d, std::wstring(L"report-viewer-") + tag));
            SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(caption, langid == 0x409 ? L"Report" : L"Отчет");
        EXPECT_TRUE(shown.empty());
        const std::vector<std::filesystem::path> reports_after = temporary_reports();
        ASSERT_EQ(reports_after.size(), reports_before.size() + 1);
        for (const auto& path : reports_after)
            if (std::find(reports_before.begin(), reports_before.end(), path) == reports_before.end())
                std::filesystem::remove(path);
        frame.reset();
    }
}

} // namespace
