// The BMP reader's platform-neutral part: the file and bitmap headers, checked against the bytes
// that hold them, the copy of an uncompressed 32-bit file's rows with their alpha intact, and the
// drawing of 4- and 8-bit runs. Every other BMP layout is left to the system, which takes the
// headers at their word: only files whose headers, masks, colour table and pixel data lie inside
// the bytes go to it, and a JPEG or PNG inside only when its own header is within the pixel limit.
#pragma once

#include "imaging/core/AlphaAnalysis.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace imaging {

enum class BmpLoad {
    NotBmp,        // no "BM": the system's picture loader may know the data
    Refused,       // a "BM" that holds no picture we can show: nothing else is tried
    PictureLoader, // a sound "BM" of a layout the system's picture loader decodes
    Direct,        // uncompressed 32-bit rows, or 4- or 8-bit runs stored bottom-up: DecodeInto writes them
};

class BmpReader {
public:
    // Reads and checks the headers of the BMP file in `data`, which must stay alive until
    // DecodeInto returns.
    BmpLoad ReadHeader(std::span<const std::uint8_t> data);

    int Width() const { return width_; }
    // Rows of the picture, whichever way the file stores them.
    int Height() const { return height_; }
    // Bits per pixel as the header gives them; 0 when the data are not "BM".
    int BitCount() const { return bitCount_; }
    // Whether the file stores its top row first.
    bool TopDown() const { return topDown_; }
    // The pixel data of a file of plain rows (uncompressed, no masks, a header no older than the
    // 40-byte one) as the file stores them, for a caller that hands them on as they are; empty
    // for every other file.
    std::span<const std::uint8_t> StoredRows() const { return rows_; }
    // The bitmap header with its masks and colour table, and the pixel data, of a file that the
    // system draws as it stands (a header of 40 bytes or more; plain rows, bit fields or runs);
    // both empty for every other file.
    std::span<const std::uint8_t> InfoBytes() const { return info_; }
    std::span<const std::uint8_t> PixelBytes() const { return pixels_; }

    // Writes the pixels of a Direct file into `bgra` (Width() * 4 bytes a row, bottom row first):
    // 32-bit rows are copied and brought into the premultiplied convention, runs are drawn opaque
    // (see DrawBmpRuns); the analysis says whether the picture has alpha. None when ReadHeader did
    // not answer Direct or `bgra` is not the picture's size.
    std::optional<AlphaAnalysis> DecodeInto(std::span<std::uint8_t> bgra) const;

private:
    BmpLoad Check(std::span<const std::uint8_t> data);

    int width_ = 0;
    int height_ = 0;
    int bitCount_ = 0;
    bool topDown_ = false;
    bool direct_ = false;
    int runBits_ = 0; // 4 or 8 for a file of runs that DecodeInto draws
    std::span<const std::uint8_t> rows_; // a file's plain rows, as stored
    std::span<const std::uint8_t> info_;
    std::span<const std::uint8_t> pixels_;
    std::span<const std::uint8_t> table_; // the colour table of a file of runs
};

} // namespace imaging
