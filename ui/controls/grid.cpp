#include "ui/controls/grid.h"

#include <windowsx.h>

#include "ui/clipboard.h"
#include "ui/resource_ids.h"
#include "ui/win32_util.h"
#include "wingui/scripted_text_draw.h"

namespace {

constexpr const wchar_t* grid_class = L"VexmoorGrid";
constexpr const wchar_t* grid_edit_class = L"VexmoorGridEdit";
constexpr UINT edit_end = WM_APP;
constexpr LPARAM edit_commit_on_leave = 0, edit_commit = 1, edit_cancel = 2;
constexpr UINT padlock_transparent = 0xFF00FF;

// The in-out rectangle of LVM_GETSUBITEMRECT: the part wanted and the sub-item.
RECT subitem_request(int part, int column)
{
    RECT rect{};
    rect.left = part;
    rect.top = column;
    return rect;
}

} // namespace

CGrid::CGridEdit::CGridEdit(CGrid& grid)
{
    message_map().on_message(WM_KILLFOCUS, [this, &grid](WPARAM w, LPARAM l) {
        PostMessageW(grid.hwnd(), edit_end, 0, edit_commit_on_leave);
        return DefSubclassProc(hwnd(), WM_KILLFOCUS, w, l);
    });
    message_map().on_message(WM_GETDLGCODE, [this](WPARAM w, LPARAM l) -> LRESULT {
        const auto* msg = reinterpret_cast<const MSG*>(l);
        if (msg && msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
            return DLGC_WANTALLKEYS;
        return DefSubclassProc(hwnd(), WM_GETDLGCODE, w, l);
    });
    message_map().on_message(WM_CHAR, [this, &grid](WPARAM w, LPARAM l) -> LRESULT {
        if (w == VK_RETURN) return SendMessageW(grid.hwnd(), edit_end, 0, edit_commit), 0;
        if (w == VK_ESCAPE) return SendMessageW(grid.hwnd(), edit_end, 0, edit_cancel), 0;
        return DefSubclassProc(hwnd(), WM_CHAR, w, l);
    });
}

CGrid::CGrid() : editor_(*this)
{
    accelerators_.reset(LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_GRID_ACCELERATORS)));
    MessageMap& map = message_map();
    map.on_message(WM_WINDOWPOSCHANGED, [this](WPARAM w, LPARAM l) {
        if (!IsWindowVisible(hwnd()) && IsWindowVisible(editor_.hwnd())) PostMessageW(hwnd(), edit_end, 0, 0);
        return DefSubclassProc(hwnd(), WM_WINDOWPOSCHANGED, w, l);
    });
    map.on_message(WM_GETDLGCODE, [this](WPARAM w, LPARAM l) {
        if (IsWindowVisible(editor_.hwnd())) return SendMessageW(editor_.hwnd(), WM_GETDLGCODE, w, l);
        const auto* msg = reinterpret_cast<const MSG*>(l);
        const LRESULT code = DefSubclassProc(hwnd(), WM_GETDLGCODE, w, l);
        if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && ActivatesRows() && CurrentRow() >= 0)
            return code | DLGC_WANTALLKEYS;
        return code;
    });
    map.on_message(WM_KEYDOWN, [this](WPARAM w, LPARAM l) {
        LRESULT result = 0;
        bool consumed = true;
        on_key_down(w, l, result, consumed);
        return consumed ? result : DefSubclassProc(hwnd(), WM_KEYDOWN, w, l);
    });
    map.on_message(WM_CHAR, [this](WPARAM w, LPARAM l) -> LRESULT {
        const int row = CurrentRow(), column = CurrentColumn();
        if (w >= 32 && row >= 0 && column >= 0) {
            if (const auto text = BeginCellEdit(row, column)) {
                open_editor(row, column, *text, static_cast<wchar_t>(w));
                return 0;
            }
        }
        return DefSubclassProc(hwnd(), WM_CHAR, w, l);
    });
    map.on_command(ID_EDIT_COPY, [this](UINT, UINT, HWND) { SendMessageW(hwnd(), WM_COPY, 0, 0); });
    map.on_command(ID_EDIT_PASTE, [this](UINT, UINT, HWND) { SendMessageW(hwnd(), WM_PASTE, 0, 0); });
    map.on_command(ID_EDIT_CUT, [this](UINT, UINT, HWND) { SendMessageW(hwnd(), WM_CUT, 0, 0); });
    for (UINT press : {WM_LBUTTONDOWN, WM_RBUTTONDOWN}) {
        map.on_message(press, [this, press](WPARAM w, LPARAM l) {
            on_press(w, l);
            return DefSubclassProc(hwnd(), press, w, l);
        });
    }
    map.on_message(WM_COPY, [this](WPARAM, LPARAM) { return on_copy(), LRESULT(0); });
    map.on_message(WM_CUT, [this](WPARAM, LPARAM) { return on_cut(), LRESULT(0); });
    map.on_message(WM_PASTE, [this](WPARAM, LPARAM) { return on_paste(), LRESULT(0); });
    map.on_message(edit_end, [this](WPARAM w, LPARAM l) {
        if (w == 0) on_edit_end(l);
        return LRESULT(0);
    });
    map.on_reflected_notify(LVN_GETDISPINFOW, [this](NMHDR& header) {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
        if (item.mask & LVIF_TEXT) {
            const auto text = GetCellText(item.iItem, item.iSubItem);
            buffer_ = text ? *text : std::wstring();
            item.pszText = text ? buffer_.data() : nullptr;
        }
        if (item.mask & LVIF_IMAGE) item.iImage = GetCellImage(item.iItem, item.iSubItem);
        return LRESULT(0);
    });
    // Type-ahead search never finds an item.
    map.on_reflected_notify(LVN_ODFINDITEMW, [](NMHDR&) { return LRESULT(-1); });
    map.on_reflected_notify(LVN_ODCACHEHINT, [](NMHDR&) { return LRESULT(0); });
    map.on_reflected_notify(LVN_ITEMCHANGED, [this](NMHDR& header) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if (change.uNewState & LVIS_SELECTED) {
            const int before = CurrentRow();
            row_ = change.iItem;
            if (CurrentRow() != before) OnSelChange(CurrentRow());
        }
        return LRESULT(0);
    });
    map.on_reflected_notify(LVN_ITEMACTIVATE, [this](NMHDR&) {
        OnActivate(CurrentRow(), CurrentColumn());
        return LRESULT(0);
    });
    map.on_reflected_notify(NM_CLICK, [this](NMHDR& header) {
        on_click(reinterpret_cast<const NMITEMACTIVATE&>(header), false);
        return LRESULT(0);
    });
    map.on_reflected_notify(NM_RCLICK, [this](NMHDR& header) {
        on_click(reinterpret_cast<const NMITEMACTIVATE&>(header), true);
        return LRESULT(0);
    });
    map.on_reflected_notify(NM_CUSTOMDRAW, [this](NMHDR& header) {
        return on_custom_draw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
    });
}

