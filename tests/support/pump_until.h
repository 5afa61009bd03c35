// Runs the test thread's messages until a condition holds. Under Wine on a busy machine
// input and cross-thread messages arrive late, so a test waits for the effect it
// expects rather than for a fixed number of rounds.
#pragma once

#include <windows.h>

#include <functional>

namespace test_support {

// Runs the thread's messages until `done` holds; false after `ms` milliseconds.
inline bool pump_until(const std::function<bool()>& done, DWORD ms = 20000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (!done())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

}  // namespace test_support
