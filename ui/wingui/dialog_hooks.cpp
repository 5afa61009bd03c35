#include "ui/wingui/dialog_hooks.h"

#include <commdlg.h>

#include <algorithm>

namespace {

int system_message_box(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)
{
    return MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

std::optional<std::wstring> system_file_dialog(const FileDialogRequest& request)
{
    // The dialog wants its filter as NUL-separated pairs ended by two NULs.
    std::wstring filter = request.filter + L'\0';
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    std::wstring path = request.initial_name;
    path.resize(std::max<size_t>(path.size(), 32768), L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = request.owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrInitialDir = request.initial_folder.empty() ? nullptr : request.initial_folder.c_str();
    dialog.lpstrDefExt = request.default_extension.empty() ? nullptr : request.default_extension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY |
                   (request.save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST);
    const BOOL chosen = request.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen) return std::nullopt;
    return std::wstring(path.c_str());
}

std::optional<COLORREF> system_color_dialog(HWND owner, COLORREF initial, COLORREF* custom_colors)
{
    CHOOSECOLORW choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = owner;
    choice.rgbResult = initial;
    choice.lpCustColors = custom_colors;
    // A black start is the dialog's own default.
    choice.Flags = initial ? CC_RGBINIT : 0;
    if (!ChooseColorW(&choice)) return std::nullopt;
    return choice.rgbResult;
}

MessageBoxFunction message_box = system_message_box;
ColorDialogFunction color_dialog = system_color_dialog;
FileDialogFunction file_dialog = system_file_dialog;

} // namespace

int show_message_box(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)
{
    return message_box(owner, text, caption, flags);
}

std::optional<std::wstring> show_file_dialog(const FileDialogRequest& request) { return file_dialog(request); }

MessageBoxFunction set_message_box_function(MessageBoxFunction function)
{
    MessageBoxFunction previous = std::move(message_box);
    message_box = function ? std::move(function) : MessageBoxFunction(system_message_box);
    return previous;
}

FileDialogFunction set_file_dialog_function(FileDialogFunction function)
{
    FileDialogFunction previous = std::move(file_dialog);
    file_dialog = function ? std::move(function) : FileDialogFunction(system_file_dialog);
    return previous;
}

std::optional<COLORREF> show_color_dialog(HWND owner, COLORREF initial, COLORREF* custom_colors)
{
    return color_dialog(owner, initial, custom_colors);
}

ColorDialogFunction set_color_dialog_function(ColorDialogFunction function)
{
    ColorDialogFunction previous = std::move(color_dialog);
    color_dialog = function ? std::move(function) : ColorDialogFunction(system_color_dialog);
    return previous;
}
