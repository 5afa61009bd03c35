#include "ui/report_viewer.h"

#include <shellapi.h>

#include "core/text/messages.h"
#include "wingui/dialog_hooks.h"

namespace {

bool shell_open(HWND owner, const std::wstring& path)
{
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

OpenFileFunction& open_file()
{
    static OpenFileFunction function = shell_open;
    return function;
}

} // namespace

OpenFileFunction set_open_file_function(OpenFileFunction function)
{
    OpenFileFunction previous = std::move(open_file());
    open_file() = function ? std::move(function) : OpenFileFunction(shell_open);
    return previous;
}

bool show_report(HWND owner, const std::wstring& path)
{
    const std::wstring caption = MessageText(50224).str();
    if (show_message_box(owner, MessageText(50220, path).str(), caption, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    if (open_file()(owner, path))
        return true;
    show_message_box(owner, MessageText(50221, path).str(), caption, MB_OK | MB_ICONINFORMATION);
    return false;
}
