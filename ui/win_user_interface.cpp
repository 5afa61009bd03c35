#include "ui/win_user_interface.h"

#include <windows.h>

#include "ui/dialogs/prop_page_dlg.h"
#include "wingui/dialog_hooks.h"
#include "ui/win32_util.h"

int WinUserInterface::edit_keyword_list(KeywordList& list, int, const std::wstring& title)
{
    CPropPageDlg dialog(list, false, title);
    return static_cast<int>(dialog.run(GetActiveWindow()));
}

std::optional<std::wstring> WinUserInterface::choose_open_file(const std::wstring& default_extension,
                                                              const std::wstring& filter,
                                                              const std::wstring& initial_folder)
{
    FileDialogRequest request;
    request.owner = GetActiveWindow();
    request.filter = filter;
    request.default_extension = default_extension;
    request.initial_folder = initial_folder;
    return show_file_dialog(request);
}

void WinUserInterface::message_box(const std::wstring& text, const std::wstring& caption)
{
    show_message_box(GetActiveWindow(), text, caption, MB_OK | MB_ICONINFORMATION);
}

bool WinUserInterface::ask_ok_cancel(const std::wstring& text, const std::wstring& caption)
{
    return show_message_box(GetActiveWindow(), text, caption, MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDOK;
}

void WinUserInterface::debug_output(const std::wstring& text) { OutputDebugStringW((text + L"\n").c_str()); }

std::wstring WinUserInterface::program_folder() { return folder_of(module_path()); }
