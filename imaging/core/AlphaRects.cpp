#include "imaging/core/AlphaRects.h"

#include <algorithm>

namespace imaging {

namespace {

bool Visible(std::span<const std::uint8_t> row, int x) { return row[static_cast<std::size_t>(x) * 4 + 3] != 0; }

} // namespace

std::optional<Rect> AlphaBoundingBox(const PixelView& pixels)
{
    std::optional<Rect> box;
    for (int y = 0; y < pixels.Height(); ++y) {
        auto row = pixels.RowFromTop(y);
        int first = 0;
        while (first < pixels.Width() && !Visible(row, first))
            ++first;
        if (first == pixels.Width())
            continue;
        int last = pixels.Width() - 1;
        while (last > first && !Visible(row, last))
            --last;
        if (!box) {
            box = Rect{first, y, last + 1, y + 1};
            continue;
        }
        box->left = std::min(box->left, first);
        box->right = std::max(box->right, last + 1);
        box->bottom = y + 1;
    }
    return box;
}

std::vector<Rect> AlphaRects(const PixelView& pixels, RegionStyle style)
{
    std::vector<Rect> rects;
    const int w = pixels.Width();
    for (int y = 0; y < pixels.Height(); ++y) {
        auto row = pixels.RowFromTop(y);
        if (style == regionRowSpans) {
            int first = 0, last = w - 1;
            while (first < w && !Visible(row, first))
                ++first;
            if (first == w)
                continue;
            while (!Visible(row, last))
                --last;
            rects.push_back({first, y, last + 1, y + 1});
            continue;
        }
        for (int x = 0; x < w;) {
            if (!Visible(row, x)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < w && Visible(row, x))
                ++x;
            rects.push_back({start, y, x, y + 1});
        }
    }
    return rects;
}

std::vector<std::pair<std::size_t, std::size_t>> RectChunks(std::size_t count, std::size_t chunk)
{
    std::vector<std::pair<std::size_t, std::size_t>> chunks;
    if (count == 0 || chunk == 0)
        return chunks;
    for (std::size_t start = 0; start < count; start += chunk) {
        chunks.emplace_back(start, std::min(start + chunk, count - 1));
        if (start + chunk >= count - 1)
            break;
    }
    return chunks;
}

} // namespace imaging
