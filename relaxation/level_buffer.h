// Storage for the per-level arrays of one relaxation evaluation (rates, diagonals,
// solutions, the solver's elimination factors). Up to Inline values (by default what fits
// in 4 KiB, so that a few buffers stay small on a worker thread's stack) live in the
// object itself; more come from a buffer that each thread keeps for the slot and only
// ever grows, so that a chain of ten thousand levels neither overflows a worker thread's
// stack nor allocates once the thread has seen its largest chain.
//
// The values start uninitialised (the element types are implicit-lifetime types: doubles,
// dual numbers and complex numbers over them): write an element before reading it.
// Buffers alive at the same time on one thread need different Slot numbers.
#pragma once

#include <cstddef>
#include <vector>

template <class T, int Slot>
T* thread_level_buffer(std::size_t n)
{
    thread_local std::vector<T> buffer;
    if (buffer.size() < n)
        buffer.resize(n);
    return buffer.data();
}

template <class T, int Slot, std::size_t Inline = (sizeof(T) < 4096 ? 4096 / sizeof(T) : 1)>
class LevelBuffer {
public:
    explicit LevelBuffer(std::size_t n)
        : data_(n <= Inline ? reinterpret_cast<T*>(inline_) : thread_level_buffer<T, Slot>(n))
    {
    }
    LevelBuffer(const LevelBuffer&) = delete;
    LevelBuffer& operator=(const LevelBuffer&) = delete;

    T* data() { return data_; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }

private:
    alignas(T) unsigned char inline_[Inline * sizeof(T)];
    T* data_;
};
