#include "ui/win32_util.h"

#include <rpc.h>

#include <algorithm>

#include "wingui/handles.h"

namespace {

DpiFunctions dpi;

} // namespace

std::wstring module_path(HMODULE module)
{
    std::wstring path(260, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        // A full buffer means the path may have been cut.
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

std::wstring folder_of(const std::wstring& path)
{
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

std::wstring make_temp_file_name(const std::wstring& prefix, const std::wstring& suffix)
{
    wchar_t folder[MAX_PATH + 1];
    if (!GetTempPathW(MAX_PATH + 1, folder)) return {};
    UUID uuid;
    // A UUID unique only on this computer is good enough for a file name, but says the
    // network card was not readable; treated as the failure it signals.
    if (UuidCreate(&uuid) != RPC_S_OK) return {};
    RPC_WSTR text = nullptr;
    if (UuidToStringW(&uuid, &text) != RPC_S_OK) return {};
    std::wstring name = std::wstring(folder) + prefix + reinterpret_cast<const wchar_t*>(text) + suffix;
    RpcStringFreeW(&text);
    return name;
}

void load_dpi_functions()
{
    const HMODULE user32 = GetModuleHandleW(L"User32.dll");
    if (!user32) return;
    // GetProcAddress returns a generic pointer; each is cast to its own signature.
    dpi.get_dpi_for_window = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
    dpi.enable_non_client_dpi_scaling = reinterpret_cast<EnableNonClientDpiScalingFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "EnableNonClientDpiScaling")));
    dpi.set_thread_dpi_awareness_context = reinterpret_cast<SetThreadDpiAwarenessContextFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
}

const DpiFunctions& dpi_functions() { return dpi; }
void set_dpi_functions(const DpiFunctions& functions) { dpi = functions; }

DWORD read_registry_dword(const std::wstring& subkey, const std::wstring& name, DWORD fallback)
{
    DWORD value = 0, size = sizeof value;
    const LSTATUS status =
        RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), RRF_RT_DWORD, nullptr, &value, &size);
    return status == ERROR_SUCCESS ? value : fallback;
}

void write_registry_dword(const std::wstring& subkey, const std::wstring& name, DWORD value)
{
    ScopedRegistryKey key;
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created,
                        nullptr) != ERROR_SUCCESS)
        return;
    key.reset(created);
    RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void set_ui_language(LANGID langid)
{
    // A list of one language, ended by two NULs: the zero-filled buffer holds them.
    wchar_t languages[32] = {};
    swprintf(languages, 31, L"%x", static_cast<unsigned>(langid));
    ULONG count = 0;
    SetThreadPreferredUILanguages(MUI_LANGUAGE_ID, languages, &count);
}

LOGFONTW dpi_font_description(HWND window, HDC dc, const std::wstring& face, int tenths_of_point, bool bold,
                              bool italic)
{
    LOGFONTW font{};
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = italic ? 1 : 0;
    int dots_per_inch = 96;
    if (window) {
        if (dpi.get_dpi_for_window) {
            dots_per_inch = static_cast<int>(dpi.get_dpi_for_window(window));
        } else {
            const ScopedWindowDc window_dc(window);
            dots_per_inch = GetDeviceCaps(window_dc.get(), LOGPIXELSY);
        }
    } else if (dc) {
        dots_per_inch = GetDeviceCaps(dc, LOGPIXELSY);
    }
    font.lfHeight = -MulDiv(dots_per_inch, tenths_of_point, 720);
    const size_t length = std::min<size_t>(face.size(), LF_FACESIZE - 1);
    std::copy_n(face.c_str(), length, font.lfFaceName);
    return font;
}

HFONT create_dpi_font(HWND window, HDC dc, const std::wstring& face, int tenths_of_point, bool bold, bool italic)
{
    const LOGFONTW font = dpi_font_description(window, dc, face, tenths_of_point, bold, italic);
    return CreateFontIndirectW(&font);
}

std::wstring control_text(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}
