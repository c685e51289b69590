// The PNG reader's platform-neutral part: chunk walk, decompression and pixel decoding of PNG
// bytes held in memory. The engine's entry points hand it the bytes and the picture's own memory.
#pragma once

#include "imaging/core/PngPixels.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace imaging {

enum class PngLoad {
    NotPng,  // no PNG signature: another reader may take the data
    Failed,  // a PNG that does not decode; the data are not offered to another own reader
    Decoded,
};

class PngReader {
public:
    // Walks the chunks of `data`, which must stay alive until DecodeInto returns. Decoded here
    // means the chunks are sound and the image data may be decoded.
    PngLoad ReadChunks(std::span<const std::uint8_t> data);

    // Writes Width() x Height() pixels into `bgra`: premultiplied B, G, R, A, Width() * 4 bytes a
    // row, bottom row first. The image data are inflated by our own inflate, which every picture
    // measured inflates faster than zlib does, and each row is unfiltered and converted as it
    // arrives: no buffer of the stored rows is made. Fails on damaged data; what was written is
    // then left undefined.
    bool DecodeInto(std::span<std::uint8_t> bgra);

    int Width() const { return static_cast<int>(header_.width); }
    int Height() const { return static_cast<int>(header_.height); }
    // Alpha state of the picture: true for colour types with alpha and for any tRNS in use.
    bool Alpha() const;

private:
    // What a chunk leaves the walk to do next.
    enum class Step { Next, End, Fail };
    struct Chunk {
        std::size_t at; // of its length field in the data
        std::span<const std::uint8_t, 4> type;
        std::span<const std::uint8_t> body;
        bool crcOk;
    };
    Step ReadChunk(const Chunk& chunk);
    Step ReadHeader(const Chunk& chunk);
    Step ReadPalette(const Chunk& chunk);
    Step ReadTransparency(const Chunk& chunk);
    Step ReadImageData(const Chunk& chunk);
    PngLoad Finish();

    PngHeader header_;
    PngColours colours_;
    bool haveHeader_ = false;
    bool havePalette_ = false;
    bool haveTransparency_ = false;
    bool sawImageData_ = false;
    // The caller's bytes; the image data are read from its chunks where they lie, never joined.
    std::span<const std::uint8_t> data_;
    std::size_t firstImageData_ = 0; // where the first IDAT chunk starts
    std::size_t imageDataBytes_ = 0;
    std::size_t rawSize_ = 0;
};

// A picture that owns its rows (same layout as PngReader::Convert writes).
struct PngPicture {
    int width = 0;
    int height = 0;
    bool alpha = false;
    std::vector<std::uint8_t> pixels;
};

// Both steps into `picture`, which is left empty unless the result is Decoded.
PngLoad DecodePng(std::span<const std::uint8_t> data, PngPicture& picture);

} // namespace imaging
