// Links, bounds and user expressions: the Link to menus and command, the link factor,
// Unlink, Bounds, and the expression commands with the expression editor. Every change
// first stops a running fit (its model copy shares the components and their links),
// is one undo step on the model history and ends with one refresh of the views.
#include "ui/frame/main_frame.h"

#include <exception>

#include "core/document/change_records.h"
#include "core/model/model_expressions.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "ui/dialogs/bounds_dlg.h"
#include "ui/dialogs/expression_editor_dlg.h"
#include "ui/dialogs/link_coefficient_dlg.h"
#include "ui/logic/expression_editor.h"
#include "ui/logic/link_targets.h"
#include "ui/logic/view_refresh.h"
#include "ui/frame/menu_popups.h"
#include "wingui/dialog_hooks.h"

namespace {

constexpr UINT first_link_id = 5001;
constexpr UINT last_link_id = 5999;
constexpr UINT unlink_id = 259;
constexpr UINT add_expression_id = 262;
constexpr UINT bounds_id = 264;
constexpr UINT add_all_expressions_id = 800;
constexpr UINT first_listed_expression_id = 801;
constexpr UINT first_distribution_link_id = 23001;
constexpr UINT last_distribution_link_id = 23100;

HWND active_owner(HWND frame)
{
    const HWND active = GetActiveWindow();
    return active ? active : frame;
}

} // namespace

void CMainFrame::OnLinkCommand(UINT id)
{
    if (id >= first_link_id && id <= last_link_id) OnLinkTo(id);
    else if (id == unlink_id) OnUnlink();
    else if (id == bounds_id) OnBounds();
    else if (id == add_expression_id) OnAddExpression();
    else if (id == add_all_expressions_id) OnAddAllExpressions();
    else if (id >= first_listed_expression_id && id < first_listed_expression_id + max_predefined_items)
        OnAddListedExpression(id);
}

std::optional<unsigned> CMainFrame::current_component() const
{
    const GridCell cell = parameter_cell();
    if (cell.row < 0 || static_cast<unsigned>(cell.row) >= document_.model.component_count()) return {};
    return static_cast<unsigned>(cell.row);
}

std::optional<CMainFrame::CurrentParameter> CMainFrame::current_parameter() const
{
    const std::optional<unsigned> component = current_component();
    if (!component) return {};
    const int param = parameter_cell().column - 3;
    if (param < 0 || static_cast<unsigned>(param) >= document_.model.components[*component]->shown_count) return {};
    return CurrentParameter{*component, static_cast<unsigned>(param)};
}

void CMainFrame::links_changed(DocumentChange change)
{
    document_changed(change);
    UpdateUIState();
}

// ---- Menus ----

