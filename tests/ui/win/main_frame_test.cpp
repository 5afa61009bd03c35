// The main window in the test's own process, driven by messages: every menu item is
// routed, the close prompt's paths, the language switch, spectrum files and the recent
// lists in the registry, the tab pages and view toggles; and screenshots of the window
// in English and Russian with a simulated α-iron spectrum loaded.
#include "tests/ui/win/destroy_frame.h"
#include "tests/ui/win/frame_suite.h"
#include "ui/frame/main_frame.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <cmath>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/document/model_state.h"
#include "core/model/spectrum_model.h"
#include "core/text/kwfile.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "core/text/ui_seam.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "subspec/baseline.h"
#include "subspec/distribution.h"
#include "subspec/subspec_impl.h"
#include "plot/model_data_view.h"
#include "plot/plot_palette.h"
#include "tests/support/alpha_iron.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/scripted_user_interface.h"
#include "tests/ui/gui/screenshot.h"
#include "tests/ui/win/modal_dialog_driver.h"
#include "tests/wingui/win/recorded_dialogs.h"
#include "ui/logic/language_list.h"
#include "ui/registry_list_store.h"
#include "ui/resource_ids.h"
#include "ui/win32_util.h"
#include "ui/win_user_interface.h"
#include "wingui/dialog_hooks.h"
#include "wingui/resources.h"
#include "ui/clipboard.h"
#include "ui/logic/view_refresh.h"

namespace fs = std::filesystem;

namespace {

void delete_key(const std::wstring& key) { RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str()); }

std::wstring menu_text(HMENU menu, UINT id)
{
    wchar_t text[512] = {};
    GetMenuStringW(menu, id, text, 512, MF_BYCOMMAND);
    return text;
}

void collect_item_ids(HMENU menu, std::vector<UINT>& ids)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (const HMENU sub = GetSubMenu(menu, i)) {
            collect_item_ids(sub, ids);
            continue;
        }
        const UINT id = GetMenuItemID(menu, i);
        if (id != 0 && id != static_cast<UINT>(-1)) ids.push_back(id);  // not separators
    }
}

class Document final : public IDocumentChanges {
public:
    bool changed = true;
    bool save_succeeds = false;
    int saves = 0;
    bool model_changed() const override { return changed; }
    bool save_model() override { return ++saves, save_succeeds; }
};

// Message boxes and file dialogs are recorded, not shown (RecordedDialogs).
class MainFrameTest : public ::testing::Test, protected RecordedDialogs {
protected:
    static void SetUpTestSuite()
    {
        frame_suite::set_up();
        folder = frame_suite::make_folder(L"vx-frame");
        SpectrumData spectrum = alpha_iron::spectrum();
        spectrum.store_keywords();
        kwfile_save((folder / L"alpha-iron.spc").wstring(), spectrum.keywords);
        std::ofstream(folder / L"broken.spc") << "Spectrum = 1 2 x 4\n";
        // Five channels: uncalibrated, calibrated, and a spectrum of four channels.
        std::ofstream(folder / L"channels.spc") << "FirstChannel:1\nZeroChannel:3\nChannelPrice(mm/s):1\n"
                                                   "Spectrum:100 90 80 90 100\n";
        std::ofstream(folder / L"calibration.spc") << "FirstChannel:1\nZeroChannel:2.5\nChannelPrice(mm/s):0.2\n"
                                                      "Spectrum:7 7 7 7 7\n";
        std::ofstream(folder / L"four.spc") << "FirstChannel:1\nChannelPrice(mm/s):0.2\nSpectrum:1 2 3 4\n";
    }
    static void TearDownTestSuite() { frame_suite::tear_down(folder); }

    void SetUp() override
    {
        language = read_registry_dword(settings_key, L"Language", 0);
        for (const wchar_t* key : {CMainFrame::spectra_key, CMainFrame::folders_key, CMainFrame::calibrations_key})
            delete_key(key);
    }
    void TearDown() override
    {
        destroy_frame(frame);
        write_registry_dword(settings_key, L"Language", language);
        set_resource_language(0x409);
        set_message_language(0x409);
        for (const wchar_t* key : {CMainFrame::spectra_key, CMainFrame::folders_key, CMainFrame::calibrations_key})
            delete_key(key);
    }

    void create(WORD langid = 0x409)
    {
        ASSERT_TRUE(frame_suite::create_frame(frame, langid));
        SetWindowPos(frame->hwnd(), nullptr, 10, 10, 900, 640, SWP_NOZORDER);
        ShowWindow(frame->hwnd(), SW_SHOWNOACTIVATE);
        UpdateWindow(frame->hwnd());
    }
    void command(UINT id) { SendMessageW(frame->hwnd(), WM_COMMAND, id, 0); }
    void pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) break;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    static std::wstring file(const wchar_t* name) { return (folder / name).wstring(); }

    inline static fs::path folder;
    std::unique_ptr<CMainFrame> frame;

private:
    DWORD language = 0;
};

} // namespace

TEST_F(MainFrameTest, EveryMenuItemInBothLanguagesIsRoutedToItsGroup)
{
    for (WORD langid : {WORD{0x409}, WORD{0x419}}) {
        create(langid);
        std::vector<UINT> ids;
        collect_item_ids(GetMenu(frame->hwnd()), ids);
        EXPECT_GT(ids.size(), 70u);
        for (UINT id : ids) EXPECT_TRUE(route_command(id)) << "menu item " << id << " in language " << langid;
        frame->set_document_changes(nullptr);
        DestroyWindow(frame->hwnd());
    }
    create();
    // A group handler installed takes the group's commands over.
    std::vector<UINT> handled;
    frame->set_group_handler(CommandGroup::fit_control, [&](UINT id, UINT, HWND) { handled.push_back(id); });
    shown.clear();
    command(351);
    command(363);
    EXPECT_EQ(handled, (std::vector<UINT>{351, 363}));
    EXPECT_TRUE(shown.empty());
    // Ids without a route and those the map ignores show nothing.
    command(302);
    command(30003);
    command(266);
    EXPECT_TRUE(shown.empty());
}

