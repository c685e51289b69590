#include "imaging/core/Resample.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

} // namespace

std::optional<Scaler> Scaler::Make(const PixelView& source, PixelRect rect, std::int64_t outWidth,
                                   std::int64_t outHeight, PixelRect window, bool weighted)
{
    if (!Inside(rect, source.Width(), source.Height()) || outWidth < 1 || outHeight < 1 || outWidth > INT32_MAX ||
        outHeight > INT32_MAX || !Inside(window, outWidth, outHeight))
        return std::nullopt;
    Scaler s(source, window);
    s.weighted_ = weighted;
    s.identity_ = rect.width == outWidth && rect.height == outHeight;
    const int bottom = source.Height() - rect.height - rect.y; // memory row of the rectangle's bottom
    if (s.identity_) {
        s.firstColumn_ = rect.x + window.x;
        s.rows_.resize(static_cast<std::size_t>(window.height));
        for (int y = 0; y < window.height; ++y)
            s.rows_[static_cast<std::size_t>(y)] = bottom + rect.height - 1 - (window.y + y);
        return s;
    }
    const int lastColumn = rect.x + rect.width - 1, topRow = bottom + rect.height - 1;
    s.columns_.resize(static_cast<std::size_t>(window.width));
    s.columnNext_.resize(s.columns_.size());
    for (int i = 0; i < window.width; ++i) {
        const Step step = StepAt(window.x + i, rect.width, outWidth);
        const int ix = rect.x + static_cast<int>(step.whole);
        s.columns_[static_cast<std::size_t>(i)] = ix;
        s.columnNext_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(weighted && ix < lastColumn ? step.next : 0);
    }
    s.rows_.resize(static_cast<std::size_t>(window.height));
    s.rowNext_.resize(s.rows_.size());
    for (int i = 0; i < window.height; ++i) {
        // Rows count from the bottom: the window's top row is output row outHeight - 1 - window.y.
        const Step step = StepAt(outHeight - 1 - (window.y + i), rect.height, outHeight);
        const int iy = bottom + static_cast<int>(step.whole);
        s.rows_[static_cast<std::size_t>(i)] = iy;
        s.rowNext_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(weighted && iy < topRow ? step.next : 0);
    }
    s.spanFirst_ = s.columns_.front();
    int spanEnd = 0;
    for (std::size_t i = 0; i < s.columns_.size(); ++i)
        spanEnd = std::max(spanEnd, s.columns_[i] + (s.columnNext_[i] ? 2 : 1));
    s.spanColumns_ = spanEnd - s.spanFirst_;
    if (weighted) // one spare pixel, so a column read with weight 0 stays inside
        s.vertical_.resize((static_cast<std::size_t>(s.spanColumns_) + 1) * 4);
    return s;
}

std::span<const std::uint8_t> Scaler::Row(int y, std::span<std::uint8_t> scratch) const
{
    const std::size_t rowBytes = static_cast<std::size_t>(window_.width) * 4;
    const int memoryRow = rows_[static_cast<std::size_t>(y)];
    if (identity_)
        return source_.Row(memoryRow).subspan(static_cast<std::size_t>(firstColumn_) * 4, rowBytes);
    std::span<std::uint8_t> out = scratch.first(rowBytes);
    if (weighted_) {
        Weighted(y, out);
        return out;
    }
    const std::uint8_t* from = source_.Row(memoryRow).data();
    for (std::size_t i = 0; i < columns_.size(); ++i)
        std::memcpy(&out[i * 4], from + static_cast<std::size_t>(columns_[i]) * 4, 4);
    return out;
}

void Scaler::Weighted(int y, std::span<std::uint8_t> out) const
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
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), lw = _mm_set1_epi16(static_cast<short>(wLow)),
                  hw = _mm_set1_epi16(static_cast<short>(wHigh));
    for (; i + 16 <= count; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(low + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(high + i));
        const __m128i l = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), lw),
                                        _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), hw));
        const __m128i h = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), lw),
                                        _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), hw));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(v + i), l);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(v + i + 8), h);
    }
