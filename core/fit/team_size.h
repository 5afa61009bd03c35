// How many worker threads join the next parallel loop, learnt from the loops before.
// A loop is worth its team while it ends sooner than its blocks would take one after
// another on one thread. It does not when other programs hold the cores (a worker
// preempted in the middle of a block makes the caller wait for a whole time slice) or
// when waking the workers costs more than the work (under Wine every wake is a round
// trip to its server). Such a loop halves the team (down to the caller alone) and
// doubles the probe interval, except that the whole team passes over one slow loop
// between good ones: on an idle machine a lone hiccup (a page fault, a timer) would
// otherwise cost the fit half its threads for milliseconds. A probe interval without
// such a loop adds one worker, and halves the interval when the worker added before met
// none either. The interval is wall time, 1 ms to 1 s: a machine that stays busy costs
// at most one slow loop a second, and one that becomes idle gets its threads back within
// about two seconds.
// Which thread runs which block never changes a result.
#pragma once

#include <algorithm>
#include <chrono>

class TeamSize {
public:
    using clock = std::chrono::steady_clock;

    explicit TeamSize(unsigned max_workers) : max_(max_workers), workers_(max_workers) {}

    unsigned workers() const { return workers_; }

    // After a loop run with `workers()` workers that ended at `now`: `wall` is its time
    // from publishing to the last block's end, `serial` the sum of its blocks' times.
    void record(clock::duration wall, clock::duration serial, clock::time_point now)
    {
        const bool slow = wall > serial + slow_slack;
        const bool passed_over = slow && workers_ == max_ && !last_slow_;
        last_slow_ = slow;
        if (workers_ > 0 && slow && !passed_over) {
            workers_ /= 2;
            interval_ = std::min(interval_ * 2, max_interval);
            since_ = now;
            grew_ = false;
            return;
        }
        if (workers_ < max_ && now - since_ >= interval_) {
            ++workers_;
            if (grew_)
                interval_ = std::max(interval_ / 2, min_interval);
            since_ = now;
            grew_ = true;
        }
    }

private:
    static constexpr clock::duration slow_slack = std::chrono::microseconds(20);
    static constexpr clock::duration min_interval = std::chrono::milliseconds(1);
    static constexpr clock::duration max_interval = std::chrono::seconds(1);

    unsigned max_;
    unsigned workers_;
    clock::duration interval_ = min_interval;  // time without a slow loop before one more worker
    clock::time_point since_{};                // the last change of the team
    bool grew_ = false;                        // that change added a worker
    bool last_slow_ = false;                   // the loop before was slow
};
