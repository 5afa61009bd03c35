#include "ui/fit_thread.h"

#include <process.h>

#include "ui/fit_thread_procedure.h"

void run_lm_fit(const FitJob& job, IFitStepCallback& callback, const std::atomic<bool>& cancel, FitOutcome& out)
{
    lm_fit(job.model, job.data, job.values, job.varied, job.lower, job.upper, job.settings, out.values,
           out.covariance, out.directions, out.chi_square, out.reduced_chi_square, out.iterations, out.stop_code,
           &callback, &cancel);
}

namespace {

class NullFitHost final : public IFitHost {
public:
    void fit_started() override {}
    void fit_waiting(const FitStatus&) override {}
    void fit_results(const FitStatus&) override {}
    void fit_discarded(const FitStatus&) override {}
    void fit_progress(const FitProgress&) override {}
    void fit_refresh() override {}
};

}  // namespace

FitThread::FitThread(HWND window, IFitHost& host, FitEngine engine, TickSource ticks)
    : window_(window),
      host_(host),
      engine_(std::move(engine)),
      ticks_(ticks ? ticks : []() -> std::uint32_t { return GetTickCount(); })
{
}

FitThread::~FitThread()
{
    // The window may still deliver the final message, but its owner is going: nothing
    // more is shown.
    detached_ = true;
    PostFitControl(FitCtlAbort);
    close_ended_thread();
}

bool FitThread::StartFit(std::unique_ptr<FitJob> job)
{
    if (thread_)
        return true;
    close_ended_thread();
    aborting_ = false;
    waiting_ = false;
    started_ = false;
    progress_ = FitProgress{};
    shared_ = std::make_shared<Shared>();
    shared_->fit = ++fit_count_;

    auto context = std::make_unique<FitThreadContext>(FitThreadContext{std::move(job), shared_, engine_, ticks_, window_});
    unsigned id = 0;
    const auto handle = _beginthreadex(nullptr, 0, fit_thread_procedure, context.get(), 0, &id);
    if (handle == 0)
        return false;  // the job goes with the context
    context.release();  // the thread owns it now
    thread_ = reinterpret_cast<HANDLE>(handle);
    thread_id_ = id;
    // Only FitMsgStarted says that the thread's queue exists; a late message of an
    // earlier fit that comes first is handled on the way.
    pump_until([this] { return started_; });
    return true;
}

void FitThread::PostFitControl(FitMsgCode code)
{
    if (!thread_)
        return;
    if (code == FitCtlAbort) {
        aborting_ = true;
        shared_->cancel = true;  // the engine stops before its next evaluation
    }
    PostThreadMessageW(thread_id_, WM_APP, code, 0);
    shared_->control_posted.store(true, std::memory_order_release);
    if (code == FitCtlAbort)
        pump_until([] { return false; });
}

void FitThread::run_on()
{
    if (thread_ && waiting_) {
        waiting_ = false;
        PostFitControl(FitCtlRun);
    }
}

void FitThread::step()
{
    if (thread_ && waiting_) {
        waiting_ = false;
        PostFitControl(FitCtlStep);
    }
}

LRESULT FitThread::OnFitMessage(WPARAM wparam, LPARAM lparam)
{
    NullFitHost detached_host;
    IFitHost& host = detached_ ? static_cast<IFitHost&>(detached_host) : host_;
    FitMsgCode code = static_cast<FitMsgCode>(wparam);
    if (code == FitMsgResults && aborting_)
        code = FitMsgDiscarded;
    switch (code) {
    case FitMsgStarted:
        started_ = true;
        waiting_ = false;
        host.fit_started();
        post_refresh();
        return 0;
    case FitMsgResults:
    case FitMsgDiscarded:
        end_thread();
        if (code == FitMsgResults)
            host.fit_results(*reinterpret_cast<const FitStatus*>(lparam));
        else
            host.fit_discarded(*reinterpret_cast<const FitStatus*>(lparam));
        break;
    case FitMsgStepWait:
        waiting_ = true;
        host.fit_waiting(*reinterpret_cast<const FitStatus*>(lparam));
        break;
    case FitMsgProgress: {
        const std::unique_ptr<FitProgress> progress(reinterpret_cast<FitProgress*>(lparam));
        // A record of a fit that has ended, delivered after its final message, is only
        // freed: the final values must stay.
        if (!progress || !thread_ || progress->fit != shared_->fit)
            return 0;
        shared_->progress_pending = false;
        progress_.iteration = progress->iteration;
        progress_.chi_square = progress->chi_square;
        progress_.previous_chi_square = progress->previous_chi_square;
        progress_.reduced_chi_square = progress->reduced_chi_square;
        progress_.rho = progress->rho;
        progress_.step_length = progress->step_length;
        progress_.values = std::move(progress->values);
        host.fit_progress(progress_);
        break;
    }
    case FitMsgRefresh:
        refresh_pending_ = false;
        host.fit_refresh();
        return 0;
    case FitMsgResumed:
        if (thread_)
            waiting_ = false;
        host.fit_refresh();
        return 0;
    default:
        host.fit_refresh();
        break;
    }
    post_refresh();
    return 0;
}

void FitThread::post_refresh()
{
    // One refresh queued at a time is enough: it runs after everything queued before it.
    if (!refresh_pending_)
        refresh_pending_ = PostMessageW(window_, WM_APP, FitMsgRefresh, 0) != FALSE;
}

void FitThread::end_thread()
{
    // The thread still returns from its final SendMessage; it is awaited before the
    // next start or when this object goes.
    ended_thread_ = thread_;
    thread_ = nullptr;
    thread_id_ = 0;
    waiting_ = false;
}

void FitThread::close_ended_thread()
{
    if (!ended_thread_)
        return;
    WaitForSingleObject(ended_thread_, INFINITE);
    CloseHandle(ended_thread_);
    ended_thread_ = nullptr;
}

void FitThread::pump_until(const std::function<bool()>& done)
{
    while (thread_ && !done()) {
        MSG message;
        // Also delivers what the thread sends.
        if (PeekMessageW(&message, window_, WM_APP, WM_APP, PM_REMOVE)) {
            DispatchMessageW(&message);
            continue;
        }
        HANDLE thread = thread_;
        const DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE | QS_POSTMESSAGE);
        if (woken == WAIT_OBJECT_0 && thread_ == thread) {
            // The thread ended without its final message reaching the window (the
            // window is gone): the fit is over all the same.
            while (PeekMessageW(&message, window_, WM_APP, WM_APP, PM_REMOVE))
                DispatchMessageW(&message);
            if (thread_ == thread)
                end_thread();
        }
    }
}
