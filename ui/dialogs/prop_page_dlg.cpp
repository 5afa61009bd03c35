#include "ui/dialogs/prop_page_dlg.h"

#include "core/text/messages.h"
#include "ui/resource_ids.h"
#include "wingui/dialog_hooks.h"
#include "wingui/window.h"

CPropPageDlg::CPropPageDlg(KeywordList& list, bool read_only, std::wstring title)
    : ModalDialog(IDD_PROPERTIES), list_(list), editor_(list, read_only), title_(std::move(title)), grid_(editor_)
{
    message_map().on_command(IDOK, [this](UINT, UINT, HWND) {
        list_ = editor_.list();
        end(IDOK);
    });
    message_map().on_message(WM_NOTIFY, [this](WPARAM w, LPARAM l) { return on_notify(w, l); });
}

bool CPropPageDlg::on_init()
{
    const HWND placeholder = GetDlgItem(hwnd(), IDC_PROPERTIES_GRID);
    RECT rect{};
    if (placeholder) {
        GetWindowRect(placeholder, &rect);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rect), 2);
        DestroyWindow(placeholder);
    }
    if (editor_.read_only()) EnableWindow(GetDlgItem(hwnd(), IDOK), FALSE);
    grid_.Create(hwnd(), rect, IDC_PROPERTIES_GRID);
    if (!title_.empty()) SetWindowTextW(hwnd(), title_.c_str());
    return true;
}

LRESULT CPropPageDlg::on_notify(WPARAM wparam, LPARAM lparam)
{
    const auto& header = *reinterpret_cast<const NMHDR*>(lparam);
    if (header.hwndFrom == grid_.hwnd() && header.code == NM_KEYDOWN) {
        if (reinterpret_cast<const NMKEY&>(header).nVKey != VK_DELETE) return 0;
        const int row = grid_.CurrentRow();
        if (editor_.delete_row(row)) {
            grid_.Reload();
            grid_.SelectCell(std::min(row, static_cast<int>(editor_.row_count()) - 1), -1);
        }
        return 1;
    }
    return reflect_to_child(WM_NOTIFY, wparam, lparam);
}

HWND CPropPageDlg::CPPGrid::Create(HWND parent, const RECT& rect, UINT id)
{
    if (!CreateControls(parent, &rect, 0x56000000 | LVS_NOCOLUMNHEADER, WS_EX_CLIENTEDGE, id)) return nullptr;
    reset_columns(2, string_width(L"01234567890123456789"), editor_.row_count());
    SendMessageW(hwnd(), LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
    RECT client;
    GetClientRect(hwnd(), &client);
    const int rest = client.right - static_cast<int>(SendMessageW(hwnd(), LVM_GETCOLUMNWIDTH, 0, 0)) -
                     GetSystemMetrics(SM_CXHSCROLL) - 1;
    SendMessageW(hwnd(), LVM_SETCOLUMNWIDTH, 1, static_cast<short>(rest));
    return hwnd();
}

void CPropPageDlg::CPPGrid::Reload()
{
    SendMessageW(hwnd(), LVM_SETITEMCOUNT, editor_.row_count(), 0);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void CPropPageDlg::CPPGrid::SetCellText(int row, int column, const std::wstring& text)
{
    const unsigned before = editor_.row_count();
    if (const auto refused = editor_.set_text(row, column, text)) {
        show_message_box(hwnd(), *refused, MessageText(50000).str(), MB_OK | MB_ICONWARNING);
        return;
    }
    if (editor_.row_count() != before) Reload();
}
