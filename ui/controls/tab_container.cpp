#include "ui/controls/tab_container.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/resource_ids.h"
#include "ui/controls/splitter.h"

CTabContainer::CTabContainer()
{
    accelerators_.reset(LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TAB_ACCELERATORS)));
    MessageMap& map = message_map();
    map.on_message(WM_CREATE, [this](WPARAM, LPARAM) -> LRESULT {
        tabs_ = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0,
                                0, 0, hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
        return tabs_ ? 0 : -1;
    });
    map.on_message(WM_SIZE, [this](WPARAM, LPARAM) {
        layout();
        return LRESULT{0};
    });
    // The focus that reaches the container (the frame passes its own on) goes to the
    // page in front, so the grid's keys work as soon as the window is active.
    map.on_message(WM_SETFOCUS, [this](WPARAM, LPARAM) {
        if (const HWND shown = page(current_page())) SetFocus(shown);
        return LRESULT{0};
    });
    map.on_message(WM_SETFONT, [this](WPARAM font, LPARAM redraw) {
        if (tabs_) SendMessageW(tabs_, WM_SETFONT, font, redraw);
        return LRESULT{0};
    });
    map.on_message(WM_COMMAND, [this](WPARAM wparam, LPARAM lparam) {
        if (LOWORD(wparam) == ID_NEXT_PAGE && lparam == 0) {
            next_page();
            return LRESULT{0};
        }
        return SendMessageW(GetParent(hwnd()), WM_COMMAND, wparam, lparam);
    });
    map.on_message(WM_NOTIFY, [this](WPARAM wparam, LPARAM lparam) {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE) {
            SelectPage(std::max(0, current_page()));
            return LRESULT{0};
        }
        return SendMessageW(GetParent(hwnd()), WM_NOTIFY, wparam, lparam);
    });
    for (UINT message : {WM_DRAWITEM, WM_MEASUREITEM, WM_DELETEITEM, WM_VKEYTOITEM, WM_CHARTOITEM,
                         WM_COMPAREITEM, WM_HSCROLL, WM_VSCROLL, WM_PARENTNOTIFY, WM_CTLCOLORBTN, WM_CTLCOLORDLG,
                         WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORMSGBOX, WM_CTLCOLORSCROLLBAR,
                         WM_CTLCOLORSTATIC})
        map.on_message(message, [this, message](WPARAM wparam, LPARAM lparam) {
            LRESULT result = 0;
            forward_to_parent(hwnd(), message, wparam, lparam, result);
            return result;
        });
}

bool CTabContainer::create_window(HWND parent, UINT id)
{
    WindowClassStyle style;
    style.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    WindowPlacement placement;
    placement.parent = parent;
    placement.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    placement.ex_style = WS_EX_CONTROLPARENT;
    placement.x = placement.y = placement.width = placement.height = 0;
    placement.menu_or_id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id));
    return create(L"Vexmoor.TabContainer", style, placement);
}

RECT CTabContainer::display_area() const
{
    RECT area{};
    GetClientRect(tabs_, &area);
    SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    return area;
}

void CTabContainer::AddPage(HWND page, const std::wstring& title)
{
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<wchar_t*>(title.c_str());
    item.lParam = reinterpret_cast<LPARAM>(page);
    const int count = static_cast<int>(SendMessageW(tabs_, TCM_GETITEMCOUNT, 0, 0));
    SendMessageW(tabs_, TCM_INSERTITEMW, count, reinterpret_cast<LPARAM>(&item));
    const RECT area = display_area();
    // The pages are the container's children; the tab control is drawn below them.
    SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top, 0);
    if (count == 0) {
        SendMessageW(tabs_, TCM_SETCURSEL, 0, 0);
        ShowWindow(page, SW_SHOW);
    } else {
        ShowWindow(page, SW_HIDE);
    }
}

int CTabContainer::current_page() const { return static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)); }

HWND CTabContainer::page(int index) const
{
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    if (!SendMessageW(tabs_, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<HWND>(item.lParam);
}

void CTabContainer::SelectPage(int index)
{
    const int count = static_cast<int>(SendMessageW(tabs_, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (i != index) ShowWindow(page(i), SW_HIDE);
    if (HWND shown = page(index)) {
        ShowWindow(shown, SW_SHOW);
        SetFocus(shown);
    }
    SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd()), page_selected),
                 reinterpret_cast<LPARAM>(hwnd()));
}

void CTabContainer::ActivatePage(HWND page_window)
{
    const int count = static_cast<int>(SendMessageW(tabs_, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (page(i) == page_window) {
            SendMessageW(tabs_, TCM_SETCURSEL, i, 0);
            SelectPage(i);
            return;
        }
}

void CTabContainer::next_page()
{
    const int count = static_cast<int>(SendMessageW(tabs_, TCM_GETITEMCOUNT, 0, 0));
    const int current = current_page();
    const int next = current < 0 || current + 1 >= count ? 0 : current + 1;
    SendMessageW(tabs_, TCM_SETCURSEL, next, 0);
    SelectPage(next);
}

void CTabContainer::layout()
{
    RECT client{};
    GetClientRect(hwnd(), &client);
    MoveWindow(tabs_, 0, 0, client.right, client.bottom, TRUE);
    const RECT area = display_area();
    const int count = static_cast<int>(SendMessageW(tabs_, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        MoveWindow(page(i), area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
}
