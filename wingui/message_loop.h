// The UI thread's message loop with message filters (keyboard accelerators and the
// like, tried before a message is dispatched) and idle handlers (run once when the
// queue empties after a burst of messages; see message_restarts_idle).
#pragma once

#include <windows.h>

#include <vector>

class CMessageFilter {
public:
    virtual ~CMessageFilter() = default;
    // True when the message was handled and must not be dispatched.
    virtual bool PreTranslateMessage(MSG& message) = 0;
};

class CIdleHandler {
public:
    virtual ~CIdleHandler() = default;
    // `idle_count` counts the passes since the last burst; true asks for another pass.
    virtual bool OnIdle(int idle_count) = 0;
};

class MessageLoop {
public:
    void add_message_filter(CMessageFilter* filter);
    void remove_message_filter(CMessageFilter* filter);
    void add_idle_handler(CIdleHandler* handler);
    void remove_idle_handler(CIdleHandler* handler);

    // Pumps the thread's messages until WM_QUIT and returns its wParam.
    int run();

private:
    bool pre_translate(MSG& message);
    bool idle(int idle_count);

    std::vector<CMessageFilter*> filters_;
    std::vector<CIdleHandler*> idle_handlers_;
};

// The loop of the calling thread while a ScopedLoopRegistration holds it, else null;
// windows add their filter and idle handler to it while they are being created.
MessageLoop* current_message_loop();

class ScopedLoopRegistration {
public:
    explicit ScopedLoopRegistration(MessageLoop& loop);
    ScopedLoopRegistration(const ScopedLoopRegistration&) = delete;
    ScopedLoopRegistration& operator=(const ScopedLoopRegistration&) = delete;
    ~ScopedLoopRegistration();

private:
    MessageLoop* previous_;
};
