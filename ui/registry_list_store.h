// A recent list's values in the current user's registry: the "Recent Document List"
// subkey of the list's key. Missing keys read as nothing; failed writes are ignored.
#pragma once

#include <string>

#include "ui/logic/recent_document_list.h"

class RegistryListStore final : public IRecentListStore {
public:
    // `key` below HKEY_CURRENT_USER, e.g. "Software\Ostrand\Vexmoor\Folder".
    explicit RegistryListStore(const std::wstring& key);

    std::optional<std::uint32_t> read_dword(const std::wstring& name) const override;
    std::optional<std::wstring> read_string(const std::wstring& name) const override;
    void write_dword(const std::wstring& name, std::uint32_t value) override;
    void write_string(const std::wstring& name, const std::wstring& value) override;
    void delete_value(const std::wstring& name) override;

private:
    std::wstring subkey_;
};
