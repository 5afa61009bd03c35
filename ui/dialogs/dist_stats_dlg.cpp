#include "ui/dialogs/dist_stats_dlg.h"

#include <exception>

#include "core/text/messages.h"
#include "plot/dist_stats_page.h"
#include "ui/logic/dist_stats_form.h"
#include "ui/resource_ids.h"
#include "ui/win32_util.h"

CDistStatsDlg::CDistStatsDlg(const ModelState& document, unsigned n, unsigned count, PointRangeList ranges,
                             bool results, bool whole, bool rounding)
    : ModalDialog(IDD_DIST_STATS), n_(n), count_(count), results_(results), ranges_(std::move(ranges)),
      document_(document), whole_(whole), rounding_(rounding)
{
    MessageMap& map = message_map();
    map.on_command(IDC_DIST_POINTS, [this](UINT, UINT, HWND) { on_ranges_changed(); }, EN_CHANGE);
    map.on_command(IDOK, [this](UINT, UINT, HWND) { on_save(); });
    map.on_command(IDCANCEL, [this](UINT, UINT, HWND) { end(IDCANCEL); });
    // The browser's first document is there: the page can go in.
    map.on_message(WM_APP, [this](WPARAM, LPARAM) { return (BuildHtml(), LRESULT{0}); });
    anchor(IDC_DIST_STATS_PAGE, anchor_all);
    anchor(IDC_DIST_STATS_POINTS_LABEL, anchor_left | anchor_bottom);
    anchor(IDC_DIST_POINTS, anchor_left | anchor_right | anchor_bottom);
    anchor(IDOK, anchor_right | anchor_bottom);
    anchor(IDCANCEL, anchor_right | anchor_bottom);
    size_grip(IDC_DIST_STATS_GRIP);
}

bool CDistStatsDlg::on_init()
{
    if (whole_) {
        SetDlgItemTextW(hwnd(), IDOK, MessageText(50001).c_str());
        SetDlgItemTextW(hwnd(), IDCANCEL, MessageText(50002).c_str());
    }
    const RECT place = take_place_of(IDC_DIST_STATS_PAGE);
    if (browser_.create(hwnd(), IDC_DIST_STATS_PAGE, place) && browser_.can_show_pages()) {
        browser_.navigate(L"about:blank");
        ShowWindow(browser_.hwnd(), SW_SHOW);
    } else {
        // Nothing to show a page with: the list takes the browser's place and id.
        DestroyWindow(browser_.hwnd());
        list_.create(hwnd(), IDC_DIST_STATS_PAGE, place);
    }
    ranges_text_ = format_point_ranges(ranges_);
    // The text goes in before the list is filled: its change notice must not rebuild twice.
    SetDlgItemTextW(hwnd(), IDC_DIST_POINTS, ranges_text_.c_str());
    if (list_.hwnd()) BuildHtml();
    return true;
}

void CDistStatsDlg::on_ranges_changed()
{
    PointRangeList read;
    if (!parse_point_ranges(control_text(GetDlgItem(hwnd(), IDC_DIST_POINTS)), count_, read) || read == ranges_)
        return;
    ranges_ = std::move(read);
    BuildHtml();
}

void CDistStatsDlg::on_save()
{
    ranges_text_ = control_text(GetDlgItem(hwnd(), IDC_DIST_POINTS));
    PointRangeList read;
    if (!parse_point_ranges(ranges_text_, count_, read)) {
        SetFocus(GetDlgItem(hwnd(), IDC_DIST_POINTS));
        MessageBeep(MB_ICONHAND);
        return;
    }
    ranges_ = std::move(read);
    end(IDOK);
}

void CDistStatsDlg::BuildHtml()
{
    try {
        const DMatrix none;
        const std::vector<DistStatsTable> tables =
            dist_stats_tables(document_.model, n_, ranges_, results_ ? document_.fit_values : document_.values,
                              results_ ? document_.covariance : none);
        if (list_.hwnd()) list_.show(stats_list_lines(tables, rounding_));
        else browser_.LoadHtml(dist_stats_page(tables, rounding_));
    } catch (const std::exception& error) {
        // The caller says what failed once the dialog has closed.
        error_ = error.what();
        end(failed);
    }
}
