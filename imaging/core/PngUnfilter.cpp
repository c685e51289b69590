#include "imaging/core/PngUnfilter.h"

#include "imaging/core/PngFilter.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace imaging {

namespace {

// Every loop below is made for one pixel size, so that its loads and stores of a pixel are fixed
// moves the compiler keeps in registers, never copies of a size known only at run time.

void UnfilterUp(std::uint8_t* row, const std::uint8_t* prev, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + prev[i]);
}

// Byte by byte, for pixels of Unit bytes (packed samples count as one byte).
template <std::size_t Unit>
void UnfilterSub(std::uint8_t* row, std::size_t n)
{
    for (std::size_t i = Unit; i < n; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + row[i - Unit]);
}

// The first row of an image or pass: the row above counts as 0.
template <std::size_t Unit>
void AverageFirstBytes(std::uint8_t* row, std::size_t n)
{
    for (std::size_t i = Unit; i < n; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + (row[i - Unit] >> 1));
}

template <std::size_t Unit>
void UnfilterAverage(std::uint8_t* row, const std::uint8_t* prev, std::size_t n)
{
    for (std::size_t i = 0; i < Unit && i < n; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + (prev[i] >> 1));
    for (std::size_t i = Unit; i < n; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + ((row[i - Unit] + prev[i]) >> 1));
}

template <std::size_t Unit>
void UnfilterPaeth(std::uint8_t* row, const std::uint8_t* prev, std::size_t n)
{
    for (std::size_t i = 0; i < Unit && i < n; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + prev[i]);
    for (std::size_t i = Unit; i < n; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + PaethPredictor(row[i - Unit], prev[i], prev[i - Unit]));
}

#if defined(__SSE2__)
// Pixels of 3, 4, 6 and 8 bytes a pixel at a time in vector lanes: each byte depends on the pixel
// to its left, so the lanes are the pixel's channels. A pixel is gathered by whole-word loads into
// a register and scattered the same way, so no pixel passes through memory on its way.
std::uint32_t Word16(const std::uint8_t* p)
{
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
std::uint32_t Word32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

template <std::size_t Unit>
__m128i LoadPixel(const std::uint8_t* p)
{
    if constexpr (Unit == 3)
        return _mm_cvtsi32_si128(static_cast<int>(Word16(p) | std::uint32_t{p[2]} << 16));
    else if constexpr (Unit == 4)
        return _mm_cvtsi32_si128(static_cast<int>(Word32(p)));
    else if constexpr (Unit == 6)
        return _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(Word32(p))), _mm_cvtsi32_si128(static_cast<int>(Word16(p + 4))));
    else
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

template <std::size_t Unit>
void StorePixel(std::uint8_t* p, __m128i v)
{
    if constexpr (Unit == 8) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
    } else {
        const auto low = static_cast<std::uint32_t>(_mm_cvtsi128_si32(v));
        if constexpr (Unit == 3) {
            const auto two = static_cast<std::uint16_t>(low);
            std::memcpy(p, &two, 2);
            p[2] = static_cast<std::uint8_t>(low >> 16);
        } else {
            std::memcpy(p, &low, 4);
        }
        if constexpr (Unit == 6) {
            const auto high = static_cast<std::uint16_t>(_mm_cvtsi128_si32(_mm_srli_si128(v, 4)));
            std::memcpy(p + 4, &high, 2);
        }
    }
}

template <std::size_t Unit>
void SubPixels(std::uint8_t* row, std::size_t n)
{
    __m128i a = _mm_setzero_si128();
    for (std::size_t i = 0; i + Unit <= n; i += Unit) {
        a = _mm_add_epi8(a, LoadPixel<Unit>(row + i));
        StorePixel<Unit>(row + i, a);
    }
}

template <std::size_t Unit>
void AveragePixels(std::uint8_t* row, const std::uint8_t* prev, std::size_t n)
{
    const __m128i one = _mm_set1_epi8(1);
    __m128i a = _mm_setzero_si128();
    for (std::size_t i = 0; i + Unit <= n; i += Unit) {
        const __m128i b = LoadPixel<Unit>(prev + i);
        // avg_epu8 rounds up; the filter rounds down.
        const __m128i avg = _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), one));
        a = _mm_add_epi8(LoadPixel<Unit>(row + i), avg);
        StorePixel<Unit>(row + i, a);
    }
}

__m128i Abs16(__m128i x) { return _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x)); }
__m128i Select(__m128i mask, __m128i yes, __m128i no) { return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no)); }

template <std::size_t Unit>
void PaethPixels(std::uint8_t* row, const std::uint8_t* prev, std::size_t n)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i a = zero, c = zero;
    for (std::size_t i = 0; i + Unit <= n; i += Unit) {
        const __m128i b = _mm_unpacklo_epi8(LoadPixel<Unit>(prev + i), zero);
        const __m128i bc = _mm_sub_epi16(b, c), ac = _mm_sub_epi16(a, c);
        const __m128i pa = Abs16(bc), pb = Abs16(ac), pc = Abs16(_mm_add_epi16(bc, ac));
        const __m128i least = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
        // Ties go to the left byte, then the one above.
        const __m128i pred = Select(_mm_cmpeq_epi16(least, pa), a, Select(_mm_cmpeq_epi16(least, pb), b, c));
        const __m128i x = _mm_add_epi8(LoadPixel<Unit>(row + i), _mm_packus_epi16(pred, pred));
        StorePixel<Unit>(row + i, x);
        a = _mm_unpacklo_epi8(x, zero);
        c = b;
    }
}
#endif

// Sub, Average and Paeth for one pixel size; `prev` is null only for Sub and Average.
template <std::size_t Unit>
void Unfilter(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* prev, std::size_t n)
{
    if (filter == 3 && !prev) {
        AverageFirstBytes<Unit>(row, n);
        return;
    }
#if defined(__SSE2__)
    if constexpr (Unit >= 3) {
        if (filter == 1)
            SubPixels<Unit>(row, n);
        else if (filter == 3)
            AveragePixels<Unit>(row, prev, n);
        else
            PaethPixels<Unit>(row, prev, n);
        return;
    }
#endif
    if (filter == 1)
        UnfilterSub<Unit>(row, n);
    else if (filter == 3)
        UnfilterAverage<Unit>(row, prev, n);
    else
        UnfilterPaeth<Unit>(row, prev, n);
}

} // namespace

bool UnfilterPngRow(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* prev, std::size_t n, std::size_t unit)
{
    if (filter > 4)
        return false;
    if (filter == 0 || (filter == 2 && !prev))
        return true;
    if (filter == 2) {
        UnfilterUp(row, prev, n);
        return true;
    }
    if (!prev && filter == 4)
        filter = 1; // the row above counts as 0: Paeth picks the left byte
    using Rows = void (*)(std::uint8_t, std::uint8_t*, const std::uint8_t*, std::size_t);
    static constexpr Rows kRows[9] = {nullptr, Unfilter<1>, Unfilter<2>, Unfilter<3>, Unfilter<4>,
                                      nullptr, Unfilter<6>, nullptr,     Unfilter<8>};
    if (unit >= 9 || !kRows[unit])
        return false; // no PNG layout has pixels of that size
    kRows[unit](filter, row, prev, n);
    return true;
}

} // namespace imaging
