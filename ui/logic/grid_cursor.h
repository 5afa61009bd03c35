// The grid's current cell and its in-place editor, without the window: which column the
// arrow keys reach, and when an editor's text is committed. A row's selectable columns
// are [first, last]; last below first means the row is only ever selected whole (-1).
#pragma once

#include <optional>
#include <string>

enum class GridKey { Left, Right, Home, End };

// The current column after `key`, or nothing when it does not move.
std::optional<int> move_grid_column(GridKey key, int current, int first, int last);

// One opening of the in-place editor. A press on the grid that is not on the current
// cell, Escape, and a commit already made drop the edit; Enter, losing the focus and
// hiding the grid commit it, once. A text the user did not change is never committed:
// the editor starts from the display-rounded value, which would overwrite the exact one.
class GridEditSession {
public:
    void open(int row, int column, std::wstring start_text);
    // A mouse press: `on_current_cell_with_focus` false drops any pending commit and
    // keeps the click from opening the editor.
    void press(bool on_current_cell_with_focus);
    void cancel() { blocked_ = true; }
    // The text to commit at the end of editing, or nothing.
    std::optional<std::wstring> finish(const std::wstring& editor_text);

    bool blocked() const { return blocked_; }
    int row() const { return row_; }
    int column() const { return column_; }

private:
    int row_ = -1, column_ = -1;
    std::wstring start_;
    bool blocked_ = true;
};
