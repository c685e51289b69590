// A picture's pixels out to and in from the byte layouts that callers ask for, and as the
// bytes of a BMP file.
#pragma once

#include "imaging/core/PixelView.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace imaging {

struct PixelLayout {
    bool bgr = true;          // blue, green, red (then alpha) as held; else red, green, blue
    bool bits32 = true;       // 4 bytes a pixel; else 3
    bool wordAligned = false; // 24-bit rows filled up to a multiple of 4 bytes
    bool bottomUp = true;     // the first row is the rectangle's bottom row
};

// Pixel bytes as a caller receives them: one dimension (rows one after another), or two, the
// first the byte within the row and the second the row. The bytes are the same either way.
struct PixelArray {
    std::vector<std::uint8_t> bytes;
    bool twoDimensional = false;
    std::size_t rowLength = 0;
    std::size_t rows = 0;
};

// Bytes of one row of `width` pixels in this layout; 0 for a width below 1.
std::int64_t LayoutRowBytes(const PixelLayout& layout, int width);

// The part of a picture that (x, y, width, height) names: a size of 0 is the picture's, and the
// rectangle is cut at the right and bottom edges. None when x or y lies outside the picture or a
// size is negative.
std::optional<PixelRect> ClipToPicture(int pictureWidth, int pictureHeight, int x, int y, int width, int height);

// A premultiplied channel brought back to straight alpha, c × 255 \ a; a colour above its alpha
// gives 255, not a byte that wrapped.
std::uint8_t Unpremultiply(std::uint8_t c, std::uint8_t a);

// The colour of one pixel as red + green × 256 + blue × 65536, straight unless `premultiplied`
// (a pixel of alpha 0 or 255 comes as held).
std::uint32_t PixelColour(std::span<const std::uint8_t, 4> pixel, bool premultiplied);

// Writes the rectangle's pixels into `out` in the layout, rows of LayoutRowBytes; a row's filler
// bytes are left as they are. False, and nothing written, when the rectangle is not inside the
// picture or `out` is shorter than its rows.
bool ExportPixels(const PixelView& picture, PixelRect rect, const PixelLayout& layout, bool premultiplied,
                  std::span<std::uint8_t> out);

// Reads rows of the layout from `in` into the rectangle; 24-bit rows leave the alpha bytes as
// they were. False, and nothing written, when the rectangle is not inside the picture or `in`
// is shorter than its rows.
bool ImportPixels(std::span<const std::uint8_t> in, const PixelLayout& layout, const PixelView& picture,
                  PixelRect rect);

// A BMP file of the picture: 32 bits a pixel exactly as held when it has alpha, else 24 bits with
// rows filled to 4 bytes; rows bottom first. Empty when the picture is empty or too large.
std::vector<std::uint8_t> BmpFileBytes(const PixelView& picture, bool hasAlpha);

} // namespace imaging
