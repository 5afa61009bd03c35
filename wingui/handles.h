// Scope-bound owners of Win32 handles: the handle is released when its owner goes,
// on every path out of a function, exceptions included.
#pragma once

#include <windows.h>

#include <utility>

template <class Handle, auto Release>
class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle_(handle) {}
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    ~ScopedHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    Handle release() { return std::exchange(handle_, nullptr); }
    void reset(Handle handle = nullptr)
    {
        if (handle_) Release(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

inline void delete_gdi_object(HGDIOBJ object) { DeleteObject(object); }

using ScopedFont = ScopedHandle<HFONT, delete_gdi_object>;
using ScopedBrush = ScopedHandle<HBRUSH, delete_gdi_object>;
using ScopedPen = ScopedHandle<HPEN, delete_gdi_object>;
using ScopedBitmap = ScopedHandle<HBITMAP, delete_gdi_object>;
using ScopedRegion = ScopedHandle<HRGN, delete_gdi_object>;
using ScopedMemoryDc = ScopedHandle<HDC, DeleteDC>;
using ScopedRegistryKey = ScopedHandle<HKEY, RegCloseKey>;
using ScopedAccelerators = ScopedHandle<HACCEL, DestroyAcceleratorTable>;
using ScopedMenu = ScopedHandle<HMENU, DestroyMenu>;
using ScopedIcon = ScopedHandle<HICON, DestroyIcon>;

// A window's device context from GetDC, released to that window.
class ScopedWindowDc {
public:
    explicit ScopedWindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
    ~ScopedWindowDc()
    {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context for the owner's lifetime, then puts the
// previous one back: GDI refuses to delete an object that is still selected.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;
    ~ScopedSelection() { SelectObject(dc_, previous_); }

private:
    HDC dc_;
    HGDIOBJ previous_;
};
