#include "ui/controls/stats_list.h"

#include <commctrl.h>

#include "core/text/messages.h"
#include "ui/win32_util.h"

namespace {

void add_column(HWND list, int index, const std::wstring& title)
{
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 100;
    column.pszText = const_cast<wchar_t*>(title.c_str());
    ListView_InsertColumn(list, index, &column);
}

} // namespace

bool CStatsList::create(HWND parent, UINT id, const RECT& rect)
{
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_NOSORTHEADER |
                                          LVS_SHOWSELALWAYS | LVS_SINGLESEL,
                                      rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr),
                                      nullptr);
    if (!list_) return false;
    font_.reset(create_dpi_font(list_, nullptr, L"Trebuchet MS", 100, false, false));
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
    add_column(list_, 0, MessageText(50281).str());
    add_column(list_, 1, MessageText(50282).str());
    return true;
}

void CStatsList::show(const std::vector<StatsListLine>& lines)
{
    const HWND list = list_;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    int index = 0;
    for (const StatsListLine& line : lines) {
        const std::wstring name =
            line.heading ? MessageText(50280, line.range.first + 1, line.range.second + 1).str() : line.name;
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = const_cast<wchar_t*>(name.c_str());
        ListView_InsertItem(list, &item);
        ListView_SetItemText(list, index, 1, const_cast<wchar_t*>(line.value.c_str()));
        ++index;
    }
    // Each column as wide as its widest text or its title, whichever is wider.
    for (int column = 0; column < 2; ++column) {
        wchar_t title[64] = {};
        LVCOLUMNW header{};
        header.mask = LVCF_TEXT;
        header.pszText = title;
        header.cchTextMax = 64;
        ListView_GetColumn(list, column, &header);
        ListView_SetColumnWidth(list, column, LVSCW_AUTOSIZE);
        const int title_width = ListView_GetStringWidth(list, title) + 16;
        if (ListView_GetColumnWidth(list, column) < title_width) ListView_SetColumnWidth(list, column, title_width);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}
