#include "ui/controls/model_grid.h"

#include <algorithm>

#include "core/text/messages.h"
#include "ui/clipboard.h"
#include "wingui/dialog_hooks.h"


void CModelGrid::GetCellBkColor(int row, int column, COLORREF& colour)
{
    const bool current = row == CurrentRow() && column == CurrentColumn();
    if (const auto own = cells().background(row, column, current)) colour = *own;
}

void CModelGrid::GetCellTextColor(int row, int column, COLORREF& colour)
{
    if (const auto own = cells().text_color(row, column)) colour = *own;
}

void CModelGrid::SetCellText(int row, int column, const std::wstring& text)
{
    const CellCommit result = cells().commit(row, column, text, document_.commits());
    if (!result.error.empty()) {
        show_message_box(hwnd(), result.error, MessageText(50000).str(), MB_OK | MB_ICONWARNING);
        return;
    }
    if (!result.changed) return;
    const ModelGridSource source = document_.source();
    if (!source.model->expressions.empty())
        SendMessageW(hwnd(), LVM_REDRAWITEMS, source.model->component_count(), item_count() - 1);
    NotifyValueChanged();
}

void CModelGrid::OnImageClick(int row, int column)
{
    if (cells().image_click(row, column, document_.commits())) notify_parent(GRIDN_FLAGS_TOGGLED);
}

void CModelGrid::OnActivate(int row, int column)
{
    if (row >= 0) notify_parent(GRIDN_ACTIVATE, row, column - 3);
}

void CModelGrid::CopyRow()
{
    if (const auto clip = row_clip_text(document_, CurrentRow(), !options_.use_fit_values))
        set_clipboard_text(hwnd(), clip->format, clip->text);
}

void CModelGrid::CutRow()
{
    if (!options_.editable) return;
    const bool cut = cut_row(document_, CurrentRow(),
                             [this](const RowClip& clip) { return set_clipboard_text(hwnd(), clip.format, clip.text); });
    if (!cut) return;
    Refresh(true);
    NotifyValueChanged();
}

void CModelGrid::PasteRow()
{
    if (!options_.editable) return;
    const int current = CurrentRow();
    const unsigned insertion = static_cast<unsigned>(current >= 0 ? current + 1 : item_count());
    const auto component = read_clipboard_text(hwnd(), component_clipboard_format);
    const auto expression = component && !component->empty()
                                ? std::nullopt
                                : read_clipboard_text(hwnd(), expression_clipboard_format);
    const int row = paste_row(document_, insertion, component, expression);
    if (row < 0) return;
    Refresh(true);
    SelectCell(row, -1);
    OnCellChange();
    NotifyValueChanged();
}

const ModelGridCells& CModelGrid::cells() const
{
    if (!one_reading_ || !cells_) cells_.emplace(document_.source(), options_);
    return *cells_;
}

void CModelGrid::BeginCellReading()
{
    one_reading_ = true;
    cells_.reset();
}

void CModelGrid::EndCellReading()
{
    one_reading_ = false;
    cells_.reset();
}

void CModelGrid::Refresh(bool rebuild)
{
    const HWND w = hwnd();
    SendMessageW(w, WM_SETREDRAW, FALSE, 0);
    BeginCellReading();
    const ModelGridCells& c = cells();
    const int columns = static_cast<int>(c.column_count());
    if (rebuild) reset_columns(columns, 100, c.row_count());
    const int unit = string_width(L"00");
    measure_with_all_rows([&] {
        SendMessageW(w, LVM_SETCOLUMNWIDTH, 0, 5 * unit);
        for (int i = 1; i < columns; ++i) SendMessageW(w, LVM_SETCOLUMNWIDTH, i, LVSCW_AUTOSIZE);
    });
    // Measuring leaves the padlock out of a cell's width: room for it is added.
    int image_width = 0, image_height = 0;
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(w, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    if (options_.parameter_mode && images) ImageList_GetIconSize(images, &image_width, &image_height);
    for (int i = 1; i < columns; ++i) {
        const int width = static_cast<int>(SendMessageW(w, LVM_GETCOLUMNWIDTH, i, 0)) + image_width;
        SendMessageW(w, LVM_SETCOLUMNWIDTH, i, std::min(width, 30 * unit));
    }
    EndCellReading();
    SendMessageW(w, WM_SETREDRAW, TRUE, 0);
    EnsureCellVisible();
    InvalidateRect(w, nullptr, TRUE);
}
