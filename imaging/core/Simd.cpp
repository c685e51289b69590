#include "imaging/core/Simd.h"

namespace imaging::simd {

#if defined(VANTOREL_AVX2)
namespace {

bool allowed = true;

bool Present()
{
    // Also false where the system does not save the upper halves of the registers.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

} // namespace

bool Avx2()
{
    static const bool present = Present();
    return present && allowed;
}
void AllowAvx2(bool allow) { allowed = allow; }
#else
bool Avx2() { return false; }
void AllowAvx2(bool) {}
#endif

} // namespace imaging::simd
