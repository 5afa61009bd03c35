// A system control (edit, list view, combo box...) whose messages pass through the
// object's message map before the control's own procedure: subclassing through the
// common controls' SetWindowSubclass, which, unlike replacing the window procedure,
// lets several subclasses stack and be removed in any order. Superclassing gives the
// control a class name of its own on top of the system class (with its own class
// defaults), then subclasses it the same way.
#pragma once

#include <windows.h>

#include "wingui/message_map.h"

class Control {
public:
    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    HWND hwnd() const { return hwnd_; }

    // Routes an existing control's messages through this object; false when it fails.
    bool attach(HWND control);
    // Creates a control of `class_name` (a system class or a superclass) and attaches it.
    bool create(const wchar_t* class_name, HWND parent, UINT id, DWORD style, DWORD ex_style = 0,
                const RECT& rect = {});
    // Ends the routing; the control stays.
    void detach();

protected:
    MessageMap& message_map() { return map_; }

private:
    static LRESULT CALLBACK subclass_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                               UINT_PTR id, DWORD_PTR self);

    HWND hwnd_ = nullptr;
    MessageMap map_;
};

// Registers `superclass` in this module as a copy of the system class `base` (same
// procedure, extra bytes and styles) with its own name; true when it exists afterwards.
bool register_superclass(const wchar_t* base, const wchar_t* superclass);
