#include "ui/logic/grid_cursor.h"

std::optional<int> move_grid_column(GridKey key, int current, int first, int last)
{
    switch (key) {
    case GridKey::Left:
        if (current < 0) return std::nullopt;
        return current > first ? current - 1 : -1;
    case GridKey::Right: {
        const int next = current < 0 ? first : current + 1;
        if (next < first || next > last) return std::nullopt;
        return next;
    }
    case GridKey::Home:
        if (current > first) return first;
        return std::nullopt;
    case GridKey::End:
        if (current >= 0 && current < last) return last;
        return std::nullopt;
    }
    return std::nullopt;
}

void GridEditSession::open(int row, int column, std::wstring start_text)
{
    row_ = row;
    column_ = column;
    start_ = std::move(start_text);
    blocked_ = false;
}

void GridEditSession::press(bool on_current_cell_with_focus)
{
    blocked_ = !on_current_cell_with_focus;
}

std::optional<std::wstring> GridEditSession::finish(const std::wstring& editor_text)
{
    if (blocked_) return std::nullopt;
    blocked_ = true;
    if (editor_text == start_) return std::nullopt;
    return editor_text;
}
