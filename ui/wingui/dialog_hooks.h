// Message boxes and file dialogs go through replaceable functions: tests install their
// own and so never block on a modal window, and can see what would have been shown.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

// (owner, text, caption, MB_ flags) → the button pressed (IDOK...).
using MessageBoxFunction = std::function<int(HWND, const std::wstring&, const std::wstring&, UINT)>;

struct FileDialogRequest {
    HWND owner = nullptr;
    bool save = false;
    std::wstring filter;             // pairs of description and pattern, separated by '|'
    std::wstring default_extension;  // without the dot
    std::wstring initial_folder;
    std::wstring initial_name;
};
// The chosen path, or nothing on Cancel.
using FileDialogFunction = std::function<std::optional<std::wstring>(const FileDialogRequest&)>;

int show_message_box(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags);
std::optional<std::wstring> show_file_dialog(const FileDialogRequest& request);

// Install replacements and return the previous functions; an empty function restores
// the system's dialog.
MessageBoxFunction set_message_box_function(MessageBoxFunction function);
FileDialogFunction set_file_dialog_function(FileDialogFunction function);
