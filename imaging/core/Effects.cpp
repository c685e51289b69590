#include "imaging/core/Effects.h"

#include <algorithm>
#include <cstring>

namespace imaging {

bool MirrorRect(const PixelView& source, PixelRect rect, bool horizontal, bool vertical, const PixelView& target)
{
    if (rect.width < 1 || rect.height < 1 || rect.x < 0 || rect.y < 0 ||
        std::int64_t{rect.x} + rect.width > source.Width() || std::int64_t{rect.y} + rect.height > source.Height())
        return false;
    const int width = std::min(rect.width, target.Width()), height = std::min(rect.height, target.Height());
    // The rectangle's place in the unmirrored picture.
    const int left = horizontal ? source.Width() - rect.x - rect.width : rect.x;
    const int top = vertical ? source.Height() - rect.y - rect.height : rect.y;
    for (int r = 0; r < height; ++r) {
        const int from = vertical ? top + rect.height - 1 - r : top + r;
        const std::uint8_t* in = source.RowFromTop(from).data();
        std::uint8_t* out = target.RowFromTop(r).data();
        if (!horizontal) {
            std::memmove(out, in + static_cast<std::size_t>(left) * 4, static_cast<std::size_t>(width) * 4);
            continue;
        }
        const int right = left + rect.width - 1;
        for (int c = 0; c < width; ++c)
            std::memmove(out + static_cast<std::size_t>(c) * 4, in + static_cast<std::size_t>(right - c) * 4, 4);
    }
    return true;
}

void MirrorInPlace(const PixelView& pixels, bool horizontal, bool vertical)
{
    const int w = pixels.Width(), h = pixels.Height();
    if (vertical)
        for (int y = 0; y < h / 2; ++y)
            std::swap_ranges(pixels.Row(y).begin(), pixels.Row(y).end(), pixels.Row(h - 1 - y).begin());
    if (horizontal)
        for (int y = 0; y < h; ++y) {
            const auto row = pixels.Row(y);
            for (int x = 0; x < w / 2; ++x)
                std::swap_ranges(row.begin() + x * 4, row.begin() + x * 4 + 4, row.begin() + (w - 1 - x) * 4);
        }
}

void InvertColours(const PixelView& pixels)
{
    for (int y = 0; y < pixels.Height(); ++y) {
        const auto row = pixels.Row(y);
        for (std::size_t i = 0; i < row.size(); i += 4) {
            const std::uint8_t a = row[i + 3];
            for (std::size_t c = 0; c < 3 && a != 0; ++c)
                if (row[i + c] <= a)
                    row[i + c] = static_cast<std::uint8_t>(a - row[i + c]);
        }
    }
}

bool ClearPixelsOf(const PixelView& pixels, const std::uint8_t (&key)[4])
{
    bool changed = false;
    for (int y = 0; y < pixels.Height(); ++y) {
        const auto row = pixels.Row(y);
        for (std::size_t i = 0; i < row.size(); i += 4)
            if (std::memcmp(&row[i], key, 4) == 0) {
                std::memset(&row[i], 0, 4);
                changed = true;
            }
    }
    return changed;
}

void FillClearPixels(const PixelView& pixels, const std::uint8_t (&key)[4])
{
    static constexpr std::uint8_t clear[4] = {};
    for (int y = 0; y < pixels.Height(); ++y) {
        const auto row = pixels.Row(y);
        for (std::size_t i = 0; i < row.size(); i += 4)
            if (std::memcmp(&row[i], clear, 4) == 0)
                std::memcpy(&row[i], key, 4);
    }
}

} // namespace imaging
