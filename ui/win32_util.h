// Small wrappers of the Windows calls that several parts of the program need: the
// program's own path, temporary file names, the User32 DPI functions that only newer
// Windows versions have, DWORD settings under the current user's key, the thread's
// UI language and fonts sized in points for a window's DPI.
#pragma once

#include <windows.h>

#include <string>

// The full path of the program file (GetModuleFileNameW with a buffer that grows until
// the path fits, since paths may exceed MAX_PATH).
std::wstring module_path(HMODULE module = nullptr);
// The folder of `path`: everything before its last "\" or "/".
std::wstring folder_of(const std::wstring& path);

// A path in the temporary folder made of `prefix`, a new UUID and `suffix`; empty on
// failure. The file is not created.
std::wstring make_temp_file_name(const std::wstring& prefix, const std::wstring& suffix);

// The User32 DPI functions, null where Windows lacks them; filled by load_dpi_functions
// before any window exists and only read afterwards.
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using EnableNonClientDpiScalingFunction = BOOL(WINAPI*)(HWND);
using SetThreadDpiAwarenessContextFunction = HANDLE(WINAPI*)(HANDLE);
struct DpiFunctions {
    GetDpiForWindowFunction get_dpi_for_window = nullptr;
    EnableNonClientDpiScalingFunction enable_non_client_dpi_scaling = nullptr;
    SetThreadDpiAwarenessContextFunction set_thread_dpi_awareness_context = nullptr;
};
void load_dpi_functions();
const DpiFunctions& dpi_functions();
// For tests that need a given DPI.
void set_dpi_functions(const DpiFunctions& functions);

// A REG_DWORD (or 4-byte REG_BINARY) under HKEY_CURRENT_USER\subkey; `fallback` when it
// is missing or of another type or size.
DWORD read_registry_dword(const std::wstring& subkey, const std::wstring& name, DWORD fallback);
// Writes a REG_DWORD, creating the key when needed; failures are not reported.
void write_registry_dword(const std::wstring& subkey, const std::wstring& name, DWORD value);

// Makes `langid` the thread's preferred UI language; the result is ignored.
void set_ui_language(LANGID langid);

// A font of `face` (cut to 31 characters) at `tenths_of_point` for the DPI of `window`,
// else of `dc`, else 96; null when creation fails. The caller owns it.
HFONT create_dpi_font(HWND window, HDC dc, const std::wstring& face, int tenths_of_point, bool bold, bool italic);
// The LOGFONTW that create_dpi_font passes to CreateFontIndirectW.
LOGFONTW dpi_font_description(HWND window, HDC dc, const std::wstring& face, int tenths_of_point, bool bold,
                              bool italic);

// The key under which the program keeps its settings.
inline constexpr const wchar_t* settings_key = L"Software\\Ostrand\\Vexmoor";

// The whole text of a window or control, however long.
std::wstring control_text(HWND window);
