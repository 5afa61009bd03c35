#include "wingui/message_map.h"

void MessageMap::on_message(UINT message, MessageHandler handler)
{
    messages_.push_back({message, std::move(handler)});
}

void MessageMap::on_command(UINT id, CommandHandler handler, UINT code)
{
    commands_.push_back({id, id, code, std::move(handler)});
}

void MessageMap::on_command_range(UINT first, UINT last, CommandHandler handler)
{
    commands_.push_back({first, last, any_code, std::move(handler)});
}

void MessageMap::on_notify(UINT control_id, UINT code, NotifyHandler handler)
{
    notifications_.push_back({control_id, code, false, std::move(handler)});
}

void MessageMap::on_reflected_notify(UINT code, NotifyHandler handler)
{
    notifications_.push_back({0, code, true, std::move(handler)});
}

bool MessageMap::dispatch_command(WPARAM wparam, LPARAM lparam) const
{
    const UINT id = LOWORD(wparam), code = HIWORD(wparam);
    for (const CommandEntry& entry : commands_) {
        if (id < entry.first || id > entry.last || (entry.code != any_code && entry.code != code)) continue;
        entry.handler(id, code, reinterpret_cast<HWND>(lparam));
        return true;
    }
    return false;
}

bool MessageMap::dispatch_notify(NMHDR& header, bool reflected, LRESULT& result) const
{
    for (const NotifyEntry& entry : notifications_) {
        if (entry.reflected != reflected || entry.code != header.code) continue;
        if (!reflected && entry.control_id != header.idFrom) continue;
        result = entry.handler(header);
        return true;
    }
    return false;
}

bool MessageMap::dispatch(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) const
{
    for (const MessageEntry& entry : messages_) {
        if (entry.message != message) continue;
        result = entry.handler(wparam, lparam);
        return true;
    }
    if (message == WM_COMMAND && dispatch_command(wparam, lparam)) {
        result = 0;
        return true;
    }
    if ((message == WM_NOTIFY || message == reflected_message_base + WM_NOTIFY) &&
        dispatch_notify(*reinterpret_cast<NMHDR*>(lparam), message != WM_NOTIFY, result))
        return true;
    for (const MessageMap* next : chained_)
        if (next->dispatch(message, wparam, lparam, result)) return true;
    return false;
}
