// Premultiplied pixels over 32-bit pixels in colour, four at a time in SSE2 registers and eight
// in AVX2 ones where the processor has them: shared by the blend rows and the scaled draws, which
// hand their pixels over without storing them first.
#pragma once

#include "imaging/core/Simd.h"

#include <cstdint>

#if defined(VANTOREL_SSE2)
namespace imaging::sse2 {

struct Opacity {
    VANTOREL_TARGET_SSE2 explicit Opacity(unsigned byte)
        : k(_mm_set1_epi16(static_cast<short>(byte))),
          kScaled(_mm_set1_epi16(static_cast<short>((byte * 65536 + 254) / 255))), minus257(_mm_set1_epi16(-257))
    {
        // Hidden from the compiler, which would turn the one multiplication by it into three shifts and adds.
        __asm__("" : "+x"(minus257));
    }
    __m128i k;
    __m128i kScaled; // ceil(k × 65536 / 255): a × k \ 255 is the high half of a × kScaled for k below 255
    __m128i minus257;
};

// x \ 255 for x up to 65535 in 16-bit lanes: (x × 0x8081) >> 23.
VANTOREL_TARGET_SSE2 inline __m128i Div255(__m128i x)
{
    return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(static_cast<short>(0x8081))), 7);
}

// (d × (255 - a × k \ 255) + s × k) \ 255 in 16-bit lanes, whose sum stays below 65280 while
// s is at most a.
VANTOREL_TARGET_SSE2 inline __m128i PartialHalf(__m128i s, __m128i d, __m128i a, const Opacity& o)
{
    const __m128i rest = _mm_sub_epi16(_mm_set1_epi16(255), _mm_mulhi_epu16(a, o.kScaled));
    return Div255(_mm_add_epi16(_mm_mullo_epi16(d, rest), _mm_mullo_epi16(s, o.k)));
}

// A group's bytes in 16-bit lanes: blue and red in `even`, green and alpha in `odd`, and each
// pixel's alpha in both of its lanes in `alpha`.
struct Lanes {
    __m128i even, odd, alpha;
};

VANTOREL_TARGET_SSE2 inline Lanes Spread(__m128i src)
{
    const __m128i odd = _mm_srli_epi16(src, 8);
    return {_mm_and_si128(src, _mm_set1_epi16(0x00FF)), odd, _mm_shufflehi_epi16(_mm_shufflelo_epi16(odd, 0xF5), 0xF5)};
}

// Lanes where a colour lies above its alpha.
VANTOREL_TARGET_SSE2 inline __m128i Above(const Lanes& s)
{
    return _mm_or_si128(_mm_cmpgt_epi16(s.even, s.alpha), _mm_cmpgt_epi16(s.odd, s.alpha));
}

// The blend of a group whose colours are at most their alpha over `dst`.
template <bool Full>
VANTOREL_TARGET_SSE2 inline __m128i Over(const Lanes& s, __m128i dst, const Opacity& o)
{
    const __m128i low = _mm_set1_epi16(0x00FF);
    const __m128i dEven = _mm_and_si128(dst, low), dOdd = _mm_srli_epi16(dst, 8);
    __m128i even, odd;
    if constexpr (Full) {
        // d × (255 - a) \ 255 + s, which stays within 255.
        const __m128i rest = _mm_xor_si128(s.alpha, low);
        even = _mm_add_epi16(Div255(_mm_mullo_epi16(dEven, rest)), s.even);
        odd = _mm_add_epi16(Div255(_mm_mullo_epi16(dOdd, rest)), s.odd);
    } else {
        even = PartialHalf(s.even, dEven, s.alpha, o);
        odd = PartialHalf(s.odd, dOdd, s.alpha, o);
    }
    return _mm_or_si128(even, _mm_slli_epi16(odd, 8));
}

// Blends `src` over the 16 bytes at `d`: wholly opaque groups (at full opacity) are copied,
// wholly clear ones skipped. False, with nothing written, when a colour of the group lies above
// its alpha: the scalar rule decides those.
template <bool Full>
VANTOREL_TARGET_SSE2 inline bool OverFour(__m128i src, std::uint8_t* d, const Opacity& o)
{
    constexpr int alphas = 0x8888; // the alpha bytes' bits in a byte mask
    auto* to = reinterpret_cast<__m128i*>(d);
    if ((_mm_movemask_epi8(_mm_cmpeq_epi8(src, _mm_setzero_si128())) & alphas) == alphas)
        return true;
    if (Full && (_mm_movemask_epi8(_mm_cmpeq_epi8(src, _mm_set1_epi8(-1))) & alphas) == alphas) {
        _mm_storeu_si128(to, src);
        return true;
    }
    const Lanes s = Spread(src);
    if (_mm_movemask_epi8(Above(s)) != 0)
        return false;
    _mm_storeu_si128(to, Over<Full>(s, _mm_loadu_si128(to), o));
    return true;
}

// d × (255 - a) \ 255 + s for pixels whose alpha is 1 to 255, where the first term is the high
// half of d × (65536 - 257 × a), exactly. `exact` marks the bytes whose sum stayed within 255,
// which the blend's rule then writes whatever the colours.
VANTOREL_TARGET_SSE2 inline __m128i OverUnclear(__m128i src, __m128i dst, const Opacity& o, __m128i& exact)
{
    const __m128i low = _mm_set1_epi16(0x00FF);
    const __m128i m = _mm_mullo_epi16(Spread(src).alpha, o.minus257);
    const __m128i rest = _mm_or_si128(_mm_mulhi_epu16(_mm_and_si128(dst, low), m),
                                      _mm_slli_epi16(_mm_mulhi_epu16(_mm_srli_epi16(dst, 8), m), 8));
    const __m128i sum = _mm_add_epi8(rest, src);
    exact = _mm_cmpeq_epi8(_mm_adds_epu8(rest, src), sum);
    return sum;
}

