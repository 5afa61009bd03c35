// The context menu of a distribution pane (a right click, or a drag over some of its
// points): its statistics page, export the distribution, lock or free points, lock its
// shape, set smoothing weights, clear values, and link its weights to another
// distribution or unlink them.
// Each change of the document is one undo step; a running fit stops first.
#include "ui/frame/main_frame.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <stdexcept>

#include "core/document/change_records.h"
#include "core/text/c_format.h"
#include "core/text/kwfile.h"
#include "core/text/text.h"
#include "plot/model_data_view.h"
#include "ui/dialogs/dist_points_dlg.h"
#include "ui/dialogs/dist_stats_dlg.h"
#include "ui/dialogs/dist_weight_dlg.h"
#include "ui/frame/file_filters.h"
#include "ui/dialogs/link_coefficient_dlg.h"
#include "ui/logic/dist_stats_form.h"
#include "ui/logic/view_refresh.h"
#include "ui/resource_ids.h"
#include "ui/win32_util.h"
#include "wingui/dialog_hooks.h"
#include "wingui/resources.h"

void CMainFrame::OnDistributionMenu(const PlotNotification& notification)
{
    if (notification.index < 0) return;
    const unsigned n = static_cast<unsigned>(notification.index);
    std::vector<DistPointParams> records;
    document_.model.point_params(records);
    if (n >= records.size()) return;
    const unsigned count = static_cast<unsigned>(records[n].deviations.size());
    PointRange range{0, count > 0 ? count - 1 : 0};
    if (notification.hdr.code == NotifyDistributionRange) {
        const std::optional<PointRange> dragged = drag_point_range(notification.x1, notification.x2, count);
        if (!dragged) return;
        range = *dragged;
    }
    const HMENU menu = load_menu_resource(IDR_DISTRIBUTION_MENU);
    if (!menu) return;
    BuildDistributionMenu(menu, n);
    POINT at{notification.mouse_x, notification.mouse_y};
    ClientToScreen(notification.hdr.hwndFrom, &at);
    UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON;
    if (GetSystemMetrics(SM_MENUDROPALIGNMENT)) flags |= TPM_RIGHTALIGN;
    const UINT command = static_cast<UINT>(TrackPopupMenu(GetSubMenu(menu, 0), flags, at.x, at.y, 0, hwnd(), nullptr));
    DestroyMenu(menu);
    if (command != 0) RunDistributionCommand(command, n, range, notification.hdr.code != NotifyDistributionRange);
}

