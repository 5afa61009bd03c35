// Showing a written report. The embedded web browser needs an HTML engine that the
// system may not have (Wine has none), so the report goes to the system's own web
// browser, with the user's consent; when that cannot open it either, the user is told
// where the report is.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Opens a file in the program the system associates with it; true on success.
using OpenFileFunction = std::function<bool(HWND owner, const std::wstring& path)>;

// Installs a replacement (tests) and returns the previous one; empty restores ShellExecuteW.
OpenFileFunction set_open_file_function(OpenFileFunction function);

// Offers to open the report at `path` in the web browser; true when it was opened.
bool show_report(HWND owner, const std::wstring& path);