// Eight pixels over the 32 bytes at `d`, with one test for the eight: all clear (skipped), all
// opaque at full opacity (copied), or none clear. False, with nothing written, when clear pixels
// mix with others or a colour needs the scalar rule: OverFour decides each group then.
template <bool Full>
VANTOREL_TARGET_SSE2 inline bool OverEight(__m128i a, __m128i b, std::uint8_t* d, const Opacity& o)
{
    constexpr int alphas = 0x8888;
    const __m128i zero = _mm_setzero_si128();
    // Pixel i of either group is clear; pixel i of both is.
    if ((_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(a, b), zero)) & alphas) != 0)
        return (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(a, b), zero)) & alphas) == alphas;
    auto* to = reinterpret_cast<__m128i*>(d);
    __m128i first, second;
    if constexpr (Full) {
        if ((_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(a, b), _mm_set1_epi8(-1))) & alphas) == alphas) {
            _mm_storeu_si128(to, a);
            _mm_storeu_si128(to + 1, b);
            return true;
        }
        __m128i exactA, exactB;
        first = OverUnclear(a, _mm_loadu_si128(to), o, exactA);
        second = OverUnclear(b, _mm_loadu_si128(to + 1), o, exactB);
        if (_mm_movemask_epi8(_mm_and_si128(exactA, exactB)) != 0xFFFF)
            return false;
    } else {
        const Lanes sa = Spread(a), sb = Spread(b);
        if (_mm_movemask_epi8(_mm_or_si128(Above(sa), Above(sb))) != 0)
            return false;
        first = Over<false>(sa, _mm_loadu_si128(to), o);
        second = Over<false>(sb, _mm_loadu_si128(to + 1), o);
    }
    _mm_storeu_si128(to, first);
    _mm_storeu_si128(to + 1, second);
    return true;
}

} // namespace imaging::sse2
#endif

#if defined(VANTOREL_AVX2)
// The same rules eight pixels at a time. Every function here runs only where simd::Avx2() holds.
namespace imaging::avx2 {

struct Opacity {
    __m256i k, kScaled;
};

VANTOREL_TARGET_AVX2 inline Opacity MakeOpacity(unsigned byte)
{
    return {_mm256_set1_epi16(static_cast<short>(byte)), _mm256_set1_epi16(static_cast<short>((byte * 65536 + 254) / 255))};
}

VANTOREL_TARGET_AVX2 inline __m256i Div255(__m256i x)
{
    return _mm256_srli_epi16(_mm256_mulhi_epu16(x, _mm256_set1_epi16(static_cast<short>(0x8081))), 7);
}

VANTOREL_TARGET_AVX2 inline __m256i Pair(__m128i low, __m128i high)
{
    return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
}

template <bool Full>
VANTOREL_TARGET_AVX2 inline bool OverEight(__m256i src, std::uint8_t* d, const Opacity& o)
{
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    if (Full && _mm256_testc_si256(src, alphaMask)) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), src);
        return true;
    }
    if (_mm256_testz_si256(src, alphaMask))
        return true;
    const __m256i spread = _mm256_shuffle_epi8(
        src, _mm256_setr_epi8(3, 3, 3, 3, 7, 7, 7, 7, 11, 11, 11, 11, 15, 15, 15, 15, 3, 3, 3, 3, 7, 7, 7, 7, 11, 11, 11,
                              11, 15, 15, 15, 15));
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_max_epu8(src, spread), spread)) != -1)
        return false;
    const __m256i zero = _mm256_setzero_si256(), dst = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d));
    if constexpr (Full) {
        const __m256i rest = _mm256_xor_si256(spread, _mm256_set1_epi8(-1));
        const __m256i lo = Div255(_mm256_mullo_epi16(_mm256_unpacklo_epi8(dst, zero), _mm256_unpacklo_epi8(rest, zero)));
        const __m256i hi = Div255(_mm256_mullo_epi16(_mm256_unpackhi_epi8(dst, zero), _mm256_unpackhi_epi8(rest, zero)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), _mm256_add_epi8(_mm256_packus_epi16(lo, hi), src));
    } else {
        const __m256i all = _mm256_set1_epi16(255);
        const __m256i aLo = _mm256_unpacklo_epi8(spread, zero), aHi = _mm256_unpackhi_epi8(spread, zero);
        const __m256i restLo = _mm256_sub_epi16(all, _mm256_mulhi_epu16(aLo, o.kScaled));
        const __m256i restHi = _mm256_sub_epi16(all, _mm256_mulhi_epu16(aHi, o.kScaled));
        const __m256i lo = Div255(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(dst, zero), restLo),
                                                   _mm256_mullo_epi16(_mm256_unpacklo_epi8(src, zero), o.k)));
        const __m256i hi = Div255(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(dst, zero), restHi),
                                                   _mm256_mullo_epi16(_mm256_unpackhi_epi8(src, zero), o.k)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), _mm256_packus_epi16(lo, hi));
    }
    return true;
}

} // namespace imaging::avx2
#endif
