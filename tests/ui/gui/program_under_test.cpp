#include "tests/ui/gui/program_under_test.h"

#include <stdexcept>

namespace {

double milliseconds_since(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Search {
    DWORD process_id;
    std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process_id) search->found.push_back(window);
    return TRUE;
}

} // namespace

ProgramUnderTest::ProgramUnderTest(const std::wstring& program, const std::wstring& arguments)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command_line = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    QueryPerformanceCounter(&started_);
    if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_))
        throw std::runtime_error("cannot start the program, error " + std::to_string(GetLastError()));
}

ProgramUnderTest::~ProgramUnderTest()
{
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

std::optional<double> ProgramUnderTest::wait_until_idle(DWORD timeout_ms) const
{
    if (WaitForInputIdle(process_.hProcess, timeout_ms) != 0) return std::nullopt;
    return milliseconds_since(started_);
}

HWND ProgramUnderTest::wait_for_window(const wchar_t* class_name, DWORD timeout_ms) const
{
    const DWORD start = GetTickCount();
    do {
        for (HWND window : top_level_windows(id()))
            if (IsWindowVisible(window) && window_class(window) == class_name) return window;
        Sleep(50);
    } while (GetTickCount() - start < timeout_ms);
    return nullptr;
}

std::optional<DWORD> ProgramUnderTest::wait_for_exit(DWORD timeout_ms) const
{
    if (WaitForSingleObject(process_.hProcess, timeout_ms) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

std::vector<HWND> top_level_windows(DWORD process_id)
{
    Search search{process_id, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring window_text(HWND window)
{
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

std::wstring window_class(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}
