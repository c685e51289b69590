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
          kScaled(_mm_set1_epi16(static_cast<short>((byte * 65536 + 254) / 255)))
    {
    }
    __m128i k;
    __m128i kScaled; // ceil(k × 65536 / 255): a × k \ 255 is the high half of a × kScaled for k below 255
};

// x \ 255 for x up to 65535 in 16-bit lanes: (x × 0x8081) >> 23.
VANTOREL_TARGET_SSE2 inline __m128i Div255(__m128i x) { return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(static_cast<short>(0x8081))), 7); }

// (d × (255 - a × k \ 255) + s × k) \ 255 in 16-bit lanes, whose sum stays below 65280.
VANTOREL_TARGET_SSE2 inline __m128i PartialHalf(__m128i s, __m128i d, __m128i a, const Opacity& o)
{
    const __m128i rest = _mm_sub_epi16(_mm_set1_epi16(255), _mm_mulhi_epu16(a, o.kScaled));
    return Div255(_mm_add_epi16(_mm_mullo_epi16(d, rest), _mm_mullo_epi16(s, o.k)));
}

// Blends `src` over the 16 bytes at `d`: wholly opaque groups (at full opacity) are copied,
// wholly clear ones skipped. False, with nothing written, when a colour of the group lies above
// its alpha: the scalar rule decides those.
template <bool Full>
VANTOREL_TARGET_SSE2 inline bool OverFour(__m128i src, std::uint8_t* d, const Opacity& o)
{
    const __m128i zero = _mm_setzero_si128(), alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i alpha = _mm_and_si128(src, alphaMask);
    if (Full && _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alphaMask)) == 0xFFFF) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), src);
        return true;
    }
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xFFFF)
        return true;
    // Each pixel's alpha in all four of its bytes.
    __m128i spread = _mm_srli_epi32(src, 24);
    spread = _mm_or_si128(spread, _mm_slli_epi32(spread, 8));
    spread = _mm_or_si128(spread, _mm_slli_epi32(spread, 16));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(src, spread), spread)) != 0xFFFF)
        return false;
    const __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    if constexpr (Full) {
        // d × (255 - a) \ 255 plus the source, added as bytes: with colours at most their alpha
        // the sum stays within 255.
        const __m128i rest = _mm_xor_si128(spread, _mm_set1_epi8(-1));
        const __m128i lo = Div255(_mm_mullo_epi16(_mm_unpacklo_epi8(dst, zero), _mm_unpacklo_epi8(rest, zero)));
        const __m128i hi = Div255(_mm_mullo_epi16(_mm_unpackhi_epi8(dst, zero), _mm_unpackhi_epi8(rest, zero)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_add_epi8(_mm_packus_epi16(lo, hi), src));
    } else {
        const __m128i lo = PartialHalf(_mm_unpacklo_epi8(src, zero), _mm_unpacklo_epi8(dst, zero),
                                       _mm_unpacklo_epi8(spread, zero), o);
        const __m128i hi = PartialHalf(_mm_unpackhi_epi8(src, zero), _mm_unpackhi_epi8(dst, zero),
                                       _mm_unpackhi_epi8(spread, zero), o);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_packus_epi16(lo, hi));
    }
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