void CMainFrame::BuildGridLinkMenu(HMENU menu)
{
    const Submenu submenu = submenu_holding(menu, first_link_id, first_link_id);
    const std::optional<CurrentParameter> parameter = current_parameter();
    const bool linked = parameter && document_.model.components[parameter->component]->links[parameter->param].kind !=
                                         NotLinked;
    if (submenu.popup) {
        clear_submenu(submenu);
        if (parameter && !linked) {
            const auto targets = list_link_targets(document_.model, parameter->component, parameter->param);
            for (std::size_t n = 0; n < targets.size() && first_link_id + n <= last_link_id; ++n)
                AppendMenuW(submenu.popup, MF_STRING, first_link_id + n,
                            link_target_menu_text(document_.model, targets[n]).c_str());
        }
        finish_submenu(submenu, first_link_id);
    }
    EnableMenuItem(menu, unlink_id, MF_BYCOMMAND | (linked ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, bounds_id, MF_BYCOMMAND | (parameter && !linked ? MF_ENABLED : MF_GRAYED));
}

void CMainFrame::BuildExpressionsMenu(HMENU menu)
{
    const Submenu submenu = submenu_holding(menu, first_listed_expression_id, first_listed_expression_id);
    if (!submenu.popup) return;
    clear_submenu(submenu);
    // The file is read again each time, so that edits to it show without a restart.
    model_expressions_load();
    if (const std::optional<unsigned> component = current_component()) {
        const auto items =
            predefined_expression_items(model_expressions_for(*document_.model.components[*component]->subspec));
        for (std::size_t i = 0; i < items.size(); ++i)
            AppendMenuW(submenu.popup, MF_STRING, first_listed_expression_id + i, items[i].c_str());
        if (!items.empty()) {
            AppendMenuW(submenu.popup, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(submenu.popup, MF_STRING, add_all_expressions_id, MessageText(50068).c_str());
        }
    }
    finish_submenu(submenu, first_listed_expression_id);
}

void CMainFrame::BuildLinkMenu(HMENU menu, unsigned distribution)
{
    // Its items carry the component indices, so 23001 itself may be gone after a rebuild;
    // the demo files' ids begin at 23101.
    const Submenu submenu = submenu_holding(menu, first_distribution_link_id, last_distribution_link_id);
    if (!submenu.popup) return;
    clear_submenu(submenu);
    const ComponentList& components = document_.model.components;
    unsigned target = 0;
    double factor = 0;
    if (distribution < components.size() && !components[distribution]->get_distribution_link(target, factor)) {
        for (const auto& c : components) {
            if (c->index == distribution || !c->distribution() || c->get_distribution_link(target, factor) ||
                first_distribution_link_id + c->index > last_distribution_link_id)
                continue;
            const std::wstring text = std::to_wstring(c->index) + L". " + c->subspec->display_name();
            AppendMenuW(submenu.popup, MF_STRING, first_distribution_link_id + c->index,
                        normalize_script_text(text).c_str());
        }
    }
    finish_submenu(submenu, first_distribution_link_id);
}

// ---- Links ----

void CMainFrame::OnLinkTo(UINT id)
{
    PostFitControl(FitCtlAbort);
    const std::optional<CurrentParameter> parameter = current_parameter();
    if (!parameter) return;
    const auto targets = list_link_targets(document_.model, parameter->component, parameter->param);
    const std::size_t n = id - first_link_id;
    if (n >= targets.size()) return;
    CLinkCDlg dialog(link_dependent_text(document_.model, parameter->component, parameter->param),
                     link_target_text(document_.model, targets[n]), 1.0);
    if (dialog.run(active_owner(hwnd())) != IDOK) return;
    try {
        document_.add_link(make_link_spec(targets[n], parameter->component, parameter->param, dialog.factor()));
    } catch (const std::exception& error) {
        show_message_box(hwnd(), utf8_to_wide(error.what()), MessageText(50000).str(), MB_OK | MB_ICONERROR);
        return;
    }
    links_changed(DocumentChange::constraints);
}

void CMainFrame::OnEditLink(int row, int param)
{
    const unsigned components = document_.model.component_count();
    if (row < 0) return;
    if (static_cast<unsigned>(row) >= components) {
        const unsigned expression = static_cast<unsigned>(row) - components;
        if (expression < document_.model.expressions.size()) edit_expression(expression);
        return;
    }
    const SubModel& component = *document_.model.components[row];
    ParamLink link;
    if (param < 0 || static_cast<unsigned>(param) >= component.shown_count || !component.get_link(param, link)) return;
    edit_link_factor({static_cast<unsigned>(row), static_cast<unsigned>(param)});
}

void CMainFrame::edit_link_factor(const CurrentParameter& parameter)
{
    // The fit's model copy reads these very links.
    PostFitControl(FitCtlAbort);
    const ParamLink link = document_.model.components[parameter.component]->links[parameter.param];
    CLinkCDlg dialog(link_dependent_text(document_.model, parameter.component, parameter.param),
                     link_existing_target_text(document_.model, parameter.component, parameter.param), link.factor);
    if (dialog.run(active_owner(hwnd())) != IDOK || dialog.factor() == link.factor) return;
    const LinkTarget target{link.target_component, link.target_param, static_cast<LinkKind>(link.kind)};
    try {
        document_.add_link(make_link_spec(target, parameter.component, parameter.param, dialog.factor()));
    } catch (const std::exception& error) {
        show_message_box(hwnd(), utf8_to_wide(error.what()), MessageText(50000).str(), MB_OK | MB_ICONERROR);
        return;
    }
    links_changed(DocumentChange::constraints);
}

void CMainFrame::OnUnlink()
{
    PostFitControl(FitCtlAbort);
    const GridCell cell = parameter_cell();
    unlink_grid_cell(document_, cell.row, cell.column, cell.row_count);
    links_changed(DocumentChange::constraints);
}

void CMainFrame::OnBounds()
{
    PostFitControl(FitCtlAbort);
    const std::optional<CurrentParameter> parameter = current_parameter();
    if (!parameter) return;
    const unsigned index = document_.model.components[parameter->component]->first + parameter->param;
    const double lower = document_.lower_bounds(index), upper = document_.upper_bounds(index);
    CBoundsDlg dialog(lower, upper);
    if (dialog.run(active_owner(hwnd())) != IDOK) return;
    if (dialog.lower() == lower && dialog.upper() == upper) return;
    document_.push_record<ModelState::ChangeRecordBounds>(document_.model_history, index, lower, upper,
                                                          dialog.lower(), dialog.upper());
    links_changed(DocumentChange::constraints);
}

// ---- User expressions ----

void CMainFrame::OnAddExpression()
{
    PostFitControl(FitCtlAbort);
    CExpressionEditorDlg dialog(document_.model, document_.model.isotope, L"", L"");
    if (dialog.run(active_owner(hwnd())) != IDOK) return;
    document_.add_expression(static_cast<unsigned>(document_.model.expressions.size()), dialog.name(), dialog.text());
    links_changed(DocumentChange::expressions);
}

void CMainFrame::edit_expression(unsigned expression)
{
    PostFitControl(FitCtlAbort);
    const NamedExpr& present = document_.model.expressions[expression];
    CExpressionEditorDlg dialog(document_.model, document_.model.isotope, present.name, present.text);
    if (dialog.run(active_owner(hwnd())) != IDOK) return;
    if (dialog.name() == present.name && dialog.text() == present.text) return;
    document_.replace_expression(expression, dialog.name(), dialog.text());
    links_changed(DocumentChange::expressions);
}

void CMainFrame::OnAddListedExpression(UINT id)
{
    PostFitControl(FitCtlAbort);
    const std::optional<unsigned> component = current_component();
    if (!component) return;
    const ModelExpressionList& entries = model_expressions_for(*document_.model.components[*component]->subspec);
    const std::size_t i = id - first_listed_expression_id;
    if (i >= entries.size()) return;
    document_.add_expression(static_cast<unsigned>(document_.model.expressions.size()), entries[i].name,
                             expr_text_bound(entries[i], *component));
    links_changed(DocumentChange::expressions);
}

void CMainFrame::OnAddAllExpressions()
{
    PostFitControl(FitCtlAbort);
    const std::optional<unsigned> component = current_component();
    if (!component) return;
    // A copy: each addition may not disturb the list being walked.
    const ModelExpressionList entries = model_expressions_for(*document_.model.components[*component]->subspec);
    for (const ModelExpressionEntry& entry : entries)
        document_.add_expression(static_cast<unsigned>(document_.model.expressions.size()), entry.name,
                                 expr_text_bound(entry, *component));
    if (!entries.empty()) links_changed(DocumentChange::expressions);
}
