// The fit in a worker thread at the lowest priority, and the main window's side of the
// conversation with it. The thread runs the engine on its FitJob of copies and talks to
// the window only through WM_APP messages (codes in fit_protocol.h); the window passes
// every WM_APP it receives to OnFitMessage, which tells the window's IFitHost what to
// show. The fit thread never touches the document.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/fit/lm_fit.h"
#include "core/model/spectrum_model.h"
#include "core/spectrum/spectrum_data.h"
#include "ui/logic/fit_protocol.h"

// What the thread fits: copies taken from the document when the fit starts. The model
// copy shares its components with the document, which is safe because every edit of
// what they share aborts the fit first.
struct FitJob {
    DVector values;              // the start point
    DVector lower, upper;        // bounds
    std::vector<int> varied;     // 1 where the parameter is free, not locked and not linked
    FitSettings settings;
    SpectrumData data;
    SpectrumModel model;
    bool run_freely = true;      // false: one iteration, then wait
};

// What the engine hands back when it ends.
struct FitOutcome {
    DVector values;
    DMatrix covariance, directions;
    double chi_square = 0.0, reduced_chi_square = 0.0;
    unsigned iterations = 0;
    FitStopCode stop_code = FitStopSmallGradient;
};

// Runs a fit of the job, telling `callback` of every accepted step and ending soon
// after `cancel` becomes true.
using FitEngine = std::function<void(const FitJob&, IFitStepCallback&, const std::atomic<bool>& cancel, FitOutcome&)>;

// The Levenberg-Marquardt engine.
void run_lm_fit(const FitJob& job, IFitStepCallback& callback, const std::atomic<bool>& cancel, FitOutcome& out);

// What the main window does with the thread's messages; called in the UI thread.
class IFitHost {
public:
    // The thread runs: refresh the command states.
    virtual void fit_started() = 0;
    // The thread waits in step mode: show the step's values and chi-square text.
    virtual void fit_waiting(const FitStatus& status) = 0;
    // The fit ended with results: take values, covariance, directions, chi-squares and
    // stop code from the status and show them.
    virtual void fit_results(const FitStatus& status) = 0;
    // The fit was aborted or failed (status.error says why when it failed): put the fit
    // values back to the model's values and clear the results display.
    virtual void fit_discarded(const FitStatus& status) = 0;
    // An accepted step of the running fit; with values attached, show them.
    virtual void fit_progress(const FitProgress& progress) = 0;
    // Bring the command states up to date once the queued messages are through.
    virtual void fit_refresh() = 0;

protected:
    ~IFitHost() = default;
};

class FitThread {
public:
    using TickSource = std::uint32_t (*)();

    // `window` receives the thread's messages and passes them to OnFitMessage.
    FitThread(HWND window, IFitHost& host, FitEngine engine = run_lm_fit, TickSource ticks = nullptr);
    // Aborts a running fit and waits for its thread.
    ~FitThread();
    FitThread(const FitThread&) = delete;
    FitThread& operator=(const FitThread&) = delete;

    // Starts a fit of the job unless one runs; returns once the thread has said it
    // started. True when a fit thread runs afterwards (already, or newly started).
    bool StartFit(std::unique_ptr<FitJob> job);
    // Sends a control code to the running thread; for FitCtlAbort also waits until the
    // thread has ended and its final message has been handled.
    void PostFitControl(FitMsgCode code);
    // The window's WM_APP handler.
    LRESULT OnFitMessage(WPARAM code, LPARAM lparam);

    // The fit commands. Run: a waiting thread runs freely again. Step: a waiting thread
    // takes one more step. Pause: a running thread waits after its next step (a waiting
    // one runs on). Stop: the thread ends with the results so far. Abort: it ends
    // without results, and this returns when it has.
    void run_on();
    void step();
    void pause() { PostFitControl(FitCtlPause); }
    void stop() { PostFitControl(FitCtlStop); }
    void abort() { PostFitControl(FitCtlAbort); }

    bool running() const { return thread_ != nullptr; }
    bool waiting() const { return waiting_; }
    const FitProgress& progress() const { return progress_; }
    // The values of the last progress record: empty unless it carried them.
    const DVector& progress_values() const { return progress_.values; }
    // The fit status pane's text.
    std::wstring status_text() const { return fit_status_text(running(), waiting_, progress_); }

    // What the thread shares with the window, one record per fit.
    struct Shared {
        std::atomic<bool> cancel = false;            // the engine ends at its next evaluation
        std::atomic<bool> progress_pending = false;  // a progress record is on its way
        // Set after each control code is posted: a freely running fit looks into its
        // queue only then, since under Wine every look is a round trip to the server,
        // which a busy machine makes slow.
        std::atomic<bool> control_posted = false;
        unsigned fit = 0;                            // which fit of this window
    };

private:
    void end_thread();
    void close_ended_thread();
    // Delivers this window's WM_APP messages (and whatever the thread sends) until
    // `done` holds or the thread has ended.
    void pump_until(const std::function<bool()>& done);
    void post_refresh();

    HWND window_;
    IFitHost& host_;
    FitEngine engine_;
    TickSource ticks_;
    HANDLE thread_ = nullptr;
    HANDLE ended_thread_ = nullptr;  // ended, not yet awaited
    DWORD thread_id_ = 0;
    std::shared_ptr<Shared> shared_;
    unsigned fit_count_ = 0;
    bool started_ = false;   // FitMsgStarted of the current fit was handled
    bool waiting_ = false;
    bool aborting_ = false;
    bool refresh_pending_ = false;
    bool detached_ = false;  // the owner is going: the host is told nothing more
    FitProgress progress_;
};
