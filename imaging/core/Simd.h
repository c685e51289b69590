// Which vector loops the pixel code runs: SSE2 wherever the build targets it, and AVX2 loops,
// built for that processor by a target attribute, only where the running processor has it.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__x86_64__)
// 64-bit builds only: there SSE2 is always present, so the four-pixel loops are the plain path
// beside the eight-pixel ones. A 32-bit build is for old processors and keeps its scalar loops.
#define VANTOREL_AVX2 1
#include <immintrin.h>
#define VANTOREL_TARGET_AVX2 __attribute__((target("avx2")))
#endif

namespace imaging::simd {

// Whether the processor and the system have AVX2, on any x86 build; other code's wide loops ask this.
bool Avx2Present();
// Whether the eight-pixel loops run: the processor and the system have AVX2, and they are allowed.
bool Avx2();
// Tests and benches turn the eight-pixel loops off to run the four-pixel ones on the same machine.
void AllowAvx2(bool allowed);

} // namespace imaging::simd
