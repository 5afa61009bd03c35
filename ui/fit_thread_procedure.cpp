#include "ui/fit_thread_procedure.h"

#include <float.h>

#include <exception>
#include <new>

#include "core/text/text.h"

namespace {

class FitStepCallback final : public IFitStepCallback {
public:
    FitStepCallback(const FitThreadContext& context)
        : context_(context), run_freely_(context.job->run_freely), last_attached_(context.ticks())
    {
    }

    bool on_step(const DVector&, const DVector& current, double rho, double chi_square, double previous_chi_square,
                 double reduced_chi_square, double step_length, unsigned iteration) override
    {
        post_progress(current, rho, chi_square, previous_chi_square, reduced_chi_square, step_length, iteration);
        if (run_freely_ && !take_queued_codes())
            return false;
        if (run_freely_)
            return true;

        status_ = {};
        status_.values = &current;
        status_.rho = rho;
        status_.chi_square = chi_square;
        status_.previous_chi_square = previous_chi_square;
        status_.reduced_chi_square = reduced_chi_square;
        status_.iterations = static_cast<int>(iteration);
        SendMessageW(context_.window, WM_APP, FitMsgStepWait, reinterpret_cast<LPARAM>(&status_));
        MSG message;
        if (GetMessageW(&message, nullptr, WM_APP, WM_APP) <= 0)
            return false;
        last_code_ = static_cast<unsigned>(message.wParam);
        switch (last_code_) {
        case FitCtlStep:
            return true;
        case FitCtlPause:
            // A second Pause undoes the first: the window learns that the fit runs on.
            PostMessageW(context_.window, WM_APP, FitMsgResumed, 0);
            [[fallthrough]];
        case FitCtlRun:
            run_freely_ = true;
            return true;
        default:
            return false;
        }
    }

    unsigned last_code() const { return last_code_; }

private:
    // One record at a time is on its way: while the window has not taken the last one,
    // steps are not posted, so a fast fit cannot flood the window's queue.
    void post_progress(const DVector& current, double rho, double chi_square, double previous_chi_square,
                       double reduced_chi_square, double step_length, unsigned iteration)
    {
        FitThread::Shared& shared = *context_.shared;
        if (shared.progress_pending.load())
            return;
        const std::uint32_t now = context_.ticks();
        FitProgress* progress = new (std::nothrow) FitProgress;
        if (!progress)
            return;
        progress->fit = shared.fit;
        progress->iteration = static_cast<int>(iteration);
        progress->chi_square = chi_square;
        progress->previous_chi_square = previous_chi_square;
        progress->reduced_chi_square = reduced_chi_square;
        progress->rho = rho;
        progress->step_length = step_length;
        if (fit_values_due(now, last_attached_)) {
            progress->values = current;
            last_attached_ = now;
        }
        shared.progress_pending = true;
        if (!PostMessageW(context_.window, WM_APP, FitMsgProgress, reinterpret_cast<LPARAM>(progress))) {
            shared.progress_pending = false;
            delete progress;
        }
    }

    // Takes every control code queued while the fit ran freely; false when one ends
    // the fit. Each Pause switches between running freely and stepping.
    bool take_queued_codes()
    {
        if (!context_.shared->control_posted.exchange(false, std::memory_order_acquire))
            return true;
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_REMOVE)) {
            last_code_ = static_cast<unsigned>(message.wParam);
            if (last_code_ == FitCtlAbort || last_code_ == FitCtlStop)
                return false;
            if (last_code_ == FitCtlPause)
                run_freely_ = !run_freely_;
        }
        return true;
    }

    const FitThreadContext& context_;
    bool run_freely_;
    unsigned last_code_ = 0;
    FitStatus status_;
    std::uint32_t last_attached_;
};

}  // namespace

unsigned __stdcall fit_thread_procedure(void* argument)
{
    const std::unique_ptr<FitThreadContext> context(static_cast<FitThreadContext*>(argument));
    // A thread of _beginthreadex starts with another x87 precision than the program's
    // other threads: the fit computes as the window's thread would (Fit area does).
    _fpreset();
    FitStepCallback callback(*context);
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // the thread's queue now exists
    // Sent, not posted: a fit that ends at once must not have its results handled before
    // its start, since a window takes what a thread sends before what it posts.
    SendMessageW(context->window, WM_APP, FitMsgStarted, 0);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);

    FitOutcome outcome;
    FitStatus status;
    try {
        context->engine(*context->job, callback, context->shared->cancel, outcome);
    } catch (const std::exception& e) {
        status.error = utf8_to_wide(e.what());
    } catch (...) {
        status.error = L"The fit failed";
    }
    context->job.reset();

    const bool discarded =
        !status.error.empty() || context->shared->cancel.load() || callback.last_code() == FitCtlAbort;
    if (!discarded) {
        status.values = &outcome.values;
        status.covariance = &outcome.covariance;
        status.directions = &outcome.directions;
        status.chi_square = outcome.chi_square;
        status.reduced_chi_square = outcome.reduced_chi_square;
        status.iterations = static_cast<int>(outcome.iterations);
        status.stop_code = outcome.stop_code;
    }
    SendMessageW(context->window, WM_APP, discarded ? FitMsgDiscarded : FitMsgResults,
                 reinterpret_cast<LPARAM>(&status));
    return 0;
}
