// The fit commands: run, one iteration, pause, stop (a worker thread fits copies of the
// document) and Fit area (synchronous); and what the thread's messages show. Fitted
// values enter the model only through Accept fit results or Fit area, one undo step each.
#include "ui/frame/main_frame.h"

#include <commctrl.h>

#include <exception>

#include "core/text/messages.h"
#include "core/text/text.h"
#include "ui/logic/fit_area.h"
#include "ui/logic/view_refresh.h"
#include "wingui/dialog_hooks.h"

namespace {

void activate_page(CTabContainer& tabs, UINT id)
{
    if (tabs.hwnd()) tabs.ActivatePage(GetDlgItem(tabs.hwnd(), static_cast<int>(id)));
}

}  // namespace

void CMainFrame::OnFitControl(UINT id)
{
    switch (id) {
    case 351:  // Run to completion
        if (!fit_running())
            StartFit(true);
        else
            fit_->run_on();
        break;
    case 352:  // Do one iteration: a new fit takes its first step and waits
        if (StartFit(false)) fit_->step();
        break;
    case 363: PostFitControl(FitCtlPause); break;  // a second Pause runs on
    case 353: PostFitControl(FitCtlStop); break;
    case 359:
        PostFitControl(FitCtlAbort);
        OnFitArea();
        break;
    default: break;
    }
}

void CMainFrame::set_fit_engine(FitEngine engine)
{
    PostFitControl(FitCtlAbort);
    fit_engine_ = std::move(engine);
    fit_.reset();
}

bool CMainFrame::StartFit(bool run_freely)
{
    if (fit_running()) return true;
    if (!fit_) fit_ = std::make_unique<FitThread>(hwnd(), *this, fit_engine_);
    activate_page(tabs_, fit_result_page_id);
    document_.fit_values = document_.values;
    UpdateViews(0);

    auto job = std::make_unique<FitJob>();
    job->values = document_.values;
    job->lower = document_.lower_bounds;
    job->upper = document_.upper_bounds;
    job->varied.resize(document_.values.size());
    for (unsigned i = 0; i < job->varied.size(); ++i) job->varied[i] = document_.is_varied(i) ? 1 : 0;
    job->settings = fit_settings_;
    job->data = document_.data;
    job->model = document_.model;
    job->run_freely = run_freely;
    return fit_->StartFit(std::move(job));
}

void CMainFrame::PostFitControl(FitMsgCode code)
{
    if (fit_) fit_->PostFitControl(code);
}

LRESULT CMainFrame::OnFitMessage(WPARAM code, LPARAM lparam)
{
    if (fit_) return fit_->OnFitMessage(code, lparam);
    // No fit was ever started here: a stray record is only freed.
    if (code == FitMsgProgress) delete reinterpret_cast<FitProgress*>(lparam);
    return 0;
}

void CMainFrame::UpdateFitStatus()
{
    set_status_text(1, fit_ ? fit_->status_text() : std::wstring());
}

void CMainFrame::OnFitArea()
{
    std::optional<FitAreaResult> result;
    try {
        result = fit_area(document_.model, document_.data, document_.values, document_.lower_bounds,
                          document_.upper_bounds, fit_settings_);
    } catch (const std::exception& error) {
        // A model that fails to evaluate: the model stays as it was.
        show_message_box(hwnd(), utf8_to_wide(error.what()), MessageText(50000).str(), MB_OK | MB_ICONERROR);
        return;
    }
    if (!result || !result->values) return;
    document_.accept_fit_values(*result->values);
    document_changed(DocumentChange::model);
    UpdateUIState();
    activate_page(tabs_, parameter_page_id);
}

// ---- The thread's messages ----

void CMainFrame::fit_started() { UpdateUIState(); }

void CMainFrame::fit_waiting(const FitStatus& status)
{
    if (status.values) {
        document_.fit_values = *status.values;
        last_fit_.chi_square = status.chi_square;
        last_fit_.reduced_chi_square = status.reduced_chi_square;
    }
    UpdateViews(ViewsChiSquare);
    UpdateUIState();
}

void CMainFrame::fit_results(const FitStatus& status)
{
    if (status.values) document_.fit_values = *status.values;
    if (status.covariance) document_.covariance = *status.covariance;
    if (status.directions) document_.singular_directions = *status.directions;
    last_fit_.chi_square = status.chi_square;
    last_fit_.reduced_chi_square = status.reduced_chi_square;
    last_fit_.stop_code = status.stop_code;
    UpdateViews(ViewsResults | ViewsChiSquare, &status);
    UpdateUIState();
}

void CMainFrame::fit_discarded(const FitStatus& status)
{
    document_.fit_values = document_.values;
    UpdateViews(0);
    UpdateUIState();
    // An engine that failed says why; an abort needs no word.
    if (!status.error.empty())
        show_message_box(hwnd(), status.error, MessageText(50000).str(), MB_OK | MB_ICONERROR);
}

void CMainFrame::fit_progress(const FitProgress& progress)
{
    if (progress.values.size() != document_.values.size()) {
        UpdateFitStatus();
        return;
    }
    document_.fit_values = progress.values;
    last_fit_.chi_square = progress.chi_square;
    last_fit_.reduced_chi_square = progress.reduced_chi_square;
    UpdateViews(ViewsChiSquare);
}

void CMainFrame::fit_refresh() { UpdateUIState(); }
