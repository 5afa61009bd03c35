// The worker pool behind parallel_blocks. One loop at a time owns the pool; a loop is
// published under the mutex with a new generation number, and blocks are claimed from
// one 64-bit counter holding (generation, next block), so a worker still holding an
// older loop can never claim a block of a newer one. Workers spin briefly after a loop
// (consecutive loops of a fit follow within microseconds) and then sleep on a
// condition variable, so they cost nothing on a busy machine. Waking a thread is a
// system call (under Wine a round trip to its server), so the caller wakes workers only
// when some sleep, and waits for the last claimed blocks by yielding before it sleeps.
#include "core/fit/parallel_blocks.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "core/fit/team_size.h"

namespace {

// How long an idle worker keeps looking for the next loop before it sleeps, and how long
// the caller yields to the threads finishing its last blocks before it sleeps.
constexpr auto spin_time = std::chrono::microseconds(100);
constexpr auto finish_spin_time = std::chrono::microseconds(500);

struct Loop {
    void (*body)(void*, unsigned) = nullptr;
    void* context = nullptr;
    unsigned count = 0;
    std::uint32_t generation = 0;
    unsigned workers = 0;  // workers 0 … workers − 1 take part
};

thread_local bool inside_block = false;

class Pool {
public:
    Pool() : team_(std::max(1u, std::thread::hardware_concurrency()) - 1)
    {
        const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
        threads_.store(hardware);
        for (unsigned id = 0; id + 1 < hardware; ++id)
            workers_.emplace_back([this, id] { work(id); });
    }

    unsigned hardware_threads() const { return static_cast<unsigned>(workers_.size()) + 1; }
    std::atomic<unsigned>& threads() { return threads_; }

    // Runs the loop with the workers; false when another thread's loop holds the pool.
    bool try_run(unsigned count, void (*body)(void*, unsigned), void* context)
    {
        std::unique_lock<std::mutex> owner(owner_, std::try_to_lock);
        if (!owner.owns_lock())
            return false;
        Loop loop;
        bool sleepers = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            const unsigned allowed = std::min(threads_.load(), hardware_threads()) - 1;
            loop = {body, context, count, ++generation_, std::min(allowed, team_.workers())};
            loop_ = loop;
            done_.store(0);
            error_ = nullptr;
            error_block_ = UINT_MAX;
            claim_.store(std::uint64_t(loop.generation) << 32);
            sleepers = sleeping_ > 0;
        }
        if (sleepers && loop.workers > 0)
            wake_.notify_all();
        const auto start = std::chrono::steady_clock::now();
        work_on(loop);
        const auto claimed = std::chrono::steady_clock::now();
        const auto until = claimed + finish_spin_time;
        while (done_.load() != count && std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
        if (done_.load() != count) {
            std::unique_lock<std::mutex> lock(mutex_);
            waiting_.store(true);
            finished_.wait(lock, [&] { return done_.load() == count; });
            waiting_.store(false);
        }
        if (loop.workers == std::min(team_.workers(), hardware_threads() - 1)) {
            const auto now = std::chrono::steady_clock::now();
            team_.record(claimed - start, now - claimed, now);
        }
        if (error_)
            std::rethrow_exception(error_);
        return true;
    }

private:
    void work(unsigned id)
    {
        std::uint32_t seen = 0;
        for (;;) {
            // Spin first: the next loop of a fit usually follows at once.
            const auto until = std::chrono::steady_clock::now() + spin_time;
            while (published() == seen && std::chrono::steady_clock::now() < until)
                std::this_thread::yield();
            Loop loop;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                ++sleeping_;
                wake_.wait(lock, [&] { return loop_.generation != seen; });
                --sleeping_;
                loop = loop_;
            }
            seen = loop.generation;
            if (id < loop.workers)
                work_on(loop);
        }
    }

    std::uint32_t published() const
    {
        return static_cast<std::uint32_t>(claim_.load(std::memory_order_acquire) >> 32);
    }

    // Claims and runs blocks of `loop` until none is left.
    void work_on(const Loop& loop)
    {
        for (;;) {
            std::uint64_t claim = claim_.load(std::memory_order_acquire);
            do {
                if (static_cast<std::uint32_t>(claim >> 32) != loop.generation ||
                    static_cast<std::uint32_t>(claim) >= loop.count)
                    return;
            } while (!claim_.compare_exchange_weak(claim, claim + 1, std::memory_order_acq_rel));
            const auto block = static_cast<unsigned>(static_cast<std::uint32_t>(claim));
            inside_block = true;
            try {
                loop.body(loop.context, block);
            } catch (...) {
                std::lock_guard<std::mutex> lock(error_mutex_);
                if (block < error_block_) {
                    error_block_ = block;
                    error_ = std::current_exception();
                }
            }
            inside_block = false;
            // Sequentially consistent with the caller's waiting_: either the caller sees
            // the last block done, or this thread sees the caller waiting.
            if (done_.fetch_add(1) + 1 == loop.count && waiting_.load()) {
                std::lock_guard<std::mutex> lock(mutex_);
                finished_.notify_all();
            }
        }
    }

    std::vector<std::thread> workers_;
    TeamSize team_;  // changed only by the thread that owns the pool
    std::atomic<unsigned> threads_{1};
    std::mutex owner_;  // held by the thread whose loop runs
    std::mutex mutex_;  // guards loop_, sleeping_ and the two condition variables
    std::condition_variable wake_;
    std::condition_variable finished_;
    Loop loop_;
    std::uint32_t generation_ = 0;
    std::atomic<std::uint64_t> claim_{0};
    std::atomic<unsigned> done_{0};
    std::atomic<bool> waiting_{false};  // the caller sleeps on finished_
    unsigned sleeping_ = 0;             // workers asleep on wake_
    std::mutex error_mutex_;
    std::exception_ptr error_;
    unsigned error_block_ = UINT_MAX;
};

// Never destroyed: its workers sleep until the process ends, and no exit path has to
// join them.
Pool& pool()
{
    static Pool* const instance = new Pool;
    return *instance;
}

void run_serially(unsigned count, void (*body)(void*, unsigned), void* context)
{
    const bool outer = inside_block;
    inside_block = true;
    try {
        for (unsigned b = 0; b < count; ++b)
            body(context, b);
    } catch (...) {
        inside_block = outer;
        throw;
    }
    inside_block = outer;
}

}  // namespace

void parallel_blocks_detail::run(unsigned count, void (*body)(void*, unsigned), void* context, bool parallel)
{
    if (count == 0)
        return;
    if (!parallel || count == 1 || inside_block || parallel_block_threads() == 1 || !pool().try_run(count, body, context))
        run_serially(count, body, context);
}

void set_parallel_block_threads(unsigned threads)
{
    Pool& p = pool();
    p.threads().store(std::clamp(threads, 1u, p.hardware_threads()));
}

unsigned parallel_block_threads()
{
    return pool().threads().load();
}
