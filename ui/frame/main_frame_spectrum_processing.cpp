// The spectrum processing commands: Filter, Deconvolution, Generate from model, the
// predefined transforms and the edit of one data point. Each stops a running fit, asks
// for its parameters in a small dialog and makes one document edit; the document keeps
// the undo records.
#include "ui/frame/main_frame.h"

#include <cmath>
#include <exception>

#include "core/model/expr.h"
#include "core/model/model_expressions.h"
#include "core/text/c_format.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "plot/plot_view.h"
#include "ui/dialogs/data_point_dlg.h"
#include "ui/dialogs/deconvolution_dlg.h"
#include "ui/dialogs/filter_dlg.h"
#include "ui/logic/spectrum_processing.h"
#include "ui/logic/view_refresh.h"
#include "ui/frame/menu_popups.h"
#include "ui/dialogs/prop_page_dlg.h"
#include "ui/dialogs/velocity_range_dlg.h"
#include "wingui/dialog_hooks.h"

namespace {

enum : UINT {
    IdGenerate = 204,
    IdFilter = 211,
    IdDeconvolution = 214,
    IdFirstTransform = 1001,
    IdLastTransform = 1099,
};

constexpr unsigned msg_filter_label = 50065;

void show_error(HWND owner, const std::wstring& text)
{
    show_message_box(owner, text, MessageText(50000).str(), MB_OK | MB_ICONERROR);
}

const ModelExpressionList& transform_entries() { return model_expressions_find(L"Transform"); }

}  // namespace

void CMainFrame::OnSpectrumProcessing(UINT id)
{
    PostFitControl(FitCtlAbort);
    switch (id) {
    case IdFilter: OnFilter(); break;
    case IdDeconvolution: OnDeconvolution(); break;
    case IdGenerate: OnGenerateFromModel(); break;
    default:
        if (id >= IdFirstTransform && id <= IdLastTransform) OnTransform(id - IdFirstTransform);
        break;
    }
    UpdateUIState();
}

void CMainFrame::OnFilter()
{
    CFilterDlg dialog(msg_filter_label, 0.0);
    if (dialog.run(GetActiveWindow()) != IDOK || !(dialog.width() > 0.0)) return;
    try {
        document_.filter_spectrum(dialog.width());
    } catch (const std::exception& error) {
        show_error(hwnd(), MessageText(50015, utf8_to_wide(error.what())).str());
        return;
    }
    document_changed(DocumentChange::spectrum);
}

void CMainFrame::OnDeconvolution()
{
    const Isotope* isotope = GetCurrentIsotope();
    CDeconvolutionDlg dialog(0.77, 0.5, isotope ? isotope->Γτ : 0.0);
    if (dialog.run(GetActiveWindow()) != IDOK) return;
    if (!(dialog.probability() * dialog.fraction() > 0.0) || !(dialog.source_width() >= 0.0)) return;
    DeconvolutionRequest request;
    request.use_fit_values = results_;
    request.chi = dialog.probability();
    request.fs = dialog.fraction();
    request.source_width = dialog.source_width();
    switch (document_.deconvolve_spectrum(request)) {
    case 0: plot_.Redraw(); break;
    case -1: show_error(hwnd(), MessageText(50062).str()); break;
    case -2: show_error(hwnd(), MessageText(50063, (c_format(L"%.3f") % request.model_width).str()).str()); break;
    case -3: show_error(hwnd(), MessageText(50064, (c_format(L"%.3f") % request.largest_e).str()).str()); break;
    default: break;
    }
}

void CMainFrame::OnGenerateFromModel()
{
    const auto [from, to] = generate_range(document_.data.x_data, document_.model, document_.values);
    CVRangeDlg dialog(from, to, 1024, true);
    // The range as the dialog shows it, three significant digits, is the range used.
    if (dialog.run(GetActiveWindow()) != IDOK || !(dialog.vmax() > dialog.vmin())) return;
    document_.simulate_spectrum(static_cast<unsigned>(dialog.points()), dialog.vmin(), dialog.vmax(), dialog.noise());
    document_.scale_areas_to_spectrum();
    document_changed(DocumentChange::spectrum);
}

void CMainFrame::BuildTransformMenu(HMENU menu)
{
    const Submenu submenu = submenu_holding(menu, IdFirstTransform, IdFirstTransform);
    if (!submenu.popup) return;
    clear_submenu(submenu);
    // Entries past the command range still show; their ids do nothing.
    const ModelExpressionList& entries = transform_entries();
    for (std::size_t k = 0; k < entries.size(); ++k)
        AppendMenuW(submenu.popup, MF_STRING, IdFirstTransform + k, entries[k].name.c_str());
    finish_submenu(submenu, IdFirstTransform);
}

void CMainFrame::OnTransform(unsigned index)
{
    const ModelExpressionList& entries = transform_entries();
    if (index >= entries.size()) return;
    const ModelExpressionEntry entry = entries[index];
    KeywordList list = transform_parameter_list(entry.text, transform_parameters_);
    CPropPageDlg editor(list, false, MessageText(50079).str() + L": " + entry.name);
    if (editor.run(GetActiveWindow()) != IDOK) return;
    transform_parameters_ = list;
    std::wstring unreadable;
    const std::optional<std::vector<double>> values = transform_parameter_values(list, unreadable);
    if (!values) return show_error(hwnd(), MessageText(50225, unreadable).str());
    ExprPtr expr;
    try {
        expr = Expr::create(entry.text, SpectrumModel(), transform_variable_names(list));
    } catch (const std::exception&) {
        // Too long to compile is an error in the expression as well.
    }
    if (!expr) return show_error(hwnd(), MessageText(50057).str());
    document_.transform_spectrum({entry.name, expr, *values});
    document_changed(DocumentChange::spectrum);
}

void CMainFrame::OnEditDataPoint(int index)
{
    // Only over the initial parameters: the other pages show results of the old counts.
    if (!tabs_.hwnd() || tabs_.current_page() != 0) return;
    if (index < 0 || static_cast<std::size_t>(index) >= document_.data.y_data.size()) return;
    PostFitControl(FitCtlAbort);
    CYValDlg dialog(document_.data.y_data[static_cast<std::size_t>(index)]);
    if (dialog.run(GetActiveWindow()) != IDOK) return;
    if (document_.set_spectrum_count(static_cast<std::size_t>(index), dialog.value())) plot_.Redraw();
}
