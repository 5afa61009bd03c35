// Showing a written report where the program's own viewer cannot (no HTML engine, as in
// Wine without Gecko): the report goes to the system's own web browser, with the user's
// consent; when that cannot open it either, the user is told where the report is. And
// the clean-up of the temporary reports that viewing leaves.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Opens a file in the program the system associates with it; true on success.
using OpenFileFunction = std::function<bool(HWND owner, const std::wstring& path)>;

// Installs a replacement (tests) and returns the previous one; empty restores ShellExecuteW.
OpenFileFunction set_open_file_function(OpenFileFunction function);

enum class ReportOffer {
    Opened,     // the browser has it
    Declined,   // the user said No: nothing will read the file
    NotOpened,  // nothing could open it; the user was told where it is
};
// Offers to open the report at `path` in the web browser.
ReportOffer show_report(HWND owner, const std::wstring& path);

// Deletes the program's temporary reports older than a day.
void delete_expired_reports();
