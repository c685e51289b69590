// Four premultiplied pixels over four 32-bit pixels in colour, in SSE2 registers: shared by the
// blend rows and the scaled draws, which hand their pixels over without storing them first.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>

namespace imaging::sse2 {

struct Opacity {
    explicit Opacity(unsigned byte)
        : k(_mm_set1_epi16(static_cast<short>(byte))),
          kScaled(_mm_set1_epi16(static_cast<short>((byte * 65536 + 254) / 255)))
    {
    }
    __m128i k;
    __m128i kScaled; // ceil(k × 65536 / 255): a × k \ 255 is the high half of a × kScaled for k below 255
};

// x \ 255 for x up to 65535 in 16-bit lanes: (x × 0x8081) >> 23.
inline __m128i Div255(__m128i x) { return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(static_cast<short>(0x8081))), 7); }

// Blends `src` over the 16 bytes at `d`: wholly opaque groups (at full opacity) are copied,
// wholly clear ones skipped. False, with nothing written, when a colour of the group lies above
// its alpha: the scalar rule decides those.
template <bool Full>
inline bool OverFour(__m128i src, std::uint8_t* d, const Opacity& o)
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
        // (d × (255 - a × k \ 255) + s × k) \ 255, whose sum stays below 65280.
        auto half = [&](__m128i s, __m128i t, __m128i a) {
            const __m128i rest = _mm_sub_epi16(_mm_set1_epi16(255), _mm_mulhi_epu16(a, o.kScaled));
            return Div255(_mm_add_epi16(_mm_mullo_epi16(t, rest), _mm_mullo_epi16(s, o.k)));
        };
        const __m128i lo = half(_mm_unpacklo_epi8(src, zero), _mm_unpacklo_epi8(dst, zero), _mm_unpacklo_epi8(spread, zero));
        const __m128i hi = half(_mm_unpackhi_epi8(src, zero), _mm_unpackhi_epi8(dst, zero), _mm_unpackhi_epi8(spread, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_packus_epi16(lo, hi));
    }
    return true;
}

} // namespace imaging::sse2
#endif
