// Ends a main window of a test the way a close does, without its prompt.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/frame/main_frame.h"

// Destroying the frame posts the quit message of a normal close; left in the queue, it
// would end the next modal loop of the test.
inline void destroy_frame(std::unique_ptr<CMainFrame>& frame)
{
    if (frame && IsWindow(frame->hwnd())) {
        frame->set_document_changes(nullptr);
        DestroyWindow(frame->hwnd());
    }
    frame.reset();
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
}