CGrid::~CGrid() = default;

HWND CGrid::CreateControls(HWND parent, const RECT* rect, DWORD style, DWORD ex_style, UINT id)
{
    if (!register_superclass(WC_LISTVIEWW, grid_class) || !register_superclass(L"EDIT", grid_edit_class))
        return nullptr;
    if (style == 0) style = 0x5600100D;
    style |= LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_REPORT;
    const RECT r = rect ? *rect : RECT{0, 0, 100, 100};
    if (!create(grid_class, parent, id, style, ex_style, r)) return nullptr;
    if (!editor_.create(grid_edit_class, hwnd(), 0, WS_CHILD | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE)) {
        DestroyWindow(hwnd());
        return nullptr;
    }
    SendMessageW(hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, ~0u,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    set_font();
    return hwnd();
}

HWND CGrid::Create(HWND parent, const RECT* rect, DWORD style, DWORD ex_style, UINT id)
{
    if (!CreateControls(parent, rect, (style ? style : 0x56000000) | LVS_NOCOLUMNHEADER, ex_style, id))
        return nullptr;
    SendMessageW(hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_SUBITEMIMAGES, LVS_EX_SUBITEMIMAGES);
    set_padlock_images(parent);
    return hwnd();
}

void CGrid::set_padlock_images(HWND window)
{
    const auto dpi_for = dpi_functions().get_dpi_for_window;
    const bool large = dpi_for && dpi_for(window) >= 130;
    const int size = large ? 32 : 16;
    const HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 5, 0);
    const ScopedBitmap strip(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                             MAKEINTRESOURCEW(large ? IDB_PADLOCKS_LARGE : IDB_PADLOCKS),
                                                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!images || !strip || ImageList_AddMasked(images, strip.get(), padlock_transparent) < 0) {
        if (images) ImageList_Destroy(images);
        return;
    }
    // The list view hands back the list it held, which is then ours to destroy.
    if (const auto previous = reinterpret_cast<HIMAGELIST>(
            SendMessageW(hwnd(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images))))
        ImageList_Destroy(previous);
}

