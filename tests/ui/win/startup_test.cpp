// Start-up in the test's own process: the program folder, the message boxes and the
// Lua loader are replaced, so each failure path is seen without a window blocking.
#include "ui/startup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "core/spectrum/isotope.h"
#include "core/text/messages.h"
#include "core/text/ui_seam.h"
#include "wingui/dialog_hooks.h"
#include "ui/logic/language_list.h"
#include "ui/frame/main_frame.h"
#include "wingui/message_loop.h"

namespace fs = std::filesystem;

namespace {

struct ShownMessage {
    HWND owner;
    std::wstring text, caption;
    UINT flags;
};

// The program folder is a fresh temporary folder ("bin" inside it); messages are kept.
class Startup : public ::testing::Test, private IUserInterface {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() /
               (L"vx-startup-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(::testing::UnitTest::GetInstance()->random_seed()) + L"-" + std::to_wstring(++runs));
        fs::remove_all(root);
        fs::create_directories(root / L"bin");
        previous_ui = set_user_interface(this);
        previous_box = set_message_box_function([this](HWND owner, const std::wstring& text,
                                                       const std::wstring& caption, UINT flags) {
            shown.push_back({owner, text, caption, flags});
            return IDOK;
        });
    }
    void TearDown() override
    {
        set_message_box_function(previous_box);
        set_user_interface(previous_ui);
        fs::remove_all(root);
    }

    void add_isotope_table()
    {
        fs::copy_file(fs::path(VX_TEST_DATA_DIR "/../../data/isotope.txt"), root / L"isotope.txt");
    }
    void add_script(const std::wstring& name)
    {
        fs::create_directories(root / L"models");
        std::ofstream(root / L"models" / name) << "return {}\n";
    }

    StartupHooks hooks(const std::wstring& failing_script = L"")
    {
        return {{[this] { ++lua_inits; },
                 [this, failing_script](const std::wstring& path) {
                     const std::wstring name = fs::path(path).filename().wstring();
                     if (name == failing_script) throw std::runtime_error("Error loading model: bad.lua:1: '=' expected");
                     scripts.push_back(name);
                 }},
                [this] { ++lua_closes; },
                [this](int) {
                    ++runs_of_loop;
                    return 1;
                }};
    }

    static BOOL CALLBACK count_window(HWND, LPARAM data) { return ++*reinterpret_cast<unsigned*>(data), TRUE; }
    static unsigned thread_window_count()
    {
        unsigned count = 0;
        EnumThreadWindows(GetCurrentThreadId(), count_window, reinterpret_cast<LPARAM>(&count));
        return count;
    }

    fs::path root;
    std::vector<ShownMessage> shown;
    std::vector<std::wstring> scripts;
    int lua_inits = 0, lua_closes = 0, runs_of_loop = 0;

private:
    int edit_keyword_list(KeywordList&, int, const std::wstring&) override { return IDCANCEL; }
    std::optional<std::wstring> choose_open_file(const std::wstring&, const std::wstring&, const std::wstring&) override
    {
        return std::nullopt;
    }
    void message_box(const std::wstring& text, const std::wstring& caption) override
    {
        shown.push_back({nullptr, text, caption, 0});
    }
    void debug_output(const std::wstring&) override {}
    std::wstring program_folder() override { return (root / L"bin").wstring(); }

    IUserInterface* previous_ui = nullptr;
    MessageBoxFunction previous_box;
    static inline int runs = 0;
};

// A window that cannot be created, for the exit code of that case.
class UncreatableWindow final : public ITopLevelWindow {
public:
    bool create_window() override { return false; }
    HWND hwnd() const override { return nullptr; }
};

} // namespace

