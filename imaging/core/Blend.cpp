#include "imaging/core/Blend.h"

#include "imaging/core/GrayWeights.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace imaging {

std::optional<Bgr24View> Bgr24View::Over(std::span<std::uint8_t> bytes, int width, int height, std::size_t stride)
{
    if (width < 0 || height < 0)
        return std::nullopt;
    const auto rowBytes = static_cast<std::uint64_t>(width) * 3;
    if (height > 0 && stride < rowBytes)
        return std::nullopt;
    const std::uint64_t rows = height == 0 ? 0 : static_cast<std::uint64_t>(height - 1);
    if (rows != 0 && stride > (UINT64_MAX - rowBytes) / rows)
        return std::nullopt;
    const std::uint64_t need = height == 0 ? 0 : stride * rows + rowBytes;
    if (need > bytes.size())
        return std::nullopt;
    return Bgr24View(bytes, width, height, stride);
}

int RoundHalfEven(float value)
{
    const float down = std::floor(value);
    const float rest = value - down;
    int rounded = static_cast<int>(down);
    if (rest > 0.5f || (rest == 0.5f && (rounded & 1)))
        ++rounded;
    return rounded;
}

int GreyOf(unsigned blue, unsigned green, unsigned red, const Blender::Params& params)
{
    const float sum = static_cast<float>(blue) * params.wBlue + static_cast<float>(green) * params.wGreen +
                      static_cast<float>(red) * params.wRed;
    return RoundHalfEven(sum);
}

namespace {

using Params = Blender::Params;

// A result above 255 only comes from a colour above its alpha: the target byte keeps its value.
inline void Put(std::uint8_t& target, unsigned value)
{
    if (value <= 255)
        target = static_cast<std::uint8_t>(value);
}

template <bool Host, bool Grey, bool Full>
inline void BlendPixel(const std::uint8_t* s, std::uint8_t* d, const Params& p)
{
    constexpr int channels = Host ? 4 : 3;
    const unsigned a = s[3];
    if (a == 0)
        return;
    if constexpr (Full && !Grey) {
        if (a == 255) {
            std::memcpy(d, s, channels);
            return;
        }
        const unsigned rest = 255 - a;
        for (int c = 0; c < channels; ++c)
            Put(d[c], d[c] * rest / 255 + s[c]);
    } else if constexpr (Full) {
        const unsigned g = static_cast<unsigned>(GreyOf(s[0], s[1], s[2], p)) & 255;
        if (a == 255) {
            d[0] = d[1] = d[2] = static_cast<std::uint8_t>(g);
            if constexpr (Host)
                d[3] = 255;
            return;
        }
        const unsigned rest = 255 - a;
        for (int c = 0; c < 3; ++c)
            Put(d[c], d[c] * rest / 255 + g);
        if constexpr (Host)
            Put(d[3], d[3] * rest / 255 + a);
    } else {
        const unsigned k = p.opacity;
        const unsigned rest = 255 - a * k / 255;
        if constexpr (!Grey) {
            for (int c = 0; c < channels; ++c)
                Put(d[c], (d[c] * rest + s[c] * k) / 255);
        } else {
            const unsigned g = static_cast<unsigned>(GreyOf(s[0], s[1], s[2], p)) & 255;
            for (int c = 0; c < 3; ++c)
                Put(d[c], (d[c] * rest + g * k) / 255);
            if constexpr (Host)
                Put(d[3], (d[3] * rest + a * k) / 255);
        }
    }
}

template <bool Host, bool Grey, bool Full>
void BlendScalar(const std::uint8_t* s, std::uint8_t* d, std::size_t pixels, const Params& p)
{
    constexpr int step = Host ? 4 : 3;
    for (std::size_t i = 0; i < pixels; ++i)
        BlendPixel<Host, Grey, Full>(s + i * 4, d + i * step, p);
}

#if defined(__SSE2__)
// Two pixels in 16-bit lanes. x / 255 for x up to 65535 is (x × 0x8081) >> 23, taken here as
// the high half of the product shifted by 7.
template <bool Full>
inline __m128i BlendTwo(__m128i s, __m128i d, __m128i k)
{
    const __m128i zero = _mm_setzero_si128(), c255 = _mm_set1_epi16(255);
    const __m128i magic = _mm_set1_epi16(static_cast<short>(0x8081));
    const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
    if constexpr (Full) {
        const __m128i t = _mm_mullo_epi16(d, _mm_sub_epi16(c255, a));
        const __m128i v = _mm_add_epi16(_mm_srli_epi16(_mm_mulhi_epu16(t, magic), 7), s);
        const __m128i keep = _mm_or_si128(_mm_cmpgt_epi16(v, c255), _mm_cmpeq_epi16(a, zero));
        return _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, v));
    } else {
        // With every colour at most its alpha, d × rest + s × k stays below 65280.
        const __m128i cut = _mm_srli_epi16(_mm_mulhi_epu16(_mm_mullo_epi16(a, k), magic), 7);
        const __m128i t = _mm_add_epi16(_mm_mullo_epi16(d, _mm_sub_epi16(c255, cut)), _mm_mullo_epi16(s, k));
        return _mm_srli_epi16(_mm_mulhi_epu16(t, magic), 7);
    }
}

