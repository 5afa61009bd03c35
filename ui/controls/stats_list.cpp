#include "ui/controls/stats_list.h"

#include <commctrl.h>

#include "core/text/messages.h"

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

HWND create_stats_list(HWND parent, UINT id, const RECT& rect)
{
    const HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_NOSORTHEADER |
                                          LVS_SHOWSELALWAYS | LVS_SINGLESEL,
                                      rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr),
                                      nullptr);
    if (!list) return nullptr;
    SendMessageW(list, WM_SETFONT, SendMessageW(parent, WM_GETFONT, 0, 0), FALSE);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    add_column(list, 0, MessageText(50281).str());
    add_column(list, 1, MessageText(50282).str());
    return list;
}

void show_stats_list(HWND list, const std::vector<StatsListLine>& lines)
{
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
    for (int column = 0; column < 2; ++column) ListView_SetColumnWidth(list, column, LVSCW_AUTOSIZE_USEHEADER);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}
