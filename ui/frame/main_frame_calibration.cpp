// The velocity calibration command: the Calibrate submenu lists the standards of the
// current isotope; the dialog fits the chosen standard's model to the spectrum, and the
// user takes the calibration into the spectrum or the fitted model into the document,
// each as one undo step.
#include "ui/frame/main_frame.h"

#include <memory>

#include "core/calibration/document_calibration.h"
#include "core/document/change_records.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "ui/dialogs/calibrate_dlg.h"
#include "ui/logic/calibration_menu.h"
#include "ui/logic/view_refresh.h"
#include "ui/frame/menu_popups.h"
#include "wingui/dialog_hooks.h"

void CMainFrame::BuildCalibrateMenu(HMENU menu)
{
    const Submenu submenu = submenu_holding(menu, first_calibrate_command, last_calibrate_command);
    if (!submenu.popup) return;
    clear_submenu(submenu);
    const std::vector<std::wstring> standards = calibration_standards(GetCurrentIsotope());
    for (std::size_t k = 0; k < standards.size(); ++k)
        AppendMenuW(submenu.popup, MF_STRING, first_calibrate_command + k, standards[k].c_str());
    finish_submenu(submenu, first_calibrate_command);
}

void CMainFrame::OnCalibrate(UINT id)
{
    PostFitControl(FitCtlAbort);
    const Isotope* isotope = GetCurrentIsotope();
    if (!isotope) return;
    wchar_t text[256] = {};
    if (!GetMenuStringW(GetMenu(hwnd()), id, text, 256, MF_BYCOMMAND) || !text[0]) return;
    if (!document_.data.analysis(document_.model.is_emission()).valid) {
        show_message_box(hwnd(), MessageText(50034).str(), MessageText(50000).str(), MB_OK | MB_ICONERROR);
        return;
    }
    CCalibrateDlg dialog(*isotope, document_.model, document_.data, text);
    const INT_PTR answer = dialog.run(GetActiveWindow());
    const VelocityCalibration& result = dialog.calibration();
    try {
        if (answer == IDOK) {
            apply_calibration(document_, *isotope, result.offset(), result.new_price());
            document_changed(DocumentChange::spectrum);
        } else if (answer == CCalibrateDlg::use_model_id) {
            document_.push_record<ModelState::ChangeRecordWholeModel>(document_.model_history, result.model(),
                                                                     result.fitted_values(), result.flags(),
                                                                     result.lower(), result.upper());
            document_changed(DocumentChange::model);
        }
    } catch (const std::exception& error) {
        show_message_box(hwnd(), utf8_to_wide(error.what()), MessageText(50000).str(), MB_OK | MB_ICONERROR);
    }
}
