// The Windows clipboard for the grids: text under CF_UNICODETEXT alone (a cell) or
// together with one of the program's registered formats (a component or an
// expression). The clipboard functions are replaceable, so tests can make the
// clipboard busy or fail and see that nothing is lost.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

struct ClipboardApi {
    std::function<BOOL(HWND)> open = OpenClipboard;
    std::function<BOOL()> empty = EmptyClipboard;
    std::function<HANDLE(UINT, HANDLE)> set_data = SetClipboardData;
    std::function<HANDLE(UINT)> get_data = GetClipboardData;
    std::function<BOOL()> close = CloseClipboard;
    std::function<BOOL(UINT)> is_available = IsClipboardFormatAvailable;
};

// Installs replacements and returns the functions in use before.
ClipboardApi set_clipboard_api(ClipboardApi api);

// A movable block with the text and its NUL; null for a null text or when allocating or
// locking fails.
HGLOBAL clipboard_alloc_text(const wchar_t* text);
// Puts the text under CF_UNICODETEXT and under the registered format `format_name`
// (null: CF_UNICODETEXT alone). True when the clipboard took every block.
bool set_clipboard_text(HWND owner, const wchar_t* format_name, const std::wstring& text);
// The whole text under the format (a registered name, or null for CF_UNICODETEXT);
// nothing when the clipboard is busy or holds no such text.
std::optional<std::wstring> read_clipboard_text(HWND owner, const wchar_t* format_name);
// True when a component or an expression is on the clipboard.
bool clipboard_has_model_data();
