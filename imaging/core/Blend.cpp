#include "imaging/core/Blend.h"

#include "imaging/core/GrayWeights.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/core/BlendKernel.h"

namespace imaging {

std::optional<Bgr24View> Bgr24View::Over(std::span<std::uint8_t> bytes, int width, int height, std::size_t stride)
{
    if (!RowsFit(bytes.size(), width, height, stride, 3))
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

#if defined(VANTOREL_SSE2)
// Four pixels at a time onto 32-bit pixels in colour; groups that hold a colour above its
// alpha, and the last pixels, go through the scalar loop.
template <bool Full>
VANTOREL_TARGET_SSE2 __attribute__((noinline)) void BlendFours(const std::uint8_t* s, std::uint8_t* d, std::size_t pixels,
                                                                const Params& p)
{
    const sse2::Opacity opacity(p.opacity);
    std::size_t i = 0;
    for (; i + 4 <= pixels; i += 4)
        if (!sse2::OverFour<Full>(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i * 4)), d + i * 4, opacity))
            BlendScalar<true, false, Full>(s + i * 4, d + i * 4, 4, p);
    BlendScalar<true, false, Full>(s + i * 4, d + i * 4, pixels - i, p);
}

// Eight pixels at a time where they are all clear, all opaque or none clear; the others four
// at a time.
template <bool Full>
VANTOREL_TARGET_SSE2 void BlendColour32(const std::uint8_t* s, std::uint8_t* d, std::size_t pixels, const Params& p)
{
    const sse2::Opacity opacity(p.opacity);
    for (const std::uint8_t* const end = s + pixels / 8 * 32; s != end; s += 32, d += 32)
        if (!sse2::OverEight<Full>(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s)),
                                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16)), d, opacity))
            BlendFours<Full>(s, d, 8, p);
    BlendFours<Full>(s, d, pixels % 8, p);
}
#endif

#if defined(VANTOREL_AVX2)
// Eight pixels at a time; the last ones, fewer than eight, as the four-pixel loop takes them.
template <bool Full>
VANTOREL_TARGET_AVX2 void BlendColour32Wide(const std::uint8_t* s, std::uint8_t* d, std::size_t pixels, const Params& p)
{
    const avx2::Opacity opacity = avx2::MakeOpacity(p.opacity);
    std::size_t i = 0;
    for (; i + 8 <= pixels; i += 8)
        if (!avx2::OverEight<Full>(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i * 4)), d + i * 4, opacity))
            BlendScalar<true, false, Full>(s + i * 4, d + i * 4, 8, p);
    // The upper halves cleared before code without VEX runs: dirty ones slow each of its instructions.
    _mm256_zeroupper();
    BlendColour32<Full>(s + i * 4, d + i * 4, pixels - i, p);
}
#endif

} // namespace

Blender::Blender(int opacity, int grayScale)
{
    const GrayWeights w = GrayWeightsForMode(grayScale);
    params_ = {static_cast<unsigned>(std::clamp(opacity, 0, 255)), w.blue, w.green, w.red};
    colour_ = grayScale == -1;
    const bool grey = !colour_, full = params_.opacity == 255;
    if (grey) {
        loop32_ = full ? BlendScalar<true, true, true> : BlendScalar<true, true, false>;
        loop24_ = full ? BlendScalar<false, true, true> : BlendScalar<false, true, false>;
    } else {
        loop32_ = full ? BlendScalar<true, false, true> : BlendScalar<true, false, false>;
#if defined(VANTOREL_SSE2)
        if (simd::Sse2())
            loop32_ = full ? BlendColour32<true> : BlendColour32<false>;
#endif
#if defined(VANTOREL_AVX2)
        if (simd::Avx2())
            loop32_ = full ? BlendColour32Wide<true> : BlendColour32Wide<false>;
#endif
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
