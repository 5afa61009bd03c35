#include "wingui/dialog_hooks.h"

#include <commdlg.h>
#include <shobjidl.h>

#include <algorithm>

#include "wingui/com_ptr.h"
#include "wingui/resources.h"

namespace {

// The common dialog hands the hook procedure its OPENFILENAME once, with WM_INITDIALOG;
// the extension is kept in the hook dialog's user data for the messages after it.
UINT_PTR CALLBACK extension_hook(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<const OPENFILENAMEW*>(lparam)->lCustData);
    auto* extension = reinterpret_cast<FileDialogExtension*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    return extension ? static_cast<UINT_PTR>(extension->hook_message(dialog, message, wparam, lparam)) : 0;
}

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
    if (request.extension) {
        // The template in the user-interface language, handed over as loaded: the
        // dialog would otherwise look it up in the thread's language.
        if (const DLGTEMPLATE* child = find_dialog_resource(request.extension->template_id())) {
            dialog.Flags |= OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE | OFN_ENABLESIZING;
            dialog.hInstance = reinterpret_cast<HINSTANCE>(const_cast<DLGTEMPLATE*>(child));
            dialog.lpfnHook = extension_hook;
            dialog.lCustData = reinterpret_cast<LPARAM>(request.extension);
        }
    }
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

std::optional<std::wstring> system_folder_dialog(HWND owner, const std::wstring& initial_folder)
{
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(dialog.put()))))
        return std::nullopt;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_FILEMUSTEXIST);
    if (!initial_folder.empty()) {
        ComPtr<IShellItem> folder;
        if (SUCCEEDED(SHCreateItemFromParsingName(initial_folder.c_str(), nullptr, IID_PPV_ARGS(folder.put()))))
            dialog->SetDefaultFolder(folder.get());
    }
    ComPtr<IShellItem> result;
    if (FAILED(dialog->Show(owner)) || FAILED(dialog->GetResult(result.put()))) return std::nullopt;
    PWSTR path = nullptr;
    if (FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, &path))) return std::nullopt;
    std::wstring chosen(path);
    CoTaskMemFree(path);
    return chosen;
}

MessageBoxFunction message_box = system_message_box;
FolderDialogFunction folder_dialog = system_folder_dialog;
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

std::optional<std::wstring> show_folder_dialog(HWND owner, const std::wstring& initial_folder)
{
    return folder_dialog(owner, initial_folder);
}

FolderDialogFunction set_folder_dialog_function(FolderDialogFunction function)
{
    FolderDialogFunction previous = std::move(folder_dialog);
    folder_dialog = function ? std::move(function) : FolderDialogFunction(system_folder_dialog);
    return previous;
}
