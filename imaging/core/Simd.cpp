#include "imaging/core/Simd.h"

namespace imaging::simd {

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
bool Avx2Present()
{
    // Also false where the system does not save the upper halves of the registers.
    static const bool present = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return present;
}
#else
bool Avx2Present() { return false; }
#endif

#if defined(VANTOREL_AVX2)
namespace {

bool allowed = true;

} // namespace

bool Avx2() { return Avx2Present() && allowed; }
void AllowAvx2(bool allow) { allowed = allow; }
#else
bool Avx2() { return false; }
void AllowAvx2(bool) {}
#endif

} // namespace imaging::simd
