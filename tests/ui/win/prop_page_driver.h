// Typing into the "Properties" dialog's grid as a user would: select the cell, start
// the in-place editor with a key, replace its text and confirm with Enter.
#pragma once

#include <windows.h>

#include "ui/dialogs/prop_page_dlg.h"

inline void edit_cell(CPropPageDlg& dialog, int row, int column, const wchar_t* text)
{
    CGrid& grid = dialog.grid();
    SetFocus(grid.hwnd());
    grid.SelectCell(row, column);
    SendMessageW(grid.hwnd(), WM_CHAR, L'x', 0);
    SetWindowTextW(grid.editor(), text);
    SendMessageW(grid.editor(), WM_CHAR, VK_RETURN, 0);
}
