// Every operator new of a bench's process counted by what malloc gave it: the bytes live now and
// the most since a reset, so a peak is what was held at once. Include it in one file of a bench.
#pragma once

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace allocbench {

inline std::atomic<std::size_t> gLive{0}, gPeak{0};
inline void ResetPeak() { gPeak = gLive.load(); }

} // namespace allocbench

void* operator new(std::size_t n)
{
    void* p = std::malloc(n ? n : 1);
    if (!p)
        throw std::bad_alloc();
    const std::size_t live = allocbench::gLive += malloc_usable_size(p);
    for (std::size_t peak = allocbench::gPeak; live > peak && !allocbench::gPeak.compare_exchange_weak(peak, live);) {
    }
    return p;
}
// GCC takes the malloc inside the replaced operator new for a mismatch with free here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept
{
    if (p)
        allocbench::gLive -= malloc_usable_size(p);
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }
#pragma GCC diagnostic pop
