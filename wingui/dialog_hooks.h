// Message boxes, file dialogs and the colour dialog go through replaceable functions: tests install their
// own and so never block on a modal window, and can see what would have been shown.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

// (owner, text, caption, MB_ flags) → the button pressed (IDOK...).
using MessageBoxFunction = std::function<int(HWND, const std::wstring&, const std::wstring&, UINT)>;

// A file dialog's own part below the common dialog's controls: a child dialog template
// and the messages of that child dialog (WM_INITDIALOG, WM_SIZE, WM_NOTIFY with the CDN_
// notifications). The result of a message is what the hook procedure returns;
// DWLP_MSGRESULT carries a notification's answer.
class FileDialogExtension {
public:
    virtual UINT template_id() const = 0;
    virtual INT_PTR hook_message(HWND hook_dialog, UINT message, WPARAM wparam, LPARAM lparam) = 0;

protected:
    ~FileDialogExtension() = default;
};

struct FileDialogRequest {
    HWND owner = nullptr;
    bool save = false;
    std::wstring filter;             // pairs of description and pattern, separated by '|'
    std::wstring default_extension;  // without the dot
    std::wstring initial_folder;
    std::wstring initial_name;
    FileDialogExtension* extension = nullptr;  // none: the plain dialog
};
// The chosen path, or nothing on Cancel.
using FileDialogFunction = std::function<std::optional<std::wstring>(const FileDialogRequest&)>;

// (owner, starting colour, the 16 custom colours the dialog may change) → the chosen
// colour, or nothing on Cancel.
using ColorDialogFunction = std::function<std::optional<COLORREF>(HWND, COLORREF, COLORREF*)>;

// (owner, the folder the dialog starts in, empty for none) → the chosen folder, or nothing
// on Cancel.
using FolderDialogFunction = std::function<std::optional<std::wstring>(HWND, const std::wstring&)>;

int show_message_box(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags);
std::optional<std::wstring> show_file_dialog(const FileDialogRequest& request);
std::optional<COLORREF> show_color_dialog(HWND owner, COLORREF initial, COLORREF* custom_colors);

// Install replacements and return the previous functions; an empty function restores
// the system's dialog.
MessageBoxFunction set_message_box_function(MessageBoxFunction function);
FileDialogFunction set_file_dialog_function(FileDialogFunction function);
ColorDialogFunction set_color_dialog_function(ColorDialogFunction function);
// The shell's folder picker.
std::optional<std::wstring> show_folder_dialog(HWND owner, const std::wstring& initial_folder);
FolderDialogFunction set_folder_dialog_function(FolderDialogFunction function);
