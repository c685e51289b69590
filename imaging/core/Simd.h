// Which vector loops the pixel code runs. SSE2 loops are built in every x86 build and run where
// the processor has SSE2: always in 64-bit builds, and in the 32-bit one, which assumes no more
// than a Pentium Pro, they are built for it by a target attribute and chosen at run time. AVX2
// loops, built the same way in 64-bit builds, run only where the processor has AVX2.
#pragma once

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define VANTOREL_SSE2 1
#include <immintrin.h>
#if defined(__SSE2__)
#define VANTOREL_TARGET_SSE2
#else
// 32-bit Windows keeps the stack aligned to 4 bytes only: the loops realign it on entry for
// their 16-byte spills.
#define VANTOREL_TARGET_SSE2 __attribute__((target("sse2"), force_align_arg_pointer))
#endif
#endif
#if defined(VANTOREL_SSE2) && defined(__x86_64__)
#define VANTOREL_AVX2 1
#define VANTOREL_TARGET_AVX2 __attribute__((target("avx2")))
#endif

namespace imaging::simd {

// Whether the processor and the system have AVX2, on any x86 build; other code's wide loops ask this.
bool Avx2Present();
// Whether the four-pixel loops run: the processor has SSE2, and they are allowed.
bool Sse2();
// Whether the eight-pixel loops run: the processor and the system have AVX2, and they and the
// four-pixel loops, which take their last pixels, are allowed.
bool Avx2();
// Tests and benches turn the vector loops off to run the narrower ones on the same machine.
void AllowAvx2(bool allowed);
void AllowSse2(bool allowed);

} // namespace imaging::simd
