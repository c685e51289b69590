#include "imaging/core/Resample.h"

#include "imaging/core/BlendKernel.h"

#include <algorithm>
#include <cstring>

namespace imaging {

namespace {

constexpr int kOne = 128; // weights are sevenths of a bit: a whole pixel weighs 128

// Position `i` of `outSize` steps over `size` source pixels: the whole part and the weight of
// the next pixel, rounded to nearest.
struct Step {
    std::int64_t whole;
    int next;
};
Step StepAt(std::int64_t i, std::int64_t size, std::int64_t outSize)
{
    const std::int64_t n = i * size; // both below 2^31
    const std::int64_t rest = n % outSize;
    return {n / outSize, static_cast<int>((rest * 2 * kOne + outSize) / (2 * outSize))};
}

bool Inside(const PixelRect& r, std::int64_t width, std::int64_t height)
{
    return r.width > 0 && r.height > 0 && r.x >= 0 && r.y >= 0 && std::int64_t{r.x} + r.width <= width &&
           std::int64_t{r.y} + r.height <= height;
}

#if defined(VANTOREL_SSE2)
// Weighted output pixel from the vertical pass: each channel (v[ix] × (128 - w) + v[ix + 1] × w
// + 8192) >> 14, as four 32-bit lanes.
VANTOREL_TARGET_SSE2 inline __m128i WeightedPixel(const std::uint16_t* v, int column, std::uint32_t pair)
{
    const __m128i both = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + static_cast<std::size_t>(column) * 4));
    const __m128i mixed = _mm_unpacklo_epi16(both, _mm_srli_si128(both, 8)); // b0 b1 g0 g1 r0 r1 a0 a1
    const __m128i sum = _mm_madd_epi16(mixed, _mm_set1_epi32(static_cast<int>(pair)));
    return _mm_srai_epi32(_mm_add_epi32(sum, _mm_set1_epi32(1 << 13)), 14);
}

VANTOREL_TARGET_SSE2 inline __m128i WeightedFour(const std::uint16_t* v, const int* columns, const std::uint32_t* pairs)
{
    const __m128i lo = _mm_packs_epi32(WeightedPixel(v, columns[0], pairs[0]), WeightedPixel(v, columns[1], pairs[1]));
    const __m128i hi = _mm_packs_epi32(WeightedPixel(v, columns[2], pairs[2]), WeightedPixel(v, columns[3], pairs[3]));
    return _mm_packus_epi16(lo, hi);
}

inline int PixelAt(const std::uint8_t* row, int column)
{
    int p;
    std::memcpy(&p, row + static_cast<std::size_t>(column) * 4, 4);
    return p;
}

VANTOREL_TARGET_SSE2 inline __m128i NearestFour(const std::uint8_t* row, const int* columns)
{
    return _mm_setr_epi32(PixelAt(row, columns[0]), PixelAt(row, columns[1]), PixelAt(row, columns[2]),
                          PixelAt(row, columns[3]));
}

// The vertical pass over `count` bytes, sixteen at a time; returns how many it did.
VANTOREL_TARGET_SSE2 std::size_t MixRows(const std::uint8_t* low, const std::uint8_t* high, std::uint16_t* v,
                                         std::size_t count, unsigned wLow, unsigned wHigh)
{
    const __m128i zero = _mm_setzero_si128(), lw = _mm_set1_epi16(static_cast<short>(wLow)),
                  hw = _mm_set1_epi16(static_cast<short>(wHigh));
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(low + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(high + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(v + i),
                         _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), lw),
                                       _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), hw)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(v + i + 8),
                         _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), lw),
                                       _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), hw)));
    }
    return i;
}

// Weighted output pixels four at a time; returns how many it made.
VANTOREL_TARGET_SSE2 std::size_t HorizontalFours(const std::uint16_t* v, const int* columns, const std::uint32_t* pairs,
                                                 std::size_t count, std::uint8_t* out)
{
    std::size_t x = 0;
    for (; x + 4 <= count; x += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x * 4), WeightedFour(v, columns + x, pairs + x));
    return x;
}
#endif

} // namespace

