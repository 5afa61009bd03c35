// The keyword-list editor's grid without the window: a copy of a keyword list shown as
// key and value rows (hidden entries left out, in list order), then one empty row where
// a new key is typed. The caller's list changes only when the copy is written back.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/text/kwfile.h"

class KeywordListEditor {
public:
    KeywordListEditor(const KeywordList& list, bool read_only);

    bool read_only() const { return read_only_; }
    // The visible entries and the new-entry row.
    unsigned row_count() const { return static_cast<unsigned>(visible_.size()) + 1; }
    unsigned visible_count() const { return static_cast<unsigned>(visible_.size()); }
    // Visible entry n; std::out_of_range "index out of range in Item" beyond them.
    const std::pair<std::wstring, KWData>& item(unsigned n) const;

    std::optional<std::wstring> text(int row, int column) const;
    // 1 on an entry row, 0 on the new-entry row.
    int last_cell_column(int row) const;
    std::optional<std::wstring> begin_edit(int row, int column) const;
    // Renames a key, sets a value (the entry stops being transient) or adds an entry
    // from the new-entry row. An empty key and a key another entry has are refused with
    // a message; an empty text on the new-entry row adds nothing.
    std::optional<std::wstring> set_text(int row, int column, const std::wstring& text);
    // Removes the entry of an entry row unless it is read-only (or the editor is);
    // true when removed.
    bool delete_row(int row);

    const KeywordList& list() const { return copy_; }

private:
    void index_visible();
    bool key_taken(const std::wstring& key, std::size_t except) const;

    KeywordList copy_;
    std::vector<std::size_t> visible_;  // positions in the copy
    bool read_only_;
};
