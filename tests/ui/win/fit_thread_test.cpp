// The fit thread and the window's side of its protocol, under Wine: a recording window
// drives fits of an engine that steps on demand and of the real engine, through run,
// step, pause, stop, abort and close, and the figures of a flood of steps.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tests/support/sextet_doublet_fit.h"
#include "tests/support/stepping_fit_engine.h"
#include "core/text/messages.h"
#include "ui/fit_thread.h"
#include "wingui/window.h"

using test_support::pump_until;

namespace {

// What the window was told, in order.
struct Event {
    Event(char k, int i = 0, DVector v = {}, int code = -1, std::wstring e = {})
        : kind(k), iteration(i), values(std::move(v)), stop_code(code), error(std::move(e))
    {
    }
    char kind;  // S started, W waiting, R results, D discarded, P progress, F refresh, X closed
    int iteration;
    DVector values;
    int stop_code;
    std::wstring error;
};

class RecordingHost final : public IFitHost {
public:
    std::vector<Event> events;

    void fit_started() override { events.emplace_back('S'); }
    void fit_waiting(const FitStatus& s) override { events.emplace_back('W', s.iterations, *s.values); }
    void fit_results(const FitStatus& s) override
    {
        events.emplace_back('R', s.iterations, *s.values, s.stop_code);
    }
    void fit_discarded(const FitStatus& s) override { events.emplace_back('D', 0, DVector(), -1, s.error); }
    void fit_progress(const FitProgress& p) override { events.emplace_back('P', p.iteration, p.values); }
    void fit_refresh() override { events.emplace_back('F'); }

    int count(char kind) const
    {
        return static_cast<int>(std::count_if(events.begin(), events.end(), [kind](const Event& e) { return e.kind == kind; }));
    }
    const Event& last(char kind) const
    {
        const auto it = std::find_if(events.rbegin(), events.rend(), [kind](const Event& e) { return e.kind == kind; });
        if (it == events.rend())
            throw std::runtime_error(std::string("no event ") + kind);
        return *it;
    }
    std::size_t index_of(char kind) const
    {
        return std::find_if(events.begin(), events.end(), [kind](const Event& e) { return e.kind == kind; }) -
               events.begin();
    }
};

// A window that passes WM_APP to its fit thread; WM_CLOSE stops the fit first.
class FitWindow : public Window {
public:
    explicit FitWindow(FitEngine engine, FitThread::TickSource ticks = nullptr)
    {
        WindowPlacement placement;
        placement.style = WS_POPUP;
        placement.x = placement.y = 0;
        placement.width = placement.height = 50;
        if (!create(L"Vexmoor.FitTestWindow", {}, placement))
            throw std::runtime_error("no window");
        fit = std::make_unique<FitThread>(hwnd(), host, std::move(engine), ticks);
        message_map().on_message(WM_APP, [this](WPARAM w, LPARAM l) { return fit->OnFitMessage(w, l); });
        message_map().on_message(WM_APP + 100, [this](WPARAM w, LPARAM) {
            if (on_probe)
                on_probe(w);
            return LRESULT(0);
        });
        message_map().on_message(WM_CLOSE, [this](WPARAM, LPARAM) {
            fit->abort();
            host.events.emplace_back('X');
            DestroyWindow(hwnd());
            return LRESULT(0);
        });
    }

    RecordingHost host;
    std::unique_ptr<FitThread> fit;
    std::function<void(WPARAM)> on_probe;  // WM_APP + 100, the flood's probes
};

std::unique_ptr<FitJob> small_job(bool run_freely)
{
    auto job = std::make_unique<FitJob>();
    job->values = DVector(3, 0.0);
    job->run_freely = run_freely;
    return job;
}

// Ticks from a table, one per call; the last one repeats.
std::vector<std::uint32_t> tick_table;
std::atomic<std::size_t> tick_index = 0;
std::uint32_t table_ticks()
{
    const std::size_t i = tick_index++;
    return tick_table[std::min(i, tick_table.size() - 1)];
}
std::uint32_t frozen_ticks() { return 0; }
std::atomic<std::uint32_t> rising = 0;
std::uint32_t rising_ticks() { return rising += 3000; }

}  // namespace

