#include "wingui/message_loop.h"

#include <algorithm>

#include "wingui/logic/idle_rule.h"

namespace {

thread_local MessageLoop* thread_loop = nullptr;

template <class T>
void erase_value(std::vector<T*>& list, T* value)
{
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

} // namespace

void MessageLoop::add_message_filter(CMessageFilter* filter) { filters_.push_back(filter); }
void MessageLoop::remove_message_filter(CMessageFilter* filter) { erase_value(filters_, filter); }
void MessageLoop::add_idle_handler(CIdleHandler* handler) { idle_handlers_.push_back(handler); }
void MessageLoop::remove_idle_handler(CIdleHandler* handler) { erase_value(idle_handlers_, handler); }

bool MessageLoop::pre_translate(MSG& message)
{
    // The last registered (the innermost window) has the first say. A filter may
    // remove itself while it runs, so the walk is over a copy.
    const std::vector<CMessageFilter*> filters = filters_;
    for (auto i = filters.rbegin(); i != filters.rend(); ++i)
        if ((*i)->PreTranslateMessage(message)) return true;
    return false;
}

bool MessageLoop::idle(int idle_count)
{
    bool more = false;
    const std::vector<CIdleHandler*> handlers = idle_handlers_;
    for (CIdleHandler* handler : handlers) more |= handler->OnIdle(idle_count);
    return more;
}

int MessageLoop::run()
{
    bool idle_due = true;
    int idle_count = 0;
    MSG message{};
    for (;;) {
        while (idle_due && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!idle(idle_count++)) idle_due = false;
        }
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) continue;
        if (!got) return static_cast<int>(message.wParam);
        if (!pre_translate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (message_restarts_idle(message.message)) {
            idle_due = true;
            idle_count = 0;
        }
    }
}

MessageLoop* current_message_loop() { return thread_loop; }

ScopedLoopRegistration::ScopedLoopRegistration(MessageLoop& loop) : previous_(thread_loop) { thread_loop = &loop; }

ScopedLoopRegistration::~ScopedLoopRegistration() { thread_loop = previous_; }