TEST_F(MainFrameTest, ClosingAsksAndKeepsTheWindowUnlessTheAnswerLetsItClose)
{
    struct Case {
        bool changed, save_succeeds;
        int answer;
        UINT expected_text;
        UINT expected_buttons;
        bool closes;
        int saves;
    };
    const Case cases[] = {
        {false, true, IDCANCEL, 50014, MB_OKCANCEL, false, 0},
        {false, true, IDOK, 50014, MB_OKCANCEL, true, 0},
        {true, false, IDYES, 50012, MB_YESNOCANCEL, false, 1},  // a failed save keeps window and model
        {true, true, IDYES, 50012, MB_YESNOCANCEL, true, 1},
        {true, true, IDNO, 50012, MB_YESNOCANCEL, true, 0},
        {true, true, IDCANCEL, 50012, MB_YESNOCANCEL, false, 0},
    };
    for (const Case& c : cases) {
        create();
        Document document;
        document.changed = c.changed;
        document.save_succeeds = c.save_succeeds;
        frame->set_document_changes(&document);
        shown.clear();
        answers = {c.answer};
        SendMessageW(frame->hwnd(), WM_CLOSE, 0, 0);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, MessageText(c.expected_text).str());
        EXPECT_EQ(shown[0].caption, MessageText(50000).str());
        EXPECT_EQ(shown[0].flags, c.expected_buttons | MB_ICONQUESTION);
        EXPECT_EQ(!IsWindow(frame->hwnd()), c.closes) << c.expected_text << " " << c.answer;
        EXPECT_EQ(document.saves, c.saves);
        if (IsWindow(frame->hwnd())) {
            frame->set_document_changes(nullptr);
            DestroyWindow(frame->hwnd());
        }
        frame.reset();
    }
}

TEST_F(MainFrameTest, TheSessionEndIsNeverRefusedAndTheFollowingCloseAsksNothing)
{
    create();
    Document document;
    frame->set_document_changes(&document);
    answers = {IDYES};
    EXPECT_EQ(SendMessageW(frame->hwnd(), WM_QUERYENDSESSION, 0, 0), TRUE);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    SendMessageW(frame->hwnd(), WM_ENDSESSION, TRUE, 0);
    SendMessageW(frame->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_FALSE(IsWindow(frame->hwnd()));
}

UINT WINAPI dpi_144(HWND)
{
    return 144;
}

LONG font_height(HWND window)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

int padlock_size(HWND grid)
{
    int cx = 0, cy = 0;
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(grid, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    return images && ImageList_GetIconSize(images, &cx, &cy) ? cx : 0;
}

TEST_F(MainFrameTest, OnAMonitorOfAnotherDpiFontsAndPadlocksFollowAndTheWindowTakesItsPlace)
{
    create();
    ASSERT_EQ(padlock_size(frame->parameter_grid().hwnd()), 16);
    const DpiFunctions previous = dpi_functions();
    DpiFunctions high = previous;
    high.get_dpi_for_window = dpi_144;
    set_dpi_functions(high);
    RECT proposed{30, 40, 730, 540};  // within the test's 800 × 600 screen
    SendMessageW(frame->hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&proposed));
    set_dpi_functions(previous);
    // 10 pt at 144 dpi: 20 pixels.
    EXPECT_EQ(font_height(frame->isotope_box()), -20);
    for (CGrid* grid : {static_cast<CGrid*>(&frame->parameter_grid()), static_cast<CGrid*>(&frame->fit_result_grid()),
                        static_cast<CGrid*>(&frame->correlation_grid())})
        EXPECT_EQ(font_height(grid->hwnd()), -20);
    EXPECT_EQ(padlock_size(frame->parameter_grid().hwnd()), 32);
    EXPECT_EQ(padlock_size(frame->fit_result_grid().hwnd()), 32);
    EXPECT_EQ(padlock_size(frame->correlation_grid().hwnd()), 0);  // it shows no padlocks
    RECT placed{};
    GetWindowRect(frame->hwnd(), &placed);
    EXPECT_EQ(placed.left, proposed.left);
    EXPECT_EQ(placed.top, proposed.top);
    EXPECT_EQ(placed.right, proposed.right);
    EXPECT_EQ(placed.bottom, proposed.bottom);
}

TEST_F(MainFrameTest, TheLanguageSwitchWritesTheRegistryForTheNextStart)
{
    create();
    write_registry_dword(settings_key, L"Language", 0);
    command(ID_LANGUAGE_FIRST + 1);
    EXPECT_EQ(read_registry_dword(settings_key, L"Language", 7), 0x419u);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, MessageText(50061).str());
    EXPECT_EQ(shown[0].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    command(ID_LANGUAGE_WINDOWS);
    EXPECT_EQ(read_registry_dword(settings_key, L"Language", 7), 0u);
    // An id beyond the list's entries does nothing.
    shown.clear();
    command(ID_LANGUAGE_FIRST + 2);
    EXPECT_EQ(read_registry_dword(settings_key, L"Language", 7), 0u);
    EXPECT_TRUE(shown.empty());
}

TEST_F(MainFrameTest, SpectrumFilesOpenSaveAndEnterTheRecentListInTheRegistry)
{
    create();
    frame->document().add_xrange({-1.0, 1.0});
    ASSERT_TRUE(frame->document().spectrum_history.can_undo());
    const std::wstring iron = file(L"alpha-iron.spc");
    // Over an edited spectrum the question comes first: Cancel keeps it, No lets it go.
    chosen_files = {iron};
    answers = {IDCANCEL};
    command(ID_FILE_OPEN_SPECTRUM);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, MessageText(50013).str());
    EXPECT_EQ(shown[0].flags, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_TRUE(frame->spectrum().x_data.empty());
    EXPECT_TRUE(frame->document().spectrum_history.can_undo());
    EXPECT_TRUE(frame->spectrum_file_name().empty());
    shown.clear();
    chosen_files = {iron};
    answers = {IDNO};
    command(ID_FILE_OPEN_SPECTRUM);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_FALSE(requests[1].save);
    EXPECT_EQ(requests[1].filter.rfind(L"Spectrum data files (*.spc)|*.spc|All files (*.*)|*.*", 0), 0u);
    EXPECT_EQ(texts(), std::vector<std::wstring>{MessageText(50013).str()});
    shown.clear();
    EXPECT_EQ(frame->spectrum().x_data.size(), 512u);
    EXPECT_EQ(frame->spectrum_file_name(), iron);
    EXPECT_EQ(frame->plot_view().data, &frame->spectrum());
    EXPECT_FALSE(frame->document().spectrum_history.can_undo());  // nothing to undo onto another spectrum
    EXPECT_EQ(RegistryListStore(CMainFrame::spectra_key).read_string(L"Document1"), iron);
    EXPECT_EQ(RegistryListStore(CMainFrame::spectra_key).read_dword(L"DocumentCount"), 9u);
    EXPECT_EQ(menu_text(GetMenu(frame->hwnd()), 621), L"&1 " + iron);

    // A file that does not read: a message, and the loaded spectrum stays.
    chosen_files = {file(L"broken.spc")};
    command(ID_FILE_OPEN_SPECTRUM);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, L"Open failed");
    EXPECT_EQ(frame->spectrum().x_data.size(), 512u);
    EXPECT_EQ(frame->spectrum_file_name(), iron);

    // Save spectrum asks for a name and writes a keyword file that reads back the same.
    const std::wstring copy = file(L"copy.spc");
    chosen_files = {copy};
    command(ID_FILE_SAVE_SPECTRUM);
    ASSERT_TRUE(requests.back().save);
    SpectrumData reread;
    reread.load_file(copy);
    EXPECT_EQ(reread.y_data, frame->spectrum().y_data);
    EXPECT_EQ(RegistryListStore(CMainFrame::spectra_key).read_string(L"Document1"), copy);
    EXPECT_EQ(RegistryListStore(CMainFrame::spectra_key).read_string(L"Document2"), iron);
    // A cancelled save dialog writes nothing.
    fs::remove(copy);
    command(ID_FILE_SAVE_SPECTRUM);
    EXPECT_FALSE(fs::exists(copy));

    // The second recent entry opens; one that no longer opens leaves the list.
    command(622);
    EXPECT_EQ(frame->spectrum_file_name(), iron);
    EXPECT_EQ(RegistryListStore(CMainFrame::spectra_key).read_string(L"Document1"), iron);
    shown.clear();
    command(622);  // copy.spc, deleted above
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(frame->recent_spectra().size(), 1u);
    EXPECT_FALSE(RegistryListStore(CMainFrame::spectra_key).read_string(L"Document2"));
}