TEST(FitThread, RunToCompletionDeliversTheResultsOnce)
{
    test_support::SteppingEngine e(5);
    FitWindow w(e.engine(), frozen_ticks);
    ASSERT_TRUE(w.fit->StartFit(small_job(true)));
    EXPECT_TRUE(w.fit->running());
    ASSERT_FALSE(w.host.events.empty());
    EXPECT_EQ(w.host.events.front().kind, 'S');
    EXPECT_EQ(w.fit->status_text(), MessageText(50003, L"...").str());
    e.release(5);
    ASSERT_TRUE(pump_until([&] { return !w.fit->running(); }));
    ASSERT_TRUE(pump_until([&] { return w.host.events.back().kind == 'F'; }));
    EXPECT_EQ(w.host.count('R'), 1);
    EXPECT_EQ(w.host.count('D'), 0);
    EXPECT_EQ(w.host.count('W'), 0);
    const Event& r = w.host.last('R');
    EXPECT_EQ(r.iteration, 5);
    EXPECT_EQ(r.stop_code, FitStopSmallGradient);
    EXPECT_EQ(r.values(0), 5.0);
    // A fit shorter than the throttle's interval attaches no values.
    for (const Event& ev : w.host.events)
        EXPECT_TRUE(ev.kind != 'P' || ev.values.size() == 0u);
    EXPECT_EQ(w.fit->status_text(), L"");
}

TEST(FitThread, AFitThatEndsAtOnceIsStartedBeforeItsResults)
{
    // The engine returns before the window has taken anything: its results, which the
    // thread sends, must still come after its start.
    for (int run = 0; run < 20; ++run) {
        test_support::SteppingEngine e(0);
        FitWindow w(e.engine(), frozen_ticks);
        ASSERT_TRUE(w.fit->StartFit(small_job(true)));
        ASSERT_TRUE(pump_until([&] { return !w.fit->running(); }));
        ASSERT_LT(w.host.index_of('S'), w.host.index_of('R')) << run;
    }
}

TEST(FitThread, StepModeWaitsAfterEachStepAndRunsOnToTheEnd)
{
    test_support::SteppingEngine e(5);
    FitWindow w(e.engine(), frozen_ticks);
    ASSERT_TRUE(w.fit->StartFit(small_job(false)));
    e.release(1);
    ASSERT_TRUE(pump_until([&] { return w.fit->waiting(); }));
    EXPECT_EQ(w.host.last('W').iteration, 1);
    EXPECT_EQ(w.host.last('W').values(0), 1.0);
    w.fit->step();
    EXPECT_FALSE(w.fit->waiting());
    e.release(1);
    ASSERT_TRUE(pump_until([&] { return w.fit->waiting() && w.host.count('W') == 2; }));
    EXPECT_EQ(w.host.last('W').iteration, 2);
    ASSERT_TRUE(pump_until([&] { return w.fit->progress().iteration == 2; }));
    EXPECT_EQ(w.fit->status_text().substr(0, MessageText(50004, L"").str().size()), MessageText(50004, L"").str());
    w.fit->run_on();
    e.release(3);
    ASSERT_TRUE(pump_until([&] { return !w.fit->running(); }));
    EXPECT_EQ(w.host.count('W'), 2);
    EXPECT_EQ(w.host.last('R').iteration, 5);
    EXPECT_EQ(w.host.last('R').stop_code, FitStopSmallGradient);
}

