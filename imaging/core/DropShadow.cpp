#include "imaging/core/DropShadow.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace imaging {

int ShadowMargin(int blurDepth) { return std::clamp(blurDepth, 0, 10); }

bool BlurShadow(const PixelView& source, int margin, std::uint32_t colour, const PixelView& shadow)
{
    if (margin < 0 || margin > 10)
        return false;
    const int depth = 2 * margin, width = source.Width(), height = source.Height();
    if (width < 1 || height < 1 || std::int64_t{shadow.Width()} != std::int64_t{width} + depth ||
        std::int64_t{shadow.Height()} != std::int64_t{height} + depth)
        return false;

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
