// Starts the program as its own process and finds its windows, for the GUI tests.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

class ProgramUnderTest {
public:
    // Starts `program` with `arguments` on its command line; throws std::runtime_error
    // when it cannot be started.
    explicit ProgramUnderTest(const std::wstring& program, const std::wstring& arguments = L"");
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;
    // Ends the process if it is still running.
    ~ProgramUnderTest();

    DWORD id() const { return process_.dwProcessId; }
    // Milliseconds from the start until the program first waits for input with an
    // empty queue; nothing when that does not happen within `timeout_ms`.
    std::optional<double> wait_until_idle(DWORD timeout_ms) const;
    // A visible top-level window of the process with that class; null on timeout.
    HWND wait_for_window(const wchar_t* class_name, DWORD timeout_ms) const;
    // The exit code, or nothing when the process still runs after `timeout_ms`.
    std::optional<DWORD> wait_for_exit(DWORD timeout_ms) const;

private:
    PROCESS_INFORMATION process_{};
    LARGE_INTEGER started_{};
};

std::vector<HWND> top_level_windows(DWORD process_id);
std::wstring window_text(HWND window);
std::wstring window_class(HWND window);
