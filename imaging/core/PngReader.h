// The PNG reader's platform-neutral part: chunk walk, decompression and pixel decoding of PNG
// bytes held in memory. The engine's entry points hand it the bytes and copy its rows.
#pragma once

#include "imaging/core/PngPixels.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace imaging {

// zlib's `uncompress`: fills dest, sets *destLen to the bytes written, returns 0 on success.
using ZlibUncompress = std::function<int(unsigned char* dest, unsigned long* destLen, const unsigned char* source,
                                         unsigned long sourceLen)>;

enum class PngLoad {
    NotPng,  // no PNG signature: another reader may take the data
    Failed,  // a PNG that does not decode; the data are not offered to another own reader
    Decoded,
};

class PngReader {
public:
    // Walks the chunks of `data`, which must stay alive until Decompress returns. Decoded here
    // means the chunks are sound and the image data may be decompressed.
    PngLoad ReadChunks(std::span<const std::uint8_t> data);

    // Inflates the image data to exactly the raw size: through `uncompress` when it is set and
    // succeeds, otherwise with our own inflate.
    bool Decompress(const ZlibUncompress& uncompress);

    // Writes Width() x Height() pixels into `bgra`: premultiplied B, G, R, A, Width() * 4 bytes a
    // row, bottom row first. Fails on damaged rows; what was written is then left undefined.
    bool Convert(std::span<std::uint8_t> bgra);

    // Decompress and Convert in one step. When the stored rows fit, they are inflated into the end
    // of `bgra` itself, and no buffer of the picture's size is made besides it.
    bool DecodeInto(std::span<std::uint8_t> bgra, const ZlibUncompress& uncompress);

    int Width() const { return static_cast<int>(header_.width); }
    int Height() const { return static_cast<int>(header_.height); }
    // Alpha state of the picture: true for colour types with alpha and for any tRNS in use.
    bool Alpha() const;

private:
    // What a chunk leaves the walk to do next.
    enum class Step { Next, End, Fail };
    struct Chunk {
        std::span<const std::uint8_t, 4> type;
        std::span<const std::uint8_t> body;
        bool crcOk;
    };
    Step ReadChunk(const Chunk& chunk, std::size_t bytesLeft);
    Step ReadHeader(const Chunk& chunk);
    Step ReadPalette(const Chunk& chunk);
    Step ReadTransparency(const Chunk& chunk);
    Step ReadImageData(const Chunk& chunk, std::size_t bytesLeft);
    PngLoad Finish();
    bool Inflate(std::span<std::uint8_t> raw, const ZlibUncompress& uncompress);

    PngHeader header_;
    PngColours colours_;
    bool haveHeader_ = false;
    bool havePalette_ = false;
    bool haveTransparency_ = false;
    bool sawImageData_ = false;
    // The image data: a view on the caller's bytes while it is one chunk, else joined in `joined_`.
    std::span<const std::uint8_t> idat_;
    std::vector<std::uint8_t> joined_;
    std::unique_ptr<std::uint8_t[]> raw_; // not cleared first: inflate writes every byte or fails
    std::size_t rawSize_ = 0;
};

// A picture that owns its rows (same layout as PngReader::Convert writes).
struct PngPicture {
    int width = 0;
    int height = 0;
    bool alpha = false;
    std::vector<std::uint8_t> pixels;
};

// The three steps into `picture`, which is left empty unless the result is Decoded.
PngLoad DecodePng(std::span<const std::uint8_t> data, PngPicture& picture, const ZlibUncompress& uncompress = {});

} // namespace imaging