TEST_F(Startup, AMissingIsotopeTableShowsMessage50037AndEndsWithExitCode1WithoutAWindow)
{
    EXPECT_EQ(start_program(SW_SHOW, hooks()), 1);
    ASSERT_EQ(shown.size(), 1u);
    // In the language start-up chose (the GUI tests switch it in the registry meanwhile).
    const std::wstring lead = MessageText(50037, L"").str();
    EXPECT_EQ(shown[0].text.rfind(lead, 0), 0u);
    EXPECT_GT(shown[0].text.size(), lead.size());
    EXPECT_EQ(shown[0].caption, L"Vexmoor");
    EXPECT_EQ(shown[0].owner, nullptr);
    EXPECT_EQ(shown[0].flags, UINT(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(runs_of_loop, 0);
    EXPECT_EQ(thread_window_count(), 0u);
    EXPECT_EQ(lua_closes, 1);  // the clean-up runs on this path too
}

TEST_F(Startup, ABrokenLuaScriptIsNamedTheOthersLoadAndStartUpGoesOn)
{
    add_isotope_table();
    add_script(L"a.lua");
    add_script(L"bad.lua");
    add_script(L"c.lua");
    add_script(L".skipped.lua");
    EXPECT_EQ(start_program(SW_SHOW, hooks(L"bad.lua")), 1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"bad.lua: Error loading model: bad.lua:1: '=' expected");
    EXPECT_EQ(shown[0].caption, L"Vexmoor");
    EXPECT_EQ(shown[0].flags, UINT(MB_OK | MB_ICONINFORMATION));
    std::sort(scripts.begin(), scripts.end());
    EXPECT_EQ(scripts, (std::vector<std::wstring>{L"a.lua", L"c.lua"}));
    EXPECT_GE(lua_inits, 1);
    EXPECT_EQ(runs_of_loop, 1);
    EXPECT_EQ(lua_closes, 1);
}

TEST_F(Startup, WithoutModelsNothingIsShownAndTheLanguageListComesFromTheResources)
{
    add_isotope_table();
    EXPECT_EQ(start_program(SW_SHOW, hooks()), 1);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(lua_inits, 0);
    EXPECT_EQ(language_list(), (LanguageList{{0x409, L"English"}, {0x419, L"Русский"}}));
}

TEST_F(Startup, AnErrorEscapingTheMainWindowIsShownAndEndsWithExitCode1)
{
    add_isotope_table();
    StartupHooks failing = hooks();
    failing.run = [](int) -> int { throw std::runtime_error("Out of window handles"); };
    EXPECT_EQ(start_program(SW_SHOW, failing), 1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"Out of window handles");
}

namespace {

// The real main window, closed at its first idle pass, which is timed from the start.
class ClosedAtFirstIdle final : public ITopLevelWindow, public CIdleHandler {
public:
    explicit ClosedAtFirstIdle(LARGE_INTEGER start) : start_(start) {}
    bool create_window() override
    {
        current_message_loop()->add_idle_handler(this);
        return frame_.create_window();
    }
    HWND hwnd() const override { return frame_.hwnd(); }
    bool OnIdle(int) override
    {
        if (idle_ms < 0) {
            LARGE_INTEGER now, frequency;
            QueryPerformanceCounter(&now);
            QueryPerformanceFrequency(&frequency);
            idle_ms = 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency.QuadPart);
            title = frame_.hwnd() ? GetWindowTextLengthW(frame_.hwnd()) : -1;
            PostMessageW(frame_.hwnd(), WM_CLOSE, 0, 0);
        }
        return false;
    }
    ~ClosedAtFirstIdle() override
    {
        if (MessageLoop* loop = current_message_loop()) loop->remove_idle_handler(this);
    }

    double idle_ms = -1;
    int title = -1;

private:
    CMainFrame frame_;
    LARGE_INTEGER start_;
};

} // namespace

TEST_F(Startup, TheMainWindowReachesItsFirstIdlePassAndANormalCloseEndsWithExitCode1)
{
    add_isotope_table();
    StartupHooks real = hooks();
    double idle_ms = -1;
    int title_length = -1;
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    real.run = [&](int show) {
        ClosedAtFirstIdle window(start);
        const int exit_code = run_window(show, window);
        idle_ms = window.idle_ms;
        title_length = window.title;
        return exit_code;
    };
    EXPECT_EQ(start_program(SW_SHOWNOACTIVATE, real), exit_closed);
    EXPECT_EQ(title_length, 7);  // "Vexmoor"
    ASSERT_GE(idle_ms, 0);
    // A measurement for the record, not a limit: everything from the entry point on,
    // inside an already running Wine.
    std::printf("start-up to the first idle, in process: %.1f ms\n", idle_ms);
    // Nothing at start; the close of an unchanged model asks only whether to close.
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, MessageText(50014).str());
}

TEST(RunWindow, AMainWindowThatCannotBeCreatedIsAFailure)
{
    UncreatableWindow window;
    const int exit_code = run_window(SW_SHOW, window);
    EXPECT_EQ(exit_code, exit_no_window);
    EXPECT_NE(exit_code, 0);
}
