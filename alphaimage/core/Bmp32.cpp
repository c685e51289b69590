#include "alphaimage/core/Bmp32.h"

#include <algorithm>
#include <cstring>

namespace aic {

namespace {

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// Premultiplied pixels never hold a colour brighter than their alpha; any that does says the
// file's colours are straight.
void IntoConvention(std::vector<std::uint8_t>& px)
{
    bool anyAlpha = false, straight = false;
    for (std::size_t i = 0; i < px.size(); i += 4) {
        const std::uint8_t a = px[i + 3];
        anyAlpha |= a != 0;
        straight |= px[i] > a || px[i + 1] > a || px[i + 2] > a;
    }
    if (!anyAlpha) {
        for (std::size_t i = 3; i < px.size(); i += 4)
            px[i] = 255;
        return;
    }
    if (!straight)
        return;
    for (std::size_t i = 0; i < px.size(); i += 4) {
        const unsigned a = px[i + 3];
        if (a == 255)
            continue;
        for (std::size_t c = 0; c < 3; ++c)
            px[i + c] = static_cast<std::uint8_t>(px[i + c] * a / 255);
    }
}

} // namespace

std::optional<PremultipliedImage> ReadBmp32(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 34 || bytes[0] != 'B' || bytes[1] != 'M')
        return std::nullopt;
    const std::uint32_t offset = U32(bytes, 10);
    const auto width = static_cast<std::int32_t>(U32(bytes, 18));
    const auto height = static_cast<std::int32_t>(U32(bytes, 22));
    const unsigned bits = static_cast<unsigned>(bytes[28]) | static_cast<unsigned>(bytes[29]) << 8;
    if (width < 1 || height == 0 || height == INT32_MIN || bits != 32 || U32(bytes, 30) != 0)
        return std::nullopt;
    const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -static_cast<std::int64_t>(height) : height);
    const std::uint64_t stride = static_cast<std::uint64_t>(width) * 4;
    if (offset > bytes.size() || (bytes.size() - offset) / stride < rows)
        return std::nullopt;

    PremultipliedImage img;
    img.width = width;
    img.height = static_cast<int>(rows);
    img.pixels.resize(static_cast<std::size_t>(stride * rows));
    for (std::uint64_t r = 0; r < rows; ++r) {
        // A positive height stores the bottom row first.
        const std::uint64_t from = height > 0 ? rows - 1 - r : r;
        std::memcpy(img.pixels.data() + r * stride, bytes.data() + offset + from * stride, static_cast<std::size_t>(stride));
    }
    IntoConvention(img.pixels);
    return img;
}

} // namespace aic
