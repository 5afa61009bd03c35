// The fit thread's own side: the procedure started with _beginthreadex and the step
// callback that reports each accepted step and obeys the window's control codes.
#pragma once

#include <memory>

#include "ui/fit_thread.h"

// Everything the thread owns; deleted by the thread when it ends.
struct FitThreadContext {
    std::unique_ptr<FitJob> job;
    std::shared_ptr<FitThread::Shared> shared;
    FitEngine engine;
    FitThread::TickSource ticks;
    HWND window;
};

unsigned __stdcall fit_thread_procedure(void* context);
