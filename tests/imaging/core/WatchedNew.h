// The test program's operator new, watched: while gTrack is set it keeps the largest block asked for,
// and it refuses blocks of gRefuseFrom bytes or more, as memory run out. Include it in one file.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

inline std::atomic<bool> gTrack{false};
inline std::atomic<std::size_t> gLargest{0};
inline std::atomic<std::size_t> gRefuseFrom{SIZE_MAX};

void* operator new(std::size_t n)
{
    if (gTrack && n > gLargest)
        gLargest = n;
    if (n >= gRefuseFrom)
        throw std::bad_alloc();
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
// GCC takes the malloc inside the replaced operator new for a mismatch with free here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop
