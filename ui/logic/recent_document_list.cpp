#include "ui/logic/recent_document_list.h"

#include <algorithm>
#include <cwctype>

namespace {

bool same_path(const std::wstring& a, const std::wstring& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return std::towlower(x) == std::towlower(y);
           });
}

std::wstring document_value(std::size_t i) { return L"Document" + std::to_wstring(i); }

} // namespace

void RecentDocumentList::add(const std::wstring& path)
{
    if (path.empty() || path.size() >= max_entry_length) return;
    remove(path);
    entries_.push_back(path);
    if (entries_.size() > capacity_) entries_.erase(entries_.begin(), entries_.end() - capacity_);
}

bool RecentDocumentList::remove(const std::wstring& path)
{
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const std::wstring& e) { return same_path(e, path); });
    if (it == entries_.end()) return false;
    entries_.erase(it);
    return true;
}

std::optional<std::wstring> RecentDocumentList::entry_for_command(unsigned id) const
{
    if (id < first_id_ || id - first_id_ >= entries_.size()) return std::nullopt;
    return entries_[entries_.size() - 1 - (id - first_id_)];
}

std::vector<std::wstring> RecentDocumentList::menu_texts() const
{
    std::vector<std::wstring> texts;
    for (std::size_t k = 0; k < entries_.size(); ++k)
        texts.push_back(L"&" + std::to_wstring(k + 1) + L" " + entries_[entries_.size() - 1 - k]);
    return texts;
}

void RecentDocumentList::read(const IRecentListStore& store)
{
    capacity_ = std::clamp(store.read_dword(L"DocumentCount").value_or(default_capacity), min_capacity, max_capacity);
    entries_.clear();
    // Document1 is the newest; the array keeps the newest last.
    std::vector<std::wstring> newest_first;
    for (unsigned i = 1; i <= capacity_; ++i) {
        const std::optional<std::wstring> value = store.read_string(document_value(i));
        if (!value) break;
        if (value->empty() || value->size() >= max_entry_length) continue;
        newest_first.push_back(*value);
    }
    entries_.assign(newest_first.rbegin(), newest_first.rend());
}

void RecentDocumentList::write(IRecentListStore& store) const
{
    store.write_dword(L"DocumentCount", capacity_);
    for (std::size_t k = 0; k < entries_.size(); ++k) store.write_string(document_value(k + 1), entries_[entries_.size() - 1 - k]);
    for (std::size_t i = entries_.size() + 1; i <= max_capacity; ++i) store.delete_value(document_value(i));
}
