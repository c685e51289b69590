#include "imaging/core/DropShadow.h"

#include "imaging/core/Simd.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace imaging {

namespace {

#if defined(VANTOREL_AVX2)
// The eight-pixel loops keep the column sums as the four-pixel ones do; the running sum along
// a row becomes a prefix sum of C[k] - C[k - box], eight columns at a time; the division is one
// in single precision and the colour a multiplication in 16-bit lanes.
struct WideShadow {
    __m256 inverse;
    __m256i full, opaque, scales, bumps, spreadLow, spreadHigh;
};

VANTOREL_TARGET_AVX2 inline __m256i Eight(const std::uint8_t* pixels)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels));
}

// Adds row `in` to the column sums and takes row `out` away.
template <bool In, bool Out>
VANTOREL_TARGET_AVX2 void UpdateColumns(const std::uint8_t* in, const std::uint8_t* out, std::size_t width,
                                        std::uint32_t* columns)
{
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    std::size_t x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m256i added = In ? Eight(in + x * 4) : _mm256_setzero_si256();
        const __m256i taken = Out ? Eight(out + x * 4) : _mm256_setzero_si256();
        // Rows of the same alpha, as inside and around most pictures, leave the sums alone.
        if (In && Out && _mm256_testz_si256(_mm256_xor_si256(added, taken), alphaMask))
            continue;
        auto* at = reinterpret_cast<__m256i*>(columns + x);
        const __m256i change = _mm256_sub_epi32(_mm256_srli_epi32(added, 24), _mm256_srli_epi32(taken, 24));
        _mm256_storeu_si256(at, _mm256_add_epi32(_mm256_loadu_si256(at), change));
    }
    for (; x < width; ++x)
        columns[x] += std::uint32_t{In ? in[x * 4 + 3] : 0u} - (Out ? out[x * 4 + 3] : 0u);
}

VANTOREL_TARGET_AVX2 inline __m256i Coloured(__m256i sum, const WideShadow& w)
{
    if (_mm256_testz_si256(sum, sum))
        return sum;
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(sum, w.full)) == -1)
        return w.opaque;
    const __m256i a = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(sum), w.inverse));
    const __m256i lo = _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_shuffle_epi8(a, w.spreadLow), w.bumps), w.scales);
    const __m256i hi = _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_shuffle_epi8(a, w.spreadHigh), w.bumps), w.scales);
    return _mm256_packus_epi16(lo, hi);
}

// The running box sum along a row: the carry holds the sum up to the last group in every lane.
// Where the column sums stay level, as around and inside most pictures, eight boxes in a row
// hold that same sum, and their pixels are made once for the run.
struct RowRun {
    __m256i carry, level;
    bool levelMade;
};

// The next eight pixels from the column sums, which have `box` zeros before them and zeros
// after them up to the next eight. Each group's own prefix comes first; only the carry from
// group to group waits on the one before.
VANTOREL_TARGET_AVX2 inline __m256i NextEight(const std::uint32_t* columns, std::size_t box, const WideShadow& w,
                                              RowRun& run)
{
    __m256i v = _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns)),
                                 _mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns - box)));
    if (_mm256_testz_si256(v, v)) {
        if (!run.levelMade) {
            run.level = Coloured(run.carry, w);
            run.levelMade = true;
        }
        return run.level;
    }
    v = _mm256_add_epi32(v, _mm256_slli_si256(v, 4));
    v = _mm256_add_epi32(v, _mm256_slli_si256(v, 8));
    const __m256i lowTotal = _mm256_shuffle_epi32(v, 0xFF);
    v = _mm256_add_epi32(v, _mm256_permute2x128_si256(lowTotal, lowTotal, 0x08));
    const __m256i sum = _mm256_add_epi32(v, run.carry);
    run.carry = _mm256_add_epi32(run.carry, _mm256_permutevar8x32_epi32(v, _mm256_set1_epi32(7)));
    run.levelMade = false;
    return Coloured(sum, w);
}

