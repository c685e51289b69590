#include "imaging/core/PngUnfilter.h"

#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace imaging {

namespace {

unsigned Paeth(unsigned a, unsigned b, unsigned c)
{
    const int pa = std::abs(static_cast<int>(b) - static_cast<int>(c));
    const int pb = std::abs(static_cast<int>(a) - static_cast<int>(c));
    const int pc = std::abs(static_cast<int>(a + b) - 2 * static_cast<int>(c));
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

#if defined(__SSE2__)
// Three- and four-byte pixels a pixel at a time in vector lanes: each byte depends on the pixel to
// its left, so the lanes are the pixel's channels.
__m128i LoadPixel(const std::uint8_t* p, std::size_t unit)
{
    int v = 0;
    std::memcpy(&v, p, unit);
    return _mm_cvtsi32_si128(v);
}

void StorePixel(std::uint8_t* p, __m128i v, std::size_t unit)
{
    const int x = _mm_cvtsi128_si32(v);
    std::memcpy(p, &x, unit);
}

void SubPixels(std::uint8_t* row, std::size_t n, std::size_t unit)
{
    __m128i a = _mm_setzero_si128();
    for (std::size_t i = 0; i + unit <= n; i += unit) {
        a = _mm_add_epi8(a, LoadPixel(row + i, unit));
        StorePixel(row + i, a, unit);
    }
}

void AveragePixels(std::uint8_t* row, const std::uint8_t* prev, std::size_t n, std::size_t unit)
{
    const __m128i one = _mm_set1_epi8(1);
    __m128i a = _mm_setzero_si128();
    for (std::size_t i = 0; i + unit <= n; i += unit) {
        const __m128i b = LoadPixel(prev + i, unit);
        // avg_epu8 rounds up; the filter rounds down.
        const __m128i avg = _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), one));
        a = _mm_add_epi8(LoadPixel(row + i, unit), avg);
        StorePixel(row + i, a, unit);
    }
}

__m128i Abs16(__m128i x) { return _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x)); }
__m128i Select(__m128i mask, __m128i yes, __m128i no) { return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no)); }

void PaethPixels(std::uint8_t* row, const std::uint8_t* prev, std::size_t n, std::size_t unit)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i a = zero, c = zero;
    for (std::size_t i = 0; i + unit <= n; i += unit) {
        const __m128i b = _mm_unpacklo_epi8(LoadPixel(prev + i, unit), zero);
        const __m128i bc = _mm_sub_epi16(b, c), ac = _mm_sub_epi16(a, c);
        const __m128i pa = Abs16(bc), pb = Abs16(ac), pc = Abs16(_mm_add_epi16(bc, ac));
        const __m128i least = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
        // Ties go to the left byte, then the one above.
        const __m128i pred = Select(_mm_cmpeq_epi16(least, pa), a, Select(_mm_cmpeq_epi16(least, pb), b, c));
        const __m128i x = _mm_add_epi8(LoadPixel(row + i, unit), _mm_packus_epi16(pred, pred));
        StorePixel(row + i, x, unit);
        a = _mm_unpacklo_epi8(x, zero);
        c = b;
    }
}
#endif

} // namespace

bool UnfilterPngRow(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* prev, std::size_t n, std::size_t unit)
{
    if (filter > 4)
        return false;
    if (filter == 0 || (filter == 2 && !prev))
        return true;
    if (!prev) // the row above counts as 0: Average adds half the left byte, Paeth picks the left
        filter = filter == 3 ? 3 : 1;
    if (filter == 2) {
        for (std::size_t i = 0; i < n; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + prev[i]);
        return true;
    }
#if defined(__SSE2__)
    if ((unit == 3 || unit == 4) && (filter == 1 || prev)) {
        if (filter == 1)
            SubPixels(row, n, unit);
        else if (filter == 3)
            AveragePixels(row, prev, n, unit);
        else
            PaethPixels(row, prev, n, unit);
        return true;
    }
#endif
    if (filter == 1) {
        for (std::size_t i = unit; i < n; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + row[i - unit]);
    } else if (filter == 3 && !prev) {
        for (std::size_t i = unit; i < n; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + (row[i - unit] >> 1));
    } else if (filter == 3) {
        for (std::size_t i = 0; i < unit && i < n; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + (prev[i] >> 1));
        for (std::size_t i = unit; i < n; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + ((row[i - unit] + prev[i]) >> 1));
    } else {
        for (std::size_t i = 0; i < unit && i < n; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + prev[i]);
        for (std::size_t i = unit; i < n; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + Paeth(row[i - unit], prev[i], prev[i - unit]));
    }
    return true;
}

} // namespace imaging
