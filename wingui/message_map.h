// A window's message map: the handlers of one window, looked up by message, command id
// or notification, as plain functions that the window's class adds in its constructor.
// A map may chain to another one (a base class's or a helper's), which is asked when
// none of its own entries matches.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

// Parents send WM_NOTIFY and WM_COMMAND that they do not handle back to the control
// that sent them, as this offset plus the message, so a control can handle its own
// notifications. Far above the messages of the system's controls.
constexpr UINT reflected_message_base = WM_USER + 0x1C00;

class MessageMap {
public:
    using MessageHandler = std::function<LRESULT(WPARAM, LPARAM)>;
    // The command id, the notification code (0 for menus, 1 for accelerators) and the
    // control that sent it (null for menus and accelerators).
    using CommandHandler = std::function<void(UINT id, UINT code, HWND control)>;
    using NotifyHandler = std::function<LRESULT(NMHDR&)>;

    static constexpr UINT any_code = ~0u;

    void on_message(UINT message, MessageHandler handler);
    void on_command(UINT id, CommandHandler handler, UINT code = any_code);
    void on_command_range(UINT first, UINT last, CommandHandler handler);
    void on_notify(UINT control_id, UINT code, NotifyHandler handler);
    // A notification that this window sent to its parent and the parent reflected.
    void on_reflected_notify(UINT code, NotifyHandler handler);
    void chain(const MessageMap& next) { chained_.push_back(&next); }

    // Finds and runs the handler; false when neither this map nor a chained one has one.
    bool dispatch(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) const;

private:
    struct MessageEntry {
        UINT message;
        MessageHandler handler;
    };
    struct CommandEntry {
        UINT first, last, code;
        CommandHandler handler;
    };
    struct NotifyEntry {
        UINT control_id, code;
        bool reflected;
        NotifyHandler handler;
    };

    bool dispatch_command(WPARAM wparam, LPARAM lparam) const;
    bool dispatch_notify(NMHDR& header, bool reflected, LRESULT& result) const;

    std::vector<MessageEntry> messages_;
    std::vector<CommandEntry> commands_;
    std::vector<NotifyEntry> notifications_;
    std::vector<const MessageMap*> chained_;
};
