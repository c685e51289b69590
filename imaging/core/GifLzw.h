// The LZW decoder of GIF image data: the palette indexes of one frame, written straight into rows
// that the caller lends, row by row in the order the frame's data holds them.
#pragma once

#include <cstdint>
#include <span>

namespace imaging {

// Where the decoder writes. Row(y) lends display row y (0 = top) as at least `width` bytes, which
// are filled from the first; RowDone(y) follows once they all hold their index.
class GifRows {
public:
    virtual std::span<std::uint8_t> Row(std::uint32_t y) = 0;
    virtual void RowDone(std::uint32_t y) = 0;

protected:
    ~GifRows() = default;
};

enum class LzwEnd {
    Complete, // every pixel of the frame was written; data after them are not read
    BadCode,  // a code past the table's next entry, or a minimum code size above 8
    Short,    // the data, or an end code, came before the last pixel
};

struct LzwResult {
    LzwEnd end;
    std::uint64_t pixels; // written, in the data's order, before the decoder stopped
};

// Decodes `chain` (the image's sub-blocks: size bytes, data, and the terminating 0) with LZW codes
// that start at minCodeSize + 1 bits. Interlaced frames hold their rows in four passes (every 8th
// from 0, every 8th from 4, every 4th from 2, every 2nd from 1); the rows are lent in that order.
LzwResult DecodeGifLzw(std::span<const std::uint8_t> chain, std::uint8_t minCodeSize, std::uint32_t width,
                       std::uint32_t height, bool interlaced, GifRows& rows);

} // namespace imaging
