// The frame's side of a document change: the views refreshed once (UpdateViews), and
// menus, toolbar, title and fit status brought in step with the document (UpdateUIState).
#include "ui/frame/main_frame.h"

#include <commctrl.h>

#include "core/text/messages.h"
#include "ui/logic/view_refresh.h"
#include "ui/logic/window_title.h"

namespace {

// The plot's option: error bars of fit results in its panes.
constexpr std::int32_t plot_fit_errors = 0x1000;

}  // namespace

void CMainFrame::set_status_text(int pane, const std::wstring& text)
{
    if (status_bar_) SendMessageW(status_bar_, SB_SETTEXTW, pane, reinterpret_cast<LPARAM>(text.c_str()));
}

bool CMainFrame::UpdateViews(int flags, const FitStatus* status)
{
    const ViewRefresh refresh = plan_view_refresh(flags, status, last_fit_.chi_square, last_fit_.reduced_chi_square);
    if (!refresh.keep_status_text) set_status_text(0, refresh.status_text);
    if (refresh.follow_values) document_.fit_values = document_.values;
    results_ = refresh.results;
    // The plot redraws once, with the fit values and error bars the new state asks for.
    plot_.options = (plot_.options & ~plot_fit_errors) | (results_ ? plot_fit_errors : 0);
    refresh_grids(results_, refresh.rebuild_parameter_grid || refresh.follow_values);
    show_document();
    return results_;
}

void CMainFrame::document_changed(DocumentChange change)
{
    UpdateViews(refresh_flags(change, results_));
}

void CMainFrame::UpdateUIState()
{
    apply_command_states();
    UpdateFitStatus();
    const std::wstring title =
        window_title(MessageText(50000).str(), spectrum_file_name_, document_.spectrum_history.is_modified(),
                     model_file_name_.name(), document_.model_history.is_modified());
    if (title != applied_title_) {
        applied_title_ = title;
        SetWindowTextW(hwnd(), title.c_str());
    }
}

void CMainFrame::apply_command_states()
{
    CommandSnapshot s;
    s.points = document_.data.x_data.size();
    s.has_components = document_.model.component_count() > 0;
    s.has_xranges = document_.model.xrange_count() > 0;
    s.spectrum_can_undo = document_.spectrum_history.can_undo();
    s.spectrum_can_redo = document_.spectrum_history.can_redo();
    s.model_can_undo = document_.model_history.can_undo();
    s.model_can_redo = document_.model_history.can_redo();
    s.emission = document_.model.is_emission();
    s.fit_running = fit_running();
    s.fit_waiting = fit_waiting();
    fill_grid_snapshot(s);
    s.plot_mask = static_cast<unsigned>(plot_.available_mask);
    s.plot_options = static_cast<unsigned>(plot_.options);
    s.rounding = round_results_;
    s.mouse_mode = mouse_mode_;
    s.results = results_;
    const std::vector<CommandState> states = command_states(s);
    if (states == applied_states_) return;

    // Only what changed reaches menus and toolbar: this runs on every idle pass.
    const HMENU menu = GetMenu(hwnd());
    for (std::size_t i = 0; i < states.size(); ++i) {
        const CommandState& state = states[i];
        if (i < applied_states_.size() && applied_states_[i] == state) continue;
        unsigned elements = 0;
        for (const UpdateEntry& entry : update_ui_map())
            if (entry.id == state.id && !(entry.elements & UpdateStatusBar)) elements = entry.elements;
        if ((elements & UpdateMenu) && menu) {
            if (state.text_message)
                ModifyMenuW(menu, state.id, MF_BYCOMMAND | MF_STRING, state.id, MessageText(state.text_message).c_str());
            EnableMenuItem(menu, state.id, MF_BYCOMMAND | (state.enabled ? MF_ENABLED : MF_GRAYED));
            CheckMenuItem(menu, state.id, MF_BYCOMMAND | (state.checked ? MF_CHECKED : MF_UNCHECKED));
        }
        if ((elements & UpdateToolbar) && toolbar_) {
            SendMessageW(toolbar_, TB_ENABLEBUTTON, state.id, state.enabled);
            SendMessageW(toolbar_, TB_CHECKBUTTON, state.id, state.checked);
        }
    }
    applied_states_ = states;
}