std::optional<Scaler> Scaler::Make(const PixelView& source, PixelRect rect, std::int64_t outWidth,
                                   std::int64_t outHeight, PixelRect window, bool weighted)
{
    if (!Inside(rect, source.Width(), source.Height()) || outWidth < 1 || outHeight < 1 || outWidth > INT32_MAX ||
        outHeight > INT32_MAX || !Inside(window, outWidth, outHeight))
        return std::nullopt;
    Scaler s(source, window);
    s.weighted_ = weighted;
    s.sse2_ = simd::Sse2();
    s.identity_ = rect.width == outWidth && rect.height == outHeight;
    const int bottom = source.Height() - rect.height - rect.y; // memory row of the rectangle's bottom
    const auto width = static_cast<std::size_t>(window.width), height = static_cast<std::size_t>(window.height);
    s.rows_.resize(height);
    if (s.identity_) {
        s.firstColumn_ = rect.x + window.x;
        for (std::size_t y = 0; y < height; ++y)
            s.rows_[y] = bottom + rect.height - 1 - (window.y + static_cast<int>(y));
        return s;
    }
    const int lastColumn = rect.x + rect.width - 1, topRow = bottom + rect.height - 1;
    s.columns_.resize(width);
    std::vector<std::uint8_t> next(width);
    int spanEnd = 0;
    for (std::size_t i = 0; i < width; ++i) {
        const Step step = StepAt(window.x + static_cast<std::int64_t>(i), rect.width, outWidth);
        const int ix = rect.x + static_cast<int>(step.whole);
        s.columns_[i] = ix;
        next[i] = static_cast<std::uint8_t>(weighted && ix < lastColumn ? step.next : 0);
        spanEnd = std::max(spanEnd, ix + (next[i] ? 2 : 1));
    }
    s.rowNext_.resize(height);
    for (std::size_t i = 0; i < height; ++i) {
        // Rows count from the bottom: the window's top row is output row outHeight - 1 - window.y.
        const Step step = StepAt(outHeight - 1 - (window.y + static_cast<std::int64_t>(i)), rect.height, outHeight);
        const int iy = bottom + static_cast<int>(step.whole);
        s.rows_[i] = iy;
        s.rowNext_[i] = static_cast<std::uint8_t>(weighted && iy < topRow ? step.next : 0);
    }
    if (!weighted) {
        // Runs of eight that cover the widest group (a group spans at most eight pixels when
        // enlarging, sixteen down to half the size), read from a base that keeps them in the row.
        const std::size_t groups = width / 8;
        int span = 0;
        for (std::size_t g = 0; g < groups; ++g)
            span = std::max(span, s.columns_[g * 8 + 7] - s.columns_[g * 8] + 1);
        const int runs = (span + 7) / 8;
        if (groups == 0 || runs > 3 || runs * 8 > source.Width())
            return s;
        s.nearRuns_ = runs;
        s.nearBase_.resize(groups);
        s.nearOffsets_.resize(groups * 8);
        for (std::size_t i = 0; i < groups * 8; ++i) {
            if (i % 8 == 0)
                s.nearBase_[i / 8] = std::min(s.columns_[i], source.Width() - runs * 8);
            s.nearOffsets_[i] = s.columns_[i] - s.nearBase_[i / 8];
        }
        return s;
    }
    s.spanFirst_ = s.columns_.front();
    s.spanColumns_ = spanEnd - s.spanFirst_;
    s.columnPair_.resize(width);
    for (std::size_t i = 0; i < width; ++i) {
        s.columns_[i] -= s.spanFirst_;
        s.columnPair_[i] = static_cast<std::uint32_t>(kOne - next[i]) | static_cast<std::uint32_t>(next[i]) << 16;
    }
    // One spare pixel, so that a column read with weight 0 stays inside.
    s.vertical_.resize((static_cast<std::size_t>(s.spanColumns_) + 1) * 4);
    return s;
}

std::span<const std::uint8_t> Scaler::Row(int y, std::span<std::uint8_t> scratch) const
{
    const std::size_t width = static_cast<std::size_t>(window_.width);
    if (identity_)
        return source_.Row(rows_[static_cast<std::size_t>(y)]).subspan(static_cast<std::size_t>(firstColumn_) * 4, width * 4);
    std::span<std::uint8_t> out = scratch.first(width * 4);
    if (weighted_) {
        Vertical(y);
        Horizontal(0, width, out.data());
    } else {
        Nearest(y, 0, width, out.data());
    }
    return out;
}

void Scaler::Nearest(int y, std::size_t from, std::size_t count, std::uint8_t* out) const
{
    const std::uint8_t* row = source_.Row(rows_[static_cast<std::size_t>(y)]).data();
    for (std::size_t i = 0; i < count; ++i)
        std::memcpy(out + i * 4, row + static_cast<std::size_t>(columns_[from + i]) * 4, 4);
}