TEST_F(MainFrameTest, AddSpectrumSumsTheCountsAsOneSpectrumStep)
{
    create();
    chosen_files = {file(L"alpha-iron.spc")};
    command(ID_FILE_OPEN_SPECTRUM);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_NE(requests[0].extension, nullptr);  // the open dialog with its preview
    const std::vector<double> counts = frame->spectrum().y_data;

    chosen_files = {file(L"alpha-iron.spc")};
    command(212);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_NE(requests[1].extension, nullptr);
    EXPECT_TRUE(shown.empty());
    ASSERT_EQ(frame->spectrum().y_data.size(), counts.size());
    for (std::size_t i = 0; i < counts.size(); i += 100) EXPECT_EQ(frame->spectrum().y_data[i], 2 * counts[i]);
    EXPECT_EQ(frame->spectrum_file_name(), file(L"alpha-iron.spc"));  // still the opened file's spectrum
    command(209);  // spectrum undo
    EXPECT_EQ(frame->spectrum().y_data, counts);

    // Another number of channels: said in the command's caption, nothing changes.
    chosen_files = {file(L"four.spc")};
    command(212);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, MessageText(50041).str());
    EXPECT_EQ(shown[0].text, MessageText(50038).str());
    EXPECT_EQ(frame->spectrum().y_data, counts);
    // Cancelled: nothing at all.
    shown.clear();
    command(212);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(frame->spectrum().y_data, counts);
}

TEST_F(MainFrameTest, LoadCalibrationDataTakesTheFilesAxisAndRemembersTheFile)
{
    create();
    chosen_files = {file(L"channels.spc")};
    command(ID_FILE_OPEN_SPECTRUM);
    ASSERT_DOUBLE_EQ(frame->spectrum().x_data.front(), -2.0);

    const std::wstring calibration = file(L"calibration.spc");
    chosen_files = {calibration};
    command(208);
    ASSERT_TRUE(shown.empty()) << shown[0].text;
    EXPECT_NE(requests.back().extension, nullptr);
    EXPECT_NEAR(frame->spectrum().x_data.front(), -0.3, 1e-12);  // (1 - 2.5) × 0.2
    EXPECT_EQ(frame->spectrum().y_data, (std::vector<double>{100, 90, 80, 90, 100}));
    EXPECT_EQ(RegistryListStore(CMainFrame::calibrations_key).read_string(L"Document1"), calibration);
    EXPECT_EQ(menu_text(GetMenu(frame->hwnd()), 641), L"&1 " + calibration);
    command(209);
    EXPECT_DOUBLE_EQ(frame->spectrum().x_data.front(), -2.0);

    // A file without a calibration, or for other channels: said, and not remembered.
    for (const wchar_t* name : {L"channels.spc", L"four.spc"}) {
        shown.clear();
        chosen_files = {file(name)};
        command(208);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].caption, MessageText(50040).str());
        EXPECT_EQ(shown[0].text, MessageText(std::wstring(name) == L"four.spc" ? 50038 : 50039).str());
        EXPECT_DOUBLE_EQ(frame->spectrum().x_data.front(), -2.0);
    }
    EXPECT_EQ(frame->recent_calibrations().size(), 1u);

    // The recent entry loads again; once the file is gone it leaves the list.
    shown.clear();
    command(641);
    EXPECT_TRUE(shown.empty());
    EXPECT_NEAR(frame->spectrum().x_data.front(), -0.3, 1e-12);
    const fs::path kept = folder / L"calibration.kept";
    fs::rename(calibration, kept);
    command(641);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(frame->recent_calibrations().size(), 0u);
    EXPECT_FALSE(RegistryListStore(CMainFrame::calibrations_key).read_string(L"Document1"));
    fs::rename(kept, calibration);
}

