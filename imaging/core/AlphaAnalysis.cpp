#include "imaging/core/AlphaAnalysis.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace imaging {

namespace {

enum class Scan { Nothing, TransparentColour, Straight };

#if defined(__SSE2__)
__m128i Load(std::span<const std::uint8_t> row, std::size_t at)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(row.subspan(at, 16).data()));
}
void Store(std::span<std::uint8_t> row, std::size_t at, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row.subspan(at, 16).data()), v);
}
#endif

void SetOpaque(const PixelView& pixels)
{
    for (int y = 0; y < pixels.Height(); ++y) {
        const auto row = pixels.Row(y);
        std::size_t i = 0;
#if defined(__SSE2__)
        for (const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u)); i + 16 <= row.size(); i += 16)
            Store(row, i, _mm_or_si128(Load(row, i), alpha));
#endif
        for (; i < row.size(); i += 4)
            row[i + 3] = 255;
    }
}

// c × a ÷ 255 truncated for each colour; alpha 255 keeps the colour and alpha 0 clears it.
void Premultiply(const PixelView& pixels)
{
    for (int y = 0; y < pixels.Height(); ++y) {
        const auto row = pixels.Row(y);
        std::size_t i = 0;
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128(), reciprocal = _mm_set1_epi16(static_cast<short>(0x8081));
        const __m128i alphaBytes = _mm_set1_epi32(static_cast<int>(0xFF000000u));
        const auto times = [&](__m128i v) { // four 16-bit samples of two pixels
            const __m128i t = _mm_mullo_epi16(v, _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xFF), 0xFF));
            // t × 0x8081 ÷ 2^23 is t ÷ 255 truncated for every t = c × a with c and a up to 255
            return _mm_srli_epi16(_mm_mulhi_epu16(t, reciprocal), 7);
        };
        for (; i + 16 <= row.size(); i += 16) {
            const __m128i v = Load(row, i);
            const __m128i q = _mm_packus_epi16(times(_mm_unpacklo_epi8(v, zero)), times(_mm_unpackhi_epi8(v, zero)));
            Store(row, i, _mm_or_si128(_mm_andnot_si128(alphaBytes, q), _mm_and_si128(alphaBytes, v)));
        }
#endif
        for (; i < row.size(); i += 4) {
            const unsigned a = row[i + 3];
            for (std::size_t c = 0; c < 3; ++c)
                row[i + c] = static_cast<std::uint8_t>(row[i + c] * a / 255);
        }
    }
}

// What a run of pixels holds, found without stopping: alpha-0 and alpha-255 counts, whether any
// colour exceeds its pixel's alpha (so also any transparent pixel with colour), any alpha not 0.
struct RunFacts {
    std::uint64_t zeros = 0, opaque = 0;
    bool above = false, visible = false;
};

RunFacts Facts(std::span<const std::uint8_t> run)
{
    RunFacts f;
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi32(255);
    __m128i zeros = zero, opaque = zero, above = zero, visible = zero;
    for (; i + 16 <= run.size(); i += 16) {
        const __m128i v = Load(run, i);
        const __m128i a = _mm_srli_epi32(v, 24);
        const __m128i a2 = _mm_or_si128(a, _mm_slli_epi32(a, 8));
        // A colour byte above the alpha copied to all four bytes survives the saturating subtraction.
        above = _mm_or_si128(above, _mm_subs_epu8(v, _mm_or_si128(a2, _mm_slli_epi32(a2, 16))));
        visible = _mm_or_si128(visible, a);
        zeros = _mm_sub_epi32(zeros, _mm_cmpeq_epi32(a, zero));
        opaque = _mm_sub_epi32(opaque, _mm_cmpeq_epi32(a, full));
    }
    alignas(16) std::uint32_t lanes[2][4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes[0]), zeros);
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes[1]), opaque);
    for (int k = 0; k < 4; ++k) {
        f.zeros += lanes[0][k];
        f.opaque += lanes[1][k];
    }
    f.above = _mm_movemask_epi8(_mm_cmpeq_epi8(above, zero)) != 0xFFFF;
    f.visible = _mm_movemask_epi8(_mm_cmpeq_epi8(visible, zero)) != 0xFFFF;
#endif
    for (; i < run.size(); i += 4) {
        const std::uint8_t a = run[i + 3];
        f.zeros += a == 0;
        f.opaque += a == 255;
        f.above |= run[i] > a || run[i + 1] > a || run[i + 2] > a;
        f.visible |= a != 0;
    }
    return f;
}

// The scan's rules pixel by pixel, for a run that may change its state.
void ScanExact(std::span<const std::uint8_t> run, Scan& state, std::uint64_t& zeros, std::uint64_t& opaque)
{
    for (std::size_t i = 0; i < run.size(); i += 4) {
        const std::uint8_t a = run[i + 3];
        if (a == 0) {
            if (state == Scan::Nothing && (run[i] | run[i + 1] | run[i + 2]) != 0)
                state = Scan::TransparentColour;
            ++zeros;
        } else if (a == 255) {
            if (state == Scan::TransparentColour) {
                state = Scan::Straight;
                return;
            }
            ++opaque;
        } else if (state == Scan::TransparentColour || run[i] > a || run[i + 1] > a || run[i + 2] > a) {
            state = Scan::Straight;
            return;
        }
    }
}

} // namespace

AlphaAnalysis AnalyseAlphaChannel(const PixelView& pixels, bool premultiply, int imageTypeIn)
{
    AlphaAnalysis result;
    if (imageTypeIn == imgNone) {
        if (premultiply)
            SetOpaque(pixels);
        return result;
    }
    Scan state = Scan::Nothing;
    std::uint64_t zeros = 0, opaque = 0;
    // Runs that cannot change the state are only counted: in the first state one without a colour
    // above its alpha, in the second one that is wholly transparent.
    constexpr std::size_t kRun = 256; // bytes: 64 pixels
    for (int y = 0; y < pixels.Height() && state != Scan::Straight; ++y) {
        const auto row = pixels.Row(y);
        for (std::size_t at = 0; at < row.size() && state != Scan::Straight; at += kRun) {
            const auto run = row.subspan(at, std::min(kRun, row.size() - at));
            const RunFacts f = Facts(run);
            if (state == Scan::Nothing ? f.above : f.visible) {
                ScanExact(run, state, zeros, opaque);
                continue;
            }
            zeros += f.zeros;
            opaque += f.opaque;
        }
    }
    const std::uint64_t count = static_cast<std::uint64_t>(pixels.Width()) * static_cast<std::uint64_t>(pixels.Height());
    if (zeros == count || opaque == count) {
        result.allTransparent = zeros == count && count != 0;
        if (premultiply && opaque != count)
            SetOpaque(pixels);
        return result;
    }
    result.hasAlpha = true;
    if (state == Scan::Nothing) {
        result.imageType = imgBitmapPremultiplied;
        return result;
    }
    result.imageType = imgBitmapStraightAlpha;
    if (premultiply)
        Premultiply(pixels);
    return result;
}

} // namespace imaging
