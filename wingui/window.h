// A window of the program's own window class: its messages go to the object's message
// map, unhandled ones to DefWindowProcW. The object outlives its window (it is created
// first and destroys the window when it goes), and the window procedure finds it
// through the window's user data, set from the creation parameter at WM_NCCREATE.
#pragma once

#include <windows.h>

#include <string>

#include "wingui/message_map.h"

struct WindowClassStyle {
    UINT style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    HCURSOR cursor = nullptr;  // the arrow when null
    HICON icon = nullptr;
};

struct WindowPlacement {
    HWND parent = nullptr;
    std::wstring title;
    DWORD style = 0;
    DWORD ex_style = 0;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
    HMENU menu_or_id = nullptr;  // a menu for a top-level window, the control id for a child
};

// A child window's placement: control `id` of `parent` over `rect` (parent client
// coordinates) with `style`.
WindowPlacement child_placement(HWND parent, UINT id, const RECT& rect, DWORD style);

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }

    // Registers the class on first use (in this module) and creates the window; false
    // when either fails (GetLastError tells why).
    bool create(const wchar_t* class_name, const WindowClassStyle& class_style, const WindowPlacement& placement);

protected:
    MessageMap& message_map() { return map_; }
    // Called after the window's last message (WM_NCDESTROY); the handle is gone then.
    virtual void on_final_message() {}

private:
    static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);

    HWND hwnd_ = nullptr;
    MessageMap map_;
};

// Sends a WM_NOTIFY or WM_COMMAND back to the child control that sent it (see
// reflected_message_base); its answer, or 0 when the message came from no child.
LRESULT reflect_to_child(UINT message, WPARAM wparam, LPARAM lparam);
