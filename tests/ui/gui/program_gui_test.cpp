// The program itself, started as its own process inside a Wine virtual desktop and
// driven by window messages: start-up in each language with screenshots of the main
// window and the About box, the exit codes, the isotope-table failure, and the grids
// with a spectrum and its model pasted from the clipboard.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "core/text/kwfile.h"
#include "catalogue/program_model_file_parts.h"
#include "tests/support/alpha_iron.h"
#include "tests/ui/gui/program_under_test.h"
#include "tests/ui/gui/screenshot.h"
#include "ui/clipboard.h"
#include "ui/logic/model_state_grid_document.h"
#include "ui/logic/recent_document_list.h"
#include "ui/frame/main_frame.h"
#include "ui/registry_list_store.h"
#include "ui/resource_ids.h"
#include "ui/win32_util.h"

namespace {

const std::wstring program = L"" VX_PROGRAM;
const std::wstring screenshot_folder = L"" VX_SCREENSHOT_DIR;
constexpr DWORD timeout_ms = 30000;

std::wstring screenshot_path(const std::wstring& name) { return screenshot_folder + L"\\" + name + L".png"; }

// Windows paint themselves and their frames asynchronously: after a round trip through
// the window's thread, the capture is repeated until three in a row agree.
Screenshot capture_settled(HWND window)
{
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &answer);
    Screenshot shot = capture_window(window);
    for (int attempt = 0, same = 0; attempt < 40 && same < 2; ++attempt) {
        Sleep(150);
        Screenshot next = capture_window(window);
        same = next.width == shot.width && next.height == shot.height && next.pixels == shot.pixels ? same + 1 : 0;
        shot = std::move(next);
    }
    return shot;
}

Screenshot save_screenshot(HWND window, const std::wstring& name)
{
    const Screenshot shot = capture_settled(window);
    EXPECT_GT(shot.width, 0) << "no screenshot of " << std::string(name.begin(), name.end());
    if (shot.width > 0) save_png(shot, screenshot_path(name));
    return shot;
}

// Rows of the window's caption: the desktop draws frame and caption, so the top rows
// hold more than one colour (the title and the caption buttons).
bool caption_drawn(const Screenshot& shot)
{
    const int rows = std::min(shot.height, 24);
    for (int y = 4; y < rows; ++y)
        for (int x = 1; x < shot.width; ++x)
            if (shot.at(x, y) != shot.at(0, y)) return true;
    return false;
}

bool wait_until_gone(HWND window)
{
    for (DWORD start = GetTickCount(); IsWindow(window); Sleep(20))
        if (GetTickCount() - start > timeout_ms) return false;
    return true;
}

HWND find_dialog(const ProgramUnderTest& process) { return process.wait_for_window(L"#32770", timeout_ms); }

// A message box's text sits in a static control with this id.
std::wstring message_box_text(HWND box)
{
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    return text;
}

// Sets the program's UI language for the test and puts the previous setting back.
class LanguageSetting {
public:
    explicit LanguageSetting(DWORD langid) : previous_(read_registry_dword(settings_key, L"Language", 0))
    {
        write_registry_dword(settings_key, L"Language", langid);
    }
    ~LanguageSetting() { write_registry_dword(settings_key, L"Language", previous_); }

private:
    DWORD previous_;
};

class ProgramGui : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        CreateDirectoryW(screenshot_folder.c_str(), nullptr);
    }
    static void TearDownTestSuite() { CoUninitialize(); }
};

struct LanguageCase {
    DWORD langid;
    const wchar_t* tag;
    const wchar_t* about_caption;
    const wchar_t* ok_text;
    const wchar_t* restart_notice;
    const wchar_t* close_question;
    wchar_t view_mnemonic;
};

} // namespace

