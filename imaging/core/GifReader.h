// The GIF reader's platform-neutral part: the block walk of a GIF87a or GIF89a stream up to its
// first image, and that image decoded into the engine's pixels. Later frames are not read.
#pragma once

#include <cstdint>
#include <span>

namespace imaging {

enum class GifLoad {
    NotGif, // no GIF signature, a trailer or a stray byte before the first image, or a sound frame without colours
    Failed, // a GIF whose screen or first image cannot be shown: the data go to no other reader or decoder
    Found,  // the first image is sound so far and may be decoded
};

// The first image of a stream, as the walk found it. The spans are views on the walked bytes.
struct GifFrame {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool interlaced = false;
    std::span<const std::uint8_t> colours; // red, green, blue an entry: the local table, else the global
    int transparentIndex = -1;             // from the last graphic control extension before the image
    std::uint8_t minCodeSize = 0;
    std::span<const std::uint8_t> chain;   // the image data's sub-blocks, terminator included
};

class GifReader {
public:
    // Walks `data`, which must stay alive until DecodeInto returns. Every size the data give is
    // checked against the bytes that hold it, and the frame against what its data can decode to.
    GifLoad ExtractFirstFrame(std::span<const std::uint8_t> data);

    // Writes Width() x Height() pixels into `bgra` (Width() * 4 bytes a row, bottom row first):
    // blue, green, red from the frame's table with alpha 255; the transparent index and indexes
    // past the table give 0, 0, 0, 0. Fails when the image data do not decode to the whole frame;
    // what was written is then left undefined. The pixels' indexes pass through `bgra` itself,
    // so no buffer of the picture's size is made besides it.
    bool DecodeInto(std::span<std::uint8_t> bgra);

    const GifFrame& Frame() const { return frame_; }
    int Width() const { return static_cast<int>(frame_.width); }
    int Height() const { return static_cast<int>(frame_.height); }
    // Alpha state once decoded: a transparent colour is declared, or some pixel came out clear.
    bool Alpha() const { return frame_.transparentIndex >= 0 || sawClear_; }

private:
    GifFrame frame_;
    bool sawClear_ = false;
};

} // namespace imaging
