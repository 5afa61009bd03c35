// The grids on the tab container: creation, their notifications, the clipboard commands
// forwarded to the focused grid, the grid's context menu, and their refresh after a
// document change.
#include "ui/frame/main_frame.h"

#include <commctrl.h>

#include <algorithm>

#include "core/model/model_expressions.h"
#include "core/text/messages.h"
#include "subspec/distribution.h"
#include "ui/clipboard.h"
#include "ui/resource_ids.h"
#include "wingui/resources.h"

void CMainFrame::create_grids()
{
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP;
    parameter_grid_.Create(tabs_.hwnd(), nullptr, style, WS_EX_CLIENTEDGE, parameter_page_id);
    fit_result_grid_.Create(tabs_.hwnd(), nullptr, style, WS_EX_CLIENTEDGE, fit_result_page_id);
    correlation_grid_.CreateControls(tabs_.hwnd(), nullptr, style | LVS_NOCOLUMNHEADER, WS_EX_CLIENTEDGE,
                                     correlation_page_id);
    parameter_grid_.options().editable = true;
    fit_result_grid_.options().rounding = round_results_;
    const std::pair<CGrid*, std::uint32_t> pages[] = {
        {&parameter_grid_, 50029}, {&fit_result_grid_, 50030}, {&correlation_grid_, 50031}};
    for (const auto& [grid, title] : pages)
        if (grid->hwnd()) tabs_.AddPage(grid->hwnd(), MessageText(title).str());
    refresh_grids(false, true);
}

void CMainFrame::refresh_grids(bool results, bool rebuild_parameters)
{
    if (!parameter_grid_.hwnd() || !fit_result_grid_.hwnd() || !correlation_grid_.hwnd()) return;
    fit_result_grid_.options().show_errors = results;
    fit_result_grid_.Refresh(true);
    parameter_grid_.Refresh(rebuild_parameters);
    const unsigned n = document_.model.param_count();
    if (results && document_.covariance.size1() == n && document_.covariance.size2() == n)
        correlation_grid_.Fill(document_.model, [this](unsigned k) { return document_.is_varied(k); },
                               document_.covariance, document_.singular_directions);
    else
        correlation_grid_.Clear();
}

void CMainFrame::OnRoundResults()
{
    round_results_ = !round_results_;
    fit_result_grid_.options().rounding = round_results_;
    if (fit_result_grid_.hwnd()) fit_result_grid_.Refresh(false);
}

CGrid* CMainFrame::focused_grid()
{
    const HWND focus = GetFocus();
    if (!focus) return nullptr;
    for (CGrid* grid : {static_cast<CGrid*>(&parameter_grid_), static_cast<CGrid*>(&fit_result_grid_),
                        static_cast<CGrid*>(&correlation_grid_)})
        if (grid->hwnd() == focus) return grid;
    return nullptr;
}

bool CMainFrame::translate_grid_keys(MSG& message)
{
    // While a cell is edited the focus is on the editor, whose own Ctrl+C, Ctrl+V and
    // Ctrl+X then work on its text.
    CGrid* grid = focused_grid();
    return grid && grid->accelerators() && TranslateAcceleratorW(grid->hwnd(), grid->accelerators(), &message);
}

void CMainFrame::OnEditCommand(UINT id)
{
    // Menu and toolbar leave the focus where it was: on the grid the command is meant for.
    if (CGrid* grid = focused_grid()) SendMessageW(grid->hwnd(), WM_COMMAND, id, 0);
}

