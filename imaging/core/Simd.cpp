#include "imaging/core/Simd.h"

namespace imaging::simd {

namespace {

bool avx2Allowed = true;
bool sse2Allowed = true;

} // namespace

#if defined(VANTOREL_SSE2)
bool Avx2Present()
{
    // Also false where the system does not save the upper halves of the registers.
    static const bool present = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return present;
}

bool Sse2()
{
#if defined(__SSE2__)
    return sse2Allowed;
#else
    static const bool present = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("sse2") != 0;
    }();
    return present && sse2Allowed;
#endif
}
#else
bool Avx2Present() { return false; }
bool Sse2() { return false; }
#endif

#if defined(VANTOREL_AVX2)
bool Avx2() { return Avx2Present() && avx2Allowed && Sse2(); }
#else
bool Avx2() { return false; }
#endif

void AllowAvx2(bool allowed) { avx2Allowed = allowed; }
void AllowSse2(bool allowed) { sse2Allowed = allowed; }

} // namespace imaging::simd