TEST(FitThread, PauseWaitsAfterTheNextStepAndStopKeepsTheResultsSoFar)
{
    test_support::SteppingEngine e(10);
    FitWindow w(e.engine(), frozen_ticks);
    ASSERT_TRUE(w.fit->StartFit(small_job(true)));
    e.release(2);
    ASSERT_TRUE(pump_until([&] { return e.steps_done == 2; }));
    w.fit->pause();
    e.release(1);
    ASSERT_TRUE(pump_until([&] { return w.fit->waiting(); }));
    EXPECT_EQ(w.host.last('W').iteration, 3);
    // Stop while waiting ends the fit at once.
    w.fit->stop();
    ASSERT_TRUE(pump_until([&] { return !w.fit->running(); }));
    EXPECT_EQ(w.host.last('R').stop_code, FitStopByCaller);
    EXPECT_EQ(w.host.last('R').iteration, 3);
    EXPECT_EQ(w.host.last('R').values(0), 3.0);
}

TEST(FitThread, StopWhileRunningEndsAtTheNextStep)
{
    test_support::SteppingEngine e(10);
    FitWindow w(e.engine(), frozen_ticks);
    ASSERT_TRUE(w.fit->StartFit(small_job(true)));
    e.release(1);
    ASSERT_TRUE(pump_until([&] { return e.steps_done == 1; }));
    w.fit->stop();
    e.release(1);
    ASSERT_TRUE(pump_until([&] { return !w.fit->running(); }));
    EXPECT_EQ(w.host.last('R').stop_code, FitStopByCaller);
    EXPECT_EQ(w.host.last('R').iteration, 2);
    EXPECT_EQ(w.host.count('D'), 0);
}

TEST(FitThread, ASecondPauseResumes)
{
    // Both queued before the next step: they cancel out.
    test_support::SteppingEngine e(6);
    FitWindow w(e.engine(), frozen_ticks);
    ASSERT_TRUE(w.fit->StartFit(small_job(true)));
    w.fit->pause();
    w.fit->pause();
    e.release(6);
    ASSERT_TRUE(pump_until([&] { return !w.fit->running(); }));
    EXPECT_EQ(w.host.count('W'), 0);
    EXPECT_EQ(w.host.last('R').iteration, 6);
    EXPECT_EQ(w.host.last('R').stop_code, FitStopSmallGradient);

    // The second one reaches a waiting thread: it runs on, and the window knows.
    test_support::SteppingEngine e2(6);
    FitWindow w2(e2.engine(), frozen_ticks);
    ASSERT_TRUE(w2.fit->StartFit(small_job(true)));
    w2.fit->pause();
    e2.release(1);
    ASSERT_TRUE(pump_until([&] { return w2.fit->waiting(); }));
    w2.fit->pause();
    ASSERT_TRUE(pump_until([&] { return !w2.fit->waiting(); }));
    EXPECT_TRUE(w2.fit->running());
    e2.release(5);
    ASSERT_TRUE(pump_until([&] { return !w2.fit->running(); }));
    EXPECT_EQ(w2.host.count('W'), 1);
    EXPECT_EQ(w2.host.last('R').iteration, 6);
    EXPECT_EQ(w2.host.last('R').stop_code, FitStopSmallGradient);
}

TEST(FitThread, AnAbortDuringAnEvaluationEndsTheFitWithoutResults)
{
    // The engine is inside its second evaluation and no step will come: only the
    // cancel flag ends it.
    test_support::SteppingEngine e(5);
    FitWindow w(e.engine(), frozen_ticks);
    ASSERT_TRUE(w.fit->StartFit(small_job(true)));
    e.release(1);
    ASSERT_TRUE(pump_until([&] { return e.steps_done == 1; }));
    w.fit->abort();
    EXPECT_FALSE(w.fit->running());
    EXPECT_TRUE(e.finished);
    EXPECT_EQ(w.host.count('D'), 1);
    EXPECT_EQ(w.host.count('R'), 0);
    EXPECT_EQ(w.host.last('D').error, L"");

    // And while the thread waits in step mode.
    test_support::SteppingEngine e2(5);
    FitWindow w2(e2.engine(), frozen_ticks);
    ASSERT_TRUE(w2.fit->StartFit(small_job(false)));
    e2.release(1);
    ASSERT_TRUE(pump_until([&] { return w2.fit->waiting(); }));
    w2.fit->abort();
    EXPECT_FALSE(w2.fit->running());
    EXPECT_EQ(w2.host.count('D'), 1);
    EXPECT_EQ(w2.host.count('R'), 0);
}

