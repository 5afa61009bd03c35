// Window, dialog and COM callbacks are called by system code that knows nothing of C++
// exceptions: one unwinding through user32 or ole32 skips their clean-up and usually
// ends the process. Every such callback runs its body through `guarded`.
#pragma once

#include <windows.h>

#include <exception>

// Shows the text (UTF-8) of an exception that reached a boundary, in a message box
// captioned with the product name; never throws.
void report_boundary_exception(const char* text) noexcept;

// Runs `body` and returns its result; an exception is reported, and then `fallback()`
// gives the result (called only then, so it may be a default window procedure).
template <class Body, class Fallback>
auto guarded(Body&& body, Fallback&& fallback) noexcept -> decltype(body())
{
    try {
        return body();
    } catch (const std::exception& error) {
        report_boundary_exception(error.what());
    } catch (...) {
        report_boundary_exception("Unknown error");
    }
    try {
        return fallback();
    } catch (...) {
        return {};
    }
}
