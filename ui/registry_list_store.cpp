#include "ui/registry_list_store.h"

#include <windows.h>

#include <vector>

#include "wingui/handles.h"

namespace {

ScopedRegistryKey open_key(const std::wstring& subkey, bool create)
{
    HKEY key = nullptr;
    const LONG status = create ? RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                                 nullptr, &key, nullptr)
                               : RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key);
    return ScopedRegistryKey(status == ERROR_SUCCESS ? key : nullptr);
}

} // namespace

RegistryListStore::RegistryListStore(const std::wstring& key) : subkey_(key + L"\\" + recent_list_subkey) {}

std::optional<std::uint32_t> RegistryListStore::read_dword(const std::wstring& name) const
{
    const ScopedRegistryKey key = open_key(subkey_, false);
    DWORD type = 0, value = 0, size = sizeof value;
    if (!key || RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                    ERROR_SUCCESS || type != REG_DWORD)
        return std::nullopt;
    return value;
}

std::optional<std::wstring> RegistryListStore::read_string(const std::wstring& name) const
{
    const ScopedRegistryKey key = open_key(subkey_, false);
    DWORD type = 0, size = 0;
    if (!key || RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer.data());  // the stored string may lack its terminator
}

void RegistryListStore::write_dword(const std::wstring& name, std::uint32_t value)
{
    if (const ScopedRegistryKey key = open_key(subkey_, true))
        RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void RegistryListStore::write_string(const std::wstring& name, const std::wstring& value)
{
    if (const ScopedRegistryKey key = open_key(subkey_, true))
        RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void RegistryListStore::delete_value(const std::wstring& name)
{
    if (const ScopedRegistryKey key = open_key(subkey_, true)) RegDeleteValueW(key.get(), name.c_str());
}
