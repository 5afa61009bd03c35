// A fit engine for the tests of the fit thread and the window that owns it: it takes
// one step each time the test releases one, so that every order of steps and control
// codes can be set up exactly.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <stdexcept>

#include "tests/support/pump_until.h"
#include "ui/fit_thread.h"

namespace test_support {

// An engine that takes one step each time the test releases one, and checks the
// cancel flag while it waits, as the real engine does between evaluations.
class SteppingEngine {
public:
    explicit SteppingEngine(int steps, bool fail = false)
        : steps_(steps), fail_(fail), semaphore_(CreateSemaphoreW(nullptr, 0, 100000, nullptr))
    {
    }
    ~SteppingEngine() { CloseHandle(semaphore_); }

    void release(int n) { ReleaseSemaphore(semaphore_, n, nullptr); }
    std::atomic<int> steps_done = 0;
    std::atomic<bool> finished = false;

    FitEngine engine()
    {
        return [this](const FitJob& job, IFitStepCallback& callback, const std::atomic<bool>& cancel, FitOutcome& out) {
            DVector values = job.values;
            out.stop_code = FitStopSmallGradient;
            double previous = 200.0;
            int k = 1;
            for (; k <= steps_; ++k) {
                while (WaitForSingleObject(semaphore_, 1) == WAIT_TIMEOUT)
                    if (cancel) {
                        out.stop_code = FitStopByCaller;
                        break;
                    }
                if (out.stop_code == FitStopByCaller)
                    break;
                values(0) = k;
                const double chi = 100.0 / k;
                const bool go_on = callback.on_step(job.values, values, 0.5, chi, previous, chi / 10, 0.01, k);
                previous = chi;
                steps_done = k;
                if (!go_on) {
                    out.stop_code = FitStopByCaller;
                    break;
                }
            }
            out.values = values;
            out.covariance = DMatrix(values.size(), values.size(), 0.0);
            out.iterations = static_cast<unsigned>(steps_done.load());
            finished = true;
            if (fail_)
                throw std::runtime_error("model failure");
        };
    }

private:
    int steps_;
    bool fail_;
    HANDLE semaphore_;
};

}  // namespace test_support
