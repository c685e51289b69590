// The test program's own operator new, malloc underneath, watched: while `track` is set it keeps
// the largest block asked for (a decode's peak), and it refuses blocks of `refuseFrom` bytes or
// more as a process out of memory would. Include it in one file of a test program.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace watchednew {

inline std::atomic<bool> track{false};
inline std::atomic<std::size_t> largest{0};
inline std::atomic<std::size_t> refuseFrom{SIZE_MAX};

} // namespace watchednew

void* operator new(std::size_t n)
{
    if (watchednew::track && n > watchednew::largest)
        watchednew::largest = n;
    if (n >= watchednew::refuseFrom)
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
