#include "ui/dialogs/fit_settings_dlg.h"

#include "ui/resource_ids.h"
#include "ui/win32_util.h"

CFitSettingsDlg::CFitSettingsDlg(const FitSettings& settings) : ModalDialog(IDD_FIT_SETTINGS), form_(settings)
{
    message_map().on_command(IDOK, [this](UINT, UINT, HWND) { OnCloseCmd(); });
    message_map().on_command(fit_settings_defaults_button, [this](UINT, UINT, HWND) { OnDefaults(); }, BN_CLICKED);
}

bool CFitSettingsDlg::on_init()
{
    show_fields();
    return true;
}

void CFitSettingsDlg::show_fields()
{
    for (const FieldText& field : form_.shown()) SetDlgItemTextW(hwnd(), field.id, field.text.c_str());
}

void CFitSettingsDlg::OnDefaults()
{
    form_.restore_defaults();
    show_fields();
}

void CFitSettingsDlg::OnCloseCmd()
{
    const std::optional<int> refused = form_.read([this](int id) { return control_text(GetDlgItem(hwnd(), id)); });
    if (!refused) {
        end(IDOK);
        return;
    }
    MessageBeep(static_cast<UINT>(-1));
    const HWND field = GetDlgItem(hwnd(), *refused);
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
}