TEST_F(MainFrameTest, TheGraphTableAndEverythingAtOnceAreSavedBesideEachOther)
{
    create();
    chosen_files = {file(L"alpha-iron.spc")};
    command(ID_FILE_OPEN_SPECTRUM);
    alpha_iron::add_model(frame->document());
    frame->document_changed(DocumentChange::model);

    const std::wstring table = file(L"graph.txt");
    chosen_files = {table};
    command(357);
    ASSERT_TRUE(shown.empty()) << shown[0].text;
    EXPECT_EQ(requests.back().default_extension, L"txt");
    ASSERT_TRUE(fs::exists(table));
    EXPECT_NE(read_text_file(table).find(L"v (mm/s)\tCounts\t\u03C3\tModel\tDifference\t1. "), std::wstring::npos);

    // Without a fit's covariance there are no results: said before any dialog.
    frame->document().covariance = DMatrix(0, 0);
    const std::size_t dialogs = requests.size();
    command(360);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, MessageText(50222).str());
    EXPECT_EQ(requests.size(), dialogs);

    shown.clear();
    const std::size_t n = frame->document().model.param_count();
    frame->document().covariance = DMatrix(n, n, 0.0);
    frame->document().fit_values = frame->document().values;
    const std::wstring model = file(L"all.mdl");
    chosen_files = {model};
    command(360);
    ASSERT_TRUE(shown.empty()) << shown[0].text;
    for (const wchar_t* name : {L"all.mdl", L"all.html", L"all.csv", L"all.txt"})
        EXPECT_TRUE(fs::exists(folder / name)) << wide_to_utf8(name);
    EXPECT_EQ(frame->model_file_name().name(), model);
}

TEST_F(MainFrameTest, ModelPropertiesEditTheModelsKeysAsOneModelStep)
{
    create();
    alpha_iron::add_model(frame->document());
    frame->document_changed(DocumentChange::model);
    int result = 1;
    test_support::ScriptedUserInterface editor([&](KeywordList& list) {
        kwlist_set(list, L"Title", L"edited");
        return result;
    });
    const auto title = [&] {
        std::wstring text;
        kwlist_find(frame->document().model.keywords, L"Title", text);
        return text;
    };
    const std::size_t records = frame->document().model_history.records().size();
    result = 2;  // cancelled
    command(256);
    EXPECT_EQ(title(), L"");
    result = 1;
    command(256);
    EXPECT_EQ(title(), L"edited");
    EXPECT_EQ(frame->document().model_history.records().size(), records + 1);
    EXPECT_EQ(frame->document().model.component_count(), 2u);
    command(257);  // model undo
    EXPECT_EQ(title(), L"");
}

TEST_F(MainFrameTest, ScreenshotsOfTheModelPropertiesInEnglishAndRussian)
{
    WinUserInterface windows_ui;
    IUserInterface* previous = set_user_interface(&windows_ui);
    for (const auto& [langid, tag] : {std::pair{WORD{0x409}, L"english"}, std::pair{WORD{0x419}, L"russian"}}) {
        create(langid);
        alpha_iron::add_model(frame->document());
        frame->document().add_xrange({-1.5, 1.5});
        frame->document().model.keywords = {{L"Title", {L"\u03B1-Fe, 295 K", 0}}, {L"Comment", {L"calibration foil", 0}}};
        frame->document_changed(DocumentChange::model);
        bool shot = false;
        modal_test::when_dialog_shows([&](HWND dialog) {
            shot = modal_test::save_screenshot(dialog, std::wstring(L"model-properties-") + tag);
            SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        command(256);
        EXPECT_TRUE(shot);
        EXPECT_EQ(frame->document().model.keywords.front().second.value, L"\u03B1-Fe, 295 K");  // cancelled
        destroy_frame(frame);
    }
    set_user_interface(previous);
}

TEST_F(MainFrameTest, ARecentFolderChosenFromPosition3IsFirstAfterwards)
{
    RecentDocumentList stored(661);
    for (const wchar_t* path : {L"C:\\three", L"C:\\two", L"C:\\one"}) stored.add(path);
    RegistryListStore store(CMainFrame::folders_key);
    stored.write(store);
    create();
    EXPECT_EQ(menu_text(GetMenu(frame->hwnd()), 663), L"&3 C:\\three");
    command(663);
    EXPECT_EQ(frame->default_folder(), L"C:\\three");
    EXPECT_EQ(store.read_string(L"Document1"), L"C:\\three");
    EXPECT_EQ(store.read_string(L"Document2"), L"C:\\one");
    EXPECT_EQ(store.read_string(L"Document3"), L"C:\\two");
    EXPECT_EQ(menu_text(GetMenu(frame->hwnd()), 661), L"&1 C:\\three");
    // The file dialogs start there.
    command(ID_FILE_OPEN_SPECTRUM);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].initial_folder, L"C:\\three");
}

