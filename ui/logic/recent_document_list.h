// A recent-document list as the main window keeps it: entries of at most 260 characters,
// the newest last in the array and first in the menu, a capacity of 2 to 20 (9 unless
// the registry says otherwise), stored under a key's "Recent Document List" subkey as
// "DocumentCount" and "Document1" (the newest) upward.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The values of one registry key, so that the layout can be tested without a registry.
class IRecentListStore {
public:
    virtual ~IRecentListStore() = default;
    virtual std::optional<std::uint32_t> read_dword(const std::wstring& name) const = 0;
    virtual std::optional<std::wstring> read_string(const std::wstring& name) const = 0;
    // Failed writes are ignored: a list that cannot be stored still works for this run.
    virtual void write_dword(const std::wstring& name, std::uint32_t value) = 0;
    virtual void write_string(const std::wstring& name, const std::wstring& value) = 0;
    virtual void delete_value(const std::wstring& name) = 0;
};

class RecentDocumentList {
public:
    static constexpr unsigned default_capacity = 9;
    static constexpr unsigned min_capacity = 2;
    static constexpr unsigned max_capacity = 20;
    static constexpr std::size_t max_entry_length = 260;

    // Commands first_id .. first_id + max_capacity - 1 belong to the list.
    explicit RecentDocumentList(unsigned first_id) : first_id_(first_id) {}

    unsigned first_id() const { return first_id_; }
    unsigned capacity() const { return capacity_; }
    std::size_t size() const { return entries_.size(); }
    // Newest last.
    const std::vector<std::wstring>& entries() const { return entries_; }

    // Makes `path` the newest entry (moved there when present, compared without regard
    // to letter case as Windows paths are); the oldest go beyond the capacity. A path
    // that is empty or too long to be an entry is not added.
    void add(const std::wstring& path);
    // Removes the entry (any letter case); false when it is not there.
    bool remove(const std::wstring& path);
    // The entry that command `id` stands for (first_id is the newest); none outside.
    std::optional<std::wstring> entry_for_command(unsigned id) const;
    // Menu texts, newest first: "&1 path", "&2 path", ...
    std::vector<std::wstring> menu_texts() const;

    // Reads capacity and entries; missing or unreadable values leave the list shorter
    // (or empty), an out-of-range capacity is clamped.
    void read(const IRecentListStore& store);
    // Writes capacity and entries and deletes "Document%i" beyond them up to 20.
    void write(IRecentListStore& store) const;

private:
    unsigned first_id_;
    unsigned capacity_ = default_capacity;
    std::vector<std::wstring> entries_;
};

// The subkey below the list's key that holds the values.
inline constexpr const wchar_t* recent_list_subkey = L"Recent Document List";
