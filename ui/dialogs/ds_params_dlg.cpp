#include "ui/dialogs/ds_params_dlg.h"

#include <commctrl.h>

#include "core/text/messages.h"
#include "ui/logic/dist_params_form.h"
#include "ui/resource_ids.h"
#include "ui/win32_util.h"
#include "wingui/dialog_hooks.h"

CDSParamsDlg::CDSParamsDlg(ISubSpec& subspec, unsigned initial_points, ModelState& document)
    : ModalDialog(IDD_DIST_PARAMS), subspec_(&subspec), initial_points_(initial_points), document_(document)
{
    message_map().on_command(IDOK, [this](UINT, UINT, HWND) { OnCloseCmd(); });
    message_map().on_command(dist_params_properties, [this](UINT, UINT, HWND) { OnProperties(); }, BN_CLICKED);
}

HWND CDSParamsDlg::list() const { return GetDlgItem(hwnd(), dist_params_list); }

bool CDSParamsDlg::on_init()
{
    const HWND view = list();
    ListView_SetExtendedListViewStyle(view, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT client{};
    GetClientRect(view, &client);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = client.right - GetSystemMetrics(SM_CXVSCROLL);
    ListView_InsertColumn(view, 0, &column);
    int row = 0;
    for (const DistParamRow& param : distribution_param_rows(*subspec_)) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(param.name.c_str());
        item.lParam = static_cast<LPARAM>(param.index);
        ListView_InsertItem(view, &item);
        ListView_SetCheckState(view, row, TRUE);
        ++row;
    }
    // An existing distribution keeps its spread parameters.
    if (initial_points_ != 0) EnableWindow(view, FALSE);

    const HWND points = GetDlgItem(hwnd(), dist_params_points);
    for (const std::wstring& choice : point_count_choices())
        SendMessageW(points, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.c_str()));
    const std::wstring initial = initial_point_count_text(initial_points_);
    const LRESULT found = SendMessageW(points, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(initial.c_str()));
    if (found != CB_ERR) SendMessageW(points, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    else SetWindowTextW(points, initial.c_str());

    if (!dynamic_cast<ISubSpecProperties*>(subspec_.get()))
        ShowWindow(GetDlgItem(hwnd(), dist_params_properties), SW_HIDE);
    return true;
}

void CDSParamsDlg::OnProperties()
{
    if (auto* editor = dynamic_cast<ISubSpecProperties*>(subspec_.get()))
        if (document_.edit_component_properties(*editor)) properties_changed_ = true;
}

void CDSParamsDlg::OnCloseCmd()
{
    const HWND view = list();
    std::vector<unsigned> ticked;
    const int rows = ListView_GetItemCount(view);
    for (int row = 0; row < rows; ++row) {
        if (!ListView_GetCheckState(view, row)) continue;
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        ListView_GetItem(view, &item);
        ticked.push_back(static_cast<unsigned>(item.lParam));
    }
    if (ticked.empty()) {
        show_message_box(hwnd(), MessageText(50058).str(), MessageText(50000).str(), MB_OK | MB_ICONERROR);
        return;
    }
    const HWND points = GetDlgItem(hwnd(), dist_params_points);
    const std::optional<unsigned> count = read_point_count(control_text(points));
    if (!count) {
        SetFocus(points);
        MessageBeep(MB_ICONHAND);
        return;
    }
    points_ = *count;
    varying_ = std::move(ticked);
    end(IDOK);
}