void Scaler::Vertical(int y) const
{
    const auto index = static_cast<std::size_t>(y);
    const int next = rowNext_[index];
    const std::size_t first = static_cast<std::size_t>(spanFirst_) * 4, count = static_cast<std::size_t>(spanColumns_) * 4;
    const std::uint8_t* low = source_.Row(rows_[index]).data() + first;
    // Without weight the row above is not read (it may lie outside the picture).
    const std::uint8_t* high = next ? source_.Row(rows_[index] + 1).data() + first : low;
    std::uint16_t* v = vertical_.data();
    const unsigned wLow = static_cast<unsigned>(kOne - next), wHigh = static_cast<unsigned>(next);
    std::size_t i = 0;
#if defined(VANTOREL_SSE2)
    if (sse2_)
        i = MixRows(low, high, v, count, wLow, wHigh);
#endif
    for (; i < count; ++i)
        v[i] = static_cast<std::uint16_t>(low[i] * wLow + high[i] * wHigh);
}

void Scaler::Horizontal(std::size_t from, std::size_t count, std::uint8_t* out) const
{
    const std::uint16_t* v = vertical_.data();
    std::size_t x = 0;
#if defined(VANTOREL_SSE2)
    if (sse2_)
        x = HorizontalFours(v, columns_.data() + from, columnPair_.data() + from, count, out);
#endif
    for (; x < count; ++x) {
        const std::size_t c = static_cast<std::size_t>(columns_[from + x]) * 4;
        const std::uint32_t pair = columnPair_[from + x], w = pair >> 16, rest = pair & 0xFFFF;
        for (int ch = 0; ch < 4; ++ch)
            out[x * 4 + ch] = static_cast<std::uint8_t>((v[c + ch] * rest + v[c + 4 + ch] * w + (1u << 13)) >> 14);
    }
}

namespace {

template <class Target>
bool Fits(const Scaler& scaler, const Target& target, int x, int y)
{
    return x >= 0 && y >= 0 && std::int64_t{x} + scaler.Width() <= target.Width() &&
           std::int64_t{y} + scaler.Height() <= target.Height();
}

template <class Target, class BlendRow>
void Draw(const Scaler& scaler, const Lightness& light, const Target& target, int x, int y, int bytesPerPixel,
          BlendRow blendRow)
{
    std::vector<std::uint8_t> scratch(static_cast<std::size_t>(scaler.Width()) * 4);
    const std::size_t offset = static_cast<std::size_t>(x) * static_cast<std::size_t>(bytesPerPixel);
    for (int row = scaler.Height() - 1; row >= 0; --row) { // memory order
        std::span<const std::uint8_t> pixels = scaler.Row(row, scratch);
        if (light.Changes()) {
            // Unscaled rows are views into the source: copied first, so that the clear pixels,
            // which the adjustment leaves alone, are this row's and not the last row's.
            if (pixels.data() != scratch.data())
                std::memcpy(scratch.data(), pixels.data(), pixels.size());
            light.Apply(scratch);
            pixels = scratch;
        }
        blendRow(pixels, target.RowFromTop(y + row).subspan(offset));
    }
}

} // namespace

bool ResampleInto(const Scaler& scaler, const PixelView& target, int x, int y)
{
    if (!Fits(scaler, target, x, y))
        return false;
    const std::size_t offset = static_cast<std::size_t>(x) * 4, bytes = static_cast<std::size_t>(scaler.Width()) * 4;
    std::vector<std::uint8_t> scratch(bytes);
    for (int row = scaler.Height() - 1; row >= 0; --row) { // memory order
        const auto pixels = scaler.Row(row, scratch);
        std::memmove(target.RowFromTop(y + row).data() + offset, pixels.data(), bytes);
    }
    return true;
}

struct FusedDraw {
#if defined(VANTOREL_SSE2)
    using Loop = void (*)(const Scaler&, const Blender&, const PixelView&, int, int);

    static void Run(const Scaler& s, const Blender& blender, const PixelView& target, int x, int y)
    {
        const bool full = blender.Opacity() == 255;
#if defined(VANTOREL_AVX2)
        if (simd::Avx2()) {
            // [weighted, then nearest pixel by pixel or from one to three runs][full opacity]
            static constexpr Loop eight[5][2] = {{Eight<false, -1>, Eight<true, -1>}, {Eight<false, 0>, Eight<true, 0>},
                                                 {Eight<false, 1>, Eight<true, 1>}, {Eight<false, 2>, Eight<true, 2>},
                                                 {Eight<false, 3>, Eight<true, 3>}};
            eight[s.weighted_ ? 0 : s.nearRuns_ + 1][full](s, blender, target, x, y);
            return;
        }
#endif
        // [weighted][full opacity]
        static constexpr Loop four[2][2] = {{Four<false, false>, Four<true, false>}, {Four<false, true>, Four<true, true>}};
        four[s.weighted_][full](s, blender, target, x, y);
    }