TEST(FitThread, ALateProgressRecordNeverOverwritesTheFinalValues)
{
    test_support::SteppingEngine e(3);
    rising = 0;
    FitWindow w(e.engine(), rising_ticks);  // every record carries values
    ASSERT_TRUE(w.fit->StartFit(small_job(true)));
    // The window takes nothing until the engine has finished: the first step's record
    // waits in the queue behind the results, which are sent and so come first.
    e.release(3);
    while (!e.finished)
        Sleep(1);
    ASSERT_TRUE(pump_until([&] { return !w.fit->running(); }));
    pump_until([] { return false; }, 200);
    const std::size_t results = w.host.index_of('R');
    ASSERT_LT(results, w.host.events.size());
    for (std::size_t i = results; i < w.host.events.size(); ++i)
        EXPECT_NE(w.host.events[i].kind, 'P') << i;
    EXPECT_EQ(w.host.last('R').values(0), 3.0);
}

TEST(FitThread, StartFitWaitsForItsOwnStartAndIgnoresAnEarlierFitsRecords)
{
    test_support::SteppingEngine e(2);
    FitWindow w(e.engine(), frozen_ticks);
    auto* stale = new FitProgress;
    stale->fit = 999;
    stale->iteration = 7;
    stale->values = DVector(3, 7.0);
    ASSERT_TRUE(PostMessageW(w.hwnd(), WM_APP, FitMsgProgress, reinterpret_cast<LPARAM>(stale)));
    ASSERT_TRUE(w.fit->StartFit(small_job(true)));
    ASSERT_EQ(w.host.count('S'), 1);  // handled before StartFit returned
    EXPECT_EQ(w.host.count('P'), 0);
    e.release(2);
    ASSERT_TRUE(pump_until([&] { return !w.fit->running(); }));
    for (const Event& ev : w.host.events)
        EXPECT_NE(ev.iteration, 7);
}

TEST(FitThread, ValuesComeAtMostEveryTwoSecondsAcrossTheTickWrapAround)
{
    // The thread's start, then one tick per step.
    tick_table = {0xFFFFF000u, 0xFFFFF000u + 1000, 0x00000100u, 0x00000100u + 1500, 0x00000100u + 2001};
    tick_index = 0;
    test_support::SteppingEngine e(4);
    FitWindow w(e.engine(), table_ticks);
    ASSERT_TRUE(w.fit->StartFit(small_job(false)));
    for (int k = 1; k <= 4; ++k) {
        e.release(1);
        ASSERT_TRUE(pump_until([&] { return w.fit->waiting() && w.fit->progress().iteration == k; })) << k;
        if (k < 4)
            w.fit->step();
    }
    w.fit->stop();
    ASSERT_TRUE(pump_until([&] { return !w.fit->running(); }));
    std::vector<bool> attached;
    for (const Event& ev : w.host.events)
        if (ev.kind == 'P')
            attached.push_back(ev.values.size() == 3);
    EXPECT_EQ(attached, (std::vector<bool>{false, true, false, true}));
}

