#include "ui/dialogs/link_coefficient_dlg.h"

#include "ui/logic/link_targets.h"
#include "ui/resource_ids.h"

CLinkCDlg::CLinkCDlg(std::wstring dependent_text, std::wstring target_text, double factor)
    : ModalDialog(IDD_LINK_FACTOR), target_text_(std::move(target_text)), dependent_text_(std::move(dependent_text)),
      factor_(factor_field(factor))
{
    // OK reads the field itself: the text shown unchanged keeps the exact factor.
    message_map().on_command(IDOK, [this](UINT, UINT, HWND) { on_ok(); });
}

bool CLinkCDlg::on_init()
{
    SetDlgItemTextW(hwnd(), IDC_LINK_TARGET, normalize_script_text(target_text_).c_str());
    SetDlgItemTextW(hwnd(), IDC_LINK_DEPENDENT, normalize_script_text(dependent_text_).c_str());
    SetDlgItemTextW(hwnd(), IDC_LINK_FACTOR, factor_.shown.c_str());
    return true;
}

void CLinkCDlg::on_ok()
{
    std::wstring text;
    DataExchange(hwnd(), true).text(IDC_LINK_FACTOR, text);
    if (const auto value = read_factor(factor_, text)) {
        factor_.value = *value;
        end(IDOK);
        return;
    }
    MessageBeep(static_cast<UINT>(-1));
    const HWND field = GetDlgItem(hwnd(), IDC_LINK_FACTOR);
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
}
