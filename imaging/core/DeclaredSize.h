// The sizes that data of the formats the engine leaves to the system's decoders declare in their
// headers: JPEG and TIFF here, placeable and enhanced metafiles in MetafileExtent. Those decoders
// size their bitmaps, and some their working memory, by such a header before they look at the
// rest: the engine reads it first and hands on only what it has read and found within its bounds.
#pragma once

#include "imaging/core/PixelLimit.h"

#include <cstdint>
#include <optional>
#include <span>

namespace imaging {

struct DeclaredSize {
    std::uint64_t width = 0; // pixels
    std::uint64_t height = 0;
    bool whole = false; // the header that sizes the picture was read, and the data hold what it promises
};

// Whether a size was read whole and is within the pixel limit: what may be handed on.
constexpr bool ReadWithinPixelLimit(const std::optional<DeclaredSize>& size)
{
    return size && size->whole &&
           FitsPixelLimit(static_cast<std::int64_t>(size->width), static_cast<std::int64_t>(size->height));
}

// The size in the first frame header of a JPEG, reached by the lengths of the segments before
// it; not whole when the data break off, or the scan starts, before one. None without the
// start-of-image marker.
std::optional<DeclaredSize> ReadJpegSize(std::span<const std::uint8_t> data);

// The size in the first image directory of a TIFF, in either byte order; not whole when the
// directory lies outside the data or names no width or no length. None without a TIFF's
// signature.
std::optional<DeclaredSize> ReadTiffSize(std::span<const std::uint8_t> data);

} // namespace imaging
