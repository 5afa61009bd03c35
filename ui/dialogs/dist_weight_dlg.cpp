#include "ui/dialogs/dist_weight_dlg.h"

#include "core/text/c_format.h"
#include "core/text/messages.h"
#include "ui/dialogs/dist_points_dlg.h"
#include "ui/resource_ids.h"
#include "ui/win32_util.h"

CDistWeightDlg::CDistWeightDlg(double value, PointRange range, unsigned count, bool values_mode)
    : ModalDialog(IDD_DIST_WEIGHT), weight_{value, false}, range_(range), count_(count), values_mode_(values_mode)
{
    message_map().on_command(IDOK, [this](UINT, UINT, HWND) { on_ok(); });
}

bool CDistWeightDlg::on_init()
{
    if (values_mode_) {
        SetDlgItemTextW(hwnd(), IDC_DIST_VALUE_LABEL, MessageText(50060).c_str());
        SetWindowTextW(hwnd(), MessageText(50059).c_str());
    }
    show_point_range(hwnd(), IDC_DIST_POINTS, range_);
    SetDlgItemTextW(hwnd(), IDC_DIST_VALUE, (c_format(L"%.5g") % weight_.value).str().c_str());
    return true;
}

void CDistWeightDlg::on_ok()
{
    PointRange range;
    if (!read_point_range(hwnd(), IDC_DIST_POINTS, count_, range)) return;
    const std::optional<TypedWeight> weight = read_typed_weight(control_text(GetDlgItem(hwnd(), IDC_DIST_VALUE)));
    if (!weight) {
        SetFocus(GetDlgItem(hwnd(), IDC_DIST_VALUE));
        MessageBeep(MB_ICONHAND);
        return;
    }
    range_ = range;
    weight_ = *weight;
    end(IDOK);
}
