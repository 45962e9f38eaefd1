// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Allocation that fails on demand, for tests of running out of memory.
//
// Include this header in exactly one source file of a test program: it replaces
// the program's global operator new and delete (every form, so that the
// sanitizers see matching pairs). While no failure is armed they behave as the
// standard ones; a FailFrom(n) lets n more allocations succeed and fails every
// one after them until it ends, NoMemory fails them all.
#ifndef GRIDWISE_TESTS_SUPPORT_FAILINGALLOCATION_H
#define GRIDWISE_TESTS_SUPPORT_FAILINGALLOCATION_H

#include <atomic>
#include <cstdlib>
#include <new>

namespace gwtest {

// Allocations that still succeed; -1 while no failure is armed.
inline std::atomic<long> allowedAllocations{-1};

inline void* allocate(std::size_t n) noexcept {
    long left = allowedAllocations.load();
    while (left > 0 && !allowedAllocations.compare_exchange_weak(left, left - 1)) {
    }
    if (left == 0) return nullptr;
    return std::malloc(n != 0 ? n : 1);
}

inline void* allocateOrThrow(std::size_t n) {
    if (void* p = allocate(n)) return p;
    throw std::bad_alloc();
}

// Every allocation from the n-th on (counted from 0) fails until end() or the end
// of the object's life.
class FailFrom {
public:
    explicit FailFrom(long n) { allowedAllocations = n; }
    ~FailFrom() { end(); }
    FailFrom(const FailFrom&) = delete;
    FailFrom& operator=(const FailFrom&) = delete;
    void end() { allowedAllocations = -1; }
};

// Every allocation fails.
class NoMemory : public FailFrom {
public:
    NoMemory() : FailFrom(0) {}
};

} // namespace gwtest

void* operator new(std::size_t n) { return gwtest::allocateOrThrow(n); }
void* operator new[](std::size_t n) { return gwtest::allocateOrThrow(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return gwtest::allocate(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return gwtest::allocate(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

#endif
