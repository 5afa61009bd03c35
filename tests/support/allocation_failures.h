// Allocations that fail on purpose, for tests of what a failure leaves behind: every
// allocation above a size limit fails (as in a 32-bit program out of address space),
// and one chosen allocation fails after a countdown. It replaces the global operator new,
// so a test program includes it in exactly one file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace test_support {

// Allocations left before one fails; negative: none fails.
inline long allocations_before_failure = -1;
// Every allocation larger than this fails.
inline std::size_t largest_allocation = SIZE_MAX;

}  // namespace test_support

void* operator new(std::size_t size)
{
    using namespace test_support;
    if (allocations_before_failure >= 0 && allocations_before_failure-- == 0)
        throw std::bad_alloc();
    if (size <= largest_allocation)
        if (void* p = std::malloc(size ? size : 1))
            return p;
    throw std::bad_alloc();
}

// The library's temporary buffers ask for memory without exceptions: they must come from
// the same allocator as the deletes below (the address sanitizer checks the pairing).
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
