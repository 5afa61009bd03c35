// The Win32 utility functions under Wine: the program's path and data files, registry
// settings, the UI language, temporary names and fonts sized for a DPI.
#include "ui/logic/report_commands.h"
#include "ui/win32_util.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "core/text/data_files.h"
#include "ui/win_user_interface.h"
#include "wingui/handles.h"

namespace {

const std::wstring test_key = L"Software\\Ostrand\\VexmoorTests\\" + std::to_wstring(GetCurrentProcessId());

class Registry : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, test_key.c_str()); }

    void write_raw(const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        RegSetKeyValueW(HKEY_CURRENT_USER, test_key.c_str(), name, type, data, size);
    }
};

UINT WINAPI dpi_144(HWND) { return 144; }

} // namespace

TEST(ProgramPath, IsThisProgramsFileAndDataFilesAreFoundBesideIt)
{
    const std::wstring path = module_path();
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(path.substr(path.size() - 4), L".exe");
    const std::wstring folder = folder_of(path);
    EXPECT_EQ(folder_of(L"C:\\P\\bin\\Vexmoor.exe"), L"C:\\P\\bin");
    EXPECT_EQ(folder_of(L"C:/P/bin/Vexmoor.exe"), L"C:/P/bin");

    WinUserInterface ui;
    IUserInterface* previous = set_user_interface(&ui);
    EXPECT_EQ(ui.program_folder(), folder);
    const std::wstring name = L"vx-data-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    // Found nowhere: the path beside the parent folder, so that opening it fails.
    EXPECT_EQ(find_data_file(name), folder + L"\\..\\" + name);
    std::ofstream(std::filesystem::path(folder + L"\\" + name)) << "x";
    EXPECT_EQ(find_data_file(name), folder + L"\\" + name);
    DeleteFileW((folder + L"\\" + name).c_str());
    set_user_interface(previous);
}

TEST_F(Registry, DwordsRoundTripAndAnythingElseGivesTheDefault)
{
    EXPECT_EQ(read_registry_dword(test_key, L"Language", 7), 7u);  // no key yet
    write_registry_dword(test_key, L"Language", 0x419);            // creates the key
    EXPECT_EQ(read_registry_dword(test_key, L"Language", 7), 0x419u);

    const DWORD four = 0x12345678;
    write_raw(L"Binary4", REG_BINARY, &four, 4);
    EXPECT_EQ(read_registry_dword(test_key, L"Binary4", 7), 0x12345678u);
    const wchar_t text[] = L"1049";
    write_raw(L"Text", REG_SZ, text, sizeof text);
    EXPECT_EQ(read_registry_dword(test_key, L"Text", 7), 7u);
    const unsigned long long eight = 5;
    write_raw(L"Qword", REG_QWORD, &eight, 8);
    EXPECT_EQ(read_registry_dword(test_key, L"Qword", 7), 7u);
}

TEST(TempFileName, IsAUuidInTheTemporaryFolder)
{
    const std::wstring name = make_temp_file_name(L"Vexmoor-report-", L".html");
    wchar_t folder[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, folder);
    ASSERT_EQ(name.rfind(folder, 0), 0u) << std::string(name.begin(), name.end());
    const std::wstring rest = name.substr(wcslen(folder));
    EXPECT_TRUE(is_temporary_report_name(rest));  // a name the start-up clean-up knows
    EXPECT_TRUE(std::regex_match(
        rest, std::wregex(L"Vexmoor-report-[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\\.html")));
    EXPECT_EQ(GetFileAttributesW(name.c_str()), INVALID_FILE_ATTRIBUTES);  // not created
    EXPECT_NE(make_temp_file_name(L"Vexmoor-report-", L".html"), name);
}

TEST(DpiFont, HeightFollowsTheWindowsDpiAndTheFaceIsCut)
{
    const DpiFunctions saved = dpi_functions();
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);

    // Neither window nor device context: 96 dpi, MulDiv rounds 13.33 to 13.
    EXPECT_EQ(dpi_font_description(nullptr, nullptr, L"Tahoma", 100, false, false).lfHeight, -13);
    // A window on a 144-dpi monitor, as GetDpiForWindow reports it.
    set_dpi_functions({dpi_144, nullptr, nullptr});
    LOGFONTW font = dpi_font_description(window, nullptr, L"Tahoma", 100, true, true);
    EXPECT_EQ(font.lfHeight, -20);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfItalic, 1);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    // Without GetDpiForWindow the window's device context tells (96 under Wine's default).
    set_dpi_functions({});
    {
        const ScopedWindowDc dc(window);
        const int expected = -MulDiv(GetDeviceCaps(dc.get(), LOGPIXELSY), 100, 720);
        EXPECT_EQ(dpi_font_description(window, nullptr, L"Tahoma", 100, false, false).lfHeight, expected);
        EXPECT_EQ(dpi_font_description(nullptr, dc.get(), L"Tahoma", 100, false, false).lfHeight, expected);
    }
    const std::wstring long_face(40, L'x');
    EXPECT_EQ(std::wstring(dpi_font_description(nullptr, nullptr, long_face, 90, false, false).lfFaceName),
              long_face.substr(0, 31));

    const ScopedFont created(create_dpi_font(window, nullptr, L"Tahoma", 100, false, false));
    EXPECT_TRUE(created);
    DestroyWindow(window);
    set_dpi_functions(saved);
}
