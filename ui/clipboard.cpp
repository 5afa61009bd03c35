#include "ui/clipboard.h"

#include <cstring>
#include <cwchar>
#include <utility>

#include "ui/logic/clipboard_text.h"

namespace {

ClipboardApi& api()
{
    static ClipboardApi instance;
    return instance;
}

UINT format_id(const wchar_t* format_name)
{
    return format_name ? RegisterClipboardFormatW(format_name) : CF_UNICODETEXT;
}

} // namespace

ClipboardApi set_clipboard_api(ClipboardApi replacement)
{
    return std::exchange(api(), std::move(replacement));
}

HGLOBAL clipboard_alloc_text(const wchar_t* text)
{
    if (!text) return nullptr;
    const std::size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block) return nullptr;
    void* p = GlobalLock(block);
    if (!p) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(p, text, bytes);
    GlobalUnlock(block);
    return block;
}

bool set_clipboard_text(HWND owner, const wchar_t* format_name, const std::wstring& text)
{
    const UINT format = format_name ? format_id(format_name) : 0;
    if (format_name && !format) return false;
    HGLOBAL blocks[2] = {clipboard_alloc_text(text.c_str()), format ? clipboard_alloc_text(text.c_str()) : nullptr};
    const UINT formats[2] = {CF_UNICODETEXT, format};
    const int wanted = format ? 2 : 1;
    int taken = 0;
    if (blocks[0] && (wanted == 1 || blocks[1]) && api().open(owner)) {
        if (api().empty()) {
            for (int i = 0; i < wanted; ++i) {
                if (api().set_data(formats[i], blocks[i])) {
                    blocks[i] = nullptr;  // the clipboard's now
                    ++taken;
                }
            }
        }
        api().close();
    }
    for (HGLOBAL block : blocks)
        if (block) GlobalFree(block);
    return taken == wanted;
}

std::optional<std::wstring> read_clipboard_text(HWND owner, const wchar_t* format_name)
{
    const UINT format = format_id(format_name);
    if (!format || !api().is_available(format) || !api().open(owner)) return std::nullopt;
    std::optional<std::wstring> text;
    if (const HANDLE data = api().get_data(format)) {
        if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            // Another program's block need not end in a NUL: never read past its size.
            const std::size_t most = GlobalSize(data) / sizeof(wchar_t);
            text.emplace(p, wcsnlen(p, most));
            GlobalUnlock(data);
        }
    }
    api().close();
    return text;
}

bool clipboard_has_model_data()
{
    return api().is_available(format_id(component_clipboard_format)) ||
           api().is_available(format_id(expression_clipboard_format));
}
