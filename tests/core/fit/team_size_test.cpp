#include "core/fit/team_size.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

// Loops of 100 µs of the caller's own work on a clock of our own.
struct Loops {
    TeamSize team{7};
    TeamSize::clock::time_point now{};

    void straggle()
    {
        now += microseconds(5100);
        team.record(microseconds(100), microseconds(5000), now);
    }
    void good(TeamSize::clock::duration total)
    {
        for (const auto end = now + total; now < end;) {
            now += microseconds(140);
            team.record(microseconds(100), microseconds(40), now);
        }
    }
};

TEST(TeamSize, AWaitWithinABlockKeepsTheWholeTeam)
{
    Loops l;
    l.good(milliseconds(100));
    EXPECT_EQ(l.team.workers(), 7u);
    // Up to twice the caller's own time plus a little slack is no straggler.
    l.team.record(microseconds(100), microseconds(250), l.now);
    EXPECT_EQ(l.team.workers(), 7u);
}

TEST(TeamSize, StragglersHalveTheTeamDownToTheCallerAlone)
{
    Loops l;
    for (unsigned expected : {3u, 1u, 0u, 0u}) {
        l.straggle();
        EXPECT_EQ(l.team.workers(), expected);
    }
}

TEST(TeamSize, ProbesAddOneWorkerAfterAStragglerFreeInterval)
{
    Loops l;
    l.straggle();  // 3 workers, probe interval 2 ms
    l.good(milliseconds(1));
    EXPECT_EQ(l.team.workers(), 3u);
    l.good(milliseconds(1));
    EXPECT_EQ(l.team.workers(), 4u);  // still 2 ms
    l.good(milliseconds(2));
    EXPECT_EQ(l.team.workers(), 5u);  // that probe held: back to 1 ms
    l.good(milliseconds(1));
    EXPECT_EQ(l.team.workers(), 6u);
    l.straggle();  // 3 workers, 2 ms
    l.straggle();  // 1 worker, 4 ms
    l.good(milliseconds(3));
    EXPECT_EQ(l.team.workers(), 1u);
    l.good(milliseconds(2));
    EXPECT_EQ(l.team.workers(), 2u);
    l.good(milliseconds(100));
    EXPECT_EQ(l.team.workers(), 7u);  // never beyond the pool
}

// Every probe of a machine that stays busy meets a straggler: the probes come ever
// more rarely, but at least once a second.
TEST(TeamSize, ABusyMachineIsProbedAtLeastOnceASecond)
{
    Loops l;
    l.straggle();
    l.straggle();
    l.straggle();  // the caller alone, interval 8 ms
    for (int probe = 0; probe < 10; ++probe) {
        const auto start = l.now;
        while (l.team.workers() == 0)
            l.good(microseconds(140));
        const auto waited = std::chrono::duration_cast<milliseconds>(l.now - start).count();
        EXPECT_EQ(waited, std::min(8 << probe, 1000)) << "probe " << probe;
        l.straggle();
    }
}

}  // namespace
