// The worker pool behind parallel_blocks. One loop at a time owns the pool; a loop is
// published under the mutex with a new generation number, and blocks are claimed from
// one 64-bit counter holding (generation, next block), so a worker still holding an
// older loop can never claim a block of a newer one. How many workers take part is
// learnt from the loops before at the same place of the program (team_size.h: a cheap
// loop of value evaluations may not be worth waking workers for while the Jacobian's
// loop is). Workers spin briefly after a loop (consecutive loops of a fit follow within
// microseconds), passing over the loops left to the caller alone, and then sleep, each
// on a condition variable of its own, so they cost nothing on a busy machine. Waking a
// thread is a system call (under Wine a round trip to its server), so the caller wakes
// only the sleeping workers of the team, and waits for the last claimed blocks by
// yielding before it sleeps.
#include "core/fit/parallel_blocks.h"

#include <algorithm>
#include <atomic>
#include <cfenv>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
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
    // The caller's floating-point environment, which the workers take on for the loop:
    // on 32-bit Windows the precision of the x87 library functions, which a thread
    // started by _beginthreadex sets apart from the others; and the rounding, set on its
    // own, since MinGW's fesetenv leaves the SSE control register alone.
    std::fenv_t environment{};
    int rounding = FE_TONEAREST;
};

thread_local bool inside_block = false;

class Pool {
public:
    // More threads than the 16 point blocks of an evaluation would never be busy.
    static constexpr unsigned max_threads = 16;

    Pool()
        : hardware_(std::clamp(std::thread::hardware_concurrency(), 1u, max_threads)),
          wake_(std::make_unique<std::condition_variable[]>(hardware_))
    {
        threads_.store(hardware_);
        places_.reserve(max_places);
        for (unsigned id = 0; id + 1 < hardware_; ++id)
            workers_.emplace_back([this, id] { work(id); });
    }

    unsigned hardware_threads() const { return hardware_; }
    std::atomic<unsigned>& threads() { return threads_; }

    // Runs the loop with the workers; false when another thread's loop holds the pool.
    bool try_run(unsigned count, void (*body)(void*, unsigned), void* context)
    {
        std::unique_lock<std::mutex> owner(owner_, std::try_to_lock);
        if (!owner.owns_lock())
            return false;
        const auto start = std::chrono::steady_clock::now();
        TeamSize* team = nullptr;
        Loop loop;
        std::uint32_t asleep = 0;  // the taking-part workers that sleep
        {
            std::lock_guard<std::mutex> lock(mutex_);
            const unsigned allowed = std::min(threads_.load(), hardware_) - 1;
            team = &team_of(body);
            loop = {body, context, count, ++generation_, std::min(allowed, team->workers())};
            std::fegetenv(&loop.environment);
            loop.rounding = std::fegetround();
            loop_ = loop;
            done_.store(0);
            busy_.store(0);
            error_ = nullptr;
            error_block_ = UINT_MAX;
            claim_.store(std::uint64_t(loop.generation) << 32);
            asleep = sleeping_ & ((std::uint32_t(1) << loop.workers) - 1);
        }
        for (unsigned id = 0; asleep != 0; ++id, asleep >>= 1)
            if (asleep & 1)
                wake_[id].notify_one();
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
        if (loop.workers == std::min(team->workers(), hardware_ - 1)) {
            const auto now = std::chrono::steady_clock::now();
            team->record(now - start, std::chrono::steady_clock::duration(busy_.load()), now);
            // A loop left to the caller alone says nothing about the other cores.
            if (loop.workers > 0)
                spin_.store(team->workers() == hardware_ - 1, std::memory_order_relaxed);
        }
        if (error_)
            std::rethrow_exception(error_);
        return true;
    }

private:
    static constexpr std::size_t max_places = 16;

    TeamSize& team_of(void (*body)(void*, unsigned))
    {
        for (Place& p : places_)
            if (p.body == body)
                return p.team;
        if (places_.size() == max_places)
            return places_.back().team;
        places_.push_back({body, TeamSize(hardware_ - 1)});
        return places_.back().team;
    }

    // A worker takes part in the loops whose team includes it. Only after taking part,
    // and only while the whole team works (no straggler has shown that other programs
    // hold the cores), does it spin for the next loop: otherwise it sleeps, so that it
    // takes no processor time from the caller on a busy machine.
    void work(unsigned id)
    {
        std::uint32_t seen = 0;
        bool took_part = false;
        for (;;) {
            const Loop loop = next_loop(id, seen, took_part && spin_.load(std::memory_order_relaxed));
            seen = loop.generation;
            took_part = true;
            std::fesetenv(&loop.environment);
            std::fesetround(loop.rounding);
            work_on(loop);
        }
    }

    // The next loop after generation `seen` that includes worker `id`. A spinning worker
    // passes over the loops left to the caller alone (a small loop between two large ones,
    // not worth waking anyone for), so that it is still awake for the next large one; a
    // loop whose team leaves it out sends it to sleep.
    Loop next_loop(unsigned id, std::uint32_t& seen, bool spin)
    {
        std::unique_lock<std::mutex> lock(mutex_, std::defer_lock);
        const auto until = std::chrono::steady_clock::now() + spin_time;
        while (spin && std::chrono::steady_clock::now() < until) {
            if (published() != seen) {
                lock.lock();
                if (id < loop_.workers)
                    return loop_;
                if (loop_.workers > 0)
                    break;
                seen = loop_.generation;
                lock.unlock();
            }
            std::this_thread::yield();
        }
        if (!lock.owns_lock())
            lock.lock();
        const auto ready = [&] { return loop_.generation != seen && id < loop_.workers; };
        if (!ready()) {
            sleeping_ |= std::uint32_t(1) << id;
            wake_[id].wait(lock, ready);
            sleeping_ &= ~(std::uint32_t(1) << id);
        }
        return loop_;
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
            const auto began = std::chrono::steady_clock::now();
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
            busy_.fetch_add((std::chrono::steady_clock::now() - began).count(), std::memory_order_relaxed);
            // Sequentially consistent with the caller's waiting_: either the caller sees
            // the last block done, or this thread sees the caller waiting.
            if (done_.fetch_add(1) + 1 == loop.count && waiting_.load()) {
                std::lock_guard<std::mutex> lock(mutex_);
                finished_.notify_all();
            }
        }
    }

    const unsigned hardware_;  // threads of the pool, the caller included
    // The team of each place that runs loops, known by its body function (one per
    // calling lambda); places beyond the table share the last entry. Changed only by the
    // thread that owns the pool.
    struct Place {
        void (*body)(void*, unsigned) = nullptr;
        TeamSize team;
    };
    std::vector<Place> places_;
    std::atomic<bool> spin_{true};  // the whole team works: workers spin between loops
    std::unique_ptr<std::condition_variable[]> wake_;  // one per worker
    std::vector<std::thread> workers_;
    std::atomic<unsigned> threads_{1};
    std::mutex owner_;  // held by the thread whose loop runs
    std::mutex mutex_;  // guards loop_, sleeping_ and the condition variables
    std::condition_variable finished_;
    Loop loop_;
    std::uint32_t generation_ = 0;
    std::atomic<std::uint64_t> claim_{0};
    std::atomic<unsigned> done_{0};
    std::atomic<std::chrono::steady_clock::rep> busy_{0};  // the loop's block times, summed
    std::atomic<bool> waiting_{false};  // the caller sleeps on finished_
    std::uint32_t sleeping_ = 0;        // bit id: worker id sleeps on wake_[id]
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
