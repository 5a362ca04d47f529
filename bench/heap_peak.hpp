// The heap of a benchmark program, counted at the C allocator: every malloc, calloc, realloc,
// aligned allocation and free of the program and of its libraries (operator new, the host's
// blocks and arrays, Clipper's vectors alike) passes through the definitions below, which forward
// to the C library's own and, once counting is on, keep the bytes in use. A watch gives the
// high-water mark of a stretch of work above the bytes in use when it started. Counting stays off
// until the program turns it on, so that a run measured by instruction counts pays for a branch
// per call only. Include it in one program file only: it defines the allocator's entry points.
// Under AddressSanitizer, which owns the allocator, nothing is counted and every peak reads 0.
#pragma once

#include <cstddef>

namespace bench::heap {

// Bytes the program holds but does not count as its own (the host's quarantine of released
// blocks): left out of every mark while set.
using parked_bytes = std::size_t (*)();

struct heap_counts {
    long long in_use = 0;  // usable bytes of every live block
    long long start = 0;   // in_use less the parked bytes when the watch started
    long long peak = 0;    // highest in_use less the parked bytes since then
    bool counting = false;
    bool watching = false;
    parked_bytes parked = nullptr;
};

inline heap_counts counts;

inline long long own_bytes()
{
    return counts.in_use - (counts.parked != nullptr ? static_cast<long long>(counts.parked()) : 0);
}

// Turns counting on; parked names the bytes to leave out (null: none).
inline void start_counting(parked_bytes parked)
{
    counts.parked = parked;
    counts.counting = true;
}

inline void watch_start()
{
    counts.start = counts.peak = own_bytes();
    counts.watching = true;
}

// Stops the watch; the peak above its start, in bytes.
inline long long watch_peak()
{
    counts.watching = false;
    return counts.peak - counts.start;
}

}  // namespace bench::heap

#if !defined(__SANITIZE_ADDRESS__)

#include <malloc.h>

#include <cerrno>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void* __libc_valloc(std::size_t size);
void* __libc_pvalloc(std::size_t size);
void __libc_free(void* block);
}

namespace bench::heap {

inline void* counted(void* block)
{
    if (block == nullptr || !counts.counting) return block;
    counts.in_use += static_cast<long long>(malloc_usable_size(block));
    // The high-water mark only moves when something is allocated, so it is taken here.
    if (counts.watching) {
        const long long own = own_bytes();
        if (own > counts.peak) counts.peak = own;
    }
    return block;
}

inline void uncount(void* block)
{
    if (block != nullptr && counts.counting) counts.in_use -= static_cast<long long>(malloc_usable_size(block));
}

}  // namespace bench::heap

extern "C" {

void* malloc(std::size_t size) noexcept { return bench::heap::counted(__libc_malloc(size)); }

void* calloc(std::size_t count, std::size_t size) noexcept { return bench::heap::counted(__libc_calloc(count, size)); }

void free(void* block) noexcept
{
    bench::heap::uncount(block);
    __libc_free(block);
}

// A failed realloc keeps the old block; a request of 0 bytes frees it.
void* realloc(void* block, std::size_t size) noexcept
{
    if (!bench::heap::counts.counting) return __libc_realloc(block, size);
    const long long before = block != nullptr ? static_cast<long long>(malloc_usable_size(block)) : 0;
    void* moved = __libc_realloc(block, size);
    if (moved == nullptr) {
        if (size == 0) bench::heap::counts.in_use -= before;
        return nullptr;
    }
    bench::heap::counts.in_use -= before;
    return bench::heap::counted(moved);
}

void* memalign(std::size_t alignment, std::size_t size) noexcept
{
    return bench::heap::counted(__libc_memalign(alignment, size));
}

void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept
{
    return bench::heap::counted(__libc_memalign(alignment, size));
}

void* valloc(std::size_t size) noexcept { return bench::heap::counted(__libc_valloc(size)); }

void* pvalloc(std::size_t size) noexcept { return bench::heap::counted(__libc_pvalloc(size)); }

int posix_memalign(void** block, std::size_t alignment, std::size_t size) noexcept
{
    void* b = bench::heap::counted(__libc_memalign(alignment, size));
    if (b == nullptr) return errno;
    *block = b;
    return 0;
}

}  // extern "C"

#endif