void CGrid::set_font()
{
    // The list view and its editor take the new font before the old one is deleted.
    ScopedFont font(create_dpi_font(hwnd(), nullptr, L"Trebuchet MS", 100, false, false));
    for (const HWND window : {hwnd(), editor_.hwnd()})
        if (window) SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);
}

void CGrid::ScaleToDpi()
{
    set_font();
    // Only the grids that show padlocks have images to replace.
    if (SendMessageW(hwnd(), LVM_GETIMAGELIST, LVSIL_SMALL, 0)) set_padlock_images(hwnd());
}

int CGrid::item_count() const
{
    return static_cast<int>(SendMessageW(hwnd(), LVM_GETITEMCOUNT, 0, 0));
}

int CGrid::column_count() const
{
    const HWND header = reinterpret_cast<HWND>(SendMessageW(hwnd(), LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int CGrid::FirstCellColumn(int)
{
    return 0;
}

int CGrid::LastCellColumn(int)
{
    return column_count() - 1;
}

int CGrid::CurrentRow() const
{
    return row_ >= 0 && row_ < item_count() ? row_ : -1;
}

int CGrid::CurrentColumn() const
{
    const int row = CurrentRow();
    if (row < 0) return -1;
    auto& self = const_cast<CGrid&>(*this);
    return column_ >= self.FirstCellColumn(row) && column_ <= self.LastCellColumn(row) ? column_ : -1;
}

void CGrid::redraw_row(int row) const
{
    SendMessageW(hwnd(), LVM_REDRAWITEMS, row, row);
}

LRESULT CGrid::notify_parent(UINT code, int item, int sub_item, POINT point) const
{
    NMITEMACTIVATE record{};
    record.hdr.hwndFrom = hwnd();
    record.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd()));
    record.hdr.code = code;
    record.iItem = item;
    record.iSubItem = sub_item;
    record.ptAction = point;
    return SendMessageW(GetParent(hwnd()), WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
}

void CGrid::SelectCell(int row, int column)
{
    if (row == row_ && row >= 0 && column == CurrentColumn()) return;
    if (row < 0 || row >= item_count()) {
        const int selected = static_cast<int>(SendMessageW(hwnd(), LVM_GETNEXTITEM, -1, LVNI_SELECTED));
        row_ = -1;
        if (selected >= 0) {
            LVITEMW state{};
            state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageW(hwnd(), LVM_SETITEMSTATE, selected, reinterpret_cast<LPARAM>(&state));
        }
        return;
    }
    if (column < FirstCellColumn(row) || column > LastCellColumn(row)) column = -1;
    column_ = column;
    if (row == row_) {
        EnsureCellVisible();
        return;
    }
    row_ = row;
    LVITEMW state{};
    state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (SendMessageW(hwnd(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state))) {
        SendMessageW(hwnd(), LVM_SETSELECTIONMARK, 0, row);
        SendMessageW(hwnd(), LVM_ENSUREVISIBLE, row, FALSE);
    }
    EnsureCellVisible();
}

void CGrid::EnsureCellVisible()
{
    const int column = CurrentColumn();
    if (column < 0) return;
    RECT cell = subitem_request(LVIR_BOUNDS, column);
    if (!SendMessageW(hwnd(), LVM_GETSUBITEMRECT, row_, reinterpret_cast<LPARAM>(&cell))) return;
    RECT client;
    GetClientRect(hwnd(), &client);
    const int old_left = cell.left;
    if (cell.right > client.right) OffsetRect(&cell, client.right - cell.right, 0);
    if (cell.left < client.left) OffsetRect(&cell, client.left - cell.left, 0);
    if (cell.left != old_left) SendMessageW(hwnd(), LVM_SCROLL, old_left - cell.left, 0);
}

void CGrid::on_key_down(WPARAM key, LPARAM flags, LRESULT& result, bool& consumed)
{
    NMKEY record{};
    record.hdr.hwndFrom = hwnd();
    record.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd()));
    record.hdr.code = NM_KEYDOWN;
    record.nVKey = static_cast<UINT>(key);
    record.uFlags = static_cast<UINT>(flags);
    if (SendMessageW(GetParent(hwnd()), WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record))) return;
    GridKey grid_key;
    switch (key) {
    case VK_LEFT: grid_key = GridKey::Left; break;
    case VK_RIGHT: grid_key = GridKey::Right; break;
    case VK_HOME: grid_key = GridKey::Home; break;
    case VK_END: grid_key = GridKey::End; break;
    case VK_RETURN:
        // The list view's own answer to Enter differs between systems; the grid's is one.
        consumed = ActivatesRows() && CurrentRow() >= 0;
        if (consumed) OnActivate(CurrentRow(), CurrentColumn());
        return;
    default: consumed = false; return;
    }
    result = 0;
    const int row = CurrentRow();
    if (row < 0) return;
    const auto moved = move_grid_column(grid_key, CurrentColumn(), FirstCellColumn(row), LastCellColumn(row));
    if (!moved) return;
    column_ = *moved;
    OnCellChange();
    EnsureCellVisible();
    redraw_row(row);
}

