#include "wingui/boundary.h"

#include "core/text/messages.h"
#include "core/text/text.h"
#include "wingui/dialog_hooks.h"

void report_boundary_exception(const char* text) noexcept
{
    try {
        show_message_box(nullptr, utf8_to_wide(text), MessageText(50000).str(), MB_OK | MB_ICONERROR);
    } catch (...) {
        // Nothing left to report with; the callback still returns normally.
    }
}