TEST(FitThread, ClosingTheWindowDuringAFitStopsTheFitFirst)
{
    test_support::SteppingEngine e(5);
    FitWindow w(e.engine(), frozen_ticks);
    ASSERT_TRUE(w.fit->StartFit(small_job(true)));
    e.release(1);
    ASSERT_TRUE(pump_until([&] { return e.steps_done == 1; }));
    SendMessageW(w.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(w.fit->running());
    EXPECT_FALSE(IsWindow(w.hwnd()));
    EXPECT_LT(w.host.index_of('D'), w.host.index_of('X'));
}

TEST(FitThread, GoingAwayAfterItsWindowEndsTheFitAndTellsNothing)
{
    test_support::SteppingEngine e(5);
    auto w = std::make_unique<FitWindow>(e.engine(), frozen_ticks);
    ASSERT_TRUE(w->fit->StartFit(small_job(true)));
    e.release(1);
    ASSERT_TRUE(pump_until([&] { return e.steps_done == 1; }));
    DestroyWindow(w->hwnd());
    const std::size_t told = w->host.events.size();
    w->fit.reset();
    EXPECT_TRUE(e.finished);
    EXPECT_EQ(w->host.events.size(), told);
}

TEST(FitThread, AFailingEngineIsDiscardedWithItsText)
{
    test_support::SteppingEngine e(1, true);
    FitWindow w(e.engine(), frozen_ticks);
    ASSERT_TRUE(w.fit->StartFit(small_job(true)));
    e.release(1);
    ASSERT_TRUE(pump_until([&] { return !w.fit->running(); }));
    EXPECT_EQ(w.host.count('R'), 0);
    ASSERT_EQ(w.host.count('D'), 1);
    EXPECT_EQ(w.host.last('D').error, L"model failure");
}

// ---- The real engine on a fit of real size ----

namespace {

std::unique_ptr<FitJob> real_job(const test_support::SextetDoubletFit& f, bool run_freely)
{
    auto job = std::make_unique<FitJob>();
    job->values = f.start;
    job->lower = f.lower;
    job->upper = f.upper;
    job->varied = f.varied;
    job->data = f.data;
    job->model = f.model;
    job->run_freely = run_freely;
    return job;
}

}  // namespace

TEST(FitThreadWithTheEngine, RunsASextetADoubletAndABaselineToTheTruth)
{
    const test_support::SextetDoubletFit f;
    FitWindow w(run_lm_fit);
    ASSERT_TRUE(w.fit->StartFit(real_job(f, true)));
    ASSERT_TRUE(pump_until([&] { return !w.fit->running(); }, 300000));
    ASSERT_EQ(w.host.count('R'), 1);
    const Event& r = w.host.last('R');
    EXPECT_LE(r.stop_code, FitStopSmallChiSquare);
    EXPECT_GT(r.iteration, 0);
    EXPECT_NEAR(r.values(0), 1e6, 1e6 * 0.002);
    EXPECT_NEAR(r.values(3), 1.0, 0.05);
    EXPECT_NEAR(r.values(8), 330.0, 1.0);
    EXPECT_NEAR(r.values(18), 0.5, 0.05);
    EXPECT_NEAR(r.values(21), 0.4, 0.01);
}

TEST(FitThreadWithTheEngine, StepsTwiceThenStopsWithTheSecondStepsValues)
{
    const test_support::SextetDoubletFit f;
    FitWindow w(run_lm_fit);
    ASSERT_TRUE(w.fit->StartFit(real_job(f, false)));
    ASSERT_TRUE(pump_until([&] { return w.fit->waiting(); }, 120000));
    w.fit->step();
    ASSERT_TRUE(pump_until([&] { return w.fit->waiting(); }, 120000));
    const DVector second = w.host.last('W').values;
    w.fit->stop();
    ASSERT_TRUE(pump_until([&] { return !w.fit->running(); }, 120000));
    const Event& r = w.host.last('R');
    EXPECT_EQ(r.stop_code, FitStopByCaller);
    EXPECT_EQ(r.iteration, 2);
    for (std::size_t i = 0; i < second.size(); ++i)
        EXPECT_EQ(r.values(i), second(i)) << i;
}

TEST(FitThreadWithTheEngine, AnAbortRightAfterTheStartDiscards)
{
    // Channels enough that the fit cannot end before the abort comes.
    const test_support::SextetDoubletFit f(16384);
    FitWindow w(run_lm_fit);
    ASSERT_TRUE(w.fit->StartFit(real_job(f, true)));
    const auto start = std::chrono::steady_clock::now();
    w.fit->abort();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("abort of a running 16384-channel fit returned after %.1f ms\n", ms);
    EXPECT_FALSE(w.fit->running());
    EXPECT_EQ(w.host.count('D'), 1);
    EXPECT_EQ(w.host.count('R'), 0);
}

// ---- Figures (printed; the Windows build has no benchmark library) ----

TEST(FitThreadFigures, TheWindowsCostPerProgressMessage)
{
    test_support::SteppingEngine e(1);
    FitWindow w(e.engine(), frozen_ticks);
    ASSERT_TRUE(w.fit->StartFit(small_job(true)));
    // At most 20000 records or about two seconds: on a busy machine Wine's message round
    // trips take milliseconds.
    constexpr int most = 20000;
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    int n = 0;
    for (int i = 0; i < most; ++i, ++n) {
        QueryPerformanceCounter(&b);
        if (b.QuadPart - a.QuadPart > 2 * f.QuadPart)
            break;
        auto* p = new FitProgress;
        p->fit = 1;
        p->iteration = i + 1;
        PostMessageW(w.hwnd(), WM_APP, FitMsgProgress, reinterpret_cast<LPARAM>(p));
        MSG message;
        while (PeekMessageW(&message, w.hwnd(), WM_APP, WM_APP, PM_REMOVE))
            DispatchMessageW(&message);
    }
    QueryPerformanceCounter(&b);
    const double us = 1e6 * double(b.QuadPart - a.QuadPart) / double(f.QuadPart) / n;
    std::printf("posting and handling one progress record (with its refresh): %.2f us over %d records\n", us, n);
    EXPECT_EQ(w.fit->progress().iteration, n);
    w.fit->abort();
}

TEST(FitThreadFigures, AFloodOfStepsLeavesTheWindowResponsive)
{
    // 10⁴ steps a second for a second, while another thread posts a probe every 5 ms
    // and the window notes how long each waited in its queue.
    constexpr int steps = 10000;
    FitEngine flood = [](const FitJob& job, IFitStepCallback& callback, const std::atomic<bool>& cancel,
                         FitOutcome& out) {
        DVector values = job.values;
        LARGE_INTEGER f, t0, t;
        QueryPerformanceFrequency(&f);
        QueryPerformanceCounter(&t0);
        for (int k = 1; k <= steps && !cancel; ++k) {
            do
                QueryPerformanceCounter(&t);
            while (double(t.QuadPart - t0.QuadPart) / double(f.QuadPart) < k * 1e-4);
            values(0) = k;
            if (!callback.on_step(job.values, values, 0.5, 1.0, 2.0, 0.1, 0.01, k))
                break;
            out.iterations = k;
        }
        out.values = values;
        out.stop_code = FitStopSmallGradient;
    };
    FitWindow w(flood);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<LONGLONG> posted(2000);
    std::vector<double> waits;
    w.on_probe = [&](WPARAM i) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        waits.push_back(1e3 * double(now.QuadPart - posted[i]) / double(frequency.QuadPart));
    };
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(w.fit->StartFit(small_job(true)));
    std::atomic<bool> stop_probes = false;
    std::thread prober([&] {
        for (std::size_t i = 0; i < posted.size() && !stop_probes; ++i) {
            LARGE_INTEGER now;
            QueryPerformanceCounter(&now);
            posted[i] = now.QuadPart;
            PostMessageW(w.hwnd(), WM_APP + 100, i, 0);
            Sleep(5);
        }
    });
    const bool ended = pump_until([&] { return !w.fit->running(); }, 180000);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    stop_probes = true;
    prober.join();
    ASSERT_TRUE(ended);
    pump_until([] { return false; }, 100);
    ASSERT_FALSE(waits.empty());
    std::sort(waits.begin(), waits.end());
    std::printf("flood of %d steps in %.2f s: %d progress records handled, %zu probes waited median %.2f ms, "
                "99th percentile %.2f ms, longest %.2f ms\n",
                steps, seconds, w.host.count('P'), waits.size(), waits[waits.size() / 2],
                waits[waits.size() * 99 / 100], waits.back());
    EXPECT_EQ(w.host.last('R').iteration, steps);
}