VANTOREL_TARGET_AVX2 void ShadowRow(const std::uint32_t* columns, std::size_t box, std::size_t total,
                                    const WideShadow& w, std::uint8_t* target)
{
    RowRun run{_mm256_setzero_si256(), _mm256_setzero_si256(), false};
    std::size_t k = 0;
    for (; k + 8 <= total; k += 8)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + k * 4), NextEight(columns + k, box, w, run));
    if (k < total) {
        std::uint8_t rest[32];
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(rest), NextEight(columns + k, box, w, run));
        std::memcpy(target + k * 4, rest, (total - k) * 4);
    }
}

VANTOREL_TARGET_AVX2 void BlurWide(const PixelView& source, int depth, std::uint32_t colour, const PixelView& shadow)
{
    const int width = source.Width(), height = source.Height();
    const std::size_t total = static_cast<std::size_t>(width) + static_cast<std::size_t>(depth);
    const std::size_t box = static_cast<std::size_t>(depth) + 1, padded = (total + 7) & ~std::size_t{7};
    std::vector<std::uint32_t> sums(box + padded, 0);
    std::uint32_t* columns = sums.data() + box;

    WideShadow w;
    // 1 / area rounded up: the product then never falls below a whole quotient, and its error
    // stays below 2^-14, under the 1 / area that separates any other quotient from the next.
    const auto area = static_cast<float>(box * box);
    float up = 1.0f / area;
    if (static_cast<double>(up) * area < 1.0)
        up = std::nextafter(up, 1.0f);
    w.inverse = _mm256_set1_ps(up);
    w.full = _mm256_set1_epi32(static_cast<int>(255 * box * box));
    w.opaque = _mm256_set1_epi32(
        static_cast<int>((colour >> 16 & 255) | (colour & 0xFF00) | (colour & 255) << 16 | 0xFF000000u));
    // c × a \ 255 is the high half of (a + e) × m, m = ceil(c × 65536 / 255) and e = 0 for c below
    // 255 (the error a × (m - c × 65536 / 255) / 65536 stays under the 1 / 255 between quotients),
    // m = 65535 and e = 1 for 255; the alpha lane is such a 255.
    // Unaligned loads: 64-bit Windows does not align the stack to 32 bytes.
    std::uint16_t scale[16], bump[16];
    for (int lane = 0; lane < 16; ++lane) {
        const std::uint32_t c = lane % 4 == 3 ? 255 : (colour >> (16 - 8 * (lane % 4))) & 255;
        scale[lane] = static_cast<std::uint16_t>(c == 255 ? 65535 : (c * 65536 + 254) / 255);
        bump[lane] = c == 255;
    }
    w.scales = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(scale));
    w.bumps = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bump));
    // Each pixel's alpha, the low byte of its 32-bit lane, into the four 16-bit lanes of its
    // channels: pixels 0, 1 (and 4, 5) by the first shuffle, 2, 3 (and 6, 7) by the second.
    w.spreadLow = _mm256_setr_epi8(0, -1, 0, -1, 0, -1, 0, -1, 4, -1, 4, -1, 4, -1, 4, -1, 0, -1, 0, -1, 0, -1, 0, -1, 4,
                                   -1, 4, -1, 4, -1, 4, -1);
    w.spreadHigh = _mm256_setr_epi8(8, -1, 8, -1, 8, -1, 8, -1, 12, -1, 12, -1, 12, -1, 12, -1, 8, -1, 8, -1, 8, -1, 8,
                                    -1, 12, -1, 12, -1, 12, -1, 12, -1);

    const auto sourceWidth = static_cast<std::size_t>(width);
    for (int i = 0; i < height + depth; ++i) {
        const int gone = i - depth - 1;
        const std::uint8_t* in = i < height ? source.Row(i).data() : nullptr;
        const std::uint8_t* out = gone >= 0 && gone < height ? source.Row(gone).data() : nullptr;
        if (in && out)
            UpdateColumns<true, true>(in, out, sourceWidth, columns);
        else if (in)
            UpdateColumns<true, false>(in, out, sourceWidth, columns);
        else if (out)
            UpdateColumns<false, true>(in, out, sourceWidth, columns);
        ShadowRow(columns, box, total, w, shadow.Row(i).data());
    }
}
#endif

} // namespace