void CMainFrame::BuildDistributionMenu(HMENU menu, unsigned n)
{
    const SubModel* component = document_.model.distribution_at(n);
    const HMENU popup = GetSubMenu(menu, 0);
    if (!component || !popup) return;
    const DistributionTies ties = distribution_ties(*component);
    for (const MenuItemState& item : distribution_menu_items(ties, results_))
        EnableMenuItem(popup, item.id, MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
    wchar_t text[128] = {};
    GetMenuStringW(popup, DistUnlink, text, 128, MF_BYCOMMAND);
    const std::wstring unlink = unlink_item_text(text, ties);
    ModifyMenuW(popup, DistUnlink, MF_BYCOMMAND | MF_STRING | (ties.linked ? MF_ENABLED : MF_GRAYED), DistUnlink,
                unlink.c_str());
    BuildLinkMenu(menu, component->index);
}

void CMainFrame::RunDistributionCommand(UINT command, unsigned n, PointRange range, bool whole)
{
    SubModel* component = document_.model.distribution_at(n);
    std::vector<DistPointParams> records;
    document_.model.point_params(records);
    if (!component || n >= records.size()) return;
    const unsigned count = static_cast<unsigned>(records[n].deviations.size());
    const unsigned first = static_cast<unsigned>(records[n].first_weight);
    const DistributionTies ties = distribution_ties(*component);
    try {
        if (command >= DistFirstLink && command <= DistLastLink) {
            const unsigned target = command - DistFirstLink;
            CLinkCDlg dialog((c_format(L"[%d] = ") % component->index).str(), (c_format(L" \u00D7 [%d]") % target).str(),
                             1.0);
            if (dialog.run(GetActiveWindow()) != IDOK) return;
            PostFitControl(FitCtlAbort);
            document_.link_distribution(target, component->index, dialog.factor());
            document_changed(DocumentChange::constraints);
            return;
        }
        switch (command) {
        case DistInfo:
            if (!ShowDistributionStatistics(n, count, range, whole)) return;
            break;
        case DistSaveAs: OnSaveDistribution(n); return;
        case DistUnlock:
            if (ties.shape_locked) return RunDistributionCommand(DistUnlink, n, range, whole);
            [[fallthrough]];
        case DistLock: {
            CDistPointsDlg dialog(range, count);
            if (dialog.run(GetActiveWindow()) != IDOK) return;
            PostFitControl(FitCtlAbort);
            document_.fix_distribution_points(component->index, dialog.range().from, dialog.range().to,
                                               command == DistLock);
            break;
        }
        case DistLockShape:
            PostFitControl(FitCtlAbort);
            document_.push_record<ModelState::ChangeRecordAddLinkDist>(document_.model_history, component->index,
                                                                      component->index, 0.0);
            break;
        case DistWeight: {
            const auto& deviations = records[n].deviations;
            const double d = *std::min_element(deviations.begin() + range.from, deviations.begin() + range.to + 1);
            CDistWeightDlg dialog(1.0 / (d * d), range, count, false);
            if (dialog.run(GetActiveWindow()) != IDOK) return;
            PostFitControl(FitCtlAbort);
            document_.push_record<ModelState::ChangeRecordDistYDev>(document_.model_history, n, dialog.range().from,
                                                                   dialog.range().to + 1,
                                                                   weight_deviation_argument(dialog.weight()));
            break;
        }
        case DistClear:
        case DistClearAndLock: {
            CDistWeightDlg dialog(0.0, range, count, true);
            if (dialog.run(GetActiveWindow()) != IDOK) return;
            PostFitControl(FitCtlAbort);
            // The values and the locks are one step on each history.
            document_.model_history.begin_group();
            document_.spectrum_history.begin_group();
            document_.set_params(first + dialog.range().from, first + dialog.range().to + 1, dialog.weight().value);
            if (tabs_.hwnd()) tabs_.ActivatePage(GetDlgItem(tabs_.hwnd(), parameter_page_id));
            if (command == DistClearAndLock)
                document_.fix_distribution_points(component->index, dialog.range().from, dialog.range().to, true);
            document_.model_history.merge_group();
            document_.spectrum_history.merge_group();
            document_changed(DocumentChange::model);
            return;
        }
        case DistUnlink:
            PostFitControl(FitCtlAbort);
            document_.unlink_distribution(component->index);
            break;
        default: return;
        }
    } catch (const std::exception& error) {
        show_message_box(hwnd(), utf8_to_wide(error.what()), L"Error", MB_OK | MB_ICONERROR);
        return;
    }
    document_changed(DocumentChange::constraints);
}

bool CMainFrame::ShowDistributionStatistics(unsigned n, unsigned count, PointRange range, bool whole)
{
    // A right click shows the stored grid; a drag shows its points, to be added to it.
    PointRangeList grid;
    document_.model.marked_ranges(n, grid);
    CDistStatsDlg dialog(document_, n, count, whole ? grid : PointRangeList{{range.from, range.to}}, results_, whole,
                         round_results_);
    const INT_PTR result = dialog.run(GetActiveWindow());
    if (result == CDistStatsDlg::failed) throw std::runtime_error(dialog.error());
    if (result != IDOK) return false;
    const std::size_t steps = document_.model_history.records().size();
    document_.set_distribution_marks(n, merged_stats_grid(dialog.ranges(), grid, !whole));
    return document_.model_history.records().size() != steps;
}

void CMainFrame::OnSaveDistribution(unsigned n)
{
    FileDialogRequest request;
    request.owner = hwnd();
    request.save = true;
    request.filter = spectrum_file_filter;
    request.default_extension = L"spc";
    request.initial_folder = default_folder_;
    request.initial_name = distribution_file_name(model_file_name_.name(), spectrum_file_name_, n);
    const std::optional<std::wstring> path = show_file_dialog(request);
    if (!path) return;
    std::wstring comment;
    kwlist_find(document_.data.keywords, L"Comment", comment);
    KeywordList list;
    document_.model.distribution_as_data(comment, n, document_.fit_values, document_.covariance, list);
    kwfile_save(*path, list);
}
