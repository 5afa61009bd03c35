#include "wingui/window.h"

#include "wingui/boundary.h"

namespace {

void register_once(HINSTANCE instance, const wchar_t* class_name, const WindowClassStyle& style,
                   WNDPROC procedure)
{
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, class_name, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style.style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = style.cursor ? style.cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = style.background;
    wc.hIcon = style.icon;
    wc.lpszClassName = class_name;
    RegisterClassExW(&wc);
}

} // namespace

WindowPlacement child_placement(HWND parent, UINT id, const RECT& rect, DWORD style)
{
    WindowPlacement placement;
    placement.parent = parent;
    placement.style = style;
    placement.x = rect.left;
    placement.y = rect.top;
    placement.width = rect.right - rect.left;
    placement.height = rect.bottom - rect.top;
    placement.menu_or_id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id));
    return placement;
}

Window::~Window()
{
    // The derived object is gone by now: the window's last messages must not reach its
    // handlers, so they go to the default procedure.
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

bool Window::create(const wchar_t* class_name, const WindowClassStyle& class_style, const WindowPlacement& placement)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    register_once(instance, class_name, class_style, window_procedure);
    const HWND window = CreateWindowExW(placement.ex_style, class_name, placement.title.c_str(), placement.style,
                                        placement.x, placement.y, placement.width, placement.height, placement.parent,
                                        placement.menu_or_id, instance, this);
    return window != nullptr;
}

LRESULT CALLBACK Window::window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        self->hwnd_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // Messages before WM_NCCREATE (WM_GETMINMAXINFO for top-level windows) find no object.
    if (!self) return DefWindowProcW(window, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        guarded([self] { return (self->on_final_message(), 0); }, [] { return 0; });
        return DefWindowProcW(window, message, wparam, lparam);
    }
    // A failed handler answers as if unhandled, so the system's defaults still happen.
    return guarded([&] { return self->handle(message, wparam, lparam); },
                   [&] { return DefWindowProcW(window, message, wparam, lparam); });
}

LRESULT Window::handle(UINT message, WPARAM wparam, LPARAM lparam)
{
    LRESULT result = 0;
    if (map_.dispatch(message, wparam, lparam, result)) return result;
    if (message == WM_NOTIFY || (message == WM_COMMAND && lparam)) return reflect_to_child(message, wparam, lparam);
    return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT reflect_to_child(UINT message, WPARAM wparam, LPARAM lparam)
{
    const HWND child =
        message == WM_NOTIFY ? reinterpret_cast<NMHDR*>(lparam)->hwndFrom : reinterpret_cast<HWND>(lparam);
    return child ? SendMessageW(child, reflected_message_base + message, wparam, lparam) : 0;
}