std::optional<LRESULT> CMainFrame::OnGridNotify(NMHDR& header)
{
    const HWND from = header.hwndFrom;
    const bool parameters = from && from == parameter_grid_.hwnd();
    const bool results = from && from == fit_result_grid_.hwnd();
    const bool correlations = from && from == correlation_grid_.hwnd();
    if (!parameters && !results && !correlations) return std::nullopt;
    const auto& item = reinterpret_cast<const NMITEMACTIVATE&>(header);
    switch (header.code) {
    case GRIDN_VALUE_CHANGED:
        if (!correlations) after_grid_change();
        return 0;
    case GRIDN_FLAGS_TOGGLED:
        if (parameters) after_grid_change();
        return 0;
    case GRIDN_CONTEXT_MENU:
        if (parameters && item.iItem >= 0) OnGridContextMenu(item.ptAction);
        return 0;
    case GRIDN_SEL_CHANGE:
        if (correlations) OnCorrelationSelChange();
        else OnGridSelChange();
        return 0;
    case GRIDN_ACTIVATE:
        // A parameter row opens its link's factor, an expression row its editor.
        if (parameters) OnEditLink(item.iItem, item.iSubItem);
        return 0;
    default:
        // The list view's own notifications (display texts, clicks, custom drawing) go
        // back to the grid, which is the list view.
        return reflect_to_child(WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    }
}

void CMainFrame::after_grid_change()
{
    // The grid has stopped a running fit before it changed the document; the results of
    // the last fit stay on show while they are.
    document_changed(DocumentChange::grid_edit);
    // A pasted row was selected before the other grid had its rows.
    OnGridSelChange();
    UpdateUIState();
}

void CMainFrame::OnGridSelChange()
{
    // Both model grids show the same cell; the visible one leads.
    const bool parameters_visible = IsWindowVisible(parameter_grid_.hwnd()) != FALSE;
    CModelGrid& source = parameters_visible ? parameter_grid_ : fit_result_grid_;
    CModelGrid& other = parameters_visible ? fit_result_grid_ : parameter_grid_;
    other.SelectCell(source.CurrentRow(), source.CurrentColumn());

    const int row = parameter_grid_.CurrentRow();
    if (plot_.selected_component != row) {
        plot_.selected_component = row;
        plot_.Redraw();
    }
    const int column = parameter_grid_.CurrentColumn();
    const SpectrumModel& model = document_.model;
    if (row >= 0 && static_cast<unsigned>(row) < model.component_count() && column >= 3) {
        const SubModel& c = *model.components[row];
        const unsigned p = static_cast<unsigned>(column - 3);
        if (p < c.shown_count) {
            correlation_grid_.SelectParam(static_cast<int>(c.first + p));
            // A distribution's pane is drawn over the varying parameter selected in it (the
            // point number for any other); only the drawing reads it, so a fit runs on.
            if (document_.model.set_distribution_abscissa(static_cast<unsigned>(row), p)) plot_.Redraw();
            return;
        }
    }
    correlation_grid_.SelectCell(-1, -1);
}

void CMainFrame::OnCorrelationSelChange()
{
    const int k = correlation_grid_.param_of_row(correlation_grid_.CurrentRow());
    if (k < 0 || static_cast<unsigned>(k) >= document_.model.param_count()) return;
    const SubModel& c = document_.model.component_of_param(static_cast<unsigned>(k));
    const int column = static_cast<int>(k - c.first) + 3;
    parameter_grid_.SelectCell(static_cast<int>(c.index), column);
    fit_result_grid_.SelectCell(static_cast<int>(c.index), column);
}

void CMainFrame::OnGridContextMenu(POINT at)
{
    const HMENU menu = load_menu_resource(IDR_GRID_MENU);
    if (!menu) return;
    // The predefined expressions may have been edited since the menu was last shown.
    model_expressions_load();
    UpdateUIState();
    BuildGridLinkMenu(menu);
    BuildExpressionsMenu(menu);
    // A point on no monitor (the window half off-screen) is moved into the nearest
    // monitor's work area, so the menu is seen.
    if (!MonitorFromPoint(at, MONITOR_DEFAULTTONULL)) {
        MONITORINFO info{sizeof info};
        if (GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &info))
            at.x = std::clamp<LONG>(at.x, info.rcWork.left, info.rcWork.right - 1);
    }
    UINT flags = TPM_RIGHTBUTTON;
    if (GetSystemMetrics(SM_MENUDROPALIGNMENT)) flags |= TPM_RIGHTALIGN;
    TrackPopupMenu(GetSubMenu(menu, 0), flags, at.x, at.y, 0, hwnd(), nullptr);
    DestroyMenu(menu);
}

void CMainFrame::fill_grid_snapshot(CommandSnapshot& s) const
{
    const int page = tabs_.hwnd() ? tabs_.current_page() : 0;
    s.page = page == 1 ? GridPage::Results : page == 2 ? GridPage::Correlations : GridPage::Parameters;
    const SpectrumModel& model = document_.model;
    const int row = parameter_grid_.CurrentRow();
    const unsigned nc = model.component_count();
    s.row = RowKind::None;
    s.component_has_properties = false;
    if (row >= 0 && static_cast<unsigned>(row) < nc) {
        const SubModel& c = *model.components[row];
        s.row = c.is_baseline() ? RowKind::Baseline : RowKind::Component;
        s.component_has_properties =
            dynamic_cast<const ISubSpecProperties*>(c.subspec.get()) != nullptr || c.distribution() != nullptr;
    } else if (row >= 0 && static_cast<unsigned>(row) - nc < model.expressions.size()) {
        s.row = RowKind::Expression;
    }
    s.column = parameter_grid_.CurrentColumn();
    s.results_grid_has_row = fit_result_grid_.CurrentRow() >= 0;
    s.correlation_has_row = correlation_grid_.CurrentRow() >= 0;
    s.clipboard_has_model_data = clipboard_has_model_data();
}

CMainFrame::GridCell CMainFrame::parameter_cell() const
{
    if (parameter_cell_source_) return parameter_cell_source_();
    if (!parameter_grid_.hwnd()) return {};
    const int rows = static_cast<int>(SendMessageW(parameter_grid_.hwnd(), LVM_GETITEMCOUNT, 0, 0));
    return GridCell{parameter_grid_.CurrentRow(), parameter_grid_.CurrentColumn(), rows};
}
