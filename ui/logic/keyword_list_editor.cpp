#include "ui/logic/keyword_list_editor.h"

#include <stdexcept>

#include "core/text/messages.h"

KeywordListEditor::KeywordListEditor(const KeywordList& list, bool read_only) : copy_(list), read_only_(read_only)
{
    index_visible();
}

void KeywordListEditor::index_visible()
{
    visible_.clear();
    for (std::size_t i = 0; i < copy_.size(); ++i)
        if (!(copy_[i].second.flags & KWHidden)) visible_.push_back(i);
}

const std::pair<std::wstring, KWData>& KeywordListEditor::item(unsigned n) const
{
    if (n >= visible_.size()) throw std::out_of_range("index out of range in Item");
    return copy_[visible_[n]];
}

std::optional<std::wstring> KeywordListEditor::text(int row, int column) const
{
    if (row < 0 || column < 0 || column > 1) return std::nullopt;
    if (static_cast<unsigned>(row) < visible_count()) {
        const auto& entry = item(row);
        return column == 0 ? entry.first : entry.second.value;
    }
    if (static_cast<unsigned>(row) == visible_count() && column == 0) return std::wstring();
    return std::nullopt;
}

int KeywordListEditor::last_cell_column(int row) const
{
    return row >= 0 && static_cast<unsigned>(row) < visible_count() ? 1 : 0;
}

std::optional<std::wstring> KeywordListEditor::begin_edit(int row, int column) const
{
    if (read_only_ || row < 0 || column < 0) return std::nullopt;
    if (static_cast<unsigned>(row) == visible_count()) return column == 0 ? std::optional<std::wstring>(L"") : std::nullopt;
    if (static_cast<unsigned>(row) > visible_count() || column > 1) return std::nullopt;
    const auto& entry = item(row);
    if (entry.second.flags & KWReadOnly) return std::nullopt;
    return column == 0 ? entry.first : entry.second.value;
}

bool KeywordListEditor::key_taken(const std::wstring& key, std::size_t except) const
{
    for (std::size_t i = 0; i < copy_.size(); ++i)
        if (i != except && copy_[i].first == key) return true;
    return false;
}

std::optional<std::wstring> KeywordListEditor::set_text(int row, int column, const std::wstring& text)
{
    if (!begin_edit(row, column)) return std::nullopt;
    if (static_cast<unsigned>(row) == visible_count()) {
        if (text.empty()) return std::nullopt;
        if (key_taken(text, copy_.size())) return MessageText(50131, text).str();
        copy_.push_back({text, KWData{}});
        index_visible();
        return std::nullopt;
    }
    const std::size_t at = visible_[row];
    if (column == 1) {
        copy_[at].second.value = text;
        copy_[at].second.flags &= ~KWTransient;
        return std::nullopt;
    }
    if (text.empty()) return MessageText(50130).str();
    if (key_taken(text, at)) return MessageText(50131, text).str();
    copy_[at].first = text;
    return std::nullopt;
}

bool KeywordListEditor::delete_row(int row)
{
    if (read_only_ || row < 0 || static_cast<unsigned>(row) >= visible_count()) return false;
    if (item(row).second.flags & KWReadOnly) return false;
    copy_.erase(copy_.begin() + static_cast<std::ptrdiff_t>(visible_[row]));
    index_visible();
    return true;
}
