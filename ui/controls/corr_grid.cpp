#include "ui/controls/corr_grid.h"

void CCorrGrid::Fill(const SpectrumModel& model, const std::function<bool(unsigned)>& is_varied,
                     const DMatrix& covariance, const DMatrix& directions)
{
    data_.fill(model, is_varied, covariance, directions);
    InvalidateRect(hwnd(), nullptr, TRUE);
    SelectCell(-1, -1);
    Refresh(true);
}

void CCorrGrid::Clear()
{
    data_.clear();
    InvalidateRect(hwnd(), nullptr, TRUE);
    Refresh(true);
}

void CCorrGrid::GetCellBkColor(int row, int column, COLORREF& colour)
{
    if (const auto own = data_.background(row, column)) colour = *own;
}

void CCorrGrid::OnSelChange(int row)
{
    if (row < 2) {
        SelectCell(-1, -1);
        return;
    }
    notify_parent(GRIDN_SEL_CHANGE, row);
}

void CCorrGrid::SelectParam(int k)
{
    SelectCell(data_.row_of_param(k), -1);
}

void CCorrGrid::Refresh(bool rebuild)
{
    const HWND w = hwnd();
    SendMessageW(w, WM_SETREDRAW, FALSE, 0);
    const int columns = static_cast<int>(data_.column_count());
    if (rebuild) reset_columns(columns, 200, data_.row_count());
    measure_with_all_rows([&] {
        SendMessageW(w, LVM_SETCOLUMNWIDTH, 0, string_width(L"   000  "));
        for (int i = 1; i < columns; ++i) SendMessageW(w, LVM_SETCOLUMNWIDTH, i, LVSCW_AUTOSIZE);
    });
    SendMessageW(w, WM_SETREDRAW, TRUE, 0);
}
