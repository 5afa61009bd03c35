// The document commands that the frame carries out itself: spectrum and model undo and
// redo, spectrum and model properties, spectrum information, adding a spectrum, decimate, invert, clear, the difference as
// data, deleting the points in excluded ranges, unlink, delete all, emission, colour,
// accept, the isotope choice, and the plot's range and distribution gestures. What each
// does to the document lives in the document and in ui/logic; here are the dialogs, the
// fit that must stop first, and the views that must follow.
#include "ui/frame/main_frame.h"

#include <commctrl.h>

#include <exception>

#include "core/text/messages.h"
#include "core/text/text.h"
#include "plot/model_data_view.h"
#include "catalogue/sub_spec_factory.h"
#include "ui/dialogs/fit_settings_dlg.h"
#include "ui/logic/view_refresh.h"
#include "ui/dialogs/prop_page_dlg.h"
#include "wingui/dialog_hooks.h"

namespace {

// Command ids of the group.
enum : UINT {
    IdSaveSpectrumNamed = 202,
    IdDifferenceAsData = 205,
    IdSpectrumProperties = 206,
    IdDecimate = 207,
    IdSpectrumUndo = 209,
    IdSpectrumRedo = 210,
    IdAddSpectrum = 212,
    IdClearSpectrum = 213,
    IdSpectrumInformation = 215,
    IdDeletePointsInRanges = 216,
    IdInvert = 217,
    IdModelProperties = 256,
    IdModelUndo = 257,
    IdModelRedo = 258,
    IdDeleteAllComponents = 260,
    IdEmission = 263,
    IdDeleteAllExpressions = 272,
    IdAddVariable = 273,
    IdComponentColor = 278,
    IdResetFitValues = 354,
    IdFitSettings = 358,
    IdAcceptFitResults = 355,
    IdLastIsotope = 21000,
};

// One step back or forward through a history; false when there is none.
bool step(ModelState& document, ChangeHistory& history, bool back)
{
    if (back ? !history.can_undo() : !history.can_redo()) return false;
    back ? history.undo(document) : history.redo(document);
    return true;
}

}  // namespace

void CMainFrame::OnDocumentCommand(UINT id)
{
    // An operation that throws has left the document as it was; the text says why.
    try {
        run_document_command(id);
    } catch (const std::exception& error) {
        show_message_box(hwnd(), utf8_to_wide(error.what()), MessageText(50000).str(), MB_OK | MB_ICONERROR);
    }
    UpdateUIState();
}

void CMainFrame::run_document_command(UINT id)
{
    if (id == isotope_box_id) {
        // The box and the Isotope submenu list the isotope table in the same order.
        const LRESULT item = SendMessageW(isotope_box_, CB_GETCURSEL, 0, 0);
        if (item != CB_ERR) OnIsotopeChosen(static_cast<UINT>(item));
        return;
    }
    if (id >= first_isotope_id && id <= IdLastIsotope) {
        if (isotope_box_) SendMessageW(isotope_box_, CB_SETCURSEL, id - first_isotope_id, 0);
        OnIsotopeChosen(id - first_isotope_id);
        return;
    }
    switch (id) {
    case IdSpectrumInformation: OnSpectrumInformation(); return;
    // The file dialog comes first: a cancelled one leaves a running fit alone.
    case IdAddSpectrum: OnAddSpectrum(); return;
    case IdComponentColor: OnComponentColor(); return;
    case IdAcceptFitResults:
        // The fit thread keeps its own copies: Accept needs no abort.
        if (document_.fit_values.size() != document_.values.size()) return;
        document_.accept_fit_values(document_.fit_values);
        // The model is no longer the one in its file: a save must not write over that file.
        model_file_name_.clear();
        document_changed(DocumentChange::fit_accepted);
        if (tabs_.hwnd()) tabs_.ActivatePage(GetDlgItem(tabs_.hwnd(), parameter_page_id));
        return;
    default: break;
    }

    PostFitControl(FitCtlAbort);
    switch (id) {
    case IdDifferenceAsData:
        document_.use_difference_as_data();
        document_changed(DocumentChange::spectrum);
        break;
    case IdSpectrumProperties:
        if (document_.edit_spectrum([this] { return document_.data.edit_properties(0); })) document_changed(DocumentChange::spectrum);
        break;
    case IdDecimate:
        if (document_.decimate_spectrum()) document_changed(DocumentChange::spectrum);
        break;
    case IdInvert:
        if (document_.invert_spectrum()) document_changed(DocumentChange::spectrum);
        break;
    case IdClearSpectrum: OnClearSpectrum(); break;
    case IdDeletePointsInRanges:
        document_.delete_points_in_xranges();
        document_changed(DocumentChange::spectrum);
        break;
    case IdSpectrumUndo:
    case IdSpectrumRedo:
        // The plot shows the spectrum again; the grids show nothing of it.
        if (step(document_, document_.spectrum_history, id == IdSpectrumUndo)) plot_.Redraw();
        break;
    case IdModelProperties:
        if (document_.edit_model_properties(ProgramModelFileParts())) document_changed(DocumentChange::model);
        break;
    case IdModelUndo:
    case IdModelRedo:
        if (step(document_, document_.model_history, id == IdModelUndo)) document_changed(DocumentChange::model);
        break;
    case IdAddVariable:
        if (!AddSubspectrum(static_cast<int>(SubSpecFactory::instance().index_of(L"FreeVar")), GetCurrentIsotope(),
                            false))
            break;
        if (tabs_.hwnd()) tabs_.ActivatePage(GetDlgItem(tabs_.hwnd(), parameter_page_id));
        document_changed(DocumentChange::model);
        break;
    case IdFitSettings: {
        CFitSettingsDlg dialog(fit_settings_);
        if (dialog.run(GetActiveWindow()) == IDOK) fit_settings_ = dialog.settings();
        break;
    }
    case IdDeleteAllComponents:
        document_.delete_all_components();
        document_changed(DocumentChange::model);
        break;
    case IdDeleteAllExpressions:
        document_.delete_all_expressions();
        document_changed(DocumentChange::expressions);
        break;
    case IdEmission:
        toggle_emission(document_);
        document_changed(DocumentChange::model);
        break;
    case IdResetFitValues:
        document_.fit_values = document_.values;
        document_changed(DocumentChange::model);
        break;
    default: break;
    }
}

