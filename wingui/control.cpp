#include "wingui/control.h"

#include <commctrl.h>

#include "wingui/boundary.h"

namespace {

// Any number unique to this subclass procedure; SetWindowSubclass keys on the pair.
constexpr UINT_PTR subclass_id = 1;

} // namespace

Control::~Control()
{
    detach();
}

bool Control::attach(HWND control)
{
    detach();
    if (!control || !SetWindowSubclass(control, subclass_procedure, subclass_id, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    hwnd_ = control;
    return true;
}

bool Control::create(const wchar_t* class_name, HWND parent, UINT id, DWORD style, DWORD ex_style, const RECT& rect)
{
    const HWND control = CreateWindowExW(ex_style, class_name, L"", style, rect.left, rect.top,
                                         rect.right - rect.left, rect.bottom - rect.top, parent,
                                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr),
                                         nullptr);
    if (control && attach(control)) return true;
    if (control) DestroyWindow(control);
    return false;
}

void Control::detach()
{
    if (hwnd_) RemoveWindowSubclass(hwnd_, subclass_procedure, subclass_id);
    hwnd_ = nullptr;
}

LRESULT CALLBACK Control::subclass_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                             DWORD_PTR data)
{
    auto* self = reinterpret_cast<Control*>(data);
    if (message == WM_NCDESTROY) {
        self->detach();
        return DefSubclassProc(window, message, wparam, lparam);
    }
    return guarded(
        [&] {
            LRESULT result = 0;
            if (self->map_.dispatch(message, wparam, lparam, result)) return result;
            return DefSubclassProc(window, message, wparam, lparam);
        },
        [&] { return DefSubclassProc(window, message, wparam, lparam); });
}

bool register_superclass(const wchar_t* base, const wchar_t* superclass)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instance, superclass, &wc)) return true;
    if (!GetClassInfoExW(nullptr, base, &wc)) return false;
    wc.hInstance = instance;
    wc.lpszClassName = superclass;
    // Global classes carry CS_GLOBALCLASS; the copy is this module's own.
    wc.style &= ~CS_GLOBALCLASS;
    return RegisterClassExW(&wc) != 0;
}
