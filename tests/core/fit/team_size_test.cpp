#include "core/fit/team_size.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

// Loops of 800 µs of block work on a clock of our own: a good one shared out ends in
// 140 µs, a slow one takes 5.1 ms.
struct Loops {
    TeamSize team{7};
    TeamSize::clock::time_point now{};

    void straggle()
    {
        now += microseconds(5100);
        team.record(microseconds(5100), microseconds(800), now);
    }
    void good(TeamSize::clock::duration total)
    {
        for (const auto end = now + total; now < end;) {
            now += microseconds(140);
            team.record(microseconds(140), microseconds(800), now);
        }
    }
};

TEST(TeamSize, ALoopNoSlowerThanItsBlocksInTurnKeepsTheWholeTeam)
{
    Loops l;
    l.good(milliseconds(100));
    EXPECT_EQ(l.team.workers(), 7u);
    // Up to the blocks' own time plus a little slack is no slow loop.
    l.team.record(microseconds(820), microseconds(800), l.now);
    EXPECT_EQ(l.team.workers(), 7u);
    l.team.record(microseconds(821), microseconds(800), l.now);
    EXPECT_EQ(l.team.workers(), 7u);  // one slow loop between good ones is passed over
    l.team.record(microseconds(821), microseconds(800), l.now);
    EXPECT_EQ(l.team.workers(), 3u);
}

// On an idle machine a lone slow loop now and then keeps the whole team; once the team is
// smaller, every slow loop counts.
TEST(TeamSize, TheWholeTeamPassesOverLoneSlowLoopsOnly)
{
    Loops l;
    for (int hiccup = 0; hiccup < 5; ++hiccup) {
        l.straggle();
        l.good(microseconds(140));
        EXPECT_EQ(l.team.workers(), 7u) << hiccup;
    }
    l.straggle();
    l.straggle();  // 3 workers
    l.good(microseconds(140));
    l.straggle();
    EXPECT_EQ(l.team.workers(), 1u);
}

TEST(TeamSize, SlowLoopsHalveTheTeamDownToTheCallerAlone)
{
    Loops l;
    for (unsigned expected : {7u, 3u, 1u, 0u, 0u}) {
        l.straggle();
        EXPECT_EQ(l.team.workers(), expected);
    }
}

TEST(TeamSize, ProbesAddOneWorkerAfterAnIntervalWithoutSlowLoops)
{
    Loops l;
    l.straggle();
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

// Every probe of a machine that stays busy meets a slow loop: the probes come ever
// more rarely, but at least once a second.
TEST(TeamSize, ABusyMachineIsProbedAtLeastOnceASecond)
{
    Loops l;
    l.straggle();
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
