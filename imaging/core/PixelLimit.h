// The one bound on the size of a picture made from outside data, whichever reader makes it:
// fewer than 2^26 pixels, so that its 32-bit rows stay under 256 MB. A size that data declare is
// checked against it before anything is allocated for it, and before the data go on to the
// system's picture loader or to GDI+, which allocate for whatever a header says.
#pragma once

#include <cstdint>

namespace imaging {

inline constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{1} << 26;

// Whether a picture of width × height pixels is within the bound; a side below 1 is not.
constexpr bool FitsPixelLimit(std::int64_t width, std::int64_t height)
{
    return width >= 1 && height >= 1 && static_cast<std::uint64_t>(width) < kMaxPicturePixels &&
           static_cast<std::uint64_t>(height) < kMaxPicturePixels &&
           static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) < kMaxPicturePixels;
}

} // namespace imaging
