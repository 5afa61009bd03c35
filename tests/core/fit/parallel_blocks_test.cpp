#include "core/fit/parallel_blocks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cfenv>
#include <cmath>
#include <cstring>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#endif

namespace {

// Counts how often each block ran and on how many threads.
struct Tally {
    explicit Tally(unsigned n) : runs(n) {}
    std::vector<std::atomic<int>> runs;
    void operator()(unsigned b) { runs[b].fetch_add(1); }
    bool each_once() const
    {
        for (const auto& r : runs)
            if (r.load() != 1)
                return false;
        return true;
    }
};

// Whether 64 blocks of library arithmetic give, on the pool, the bits that the calling
// thread computes for them itself.
bool blocks_match_the_caller()
{
    constexpr unsigned count = 64;
    const auto block_value = [](unsigned b) {
        volatile double x = -7.0 + 0.2137 * b;
        return std::exp(x) + std::atan(x) / 3.0 + std::log(x * x + 1.5);
    };
    std::vector<double> own(count), pooled(count);
    for (unsigned b = 0; b < count; ++b)
        own[b] = block_value(b);
    // Repeated, so that the workers take part (the pool learns its team on the way).
    for (int repeat = 0; repeat < 50; ++repeat) {
        parallel_blocks(count, [&](unsigned b) { pooled[b] = block_value(b); });
        if (std::memcmp(own.data(), pooled.data(), count * sizeof(double)) != 0)
            return false;
    }
    return true;
}

#ifdef _WIN32
unsigned __stdcall match_in_thread(void* result)
{
    *static_cast<bool*>(result) = blocks_match_the_caller();
    return 0;
}
#endif

TEST(ParallelBlocks, WorkersComputeInTheCallersFloatingPointEnvironment)
{
    const int rounding = std::fegetround();
    std::fesetround(FE_UPWARD);
    const bool upward = blocks_match_the_caller();
    std::fesetround(rounding);
    EXPECT_TRUE(upward);
#ifdef _WIN32
    // A thread of _beginthreadex (the fit's) starts with another x87 precision than the
    // pool's threads, which the 32-bit library functions compute with.
    bool in_thread = false;
    const auto thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, match_in_thread, &in_thread, 0, nullptr));
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_TRUE(in_thread);
#endif
}

TEST(ParallelBlocks, EveryBlockRunsExactlyOnce)
{
    for (unsigned count : {0u, 1u, 2u, 16u, 100u}) {
        for (int repeat = 0; repeat < 200; ++repeat) {
            Tally tally(count);
            parallel_blocks(count, [&](unsigned b) { tally(b); });
            ASSERT_TRUE(tally.each_once()) << count << " blocks, repeat " << repeat;
        }
    }
}

TEST(ParallelBlocks, RethrowsTheLowestFailedBlockAfterAllFinished)
{
    Tally tally(16);
    try {
        parallel_blocks(16, [&](unsigned b) {
            tally(b);
            if (b == 9 || b == 3)
                throw std::runtime_error("block " + std::to_string(b));
        });
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "block 3");
    }
    EXPECT_TRUE(tally.each_once());
    // The pool is usable again.
    Tally again(16);
    parallel_blocks(16, [&](unsigned b) { again(b); });
    EXPECT_TRUE(again.each_once());
}

TEST(ParallelBlocks, NestedLoopsRunSeriallyInsideTheirBlock)
{
    std::vector<std::atomic<int>> cells(16 * 16);
    parallel_blocks(16, [&](unsigned outer) {
        const std::thread::id self = std::this_thread::get_id();
        parallel_blocks(16, [&](unsigned inner) {
            EXPECT_EQ(std::this_thread::get_id(), self);
            cells[outer * 16 + inner].fetch_add(1);
        });
    });
    for (const auto& c : cells)
        EXPECT_EQ(c.load(), 1);
}

TEST(ParallelBlocks, OneThreadRunsOnTheCaller)
{
    const unsigned before = parallel_block_threads();
    set_parallel_block_threads(1);
    std::set<std::thread::id> threads;
    parallel_blocks(16, [&](unsigned) { threads.insert(std::this_thread::get_id()); });
    set_parallel_block_threads(before);
    EXPECT_EQ(threads, std::set<std::thread::id>{std::this_thread::get_id()});
}

// Several threads loop at once (a fit and a repaint): one owns the pool at a time, the
// others run serially; every loop still runs each block once.
TEST(ParallelBlocks, ConcurrentCallersEachGetTheirBlocks)
{
    std::atomic<bool> all_once{true};
    std::vector<std::thread> callers;
    for (int t = 0; t < 6; ++t)
        callers.emplace_back([&] {
            for (int repeat = 0; repeat < 300; ++repeat) {
                Tally tally(16);
                parallel_blocks(16, [&](unsigned b) { tally(b); });
                if (!tally.each_once())
                    all_once = false;
            }
        });
    for (auto& c : callers)
        c.join();
    EXPECT_TRUE(all_once.load());
}

}  // namespace