bool CGrid::hit_test(POINT point, LVHITTESTINFO& hit) const
{
    hit = {};
    hit.pt = point;
    return SendMessageW(hwnd(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) >= 0 && hit.iItem >= 0;
}

void CGrid::on_press(WPARAM keys, LPARAM point)
{
    edit_.press(true);
    if (keys != MK_LBUTTON && keys != MK_RBUTTON) return;
    LVHITTESTINFO hit;
    if (!hit_test({GET_X_LPARAM(point), GET_Y_LPARAM(point)}, hit)) return;
    const int before = CurrentRow();
    if (hit.iItem != before || hit.iSubItem != CurrentColumn() || GetFocus() != hwnd()) edit_.press(false);
    column_ = hit.iSubItem;
    row_ = hit.iItem;
    OnCellChange();
    if (hit.iItem == before) redraw_row(hit.iItem);
}

void CGrid::on_click(const NMITEMACTIVATE& click, bool right)
{
    LVHITTESTINFO hit;
    if (!hit_test(click.ptAction, hit)) return;
    const int r = CurrentRow(), c0 = CurrentColumn();
    const bool in_row = r >= 0 && hit.iSubItem >= FirstCellColumn(r) && hit.iSubItem <= LastCellColumn(r);
    column_ = in_row ? hit.iSubItem : -1;
    if (hit.iItem == r) redraw_row(r);
    if (right) {
        POINT screen = click.ptAction;
        ClientToScreen(hwnd(), &screen);
        OnContextMenu(r, screen.x, screen.y);
        return;
    }
    if (column_ >= 0 && column_ == c0 && (hit.flags & LVHT_ONITEMLABEL) && hit.iItem == r && !edit_.blocked()) {
        if (const auto text = BeginCellEdit(r, column_)) open_editor(r, column_, *text, 0);
        return;
    }
    if (hit.flags & LVHT_ONITEMICON) OnImageClick(hit.iItem, hit.iSubItem);
}

void CGrid::open_editor(int row, int column, const std::wstring& text, wchar_t typed)
{
    if (row < 0 || column < 0) return;
    edit_.open(row, column, text);
    RECT cell = subitem_request(LVIR_BOUNDS, column);
    SendMessageW(hwnd(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    if (column == 0) {
        // Sub-item 0's bounds span the whole row.
        RECT next = subitem_request(LVIR_BOUNDS, 1);
        if (SendMessageW(hwnd(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&next))) cell.right = next.left;
    }
    const HWND edit = editor_.hwnd();
    MoveWindow(edit, cell.left, cell.top - 1, cell.right + 1 - cell.left, cell.bottom - (cell.top - 1), TRUE);
    SendMessageW(edit, WM_SETFONT, SendMessageW(hwnd(), WM_GETFONT, 0, 0), TRUE);
    SetWindowTextW(edit, text.c_str());
    ShowWindow(edit, SW_SHOW);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    if (typed) SendMessageW(edit, WM_CHAR, typed, 0);
}

void CGrid::on_edit_end(LPARAM how)
{
    const HWND edit = editor_.hwnd();
    if (how == edit_cancel) {
        edit_.cancel();
        if (IsWindowVisible(edit)) ShowWindow(edit, SW_HIDE);
        return;
    }
    if (how != edit_commit_on_leave && how != edit_commit) return;
    if (IsWindowVisible(edit)) ShowWindow(edit, SW_HIDE);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    if (const auto committed = edit_.finish(text)) {
        SetCellText(edit_.row(), edit_.column(), *committed);
        redraw_row(edit_.row());
        EnsureCellVisible();
    }
    if (IsWindowVisible(hwnd())) SetFocus(hwnd());
}

void CGrid::on_copy()
{
    const int row = CurrentRow();
    if (row < 0) return;
    const int column = CurrentColumn();
    if (column < 0) return CopyRow();
    if (const auto text = GetCellText(row, column)) set_clipboard_text(hwnd(), nullptr, *text);
}

void CGrid::on_cut()
{
    if (CurrentRow() >= 0 && CurrentColumn() < 0) CutRow();
}

void CGrid::on_paste()
{
    const int row = CurrentRow(), column = CurrentColumn();
    if (row < 0 || column < 0) return PasteRow();
    if (!BeginCellEdit(row, column)) return;
    if (const auto text = read_clipboard_text(hwnd(), nullptr)) SetCellText(row, column, *text);
}

LRESULT CGrid::on_custom_draw(NMLVCUSTOMDRAW& draw)
{
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: BeginCellReading(); return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_POSTPAINT: EndCellReading(); return 0;
    case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: paint_cell(draw); return CDRF_SKIPDEFAULT;
    default: return 0;
    }
}

void CGrid::paint_cell(NMLVCUSTOMDRAW& draw)
{
    draw.nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
    const int row = static_cast<int>(draw.nmcd.dwItemSpec), column = draw.iSubItem;
    const HDC dc = draw.nmcd.hdc;
    const int current = CurrentColumn();
    const bool selected = row == CurrentRow() && (column == current || current < 0);
    COLORREF text_colour = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    COLORREF background = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    GetCellBkColor(row, column, background);
    GetCellTextColor(row, column, text_colour);

    RECT label = subitem_request(LVIR_LABEL, column), icon = subitem_request(LVIR_ICON, column);
    SendMessageW(hwnd(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&label));
    SendMessageW(hwnd(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&icon));
    if (column == 0) {
        RECT bounds = subitem_request(LVIR_BOUNDS, 0);
        SendMessageW(hwnd(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
        label.left = bounds.left;
    }
    label.bottom -= 1;
    const int image = GetCellImage(row, column);
    int span_left = label.left, span_right = label.right;
    if (image >= 0) {
        if (icon.left < label.left + 2) span_left = icon.right;
        else span_right = icon.left;
    }
    SetTextColor(dc, text_colour);
    SetBkColor(dc, background);
    LVCOLUMNW format{};
    format.mask = LVCF_FMT;
    SendMessageW(hwnd(), LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&format));
    int x = span_left + 3;
    UINT align = TA_LEFT | TA_BOTTOM;
    if ((format.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT) x = span_right - 3, align = TA_RIGHT | TA_BOTTOM;
    else if ((format.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER) x = (span_left + span_right) / 2, align = TA_CENTER | TA_BOTTOM;
    SetTextAlign(dc, align);
    const auto text = GetCellText(row, column);
    draw_scripted_text(dc, x, label.bottom - 1, ETO_OPAQUE | ETO_CLIPPED, &label, text ? text->c_str() : nullptr,
                       text ? static_cast<UINT>(text->size()) : 0);
    if (image < 0) return;
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(hwnd(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    int cx = 0, cy = 0;
    if (!images || !ImageList_GetIconSize(images, &cx, &cy)) return;
    ImageList_DrawEx(images, image, dc, icon.left + (icon.right - icon.left - cx) / 2,
                     icon.top + (icon.bottom - icon.top - cy) / 2, 0, 0, background, text_colour, ILD_TRANSPARENT);
}

void CGrid::reset_columns(int count, int width, unsigned rows) const
{
    while (SendMessageW(hwnd(), LVM_DELETECOLUMN, 0, 0)) {}
    for (int i = 0; i < count; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = LVCFMT_LEFT;
        column.cx = width;
        column.pszText = const_cast<wchar_t*>(L"");
        SendMessageW(hwnd(), LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageW(hwnd(), LVM_SETITEMCOUNT, rows, 0);
}

void CGrid::measure_with_all_rows(const std::function<void()>& measure) const
{
    RECT place;
    GetWindowRect(hwnd(), &place);
    MapWindowPoints(nullptr, GetParent(hwnd()), reinterpret_cast<POINT*>(&place), 2);
    constexpr UINT quiet = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW;
    SetWindowPos(hwnd(), nullptr, -16384, -16384, 8192, 16383, quiet);
    measure();
    SetWindowPos(hwnd(), nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top, quiet);
}

int CGrid::string_width(const wchar_t* text) const
{
    return static_cast<int>(SendMessageW(hwnd(), LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)));
}
