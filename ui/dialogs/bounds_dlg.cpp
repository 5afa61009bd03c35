#include "ui/dialogs/bounds_dlg.h"

#include "ui/resource_ids.h"

CBoundsDlg::CBoundsDlg(double lower, double upper)
    : ModalDialog(IDD_BOUNDS), lower_(bound_field(lower)), upper_(bound_field(upper))
{
    // OK reads the fields itself: a text shown unchanged keeps its exact bound.
    message_map().on_command(IDOK, [this](UINT, UINT, HWND) { on_ok(); });
}

RoundedField& CBoundsDlg::field(int control_id) { return control_id == IDC_BOUND_LOWER ? lower_ : upper_; }

void CBoundsDlg::SetBound(int control_id, double value)
{
    field(control_id) = bound_field(value);
    SetDlgItemTextW(hwnd(), control_id, field(control_id).shown.c_str());
}

bool CBoundsDlg::GetBound(int control_id, double& value)
{
    std::wstring text;
    DataExchange(hwnd(), true).text(control_id, text);
    const auto bound = read_bound(field(control_id), text);
    if (!bound) {
        reject(control_id);
        return false;
    }
    value = *bound;
    return true;
}

void CBoundsDlg::reject(int control_id)
{
    MessageBeep(MB_ICONEXCLAMATION);
    const HWND edit = GetDlgItem(hwnd(), control_id);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
}

bool CBoundsDlg::on_init()
{
    SetBound(IDC_BOUND_LOWER, lower_.value);
    SetBound(IDC_BOUND_UPPER, upper_.value);
    return true;
}

void CBoundsDlg::on_ok()
{
    double lower = 0, upper = 0;
    if (!GetBound(IDC_BOUND_LOWER, lower) || !GetBound(IDC_BOUND_UPPER, upper)) return;
    if (!bounds_in_order(lower, upper)) {
        reject(IDC_BOUND_LOWER);
        return;
    }
    lower_.value = lower;
    upper_.value = upper;
    end(IDOK);
}
