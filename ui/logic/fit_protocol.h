// What the fit thread and the main window say to each other: the codes carried in the
// wParam of WM_APP in both directions, the progress record posted after each accepted
// step, the status read during the synchronous step-wait and results messages, and the
// rule that throttles copies of the parameter vector.
#pragma once

#include <cstdint>
#include <string>

#include "core/fit/fit_settings.h"
#include "core/numerics/ublas_types.h"

enum FitMsgCode : unsigned {
    FitMsgStarted = 0,    // thread → frame, posted
    FitMsgStepWait = 1,   // thread → frame, sent, FitStatus (values, rho, chi-squares)
    FitCtlStep = 2,       // frame → thread
    FitCtlRun = 3,        // frame → thread
    FitCtlAbort = 4,      // frame → thread
    FitMsgResults = 5,    // thread → frame, sent, FitStatus (all but rho and previous chi-square)
    FitCtlStop = 6,       // frame → thread
    FitMsgDiscarded = 7,  // thread → frame, sent, FitStatus (only its error is read)
    FitMsgProgress = 8,   // thread → frame, posted, a heap FitProgress the frame frees
    FitMsgRefresh = 9,    // frame → frame, posted
    FitCtlPause = 10,     // frame → thread
    FitMsgResumed = 11,   // thread → frame, posted: a waiting thread runs freely again
};

struct FitProgress {
    unsigned fit = 0;  // which fit of the frame posted it; a late record of an ended fit is only freed
    int iteration = 0;
    double chi_square = 0.0;
    double previous_chi_square = 0.0;
    double reduced_chi_square = 0.0;
    double rho = 0.0;
    double step_length = 0.0;
    DVector values;  // empty unless attached
};

struct FitStatus {
    const DVector* values = nullptr;
    const DMatrix* covariance = nullptr;  // null in FitMsgStepWait
    const DMatrix* directions = nullptr;  // null in FitMsgStepWait
    double rho = 0.0;
    double chi_square = 0.0;
    double previous_chi_square = 0.0;
    double reduced_chi_square = 0.0;
    int iterations = 0;
    int stop_code = 0;
    std::wstring error;  // why a discarded fit failed; empty when it was aborted
};

// True for the stop codes the engine gives before its first step (too many variables,
// no variables, a zero deviation, data that are not numbers): nothing was fitted.
constexpr bool nothing_fitted(int stop_code)
{
    return stop_code == FitStopTooManyVariables || stop_code == FitStopNoVariables || stop_code == FitStopZeroStdDev ||
           stop_code == FitStopDataNotFinite;
}

// The least time between two copies of the parameter vector into progress records.
constexpr std::uint32_t fit_values_interval_ms = 2000;

// True when values may be attached again: more than the interval since the last
// attachment, counted as an unsigned 32-bit tick difference so that the tick count's
// wrap-around after 49.7 days does no harm.
constexpr bool fit_values_due(std::uint32_t now, std::uint32_t last_attached)
{
    return static_cast<std::uint32_t>(now - last_attached) > fit_values_interval_ms;
}

// The insert of the fit status pane's text ("Fitting%1!s!", "Waiting%1!s!"): "..."
// before the first step, else the step's iteration, chi-squares, decrease, rho and the
// decimal logarithm of the step length.
std::wstring fit_progress_insert(const FitProgress& progress);

// The whole text of the fit status pane: empty without a fit thread.
std::wstring fit_status_text(bool running, bool waiting, const FitProgress& progress);
