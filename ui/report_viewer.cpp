#include "ui/report_viewer.h"

#include <shellapi.h>

#include "core/text/messages.h"
#include "ui/logic/report_commands.h"
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

ReportOffer show_report(HWND owner, const std::wstring& path)
{
    const std::wstring caption = MessageText(50224).str();
    if (show_message_box(owner, MessageText(50220, path).str(), caption, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return ReportOffer::Declined;
    if (open_file()(owner, path))
        return ReportOffer::Opened;
    show_message_box(owner, MessageText(50221, path).str(), caption, MB_OK | MB_ICONINFORMATION);
    return ReportOffer::NotOpened;
}

void delete_expired_reports()
{
    wchar_t folder[MAX_PATH + 1];
    if (!GetTempPathW(MAX_PATH + 1, folder)) return;
    const std::wstring pattern = folder + std::wstring(temporary_report_prefix) + L"*.html";
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    FILETIME now_time;
    GetSystemTimeAsFileTime(&now_time);
    const auto ticks = [](const FILETIME& t) { return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && is_temporary_report_name(found.cFileName) &&
            temporary_report_expired(ticks(found.ftLastWriteTime), ticks(now_time)))
            DeleteFileW((folder + std::wstring(found.cFileName)).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}
