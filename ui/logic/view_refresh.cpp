#include "ui/logic/view_refresh.h"

#include <cmath>

#include "core/fit/fit_settings.h"
#include "core/text/c_format.h"
#include "core/text/messages.h"
#include "ui/logic/fit_protocol.h"

namespace {

// χ² with the reduced χ² and its standard deviation √(2/(N − M)) = √(2·χ²ᵣ/χ²).
std::wstring chi_square_text(double chi_square, double reduced)
{
    return (c_format(L"χ² = %.2f (%.3f±%.3f)") % chi_square % reduced % std::sqrt(2.0 * reduced / chi_square)).str();
}

}  // namespace

int refresh_flags(DocumentChange change, bool results_shown)
{
    const int results_stay = ViewsKeepStatus | (results_shown ? ViewsResults : 0);
    switch (change) {
    case DocumentChange::spectrum: return ViewsRebuildGrid;
    case DocumentChange::spectrum_replaced:
    case DocumentChange::model: return ViewsFollowValues | ViewsRebuildGrid;
    case DocumentChange::constraints:
    case DocumentChange::grid_edit: return results_stay;
    case DocumentChange::expressions:
    case DocumentChange::fit_accepted:
    case DocumentChange::appearance: return results_stay | ViewsRebuildGrid;
    }
    return ViewsFollowValues | ViewsRebuildGrid;
}

ViewRefresh plan_view_refresh(int flags, const FitStatus* status, double chi_square, double reduced_chi_square)
{
    ViewRefresh r;
    if (flags & ViewsChiSquare) {
        if ((flags & ViewsResults) && status) {
            const std::wstring reason = MessageText(fit_stop_message_id(status->stop_code)).str();
            if (nothing_fitted(status->stop_code)) {
                flags = (flags & ~(ViewsResults | ViewsChiSquare)) | ViewsFollowValues;
                r.status_text = reason;
            } else {
                r.status_text = chi_square_text(chi_square, reduced_chi_square) +
                                (c_format(L",  %s: %d, %s") % MessageText(50028).str() % status->iterations % reason)
                                    .str();
            }
        } else if (!(flags & ViewsResults)) {
            r.status_text = chi_square_text(chi_square, reduced_chi_square);
        }
    }
    r.keep_status_text = (flags & ViewsKeepStatus) != 0;
    r.follow_values = (flags & ViewsFollowValues) != 0;
    r.results = (flags & ViewsResults) != 0;
    r.rebuild_parameter_grid = (flags & (ViewsFollowValues | ViewsRebuildGrid)) != 0;
    return r;
}
