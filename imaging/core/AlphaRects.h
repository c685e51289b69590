// The visible pixels (alpha not 0) of a bottom-up picture as rectangles in top-down
// coordinates, from which the Win32 edge builds regions.
#pragma once

#include "imaging/core/PixelView.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace imaging {

// Same layout as a Win32 RECT: left, top, right (exclusive), bottom (exclusive).
struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

enum RegionStyle : int { regionBoundingBox = 0, regionRowSpans = 1, regionExactRuns = 2 };

// The smallest rectangle holding every visible pixel; none when no pixel is visible.
std::optional<Rect> AlphaBoundingBox(const PixelView& pixels);

// Style 1: one rectangle a row, first to last visible pixel. Style 2: one rectangle per run of
// visible pixels. Rows from the top down, left to right, each rectangle one row high.
std::vector<Rect> AlphaRects(const PixelView& pixels, RegionStyle style);

// Index ranges [first, last] of `count` rectangles cut every `chunk` entries; neighbouring
// ranges share their boundary rectangle so their union covers the whole list.
std::vector<std::pair<std::size_t, std::size_t>> RectChunks(std::size_t count, std::size_t chunk);

} // namespace imaging
