#include "ui/dialogs/report_dlg.h"

#include "ui/resource_ids.h"

CReportDlg::CReportDlg(std::wstring path) : ModalDialog(IDD_REPORT), path_(std::move(path))
{
    // OK and Esc close it alike; the browser's notice of its first page needs nothing.
    message_map().on_command(IDOK, [this](UINT, UINT, HWND) { end(IDOK); });
    message_map().on_message(WM_APP, [](WPARAM, LPARAM) { return LRESULT{0}; });
    anchor(IDC_REPORT_PAGE, anchor_all);
    anchor(IDOK, anchor_right | anchor_bottom);
    size_grip(IDC_REPORT_GRIP);
}

bool CReportDlg::on_init()
{
    if (!browser_.create(hwnd(), IDC_REPORT_PAGE, take_place_of(IDC_REPORT_PAGE)) || !browser_.can_show_pages()) {
        end(no_browser);
        return false;
    }
    browser_.navigate(path_);
    ShowWindow(browser_.hwnd(), SW_SHOW);
    return false;
}