    template <bool Full, bool Weighted>
    VANTOREL_TARGET_SSE2 static void Four(const Scaler& s, const Blender& blender, const PixelView& target, int x, int y)
    {
        const sse2::Opacity opacity(blender.Opacity());
        const std::size_t width = static_cast<std::size_t>(s.Width());
        // Bottom row first: memory order, which the processor's prefetch follows.
        for (int row = s.Height() - 1; row >= 0; --row) {
            const auto out = target.RowFromTop(y + row).subspan(static_cast<std::size_t>(x) * 4, width * 4);
            const std::uint8_t* source = s.source_.Row(s.rows_[static_cast<std::size_t>(row)]).data();
            const std::uint8_t* next = NextRow(s, row, source);
            if constexpr (Weighted)
                s.Vertical(row);
            std::size_t i = 0;
            for (; i + 8 <= width; i += 8) {
                if constexpr (!Weighted)
                    Prefetch(next, s.columns_[i]);
                const __m128i first = Group<Weighted>(s, source, i), second = Group<Weighted>(s, source, i + 4);
                if (!sse2::OverEight<Full>(first, second, &out[i * 4], opacity))
                    ByFours<Full>(first, second, blender, opacity, out.subspan(i * 4, 32));
            }
            if (i + 4 <= width) {
                const __m128i last = Group<Weighted>(s, source, i);
                if (!sse2::OverFour<Full>(last, &out[i * 4], opacity))
                    Held(last, blender, out.subspan(i * 4, 16));
                i += 4;
            }
            Tail<Weighted>(s, blender, row, i, out);
        }
    }

    // The source row that the next output row (above) reads. Shrunk, it lies rows away, where
    // the processor's own prefetch does not look: each group fetches its part a row ahead.
    static const std::uint8_t* NextRow(const Scaler& s, int row, const std::uint8_t* source)
    {
        return row > 0 ? s.source_.Row(s.rows_[static_cast<std::size_t>(row) - 1]).data() : source;
    }
    VANTOREL_TARGET_SSE2 static void Prefetch(const std::uint8_t* row, int column)
    {
        _mm_prefetch(reinterpret_cast<const char*>(row + static_cast<std::size_t>(column) * 4), _MM_HINT_T0);
    }

    // Output pixels i to i + 3 of the row whose vertical pass (weighted) or source row (nearest) is ready.
    template <bool Weighted>
    VANTOREL_TARGET_SSE2 static __m128i Group(const Scaler& s, const std::uint8_t* source, std::size_t i)
    {
        if constexpr (Weighted)
            return WeightedFour(s.vertical_.data(), &s.columns_[i], &s.columnPair_[i]);
        else
            return NearestFour(source, &s.columns_[i]);
    }

    // Eight pixels four at a time, and by the blend's own rule where a colour lies above its alpha.
    template <bool Full>
    VANTOREL_TARGET_SSE2 __attribute__((noinline)) static void ByFours(__m128i first, __m128i second, const Blender& blender,
                                                                       const sse2::Opacity& opacity,
                                                                       std::span<std::uint8_t> out)
    {
        if (!sse2::OverFour<Full>(first, out.data(), opacity))
            Held(first, blender, out.first(16));
        if (!sse2::OverFour<Full>(second, out.data() + 16, opacity))
            Held(second, blender, out.subspan(16));
    }

    // A group with a colour above its alpha, through the blend's own rule.
    VANTOREL_TARGET_SSE2 static void Held(__m128i pixels, const Blender& blender, std::span<std::uint8_t> out)
    {
        std::uint8_t held[16];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(held), pixels);
        blender.Row(std::span(held).first(out.size()), out);
    }

    // The pixels of a row past its last whole group.
    template <bool Weighted>
    static void Tail(const Scaler& s, const Blender& blender, int row, std::size_t from, std::span<std::uint8_t> out)
    {
        std::uint8_t tail[32];
        const std::size_t count = out.size() / 4 - from;
        if constexpr (Weighted)
            s.Horizontal(from, count, tail);
        else
            s.Nearest(row, from, count, tail);
        blender.Row(std::span(tail).first(count * 4), out.subspan(from * 4));
    }
#endif

