// The PNG reader's platform-neutral part: chunk walk, decompression and pixel decoding of PNG
// bytes, read where they lie (in memory or in a file) only as far as the picture needs. The
// engine's entry points hand it the bytes and the picture's own memory.
#pragma once

#include "imaging/core/PngPixels.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace imaging {

enum class PngLoad {
    NotPng,  // no PNG signature: another reader may take the data
    Failed,  // a PNG that does not decode; the data are not offered to another own reader
    Decoded,
};

// Where a PNG's bytes come from: `size` bytes, of which `read` hands over `n` from `offset`,
// valid until its next call, or nothing when they do not all lie inside.
struct PngSource {
    std::uint64_t size = 0;
    std::function<std::optional<std::span<const std::uint8_t>>(std::uint64_t offset, std::size_t n)> read;
};

// The bytes of `data` as a source.
PngSource PngSourceOf(std::span<const std::uint8_t> data);

class PngReader {
public:
    // Walks the chunks up to the image data, which DecodeImageData reads from `data` (or `source`):
    // either must stay alive until then. Decoded here means the chunks before the image data are
    // sound and the image data may be decoded.
    PngLoad ReadChunks(std::span<const std::uint8_t> data);
    PngLoad ReadChunks(PngSource source);

    // Writes Width() x Height() pixels into `bgra`: premultiplied B, G, R, A, Width() * 4 bytes a
    // row, bottom row first. The image data are inflated by our own inflate, which every picture
    // measured inflates faster than zlib does, and each row is unfiltered and converted as it
    // arrives: no buffer of the stored rows is made. Once the last row is complete, only the rest
    // of its chunk is read, for the CRC, as libpng reads: data past the rows, the chunks after it
    // and IEND are ignored. Fails on damaged data, a chunk whose CRC does not match, or data that
    // end before the rows do; what was written is then left undefined.
    bool DecodeImageData(std::span<std::uint8_t> bgra);

    // Whether, after ReadChunks, the file is one that every decoder reads alike: all its chunks
    // from the image data to IEND whole and sound, its image data no longer than an encoder
    // makes the rows, and an entry in the palette for every index. Reads up to IEND.
    bool Plain() const;

    int Width() const { return static_cast<int>(header_.width); }
    int Height() const { return static_cast<int>(header_.height); }
    // Alpha state of the picture: true for colour types with alpha and for any tRNS in use.
    bool Alpha() const;

private:
    // What a chunk leaves the walk to do next.
    enum class Step { Next, Fail };
    Step ReadChunk(std::uint64_t at, const std::array<std::uint8_t, 4>& type, std::uint32_t length);
    Step ReadHeaderChunk(std::uint64_t at, std::uint32_t length);
    Step ReadPaletteChunk(std::uint64_t at, std::uint32_t length);
    Step ReadTransparencyChunk(std::uint64_t at, std::uint32_t length);
    // Whether the CRC of the chunk at `at` matches its type and data, read in pieces.
    bool ChunkCrcMatches(std::uint64_t at, std::uint32_t length) const;
    PngLoad Finish();

    PngHeader header_;
    PngColours colours_;
    bool haveHeader_ = false;
    bool havePalette_ = false;
    bool haveTransparency_ = false;
    PngSource source_;
    std::uint64_t firstImageData_ = 0; // where the first IDAT chunk starts; 0 for none
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