TEST_F(ProgramGui, StartsInEachLanguageAndClosesWithExitCode1)
{
    const LanguageCase cases[] = {
        {0x409, L"english", L"About Vexmoor", L"OK", L"New language will be available after application restart",
         L"Do you want to close the application?", L'v'},
        {0x419, L"russian", L"О программе Vexmoor", L"ОК", L"Новый язык будет включён после перезапуска программы",
         L"Закрыть программу?", L'в'},
    };
    Screenshot frames[2];
    for (int i = 0; i < 2; ++i) {
        const LanguageCase& c = cases[i];
        SCOPED_TRACE(std::string(c.tag, c.tag + wcslen(c.tag)));
        const LanguageSetting language(c.langid);
        // A file name on the command line is ignored: nothing is opened or reported.
        ProgramUnderTest process(program, L"C:\\missing\\model.mdl");
        const std::optional<double> idle_ms = process.wait_until_idle(timeout_ms);
        ASSERT_TRUE(idle_ms);
        std::printf("start-up to the first idle (%ls): %.0f ms\n", c.tag, *idle_ms);
        const HWND frame = process.wait_for_window(L"Vexmoor.MainFrame", timeout_ms);
        ASSERT_TRUE(frame);
        EXPECT_EQ(window_text(frame), L"Vexmoor");
        EXPECT_EQ(process.wait_for_window(L"#32770", 0), nullptr);  // no message at start
        SetWindowPos(frame, nullptr, 20, 20, 760, 520, SWP_NOZORDER);
        SetForegroundWindow(frame);
        frames[i] = save_screenshot(frame, std::wstring(L"main-") + c.tag);
        EXPECT_TRUE(caption_drawn(frames[i]));

        // The View menu's Language submenu, opened from the keyboard: its check mark shows
        // the language chosen in the registry.
        PostMessageW(frame, WM_SYSCOMMAND, SC_KEYMENU, c.view_mnemonic);
        ASSERT_TRUE(process.wait_for_window(L"#32768", timeout_ms));
        PostMessageW(frame, WM_KEYDOWN, VK_UP, 0);
        PostMessageW(frame, WM_KEYDOWN, VK_RIGHT, 0);
        save_screenshot(frame, std::wstring(L"language-menu-") + c.tag);
        PostMessageW(frame, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(frame, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(frame, WM_KEYDOWN, VK_ESCAPE, 0);

        PostMessageW(frame, WM_COMMAND, ID_APP_ABOUT, 0);
        const HWND about = find_dialog(process);
        ASSERT_TRUE(about);
        EXPECT_EQ(window_text(about), c.about_caption);
        EXPECT_EQ(window_text(GetDlgItem(about, IDOK)), c.ok_text);
        save_screenshot(about, std::wstring(L"about-") + c.tag);
        PostMessageW(about, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(wait_until_gone(about));

        // Choosing the other language from the Language menu stores it for the next start
        // and says so in the current language.
        const LanguageCase& other = cases[1 - i];
        PostMessageW(frame, WM_COMMAND, ID_LANGUAGE_FIRST + (other.langid == 0x409 ? 0 : 1), 0);
        const HWND notice = find_dialog(process);
        ASSERT_TRUE(notice);
        EXPECT_EQ(message_box_text(notice), c.restart_notice);
        EXPECT_EQ(read_registry_dword(settings_key, L"Language", 0), other.langid);
        PostMessageW(notice, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(wait_until_gone(notice));

        // Closing an unchanged model asks whether to close; Cancel keeps the window.
        PostMessageW(frame, WM_CLOSE, 0, 0);
        HWND question = find_dialog(process);
        ASSERT_TRUE(question);
        EXPECT_EQ(message_box_text(question), c.close_question);
        PostMessageW(question, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(wait_until_gone(question));
        EXPECT_TRUE(IsWindow(frame));
        PostMessageW(frame, WM_CLOSE, 0, 0);
        question = find_dialog(process);
        ASSERT_TRUE(question);
        PostMessageW(question, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(process.wait_for_exit(timeout_ms), 1u);
    }
    // The same window in both languages: the menu bars differ, the empty client areas do not.
    ASSERT_EQ(frames[0].width, frames[1].width);
    ASSERT_EQ(frames[0].height, frames[1].height);
    const int menu_row = 34, client_row = frames[0].height / 2;
    bool menu_differs = false, client_differs = false;
    for (int x = 0; x < frames[0].width; ++x) {
        for (int y = menu_row; y < menu_row + 8; ++y) menu_differs |= frames[0].at(x, y) != frames[1].at(x, y);
        client_differs |= frames[0].at(x, client_row) != frames[1].at(x, client_row);
    }
    EXPECT_TRUE(menu_differs);
    EXPECT_FALSE(client_differs);
}

TEST_F(ProgramGui, AMissingIsotopeTableIsReportedAndEndsWithExitCode1BeforeAnyWindow)
{
    // The program alone in a folder: no isotope.txt beside it or one level up.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path folder =
        std::filesystem::path(temp) / (L"vx-gui-" + std::to_wstring(GetCurrentProcessId())) / L"bin";
    std::filesystem::create_directories(folder);
    const std::wstring copy = (folder / L"Vexmoor.exe").wstring();
    ASSERT_TRUE(CopyFileW(program.c_str(), copy.c_str(), FALSE));
    {
        // The texts below are English; the prefix may keep another language from a run
        // that was stopped half-way.
        const LanguageSetting language(0x409);
        ProgramUnderTest process(copy);
        const HWND box = find_dialog(process);
        ASSERT_TRUE(box);
        EXPECT_EQ(window_text(box), L"Vexmoor");
        EXPECT_EQ(message_box_text(box).rfind(L"Can't load isotope definitions: ", 0), 0u) << message_box_text(box);
        EXPECT_EQ(process.wait_for_window(L"Vexmoor.MainFrame", 0), nullptr);
        save_screenshot(box, L"isotope-failure");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(process.wait_for_exit(timeout_ms), 1u);
    }
    std::filesystem::remove_all(folder.parent_path());
}

namespace {

BOOL CALLBACK match_control(HWND child, LPARAM search)
{
    auto* s = reinterpret_cast<std::pair<int, HWND>*>(search);
    if (GetDlgCtrlID(child) != s->first) return TRUE;
    s->second = child;
    return FALSE;
}

// The descendant window of `parent` with control id `id`.
HWND find_control(HWND parent, int id)
{
    std::pair<int, HWND> search{id, nullptr};
    EnumChildWindows(parent, match_control, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

int item_count(HWND list)
{
    DWORD_PTR count = 0;
    SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_BLOCK, 5000, &count);
    return static_cast<int>(count);
}

} // namespace

TEST_F(ProgramGui, TheGridsShowTheModelOfTheSpectrumPastedFromTheClipboard)
{
    // The α-iron spectrum, opened as the newest recent spectrum; its model's components
    // go on the clipboard one by one, as another instance of the program copies them.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path folder =
        std::filesystem::path(temp) / (L"vx-gui-grids-" + std::to_wstring(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    const std::wstring spectrum_path = (folder / L"alpha-iron.spc").wstring();
    SpectrumData spectrum = alpha_iron::spectrum();
    spectrum.store_keywords();
    kwfile_save(spectrum_path, spectrum.keywords);
    ModelState source;
    alpha_iron::add_model(source);
    const ProgramModelFileParts parts(test_support::program_isotopes());
    ModelStateGridDocument lines(source, parts);

    const std::pair<DWORD, const wchar_t*> cases[] = {{0x409, L"english"}, {0x419, L"russian"}};
    for (const auto& [langid, tag] : cases) {
        SCOPED_TRACE(std::string(tag, tag + wcslen(tag)));
        const LanguageSetting language(langid);
        RecentDocumentList recent(ID_FILE_RECENT_SPECTRUM_FIRST);
        recent.add(spectrum_path);
        RegistryListStore store(CMainFrame::spectra_key);
        recent.write(store);

        ProgramUnderTest process(program);
        ASSERT_TRUE(process.wait_until_idle(timeout_ms));
        const HWND frame = process.wait_for_window(L"Vexmoor.MainFrame", timeout_ms);
        ASSERT_TRUE(frame);
        SetWindowPos(frame, nullptr, 20, 20, 900, 640, SWP_NOZORDER);
        SetForegroundWindow(frame);
        const HWND grid = find_control(frame, 9001);
        ASSERT_TRUE(grid);
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(frame, WM_COMMAND, ID_FILE_RECENT_SPECTRUM_FIRST, 0, SMTO_BLOCK, timeout_ms, &answer);
        for (unsigned c = 0; c < 2; ++c) {
            ASSERT_TRUE(set_clipboard_text(nullptr, component_clipboard_format, lines.component_line(c, true)));
            // Sent, so the program has read the clipboard before the next line goes on it.
            SendMessageTimeoutW(frame, WM_COMMAND, ID_EDIT_PASTE, 0, SMTO_BLOCK, timeout_ms, &answer);
            EXPECT_EQ(item_count(grid), static_cast<int>(c + 1));
        }
        EXPECT_EQ(item_count(find_control(frame, 9002)), 2);
        const Screenshot shot = save_screenshot(frame, std::wstring(L"main-grids-") + tag);
        // The grid's rows are drawn: the component colours, padlocks and texts make many colours.
        RECT grid_rect{}, whole{};
        GetWindowRect(grid, &grid_rect);
        GetWindowRect(frame, &whole);
        std::set<std::uint32_t> colours;
        for (int y = grid_rect.top - whole.top + 2; y < grid_rect.bottom - whole.top - 2; ++y)
            for (int x = grid_rect.left - whole.left + 2; x < grid_rect.right - whole.left - 2; ++x)
                if (x >= 0 && y >= 0 && x < shot.width && y < shot.height) colours.insert(shot.at(x, y));
        EXPECT_GT(colours.size(), 8u);

        // The pasted model is a change: closing asks to save it, and No closes.
        PostMessageW(frame, WM_CLOSE, 0, 0);
        const HWND question = find_dialog(process);
        ASSERT_TRUE(question);
        PostMessageW(question, WM_COMMAND, IDNO, 0);
        EXPECT_EQ(process.wait_for_exit(timeout_ms), 1u);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, CMainFrame::spectra_key);
    std::filesystem::remove_all(folder);
}