// Four pixels at a time onto 32-bit pixels in colour; groups that hold a colour above its
// alpha at partial opacity, and the last pixels, go through the scalar loop.
template <bool Full>
void BlendColour32(const std::uint8_t* s, std::uint8_t* d, std::size_t pixels, const Params& p)
{
    const __m128i zero = _mm_setzero_si128(), alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i k = _mm_set1_epi16(static_cast<short>(p.opacity));
    std::size_t i = 0;
    for (; i + 4 <= pixels; i += 4) {
        const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i * 4));
        const __m128i alpha = _mm_and_si128(src, alphaMask);
        if (Full && _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alphaMask)) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 4), src);
            continue;
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xFFFF)
            continue;
        if constexpr (!Full) {
            const __m128i a32 = _mm_srli_epi32(src, 24);
            __m128i spread = _mm_or_si128(a32, _mm_slli_epi32(a32, 8));
            spread = _mm_or_si128(spread, _mm_slli_epi32(spread, 16));
            if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(src, spread), spread)) != 0xFFFF) {
                BlendScalar<true, false, false>(s + i * 4, d + i * 4, 4, p);
                continue;
            }
        }
        const __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i * 4));
        const __m128i lo = BlendTwo<Full>(_mm_unpacklo_epi8(src, zero), _mm_unpacklo_epi8(dst, zero), k);
        const __m128i hi = BlendTwo<Full>(_mm_unpackhi_epi8(src, zero), _mm_unpackhi_epi8(dst, zero), k);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 4), _mm_packus_epi16(lo, hi));
    }
    BlendScalar<true, false, Full>(s + i * 4, d + i * 4, pixels - i, p);
}
#else
template <bool Full>
void BlendColour32(const std::uint8_t* s, std::uint8_t* d, std::size_t pixels, const Params& p)
{
    BlendScalar<true, false, Full>(s, d, pixels, p);
}
#endif

} // namespace

Blender::Blender(int opacity, int grayScale)
{
    const GrayWeights w = GrayWeightsForMode(grayScale);
    params_ = {static_cast<unsigned>(std::clamp(opacity, 0, 255)), w.blue, w.green, w.red};
    const bool grey = grayScale != -1, full = params_.opacity == 255;
    if (grey) {
        loop32_ = full ? BlendScalar<true, true, true> : BlendScalar<true, true, false>;
        loop24_ = full ? BlendScalar<false, true, true> : BlendScalar<false, true, false>;
    } else {
        loop32_ = full ? BlendColour32<true> : BlendColour32<false>;
        loop24_ = full ? BlendScalar<false, false, true> : BlendScalar<false, false, false>;
    }
}

void Blender::Row(std::span<const std::uint8_t> source, std::span<std::uint8_t> target32) const
{
    loop32_(source.data(), target32.data(), std::min(source.size(), target32.size()) / 4, params_);
}

void Blender::Row24(std::span<const std::uint8_t> source, std::span<std::uint8_t> target24) const
{
    loop24_(source.data(), target24.data(), std::min(source.size() / 4, target24.size() / 3), params_);
}

} // namespace imaging
