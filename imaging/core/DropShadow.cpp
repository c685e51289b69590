#include "imaging/core/DropShadow.h"

#include <algorithm>
#include <cstring>
#include <vector>

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
        if (i < height) {
            const std::uint8_t* in = source.Row(i).data();
            for (int x = 0; x < width; ++x)
                columns[static_cast<std::size_t>(x)] += in[x * 4 + 3];
        }
        if (const int gone = i - depth - 1; gone >= 0 && gone < height) {
            const std::uint8_t* in = source.Row(gone).data();
            for (int x = 0; x < width; ++x)
                columns[static_cast<std::size_t>(x)] -= in[x * 4 + 3];
        }
        std::uint8_t* out = shadow.Row(i).data();
        std::uint32_t sum = 0;
        const auto put = [&](std::size_t k) {
            const std::uint32_t value = premultiplied[(sum * reciprocal) >> 40];
            std::memcpy(out + k * 4, &value, 4);
        };
        const std::size_t total = columns.size(), box = static_cast<std::size_t>(depth) + 1;
        std::size_t k = 0;
        for (; k < box && k < total; ++k) {
            sum += columns[k];
            put(k);
        }
        for (; k < total; ++k) {
            sum += columns[k] - columns[k - box];
            put(k);
        }
    }
    return true;
}

} // namespace imaging