int ShadowMargin(int blurDepth) { return std::clamp(blurDepth, 0, 10); }

bool BlurShadow(const PixelView& source, int margin, std::uint32_t colour, const PixelView& shadow)
{
    if (margin < 0 || margin > 10)
        return false;
    const int depth = 2 * margin, width = source.Width(), height = source.Height();
    if (width < 1 || height < 1 || std::int64_t{shadow.Width()} != std::int64_t{width} + depth ||
        std::int64_t{shadow.Height()} != std::int64_t{height} + depth)
        return false;

#if defined(VANTOREL_AVX2)
    if (simd::Avx2()) {
        BlurWide(source, depth, colour, shadow);
        return true;
    }
#endif
    const std::uint32_t area = static_cast<std::uint32_t>((depth + 1) * (depth + 1));
    // Sums stay below 2^17, so this reciprocal divides exactly: its error stays under the
    // 1/area gap between a fraction and the next whole number.
    const std::uint64_t reciprocal = (std::uint64_t{1} << 40) / area + 1;
    const std::uint32_t red = colour & 255, green = (colour >> 8) & 255, blue = (colour >> 16) & 255;
    std::uint32_t premultiplied[256];
    premultiplied[0] = 0;
    for (std::uint32_t a = 1; a < 256; ++a)
        premultiplied[a] = (blue * a / 255) | (green * a / 255) << 8 | (red * a / 255) << 16 | a << 24;
    premultiplied[255] = blue | green << 8 | red << 16 | 0xFF000000u;

    // Column sums over the box's rows, kept down the picture; the columns past the source stay 0.
    std::vector<std::uint32_t> columns(static_cast<std::size_t>(width) + static_cast<std::size_t>(depth), 0);
    for (int i = 0; i < height + depth; ++i) {
        const int gone = i - depth - 1;
        const std::uint8_t* in = i < height ? source.Row(i).data() : nullptr;
        const std::uint8_t* out = gone >= 0 && gone < height ? source.Row(gone).data() : nullptr;
        std::uint32_t* sums = columns.data();
        int x = 0;
#if defined(__SSE2__)
        // Four columns at a time: the alpha bytes shifted down in 32-bit lanes.
        const auto alpha = [](const std::uint8_t* row, int at) {
            return row ? _mm_srli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + at * 4)), 24)
                       : _mm_setzero_si128();
        };
        for (; x + 4 <= width; x += 4) {
            auto* at = reinterpret_cast<__m128i*>(sums + x);
            _mm_storeu_si128(at, _mm_add_epi32(_mm_loadu_si128(at), _mm_sub_epi32(alpha(in, x), alpha(out, x))));
        }
#endif
        for (; x < width; ++x)
            sums[x] += std::uint32_t{in ? in[x * 4 + 3] : 0u} - (out ? out[x * 4 + 3] : 0u);
        // The running sum along the row in two halves at once: each step waits only on its own
        // half's previous one.
        auto* target = shadow.Row(i).data();
        const std::size_t total = columns.size(), box = static_cast<std::size_t>(depth) + 1;
        const std::size_t half = std::max(box, total / 2);
        const auto put = [&](std::size_t k, std::uint32_t sum) {
            const std::uint32_t value = premultiplied[(sum * reciprocal) >> 40];
            std::memcpy(target + k * 4, &value, 4);
        };
        std::uint32_t low = 0, high = 0;
        for (std::size_t k = 0; k < box && k < total; ++k) {
            low += sums[k];
            put(k, low);
        }
        for (std::size_t k = half - box; k < half; ++k)
            high += sums[k];
        std::size_t k = box, j = half;
        for (; k < half && j < total; ++k, ++j) {
            low += sums[k] - sums[k - box];
            high += sums[j] - sums[j - box];
            put(k, low);
            put(j, high);
        }
        for (; k < half; ++k) {
            low += sums[k] - sums[k - box];
            put(k, low);
        }
        for (; j < total; ++j) {
            high += sums[j] - sums[j - box];
            put(j, high);
        }
    }
    return true;
}

} // namespace imaging
