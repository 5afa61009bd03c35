// Runs the independent blocks of one loop (the 16 point blocks of an evaluation, the
// row blocks of the normal equations) on the calling thread and a process-wide pool of
// worker threads.
//
// Why not an OpenMP team: a parallel region ends at a barrier that waits for every
// thread of the team, so when other programs keep the cores busy one descheduled
// thread holds the whole region for a time slice (milliseconds, against the tens of
// microseconds of the work). Here the calling thread claims blocks like any worker
// and waits only for blocks that were claimed; a worker that wakes late finds nothing
// left and sleeps again. Each block writes only its own outputs, and the workers
// compute in the caller's floating-point environment, so the results are the same
// bits whichever thread runs which block.
//
// An exception thrown by a block is caught on the thread that ran it; after every
// block has finished, the exception of the lowest-numbered failed block is rethrown
// to the caller.
//
// A call made from inside a block, or while another thread's loop holds the pool,
// runs its blocks serially on the calling thread.
#pragma once

#include <type_traits>

namespace parallel_blocks_detail {
void run(unsigned count, void (*body)(void*, unsigned), void* context, bool parallel);
}

// Calls body(b) once for every b in 0 … count − 1 and returns when all have finished;
// `parallel` false runs them in order on the calling thread (work too small to share).
template <class Body>
void parallel_blocks(unsigned count, Body&& body, bool parallel = true)
{
    using B = std::remove_reference_t<Body>;
    parallel_blocks_detail::run(
        count, [](void* context, unsigned block) { (*static_cast<B*>(context))(block); },
        const_cast<void*>(static_cast<const void*>(&body)), parallel);
}

// How many threads (the caller included) may work on one loop: at least 1, at most the
// machine's hardware threads. For benchmarks and tests that compare thread counts.
void set_parallel_block_threads(unsigned threads);
unsigned parallel_block_threads();