#if defined(VANTOREL_AVX2)
    // Eight output columns of a nearest row: from `Runs` runs of eight neighbouring pixels, each
    // put in place by one permutation and the right run's lanes kept; or pixel by pixel, which
    // is quicker than a gather.
    template <int Runs>
    VANTOREL_TARGET_AVX2 static __m256i NearestEight(const Scaler& s, const std::uint8_t* row, std::size_t i)
    {
        if constexpr (Runs == 0) {
            const int* c = &s.columns_[i];
            return _mm256_setr_epi32(PixelAt(row, c[0]), PixelAt(row, c[1]), PixelAt(row, c[2]), PixelAt(row, c[3]),
                                     PixelAt(row, c[4]), PixelAt(row, c[5]), PixelAt(row, c[6]), PixelAt(row, c[7]));
        } else {
            const auto* base = reinterpret_cast<const __m256i*>(row + static_cast<std::size_t>(s.nearBase_[i / 8]) * 4);
            const __m256i offsets = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&s.nearOffsets_[i]));
            __m256i pixels = _mm256_permutevar8x32_epi32(_mm256_loadu_si256(base), offsets);
            // vpermd reads the low three bits of each offset; the next bits say which run.
            for (int run = 1; run < Runs; ++run)
                pixels = _mm256_castps_si256(_mm256_blendv_ps(
                    _mm256_castsi256_ps(pixels),
                    _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(_mm256_loadu_si256(base + run), offsets)),
                    _mm256_castsi256_ps(_mm256_slli_epi32(offsets, run == 1 ? 28 : 27))));
            return pixels;
        }
    }

    // Read: -1 weighted; else nearest, its number of runs (0 pixel by pixel).
    template <bool Full, int Read>
    VANTOREL_TARGET_AVX2 static void Eight(const Scaler& s, const Blender& blender, const PixelView& target, int x, int y)
    {
        constexpr bool weighted = Read < 0;
        const avx2::Opacity opacity = avx2::MakeOpacity(blender.Opacity());
        const std::size_t width = static_cast<std::size_t>(s.Width());
        const int* columns = s.columns_.data();
        // Bottom row first: memory order, which the processor's prefetch follows.
        for (int row = s.Height() - 1; row >= 0; --row) {
            const auto out = target.RowFromTop(y + row).subspan(static_cast<std::size_t>(x) * 4, width * 4);
            const std::uint8_t* source = s.source_.Row(s.rows_[static_cast<std::size_t>(row)]).data();
            const std::uint8_t* next = NextRow(s, row, source);
            if constexpr (weighted) {
                _mm256_zeroupper();
                s.Vertical(row);
            }
            std::size_t i = 0;
            for (; i + 8 <= width; i += 8) {
                __m256i eight;
                if constexpr (weighted) {
                    eight = avx2::Pair(WeightedFour(s.vertical_.data(), columns + i, &s.columnPair_[i]),
                                       WeightedFour(s.vertical_.data(), columns + i + 4, &s.columnPair_[i + 4]));
                } else {
                    Prefetch(next, columns[i]);
                    eight = NearestEight<Read>(s, source, i);
                }
                if (!avx2::OverEight<Full>(eight, &out[i * 4], opacity)) {
                    Held(_mm256_castsi256_si128(eight), blender, out.subspan(i * 4, 16));
                    Held(_mm256_extracti128_si256(eight, 1), blender, out.subspan(i * 4 + 16, 16));
                }
            }
            // Dirty upper halves would slow the code without VEX that follows.
            _mm256_zeroupper();
            Tail<weighted>(s, blender, row, i, out);
        }
    }
#endif
};

bool DrawScaled(const Scaler& scaler, const Lightness& light, const Blender& blender, const PixelView& target, int x,
                int y)
{
    if (!Fits(scaler, target, x, y))
        return false;
#if defined(VANTOREL_SSE2)
    // Scaled colour draws hand each group of pixels straight to the blend, without a row between.
    if (!scaler.identity_ && !light.Changes() && blender.Colour() && simd::Sse2()) {
        FusedDraw::Run(scaler, blender, target, x, y);
        return true;
    }
#endif
    Draw(scaler, light, target, x, y, 4, [&](auto s, auto d) { blender.Row(s, d); });
    return true;
}

bool DrawScaled(const Scaler& scaler, const Lightness& light, const Blender& blender, const Bgr24View& target, int x,
                int y)
{
    if (!Fits(scaler, target, x, y))
        return false;
    Draw(scaler, light, target, x, y, 3, [&](auto s, auto d) { blender.Row24(s, d); });
    return true;
}

} // namespace imaging
