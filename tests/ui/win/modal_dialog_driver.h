// Drives a modal dialog that the test's own thread shows: a thread timer waits until the
// dialog is up and then runs the queued step on it (read, screenshot, click), which must
// end the dialog. The modal loop of the dialog dispatches the timer.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "tests/ui/gui/screenshot.h"

namespace modal_test {

inline BOOL CALLBACK find_visible_dialog(HWND window, LPARAM found)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) != L"#32770" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The visible dialog of this thread, once it is up.
inline HWND find_dialog()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), find_visible_dialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

inline std::function<void(HWND)>& dialog_step()
{
    static std::function<void(HWND)> step;
    return step;
}

inline void CALLBACK on_dialog_timer(HWND, UINT, UINT_PTR id, DWORD)
{
    const HWND dialog = find_dialog();
    if (!dialog) return;
    KillTimer(nullptr, id);
    // Taken out first: the step may queue the next dialog's step.
    auto step = std::move(dialog_step());
    dialog_step() = nullptr;
    if (step) step(dialog);
}

// The next dialog the thread shows gets `step`.
inline void when_dialog_shows(std::function<void(HWND)> step)
{
    dialog_step() = std::move(step);
    SetTimer(nullptr, 0, 50, on_dialog_timer);
}

inline void pump_messages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The window as the screen shows it, painted afresh, into VX_SCREENSHOT_DIR/<name>.png;
// false when it could not be captured.
inline bool save_screenshot(HWND window, const std::wstring& name)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    pump_messages();
    const Screenshot shot = capture_window(window);
    if (shot.width == 0) return false;
    const std::wstring folder = L"" VX_SCREENSHOT_DIR;
    CreateDirectoryW(folder.c_str(), nullptr);
    save_png(shot, folder + L"/" + name + L".png");
    return true;
}

}  // namespace modal_test
