#include "wingui/resources.h"

namespace {

WORD language = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The resource's data in the resource language, else in English, else in any language
// (FindResourceW's own choice); null when the program has none.
const void* find_resource(const wchar_t* type, UINT id, DWORD* size = nullptr)
{
    const HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), language);
    if (!found) found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (!found) found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found) return nullptr;
    if (size) *size = SizeofResource(module, found);
    const HGLOBAL loaded = LoadResource(module, found);
    return loaded ? LockResource(loaded) : nullptr;
}

} // namespace

void set_resource_language(WORD langid) { language = langid; }
WORD resource_language() { return language; }

std::wstring load_string_resource(UINT id)
{
    // Strings live in blocks of 16, block n + 1 holding ids 16n to 16n + 15, each a
    // length word followed by that many UTF-16 units.
    DWORD size = 0;
    const auto* block = static_cast<const WCHAR*>(find_resource(RT_STRING, id / 16 + 1, &size));
    if (!block) return {};
    const WCHAR* const end = block + size / sizeof(WCHAR);
    for (UINT index = 0; index < id % 16 && block < end; ++index) block += 1 + *block;
    if (block >= end || block + 1 + *block > end) return {};
    return std::wstring(block + 1, *block);
}

HMENU load_menu_resource(UINT id)
{
    const void* menu = find_resource(RT_MENU, id);
    return menu ? LoadMenuIndirectW(menu) : nullptr;
}

const DLGTEMPLATE* find_dialog_resource(UINT id) { return static_cast<const DLGTEMPLATE*>(find_resource(RT_DIALOG, id)); }
