// Drives a modal dialog that the test's own thread shows: a thread timer waits until the
// dialog is up and then runs the queued step on it (read, screenshot, click), which must
// end the dialog. The modal loop of the dialog dispatches the timer. Also the screenshots
// the window tests take of dialogs, menus and the main window.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <utility>

#include "tests/ui/gui/screenshot.h"

namespace modal_test {

struct WindowSearch {
    const wchar_t* class_name;
    HWND found;
};

inline BOOL CALLBACK find_visible_window(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<WindowSearch*>(data);
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (std::wstring(name) != search.class_name || !IsWindowVisible(window)) return TRUE;
    search.found = window;
    return FALSE;
}

// The first visible top-level window of `class_name` this thread shows ("#32770" for a
// dialog, "#32768" for a popup menu), once it is up.
inline HWND find_thread_window(const wchar_t* class_name)
{
    WindowSearch search{class_name, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), find_visible_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// For EnumThreadWindows: a visible dialog goes into the HWND that `found` points to.
inline BOOL CALLBACK find_visible_dialog(HWND window, LPARAM found)
{
    WindowSearch search{L"#32770", nullptr};
    if (find_visible_window(window, reinterpret_cast<LPARAM>(&search))) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The visible dialog of this thread, once it is up.
inline HWND find_dialog() { return find_thread_window(L"#32770"); }

inline std::function<void(HWND)>& dialog_step()
{
    static std::function<void(HWND)> step;
    return step;
}

// The window class the armed step waits for, and how many ticks it has waited.
inline const wchar_t*& awaited_class()
{
    static const wchar_t* name = L"#32770";
    return name;
}
inline int& timer_ticks()
{
    static int ticks = 0;
    return ticks;
}

inline void CALLBACK on_dialog_timer(HWND, UINT, UINT_PTR id, DWORD)
{
    const HWND window = find_thread_window(awaited_class());
    if (!window) {
        // A popup menu that never shows would keep its loop running: the test fails
        // instead of hanging (a dialog's own loop ends with the test's step anyway).
        if (++timer_ticks() > 100 && std::wstring(awaited_class()) == L"#32768") {
            KillTimer(nullptr, id);
            EndMenu();
        }
        return;
    }
    KillTimer(nullptr, id);
    // Taken out first: the step may queue the next window's step.
    auto step = std::move(dialog_step());
    dialog_step() = nullptr;
    if (step) step(window);
}

// The next window of class `class_name` the thread shows (a dialog, or "#32768" for a
// popup menu) gets `step`.
inline void when_window_shows(std::function<void(HWND)> step, const wchar_t* class_name)
{
    dialog_step() = std::move(step);
    awaited_class() = class_name;
    timer_ticks() = 0;
    SetTimer(nullptr, 0, 50, on_dialog_timer);
}

// The next dialog the thread shows gets `step`.
inline void when_dialog_shows(std::function<void(HWND)> step) { when_window_shows(std::move(step), L"#32770"); }

// The text of control `id` of a dialog.
inline std::wstring item_text(HWND dialog, int id)
{
    wchar_t text[256] = {};
    GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

inline void pump_messages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// `shot` into VX_SCREENSHOT_DIR/<name>.png; false when nothing was captured.
inline bool write_screenshot(const Screenshot& shot, const std::wstring& name)
{
    if (shot.width == 0) return false;
    const std::wstring folder = L"" VX_SCREENSHOT_DIR;
    CreateDirectoryW(folder.c_str(), nullptr);
    save_png(shot, folder + L"/" + name + L".png");
    return true;
}

// The window as the screen shows it, painted afresh, into VX_SCREENSHOT_DIR/<name>.png;
// false when it could not be captured.
inline bool save_screenshot(HWND window, const std::wstring& name)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    pump_messages();
    return write_screenshot(capture_window(window), name);
}

// The desktop shows a new window only after a few rounds of painting: captures until two
// in a row agree (at most 40, 100 ms apart) and gives the last.
inline Screenshot settled_capture(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    Screenshot shot;
    for (int attempt = 0, same = 0; attempt < 40 && same < 2; ++attempt) {
        pump_messages();
        Sleep(100);
        pump_messages();
        Screenshot next = capture_window(window);
        same = next.pixels == shot.pixels ? same + 1 : 0;
        shot = std::move(next);
    }
    return shot;
}

// The window once the screen shows it settled, into VX_SCREENSHOT_DIR/<name>.png; false
// when it could not be captured.
inline bool save_settled_screenshot(HWND window, const std::wstring& name)
{
    return write_screenshot(settled_capture(window), name);
}

// How many colours `shot` of `window` shows of its child `part`, taking every third pixel
// at least 10 pixels inside the child's edges: a blank area has one or two.
inline std::size_t colours_of_part(const Screenshot& shot, HWND window, HWND part)
{
    RECT inner{}, whole{};
    GetWindowRect(part, &inner);
    GetWindowRect(window, &whole);
    std::set<std::uint32_t> colours;
    for (int y = inner.top - whole.top + 10; y < inner.bottom - whole.top - 10; y += 3)
        for (int x = inner.left - whole.left + 10; x < inner.right - whole.left - 10; x += 3) colours.insert(shot.at(x, y));
    return colours.size();
}

}  // namespace modal_test