bool CMainFrame::spectrum_may_go()
{
    return ::spectrum_may_go(
        document_,
        [this] {
            switch (show_message_box(hwnd(), MessageText(50013).str(), MessageText(50000).str(),
                                     MB_YESNOCANCEL | MB_ICONQUESTION)) {
            case IDYES: return SaveQuestionAnswer::yes;
            case IDNO: return SaveQuestionAnswer::no;
            default: return SaveQuestionAnswer::cancel;
            }
        },
        [this] {
            // Command 202 saves under the current name and reports nothing back: the save
            // succeeded when the spectrum then matches its saved state.
            SendMessageW(hwnd(), WM_COMMAND, IdSaveSpectrumNamed, 0);
            return !document_.spectrum_history.is_modified();
        });
}

void CMainFrame::OnClearSpectrum()
{
    if (!spectrum_may_go()) return;
    document_.clear_spectrum();
    spectrum_file_name_.clear();
    document_changed(DocumentChange::spectrum);
}

void CMainFrame::OnSpectrumInformation()
{
    PropertyList properties;
    document_.data.property_list(properties, document_.model.is_emission(), true);
    KeywordList list;
    for (auto& [label, text] : properties) list.emplace_back(label, KWData{text});
    CPropPageDlg dialog(list, true, MessageText(50054).str());
    dialog.run(GetActiveWindow());
}

void CMainFrame::OnComponentColor()
{
    const GridCell cell = parameter_cell();
    const std::optional<unsigned> component = component_of_grid_row(document_, cell.row, cell.row_count);
    if (!component) return;
    SubModel& c = *document_.model.components[*component];
    const std::optional<COLORREF> chosen = show_color_dialog(hwnd(), c.color, CustomColors());
    if (!chosen) return;
    // A colour is no undo record: it changes nothing the fit or the files rely on.
    c.color = *chosen;
    document_changed(DocumentChange::appearance);
}

void CMainFrame::OnIsotopeChosen(UINT item)
{
    // MF_BYCOMMAND finds the Isotope submenu inside the menu bar.
    if (const HMENU menu = GetMenu(hwnd()))
        CheckMenuRadioItem(menu, first_isotope_id, IdLastIsotope, first_isotope_id + item, MF_BYCOMMAND);
    // The fit keeps its own copy of the model's expressions: no abort.
    document_.set_isotope(GetCurrentIsotope());
    BuildCalibrateMenu(GetMenu(hwnd()));
    document_changed(DocumentChange::model);
}

void CMainFrame::repaint_parameter_grid()
{
    if (const HWND page = tabs_.hwnd() ? GetDlgItem(tabs_.hwnd(), parameter_page_id) : nullptr)
        InvalidateRect(page, nullptr, TRUE);
}

bool CMainFrame::OnPlotGesture(const NMHDR& header)
{
    if (header.idFrom != plot_view_id ||
        (header.code != NotifyRange && header.code != NotifySegmentCode && header.code != NotifyPointClick &&
         header.code != NotifyDistributionRange && header.code != NotifyDistributionMenu))
        return false;
    const auto& gesture = reinterpret_cast<const PlotNotification&>(header);
    if (header.code == NotifyDistributionRange || header.code == NotifyDistributionMenu) {
        OnDistributionMenu(gesture);
        UpdateUIState();
        return true;
    }
    if (header.code == NotifyPointClick) {
        OnEditDataPoint(gesture.index);
        UpdateUIState();
        return true;
    }
    try {
        if (header.code == NotifyRange) {
            // The fit keeps its own copy of the ranges: no abort.
            if (apply_range_gesture(document_, mouse_mode_, gesture.x1, gesture.x2)) plot_.Redraw();
        } else {
            // Only while the parameter grid is on show, as the user draws over it.
            if (gesture.index < 0 || !tabs_.hwnd() || tabs_.current_page() != 0) return true;
            const SubModel* c = document_.model.distribution_at(static_cast<unsigned>(gesture.index));
            unsigned target = 0;
            double factor = 0.0;
            if (!c || c->get_distribution_link(target, factor)) return true;
            PostFitControl(FitCtlAbort);
            if (drawing_.draw(document_, static_cast<unsigned>(gesture.index), gesture.x1, gesture.y1, gesture.x2,
                              gesture.y2)) {
                repaint_parameter_grid();
                plot_.Redraw();
            }
        }
    } catch (const std::exception& error) {
        show_message_box(hwnd(), utf8_to_wide(error.what()), MessageText(50000).str(), MB_OK | MB_ICONERROR);
    }
    UpdateUIState();
    return true;
}
