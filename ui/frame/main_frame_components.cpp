// The component commands of the main window: the catalogue menus, adding a catalogue
// entry or a distribution of one, deleting the selected row, a component's properties
// and the isotope information. The work is done by the component commands' logic on the
// document; here are the dialogs, the messages and the refresh of the views.
#include <exception>

#include "core/spectrum/isotope.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "catalogue/sub_spec_factory.h"
#include "ui/dialogs/ds_params_dlg.h"
#include "ui/logic/catalogue_menus.h"
#include "ui/logic/view_refresh.h"
#include "ui/frame/main_frame.h"
#include "wingui/dialog_hooks.h"

namespace {

// Replaces the placeholder of `popup` with the entries; an empty list keeps it.
void fill_popup(HMENU popup, const std::vector<MenuEntry>& entries)
{
    if (!popup || entries.empty()) return;
    while (GetMenuItemCount(popup) > 0) DeleteMenu(popup, 0, MF_BYPOSITION);
    for (const MenuEntry& entry : entries) {
        if (entry.id == 0) AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        else AppendMenuW(popup, MF_STRING, entry.id, entry.text.c_str());
    }
}

} // namespace

void CMainFrame::BuildModelMenus()
{
    const SubSpecFactory& catalogue = SubSpecFactory::instance();
    fill_popup(popup_of(first_add_subspectrum_command), add_subspectrum_menu(catalogue));
    if (const HMENU isotopes = popup_of(first_isotope_command)) {
        fill_popup(isotopes, isotope_menu(isotope_table(), MessageText(50054).str()));
        CheckMenuRadioItem(isotopes, first_isotope_command, last_isotope_command, first_isotope_command,
                           MF_BYCOMMAND);
    }
    // Which types can be spread is asked of objects made for the checked isotope.
    fill_popup(popup_of(first_add_distribution_command), add_distribution_menu(catalogue, GetCurrentIsotope()));
    // The model's isotope is the one the menu shows checked, from the start: its
    // constants are what the user expressions read.
    document_.set_isotope(GetCurrentIsotope());
}

void CMainFrame::OnComponentCommand(UINT id)
{
    switch (id) {
    case 255: OnDeleteSubspectrum(); break;
    case isotope_information_command: OnIsotopeInfo(); break;
    case 265: OnSubspectrumProperties(); break;
    default:
        if (id >= first_add_subspectrum_command && id <= last_add_distribution_command) OnAddComponent(id);
        break;
    }
}

ChooseDistribution CMainFrame::distribution_dialog()
{
    return [this](ISubSpec& inner, unsigned points, bool& properties_changed) -> std::optional<DistributionChoice> {
        CDSParamsDlg dialog(inner, points, document_);
        const INT_PTR answer = dialog.run(hwnd());
        properties_changed = dialog.properties_changed();
        // A dialog ended by anything but its own OK (a quit message) chose nothing.
        if (answer != IDOK || dialog.points() == 0) return std::nullopt;
        return DistributionChoice{dialog.points(), dialog.varying()};
    };
}

void CMainFrame::report_add_error(const std::string& text)
{
    show_message_box(hwnd(), utf8_to_wide(text), L"Add subspectrum", MB_OK | MB_ICONERROR);
}

bool CMainFrame::AddSubspectrum(int index, const Isotope* isotope, bool as_distribution)
{
    try {
        return add_subspectrum(document_, SubSpecFactory::instance(), index, isotope, as_distribution,
                               parameter_cell().row, default_folder_, distribution_dialog());
    } catch (const std::exception& error) {
        report_add_error(error.what());
        return false;
    }
}

void CMainFrame::OnAddComponent(UINT id)
{
    PostFitControl(FitCtlAbort);
    const bool distribution = id >= first_add_distribution_command;
    const unsigned index = id - (distribution ? first_add_distribution_command : first_add_subspectrum_command);
    const bool added = add_catalogue_entry(
        document_, SubSpecFactory::instance(), index, GetCurrentIsotope(), distribution, parameter_cell().row,
        default_folder_, distribution_dialog(), [this](const std::string& text) { report_add_error(text); });
    if (!added) return;
    if (tabs_.hwnd()) tabs_.ActivatePage(tabs_.page(0));
    document_changed(DocumentChange::model);
    UpdateUIState();
}

void CMainFrame::OnDeleteSubspectrum()
{
    PostFitControl(FitCtlAbort);
    const DeletedRow deleted = delete_model_row(document_, parameter_cell().row);
    if (deleted == DeletedRow::nothing) return;
    document_changed(deleted == DeletedRow::expression ? DocumentChange::expressions : DocumentChange::model);
    UpdateUIState();
}

void CMainFrame::OnSubspectrumProperties()
{
    const int row = parameter_cell().row;
    if (!component_has_properties(document_, row)) return;
    // The fit's model copy shares this component: no fit may evaluate it meanwhile.
    PostFitControl(FitCtlAbort);
    try {
        if (!edit_component(document_, static_cast<unsigned>(row), distribution_dialog())) return;
    } catch (const std::exception& error) {
        show_message_box(hwnd(), utf8_to_wide(error.what()), MessageText(50000).str(), MB_OK | MB_ICONERROR);
        return;
    }
    document_changed(DocumentChange::model);
    UpdateUIState();
}

void CMainFrame::OnIsotopeInfo()
{
    const Isotope* isotope = GetCurrentIsotope();
    if (!isotope) return;
    const std::array<std::wstring, 9> v = isotope_information_inserts(*isotope);
    show_message_box(hwnd(), MessageText(50053, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]).str(),
                     MessageText(50054).str(), MB_OK | MB_ICONINFORMATION);
}
