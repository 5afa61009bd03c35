#include "ui/controls/splitter.h"

#include <windowsx.h>

#include <algorithm>

bool forward_to_parent(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_PARENTNOTIFY:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        result = SendMessageW(GetParent(window), message, wparam, lparam);
        return true;
    default:
        return false;
    }
}

CSplitter::CSplitter()
{
    MessageMap& map = message_map();
    map.on_message(WM_SIZE, [this](WPARAM, LPARAM) {
        layout();
        return LRESULT{0};
    });
    map.on_message(WM_SETCURSOR, [this](WPARAM wparam, LPARAM lparam) -> LRESULT {
        if (reinterpret_cast<HWND>(wparam) == hwnd() && LOWORD(lparam) == HTCLIENT) {
            SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
            return TRUE;
        }
        return DefWindowProcW(hwnd(), WM_SETCURSOR, wparam, lparam);
    });
    map.on_message(WM_LBUTTONDOWN, [this](WPARAM, LPARAM) {
        dragging_ = true;
        SetCapture(hwnd());
        return LRESULT{0};
    });
    map.on_message(WM_MOUSEMOVE, [this](WPARAM, LPARAM lparam) {
        if (dragging_) set_bar_position(GET_Y_LPARAM(lparam) - bar_height / 2);
        return LRESULT{0};
    });
    map.on_message(WM_LBUTTONUP, [this](WPARAM, LPARAM) {
        dragging_ = false;
        ReleaseCapture();
        return LRESULT{0};
    });
    map.on_message(WM_CAPTURECHANGED, [this](WPARAM, LPARAM) {
        dragging_ = false;
        return LRESULT{0};
    });
    map.on_message(WM_SETFOCUS, [this](WPARAM, LPARAM) {
        if (top_) SetFocus(top_);
        return LRESULT{0};
    });
    for (UINT message : {WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_DELETEITEM, WM_VKEYTOITEM,
                         WM_CHARTOITEM, WM_COMPAREITEM, WM_HSCROLL, WM_VSCROLL, WM_PARENTNOTIFY, WM_CTLCOLORBTN,
                         WM_CTLCOLORDLG, WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORMSGBOX,
                         WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC})
        map.on_message(message, [this, message](WPARAM wparam, LPARAM lparam) {
            LRESULT result = 0;
            forward_to_parent(hwnd(), message, wparam, lparam, result);
            return result;
        });
}

bool CSplitter::create_window(HWND parent)
{
    WindowClassStyle style;
    style.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    WindowPlacement placement;
    placement.parent = parent;
    placement.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    placement.ex_style = WS_EX_CONTROLPARENT | WS_EX_CLIENTEDGE;
    placement.x = placement.y = placement.width = placement.height = 0;
    return create(L"Vexmoor.Splitter", style, placement);
}

void CSplitter::set_panes(HWND top, HWND bottom)
{
    top_ = top;
    bottom_ = bottom;
    layout();
}

void CSplitter::set_bar_position(int y)
{
    bar_ = clamp_bar(y);
    layout();
}

int CSplitter::clamp_bar(int y) const
{
    RECT client{};
    GetClientRect(hwnd(), &client);
    const int highest = std::max(min_pane, static_cast<int>(client.bottom) - bar_height - min_pane);
    return std::clamp(y, min_pane, highest);
}

void CSplitter::layout()
{
    if (!hwnd()) return;
    RECT client{};
    GetClientRect(hwnd(), &client);
    // A splitter too small for both panes keeps the asked position for when it grows.
    const int bar = client.bottom >= 2 * min_pane + bar_height ? clamp_bar(bar_) : bar_;
    if (top_) MoveWindow(top_, 0, 0, client.right, bar, TRUE);
    if (bottom_)
        MoveWindow(bottom_, 0, bar + bar_height, client.right, std::max(0, static_cast<int>(client.bottom) - bar - bar_height), TRUE);
}