#endif
    for (; i < count; ++i)
        v[i] = static_cast<std::uint16_t>(low[i] * wLow + high[i] * wHigh);

    // Horizontal: each output channel is (v[ix] × (128 - w) + v[ix + 1] × w + 8192) >> 14.
    std::uint8_t* o = out.data();
    const std::size_t n = columns_.size();
    std::size_t x = 0;
#if defined(__SSE2__)
    const __m128i half = _mm_set1_epi32(1 << 13);
    auto pixel = [&](std::size_t at) {
        const std::size_t c = static_cast<std::size_t>(columns_[at] - spanFirst_) * 4;
        const __m128i pair = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + c));
        const __m128i mixed = _mm_unpacklo_epi16(pair, _mm_srli_si128(pair, 8)); // b0 b1 g0 g1 r0 r1 a0 a1
        const int w = columnNext_[at];
        const __m128i weights = _mm_set1_epi32(static_cast<int>(static_cast<unsigned>(kOne - w) | (static_cast<unsigned>(w) << 16)));
        return _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(mixed, weights), half), 14);
    };
    for (; x + 4 <= n; x += 4) {
        const __m128i lo = _mm_packs_epi32(pixel(x), pixel(x + 1));
        const __m128i hi = _mm_packs_epi32(pixel(x + 2), pixel(x + 3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o + x * 4), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; x < n; ++x) {
        const std::size_t c = static_cast<std::size_t>(columns_[x] - spanFirst_) * 4;
        const unsigned w = columnNext_[x], rest = kOne - w;
        for (int ch = 0; ch < 4; ++ch)
            o[x * 4 + ch] = static_cast<std::uint8_t>((v[c + ch] * rest + v[c + 4 + ch] * w + (1u << 13)) >> 14);
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
bool Draw(const Scaler& scaler, const Lightness& light, const Target& target, int x, int y, int bytesPerPixel,
          BlendRow blendRow)
{
    if (!Fits(scaler, target, x, y))
        return false;
    std::vector<std::uint8_t> scratch(static_cast<std::size_t>(scaler.Width()) * 4);
    const std::size_t offset = static_cast<std::size_t>(x) * static_cast<std::size_t>(bytesPerPixel);
    for (int row = 0; row < scaler.Height(); ++row) {
        std::span<const std::uint8_t> pixels = scaler.Row(row, scratch);
        if (light.Changes()) {
            light.Apply(pixels, scratch);
            pixels = scratch;
        }
        blendRow(pixels, target.RowFromTop(y + row).subspan(offset));
    }
    return true;
}

} // namespace

bool ResampleInto(const Scaler& scaler, const PixelView& target, int x, int y)
{
    if (!Fits(scaler, target, x, y))
        return false;
    const std::size_t offset = static_cast<std::size_t>(x) * 4, bytes = static_cast<std::size_t>(scaler.Width()) * 4;
    std::vector<std::uint8_t> scratch(bytes);
    for (int row = 0; row < scaler.Height(); ++row) {
        const auto pixels = scaler.Row(row, scratch);
        std::memmove(target.RowFromTop(y + row).data() + offset, pixels.data(), bytes);
    }
    return true;
}

bool DrawScaled(const Scaler& scaler, const Lightness& light, const Blender& blender, const PixelView& target, int x,
                int y)
{
    return Draw(scaler, light, target, x, y, 4, [&](auto s, auto d) { blender.Row(s, d); });
}

bool DrawScaled(const Scaler& scaler, const Lightness& light, const Blender& blender, const Bgr24View& target, int x,
                int y)
{
    return Draw(scaler, light, target, x, y, 3, [&](auto s, auto d) { blender.Row24(s, d); });
}

} // namespace imaging
