#include "ui/dialogs/dist_points_dlg.h"

#include "core/text/index_range.h"
#include "ui/resource_ids.h"
#include "ui/win32_util.h"

bool read_point_range(HWND dialog, int id, unsigned count, PointRange& range)
{
    std::pair<std::size_t, std::size_t> read;
    if (!parse_index_range(control_text(GetDlgItem(dialog, id)), read, count, true)) {
        SetFocus(GetDlgItem(dialog, id));
        MessageBeep(MB_ICONHAND);
        return false;
    }
    range = {static_cast<unsigned>(read.first), static_cast<unsigned>(read.second)};
    return true;
}

void show_point_range(HWND dialog, int id, PointRange range)
{
    SetDlgItemTextW(dialog, id, (std::to_wstring(range.from + 1) + L"-" + std::to_wstring(range.to + 1)).c_str());
}

CDistPointsDlg::CDistPointsDlg(PointRange range, unsigned count)
    : ModalDialog(IDD_DIST_POINTS), range_(range), count_(count)
{
    message_map().on_command(IDOK, [this](UINT, UINT, HWND) { on_ok(); });
}

bool CDistPointsDlg::on_init()
{
    show_point_range(hwnd(), IDC_DIST_POINTS, range_);
    return true;
}

void CDistPointsDlg::on_ok()
{
    if (read_point_range(hwnd(), IDC_DIST_POINTS, count_, range_)) end(IDOK);
}
