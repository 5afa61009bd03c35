// Carries an exception out of an OpenMP parallel region, which no exception may leave:
// each iteration catches what it raises and hands it here, the first one is kept, and
// the caller rethrows it once the region has ended. So an error inside a parallel
// evaluation reaches its caller unchanged, with its own type and text.
#pragma once

#include <atomic>
#include <exception>

class FirstException {
public:
    // Call inside a catch block: keeps the exception being handled unless one is kept.
    void capture() noexcept
    {
        if (!taken_.test_and_set(std::memory_order_acq_rel))
            first_ = std::current_exception();
    }

    // Call after the region: throws the kept exception, if any.
    void rethrow() const
    {
        if (first_)
            std::rethrow_exception(first_);
    }

private:
    std::atomic_flag taken_;  // cleared on construction (C++20)
    std::exception_ptr first_;
};