TEST_F(MainFrameTest, FurnitureTabPagesViewTogglesAndMouseModes)
{
    create();
    // The isotope box holds the isotope table's names with the first chosen.
    ASSERT_TRUE(frame->isotope_box());
    EXPECT_EQ(SendMessageW(frame->isotope_box(), CB_GETCOUNT, 0, 0), static_cast<LRESULT>(isotope_table().count()));
    EXPECT_EQ(SendMessageW(frame->isotope_box(), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(GetDlgCtrlID(frame->isotope_box()), 30006);
    // Status bar with two panes, splitter bar 150 px from the top, plot view 10011 below.
    EXPECT_EQ(SendMessageW(frame->status_bar(), SB_GETPARTS, 0, 0), 2);
    EXPECT_EQ(frame->splitter().bar_position(), 150);
    ASSERT_TRUE(frame->plot_view().window());
    EXPECT_EQ(GetDlgCtrlID(frame->plot_view().window()), 10011);
    RECT tabs{}, plot{};
    GetWindowRect(frame->tab_container().hwnd(), &tabs);
    GetWindowRect(frame->plot_view().window(), &plot);
    EXPECT_EQ(tabs.bottom - tabs.top, 150);
    EXPECT_GT(plot.top, tabs.bottom);

    // Ctrl+Tab walks the three pages and comes back to the first.
    CTabContainer& container = frame->tab_container();
    EXPECT_EQ(container.current_page(), 0);
    EXPECT_TRUE(IsWindowVisible(container.page(0)));
    for (int expected : {1, 2, 0}) {
        command(30002);
        EXPECT_EQ(container.current_page(), expected);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(IsWindowVisible(container.page(i)) != 0, i == expected) << i;
    }
    container.ActivatePage(container.page(2));
    EXPECT_EQ(container.current_page(), 2);
    container.ActivatePage(frame->hwnd());  // no tab: nothing changes
    EXPECT_EQ(container.current_page(), 2);

    // View toggles flip their plot option bit; the mouse modes set frame and plot modes.
    const std::int32_t before = frame->plot_view().options;
    const auto grid_checked = [&] {
        const bool in_menu = (GetMenuState(GetMenu(frame->hwnd()), 306, MF_BYCOMMAND) & MF_CHECKED) != 0;
        EXPECT_EQ(in_menu, SendMessageW(frame->toolbar(), TB_ISBUTTONCHECKED, 306, 0) != 0);
        return in_menu;
    };
    EXPECT_EQ(grid_checked(), (before & 0x20) != 0);
    command(306);
    EXPECT_EQ(frame->plot_view().options, before ^ 0x20);
    EXPECT_EQ(grid_checked(), (before & 0x20) == 0);
    command(306);
    EXPECT_EQ(frame->plot_view().options, before);
    EXPECT_EQ(frame->mouse_mode(), 2);
    command(401);
    EXPECT_EQ(frame->mouse_mode(), 0);
    EXPECT_EQ(frame->plot_view().mouse_mode, ModeRange);
    command(403);
    EXPECT_EQ(frame->plot_view().mouse_mode, ModeZoom);
    command(309);
    EXPECT_TRUE(frame->round_results());
    // The window is never smaller than 320 x 200.
    SetWindowPos(frame->hwnd(), nullptr, 0, 0, 100, 50, SWP_NOZORDER | SWP_NOMOVE);
    RECT window{};
    GetWindowRect(frame->hwnd(), &window);
    EXPECT_GE(window.right - window.left, 320);
    EXPECT_GE(window.bottom - window.top, 200);
    // Toolbar tooltips come from the message table; an id without an entry gets none.
    for (const auto& [id, text] : std::vector<std::pair<UINT, std::wstring>>{
             {363, L"Pause fit"}, {991, L"Copy to clipboard"}, {351, L"Run fit"}, {5, L""}}) {
        NMTTDISPINFOW info{};
        info.hdr.code = TTN_GETDISPINFOW;
        info.hdr.idFrom = id;
        info.szText[0] = L'?';
        SendMessageW(frame->hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(std::wstring(info.lpszText), text) << id;
    }
    // Contents and Exit.
    command(ID_HELP_CONTENTS);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"Help");
    answers = {IDOK};
    command(ID_APP_EXIT);
    pump();
    EXPECT_FALSE(IsWindow(frame->hwnd()));
}

TEST_F(MainFrameTest, ScreenshotsInEnglishAndRussianWithASpectrumLoaded)
{
    const wchar_t* tags[] = {L"english", L"russian"};
    const WORD langids[] = {0x409, 0x419};
    for (int i = 0; i < 2; ++i) {
        create(langids[i]);
        chosen_files = {file(L"alpha-iron.spc")};
        command(ID_FILE_OPEN_SPECTRUM);
        ASSERT_EQ(frame->spectrum().x_data.size(), 512u);
        // The model that made the spectrum, drawn over it.
        alpha_iron::add_model(frame->document());
        frame->document_changed(DocumentChange::model);
        SetWindowPos(frame->hwnd(), nullptr, 0, 0, 790, 560, SWP_NOZORDER);
        ShowWindow(frame->hwnd(), SW_SHOW);
        SetForegroundWindow(frame->hwnd());
        const Screenshot shot = modal_test::settled_capture(frame->hwnd());
        ASSERT_TRUE(modal_test::write_screenshot(shot, std::wstring(L"main-frame-spectrum-") + tags[i]));
        // The plot below the splitter is not blank: the spectrum's markers are drawn.
        EXPECT_GT(modal_test::colours_of_part(shot, frame->hwnd(), frame->plot_view().window()), 3u);
        frame->set_document_changes(nullptr);
        DestroyWindow(frame->hwnd());
        frame.reset();
    }
}

// A distribution of sextets over the hyperfine field gets its pane at the right of the
// spectrum, where the mouse can draw it.
TEST_F(MainFrameTest, ADistributionIsDrawnInAPaneBesideTheSpectrum)
{
    create();
    chosen_files = {file(L"alpha-iron.spc")};
    command(ID_FILE_OPEN_SPECTRUM);
    ModelState& d = frame->document();
    d.add_component(0, d.data.analysis(false), make_subspec<AutoBaseLine2>(nullptr), true);
    d.add_component(1, d.data.analysis(false),
                    make_distribution(make_subspec<PseudoVoigtSextet>(frame->GetCurrentIsotope()), 24, {5}), true);
    frame->document_changed(DocumentChange::model);
    SetWindowPos(frame->hwnd(), nullptr, 0, 0, 790, 560, SWP_NOZORDER);
    ShowWindow(frame->hwnd(), SW_SHOW);
    const Screenshot shot = modal_test::settled_capture(frame->hwnd());
    ASSERT_TRUE(modal_test::write_screenshot(shot, L"main-frame-distribution"));
    const auto& panes = frame->plot_view().panes;
    ASSERT_EQ(panes.size(), 2u);
    EXPECT_EQ(panes[1].kind, DistributionPane);
    EXPECT_LT(panes[0].rect.right, panes[1].rect.left);

    // The field's start value selected in the grid (the arrow keys move the cell) becomes
    // the pane's abscissa; another parameter of the distribution gives the point number back.
    const auto& spread = dynamic_cast<const IDistribution&>(*d.model.components[1]->subspec);
    EXPECT_EQ(spread.axis_param(), -1);
    const HWND grid = frame->parameter_grid().hwnd();
    frame->parameter_grid().SelectCell(1, 3);
    const unsigned field = spread.start_value_params().at(0);
    for (unsigned k = 0; k < field; ++k) SendMessageW(grid, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(frame->parameter_grid().CurrentColumn(), static_cast<int>(3 + field));
    EXPECT_EQ(spread.axis_param(), 0);
    ASSERT_TRUE(modal_test::write_screenshot(modal_test::settled_capture(frame->hwnd()), L"main-frame-distribution-field"));
    SendMessageW(grid, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(spread.axis_param(), -1);
}

TEST_F(MainFrameTest, DelInTheParameterGridIsCommand255AndOtherNotificationsGoToTheirHandler)
{
    create();
    std::vector<UINT> deleted;
    frame->set_group_handler(CommandGroup::document_command, [&](UINT id, UINT, HWND) { deleted.push_back(id); });
    frame->set_group_handler(CommandGroup::component_command, [&](UINT id, UINT, HWND) { deleted.push_back(id); });
    const auto key = [&](UINT from, UINT vkey) {
        NMKEY nm{};
        nm.hdr.idFrom = from;
        nm.hdr.code = static_cast<UINT>(NM_KEYDOWN);
        nm.nVKey = vkey;
        return SendMessageW(frame->hwnd(), WM_NOTIFY, from, reinterpret_cast<LPARAM>(&nm));
    };
    EXPECT_EQ(key(9001, VK_DELETE), 1);
    EXPECT_EQ(key(9001, VK_INSERT), 0);
    EXPECT_EQ(key(9002, VK_DELETE), 0);  // Del in the fit-result grid does nothing
    pump();
    EXPECT_EQ(deleted, std::vector<UINT>{255});

    std::vector<UINT> codes;
    frame->set_notification_handler([&](NMHDR& header) {
        codes.push_back(header.code);
        return LRESULT{7};
    });
    NMHDR value_changed{nullptr, 9001, 768};
    EXPECT_EQ(SendMessageW(frame->hwnd(), WM_NOTIFY, 9001, reinterpret_cast<LPARAM>(&value_changed)), 7);
    EXPECT_EQ(codes, std::vector<UINT>{768});

    // The isotope box's change of choice reaches the document commands with its id.
    SendMessageW(frame->hwnd(), WM_COMMAND, MAKEWPARAM(30006, CBN_SELCHANGE), reinterpret_cast<LPARAM>(frame->isotope_box()));
    SendMessageW(frame->hwnd(), WM_COMMAND, MAKEWPARAM(30006, CBN_SETFOCUS), reinterpret_cast<LPARAM>(frame->isotope_box()));
    EXPECT_EQ(deleted, (std::vector<UINT>{255, 30006}));
}

TEST_F(MainFrameTest, TheCurrentIsotopeIsTheCheckedItemOfTheIsotopeMenu)
{
    create();
    EXPECT_EQ(frame->GetCurrentIsotope(), &isotope_table().at(0));  // checked when the menu is built
    const HMENU menu = GetMenu(frame->hwnd());
    ASSERT_GT(isotope_table().count(), 1u);
    CheckMenuRadioItem(menu, 20001, 21000, 20002, MF_BYCOMMAND);
    EXPECT_EQ(frame->GetCurrentIsotope(), &isotope_table().at(1));
    CheckMenuItem(menu, 20002, MF_BYCOMMAND | MF_UNCHECKED);
    EXPECT_EQ(frame->GetCurrentIsotope(), nullptr);
}

TEST_F(MainFrameTest, AChangedDocumentClosesOnYesOnlyOnceCommand252HasSavedIt)
{
    create();
    ModelState& document = frame->document();
    document.add_expression(0, L"a", L"1");
    ASSERT_TRUE(document.model_history.is_modified());
    // A new model has no name: 252 asks for one, and a cancelled dialog keeps the window.
    answers = {IDYES};
    SendMessageW(frame->hwnd(), WM_CLOSE, 0, 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, MessageText(50012).str());
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_TRUE(IsWindow(frame->hwnd()));
    // A save that succeeds marks the saved state, and the window closes.
    std::vector<UINT> saves;
    frame->set_group_handler(CommandGroup::model_file, [&](UINT id, UINT, HWND) {
        saves.push_back(id);
        frame->document().model_history.mark_saved();
    });
    shown.clear();
    answers = {IDYES};
    SendMessageW(frame->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(saves, std::vector<UINT>{252});
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_FALSE(IsWindow(frame->hwnd()));
}

TEST_F(MainFrameTest, TheBackgroundColourGoesToPaletteAndModelAndCancelChangesNothing)
{
    create();
    PlotPalette& palette = *plot_palette(0);
    const COLORREF before = palette.colors[4];
    std::optional<COLORREF> answer;
    COLORREF offered = 1;
    const ColorDialogFunction previous = set_color_dialog_function([&](HWND, COLORREF initial, COLORREF* custom) {
        offered = initial;
        EXPECT_NE(custom, nullptr);
        return answer;
    });
    command(340);
    EXPECT_EQ(offered, before);
    EXPECT_EQ(palette.colors[4], before);
    EXPECT_FALSE(kwlist_has(frame->document().model.keywords, L"BackgroundColor"));
    answer = 0x123456;
    command(340);
    EXPECT_EQ(palette.colors[4], 0x123456u);
    const KeywordList& keys = frame->document().model.keywords;
    const auto entry = std::find_if(keys.begin(), keys.end(), [](const auto& e) { return e.first == L"BackgroundColor"; });
    ASSERT_NE(entry, keys.end());
    EXPECT_EQ(entry->second.value, std::to_wstring(0x123456));
    EXPECT_TRUE(entry->second.flags & KWHidden);
    EXPECT_FALSE(frame->document().model_history.can_undo());
    palette.colors[4] = before;
    set_color_dialog_function(previous);
}

TEST_F(MainFrameTest, ChildrenReachTheFrameThroughTabContainerAndSplitter)
{
    create();
    std::vector<std::pair<UINT, UINT>> received;
    frame->set_notification_handler([&](NMHDR& header) {
        // The toolbar's drawing notices come this way too.
        if (header.idFrom == CMainFrame::plot_view_id) received.emplace_back(static_cast<UINT>(header.idFrom), header.code);
        return LRESULT{0};
    });
    std::vector<UINT> commands;
    frame->set_group_handler(CommandGroup::component_command, [&](UINT id, UINT, HWND) { commands.push_back(id); });
    // A page of the tab container presses Del; the plot below the splitter notifies a
    // Ctrl-click (205), which the frame itself leaves to the handler.
    NMKEY del{};
    del.hdr = {frame->tab_container().page(0), 9001, static_cast<UINT>(NM_KEYDOWN)};
    del.nVKey = VK_DELETE;
    EXPECT_EQ(SendMessageW(frame->tab_container().hwnd(), WM_NOTIFY, 9001, reinterpret_cast<LPARAM>(&del)), 1);
    PlotNotification click{};
    click.hdr = {frame->plot_view().window(), CMainFrame::plot_view_id, static_cast<UINT>(NotifyAddPoint)};
    SendMessageW(frame->splitter().hwnd(), WM_NOTIFY, CMainFrame::plot_view_id, reinterpret_cast<LPARAM>(&click));
    pump();
    EXPECT_EQ(commands, std::vector<UINT>{255});
    EXPECT_EQ(received, (std::vector<std::pair<UINT, UINT>>{{10011, 205}}));
}

TEST_F(MainFrameTest, TheKeyboardFilterTranslatesTheFramesAndTheTabContainersKeys)
{
    create();
    BYTE saved[256], keys[256];
    GetKeyboardState(saved);
    std::copy(std::begin(saved), std::end(saved), keys);
    const auto press = [&](UINT vkey, bool control, HWND target) {
        keys[VK_CONTROL] = control ? 0x80 : 0;
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        MSG message{target, WM_KEYDOWN, vkey, 1, GetTickCount(), {}};
        return frame->PreTranslateMessage(message);
    };
    // F1 is Contents; Ctrl+4 the grid toggle; Ctrl+Tab the next page.
    EXPECT_TRUE(press(VK_F1, false, frame->hwnd()));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"Help");
    const std::int32_t before = frame->plot_view().options;
    EXPECT_TRUE(press('4', true, frame->hwnd()));
    EXPECT_EQ(frame->plot_view().options, before ^ 0x20);
    EXPECT_EQ(frame->tab_container().current_page(), 0);
    EXPECT_TRUE(press(VK_TAB, true, frame->tab_container().page(0)));
    EXPECT_EQ(frame->tab_container().current_page(), 1);
    SetKeyboardState(saved);
}

namespace {

int item_count(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

// What an open popup menu showed; filled by a timer while the menu's loop runs, which
// then closes the menu.
std::vector<std::wstring> popup_texts;

void CALLBACK read_and_close_menu(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (const HWND popup = FindWindowW(L"#32768", nullptr)) {
        const auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
        for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
            wchar_t text[128] = {};
            GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
            popup_texts.push_back(text);
        }
    }
    EndMenu();
}

} // namespace

TEST_F(MainFrameTest, TheGridsEditCutCopyAndPasteTheDocumentOneUndoStepEach)
{
    create();
    ModelState& document = frame->document();
    alpha_iron::add_model(document);
    document.add_expression(0, L"twice", L"1+1");
    document.model_history.clear();
    frame->document_changed(DocumentChange::model);
    const auto steps = [&] { return document.model_history.records().size(); };

    // The three pages are the grids, with their ids; the model grids show two components
    // and the expression.
    CModelGrid& grid = frame->parameter_grid();
    CModelGrid& results = frame->fit_result_grid();
    const HWND pages[] = {grid.hwnd(), results.hwnd(), frame->correlation_grid().hwnd()};
    const int page_ids[] = {9001, 9002, 9004};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(pages[i]);
        EXPECT_EQ(frame->tab_container().page(i), pages[i]);
        EXPECT_EQ(GetDlgCtrlID(pages[i]), page_ids[i]);
    }
    EXPECT_EQ(item_count(grid.hwnd()), 3);
    EXPECT_EQ(item_count(results.hwnd()), 3);

    // Typing into a cell and Enter: one undo step.
    const unsigned k = document.model.components[1]->first;
    const double before = document.values(k);
    SetFocus(grid.hwnd());
    grid.SelectCell(1, 3);
    SendMessageW(grid.hwnd(), WM_CHAR, L'2', 0);
    ASSERT_TRUE(IsWindowVisible(grid.editor()));
    SendMessageW(grid.editor(), WM_CHAR, VK_RETURN, 0);
    pump();
    EXPECT_EQ(document.values(k), 2.0);
    EXPECT_EQ(steps(), 1u);
    document.model_history.undo(document);
    EXPECT_EQ(document.values(k), before);
    document.model_history.clear();

    // Copy of the sextet's row puts its line under both formats, and Paste is enabled.
    SetFocus(grid.hwnd());
    grid.SelectCell(1, -1);
    command(ID_EDIT_COPY);
    const auto line = read_clipboard_text(nullptr, component_clipboard_format);
    ASSERT_TRUE(line);
    EXPECT_EQ(read_clipboard_text(nullptr, nullptr), line);
    CommandSnapshot snapshot;
    frame->fill_grid_snapshot(snapshot);
    EXPECT_TRUE(snapshot.clipboard_has_model_data);
    EXPECT_EQ(snapshot.row, RowKind::Component);
    EXPECT_EQ(snapshot.column, -1);
    EXPECT_EQ(snapshot.page, GridPage::Parameters);

    // Cut takes it out in one step and both model grids follow; Paste after the
    // baseline brings it back with every value, in one more step.
    const std::vector<double> values(document.values.begin(), document.values.end());
    command(ID_EDIT_CUT);
    EXPECT_EQ(document.model.component_count(), 1u);
    EXPECT_EQ(steps(), 1u);
    EXPECT_EQ(item_count(grid.hwnd()), 2);
    EXPECT_EQ(item_count(results.hwnd()), 2);
    grid.SelectCell(0, -1);
    command(ID_EDIT_PASTE);
    ASSERT_EQ(document.model.component_count(), 2u);
    EXPECT_EQ(steps(), 2u);
    EXPECT_EQ(grid.CurrentRow(), 1);
    EXPECT_EQ(std::vector<double>(document.values.begin(), document.values.end()), values);
    EXPECT_EQ(item_count(results.hwnd()), 3);

    // The expression row through its own format, by the keys of the grids' table.
    grid.SelectCell(2, -1);
    EXPECT_EQ(GetFocus(), grid.hwnd());
    BYTE saved[256], keys[256];
    GetKeyboardState(saved);
    const auto press = [&](UINT vkey, BYTE modifier) {
        std::copy(std::begin(saved), std::end(saved), keys);
        keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
        keys[modifier] = 0x80;
        SetKeyboardState(keys);
        MSG message{grid.hwnd(), WM_KEYDOWN, vkey, 1, GetTickCount(), {}};
        return frame->PreTranslateMessage(message);
    };
    EXPECT_TRUE(press(VK_INSERT, VK_CONTROL));  // Copy
    EXPECT_EQ(read_clipboard_text(nullptr, expression_clipboard_format), L"twice=1+1");
    EXPECT_FALSE(read_clipboard_text(nullptr, component_clipboard_format));
    EXPECT_TRUE(press(VK_DELETE, VK_SHIFT));  // Cut
    EXPECT_TRUE(document.model.expressions.empty());
    EXPECT_TRUE(press(VK_INSERT, VK_SHIFT));  // Paste
    SetKeyboardState(saved);
    ASSERT_EQ(document.model.expressions.size(), 1u);
    EXPECT_EQ(document.model.expressions[0].text, L"1+1");
    EXPECT_EQ(steps(), 4u);

    // The fit-result grid copies but neither cuts nor pastes.
    frame->tab_container().ActivatePage(results.hwnd());
    ASSERT_EQ(GetFocus(), results.hwnd());
    results.SelectCell(1, -1);
    command(ID_EDIT_CUT);
    command(ID_EDIT_PASTE);
    EXPECT_EQ(steps(), 4u);
    command(ID_EDIT_COPY);
    EXPECT_TRUE(read_clipboard_text(nullptr, component_clipboard_format));
    // A right click on a row opens the grid's menu in the frame's language; without a
    // row, none opens.
    frame->tab_container().ActivatePage(grid.hwnd());
    NMITEMACTIVATE click{};
    click.hdr = {grid.hwnd(), 9001, GRIDN_CONTEXT_MENU};
    click.iItem = 1;
    click.ptAction = {100, 100};
    for (int row : {-1, 1}) {
        popup_texts.clear();
        click.iItem = row;
        SetTimer(nullptr, 0, 300, read_and_close_menu);
        SendMessageW(frame->hwnd(), WM_NOTIFY, 9001, reinterpret_cast<LPARAM>(&click));
        if (row < 0) {
            Sleep(400);
            pump();  // the timer finds no menu
            EXPECT_TRUE(popup_texts.empty());
        }
    }
    ASSERT_EQ(popup_texts.size(), 12u);
    EXPECT_EQ(popup_texts[0], L"Cut\tCtrl+X");
    EXPECT_EQ(popup_texts[5], L"Link to");
    EXPECT_EQ(popup_texts[8], L"Expressions");

    // Without a grid in focus the commands do nothing, and say nothing.
    SetFocus(frame->isotope_box());
    command(ID_EDIT_PASTE);
    EXPECT_EQ(steps(), 4u);
    EXPECT_TRUE(shown.empty());
}
