// Storage for the per-level arrays of one relaxation evaluation (diagonals, weights,
// solutions, the solver's elimination factors). Up to Inline values (by default what fits
// in 4 KiB, so that a few buffers stay small on a worker thread's stack) live in the
// object itself; more come from the heap, once per call of a formula and never per point,
// so that a chain of ten thousand levels does not overflow a worker thread's stack.
//
// Nothing is kept per thread: with mingw-w64, a thread's emulated TLS block is freed
// before the destructors of its thread_local objects run, so a thread_local vector is
// freed from reused memory at thread exit and corrupts what another thread holds there.
//
// The values start uninitialised (the element types are implicit-lifetime types: doubles,
// dual numbers and complex numbers over them): write an element before reading it.
#pragma once

#include <cstddef>
#include <memory>

template <class T, std::size_t Inline = (sizeof(T) < 4096 ? 4096 / sizeof(T) : 1)>
class LevelBuffer {
public:
    explicit LevelBuffer(std::size_t n)
        : heap_(n <= Inline ? nullptr : std::make_unique_for_overwrite<T[]>(n)),
          data_(heap_ ? heap_.get() : reinterpret_cast<T*>(inline_))
    {
    }
    LevelBuffer(const LevelBuffer&) = delete;
    LevelBuffer& operator=(const LevelBuffer&) = delete;

    T* data() { return data_; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }

private:
    alignas(T) unsigned char inline_[Inline * sizeof(T)];
    std::unique_ptr<T[]> heap_;
    T* data_;
};
