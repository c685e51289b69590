#include "imaging/core/BmpReader.h"

#include "imaging/core/BmpRle.h"
#include "imaging/core/DeclaredSize.h"
#include "imaging/core/PixelLimit.h"
#include "imaging/core/PixelView.h"
#include "imaging/core/PngReader.h"
#include "imaging/core/Sizes.h"
#include "imaging/core/SpanReader.h"

#include <algorithm>
#include <cstring>

namespace imaging {
namespace {

constexpr std::uint64_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12; // the oldest header: 16-bit sizes, 3-byte colours
constexpr std::uint32_t kInfoHeaderSize = 40;

enum Compression : std::uint32_t {
    kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kJpeg = 4, kPng = 5, kAlphaBitFields = 6
};

bool KnownDepth(std::uint32_t bits)
{
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Entries of the colour table that follows the headers: a palette's worth from 1 to 8 bits (the
// loader takes no more than the depth can index), else an optional list of at most 256.
std::uint64_t ColourEntries(std::uint32_t bits, std::uint32_t used)
{
    if (bits == 0 || bits > 8)
        return std::min<std::uint64_t>(used, 256);
    const std::uint64_t full = std::uint64_t{1} << bits;
    return used == 0 || used > full ? full : used;
}

// The PNG reader checks its header against the pixel limit, and the chunks up to the image data.
bool InnerPngFits(std::span<const std::uint8_t> png) { return PngReader().ReadChunks(png) == PngLoad::Decoded; }

} // namespace

BmpLoad BmpReader::ReadHeader(std::span<const std::uint8_t> data)
{
    *this = BmpReader();
    const BmpLoad load = Check(data);
    direct_ = load == BmpLoad::Direct;
    return load;
}

BmpLoad BmpReader::Check(std::span<const std::uint8_t> data)
{
    SpanReader in(data);
    const auto magic = in.TakeFixed<2>();
    if (!magic || (*magic)[0] != 'B' || (*magic)[1] != 'M')
        return BmpLoad::NotBmp;
    const auto fileHeader = in.TakeFixed<16>(); // file size, reserved words, pixel offset, header size
    if (!fileHeader)
        return BmpLoad::Refused;
    const std::uint64_t offset = LoadLe32(fileHeader->subspan<8, 4>());
    const std::uint32_t headerSize = LoadLe32(fileHeader->subspan<12, 4>());

    std::int64_t width = 0, height = 0;
    std::uint32_t bits = 0, compression = kRgb, dataSize = 0, used = 0;
    std::uint64_t entryBytes = 4, maskBytes = 0;
    if (headerSize == kCoreHeaderSize) {
        const auto core = in.TakeFixed<8>();
        if (!core)
            return BmpLoad::Refused;
        width = LoadLe16(core->subspan<0, 2>());
        height = LoadLe16(core->subspan<2, 2>());
        bits = LoadLe16(core->subspan<6, 2>());
        entryBytes = 3;
    } else if (headerSize >= kInfoHeaderSize) {
        const auto info = in.TakeFixed<kInfoHeaderSize - 4>(); // after the size field
        // A longer header (masks, colour space) must still lie inside the data: the loader reads it.
        if (!info || !in.Seek(kFileHeaderSize + headerSize))
            return BmpLoad::Refused;
        width = static_cast<std::int32_t>(LoadLe32(info->subspan<0, 4>()));
        height = static_cast<std::int32_t>(LoadLe32(info->subspan<4, 4>()));
        bits = LoadLe16(info->subspan<10, 2>());
        compression = LoadLe32(info->subspan<12, 4>());
        dataSize = LoadLe32(info->subspan<16, 4>());
        used = LoadLe32(info->subspan<28, 4>());
        // The system reads bit-field masks at the 40-byte header's end, whatever the header's size:
        // inside a later header, after a shorter one, where the colour table would begin.
        const std::uint32_t masksEnd =
            kInfoHeaderSize + (compression == kBitFields ? 12 : compression == kAlphaBitFields ? 16 : 0);
        maskBytes = headerSize < masksEnd ? masksEnd - headerSize : 0;
    } else {
        return BmpLoad::Refused; // no header of a size the loader knows
    }
    bitCount_ = static_cast<int>(bits);
    // Past the pixel limit nothing is made, by us or by the picture loader, whatever the data hold.
    if (!FitsPixelLimit(width, height < 0 ? -height : height))
        return BmpLoad::Refused;
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height < 0 ? -height : height);
    topDown_ = height < 0;

    const bool uncompressed = compression == kRgb || compression == kBitFields || compression == kAlphaBitFields;
    if (uncompressed ? !KnownDepth(bits) : dataSize == 0)
        return BmpLoad::Refused;
    const std::uint64_t headersEnd = kFileHeaderSize + headerSize + maskBytes;
    const std::uint64_t tableEnd = headersEnd + ColourEntries(bits, used) * entryBytes;
    // Uncompressed rows are as long as the depth makes them; compressed data say their own size.
    const std::uint64_t pixelBytes =
        uncompressed ? static_cast<std::uint64_t>(RowBytesForDepth(static_cast<std::uint8_t>(bits), width_)) *
                           static_cast<std::uint64_t>(height_)
                     : dataSize;
    if (tableEnd > data.size() || offset < headersEnd || offset > data.size() || pixelBytes > data.size() - offset)
        return BmpLoad::Refused;
    // A JPEG or a PNG inside is sized by its own header, which its decoder believes.
    const auto inner = data.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(pixelBytes));
    if ((compression == kJpeg && !ReadWithinPixelLimit(ReadJpegSize(inner))) ||
        (compression == kPng && !InnerPngFits(inner)))
        return BmpLoad::Refused;

    // What the system's drawing calls take as it stands: the 40-byte header or a later one, and
    // rows that are plain, bit fields or runs (not a JPEG or PNG inside).
    if (headerSize >= kInfoHeaderSize && (compression <= kBitFields || compression == kAlphaBitFields)) {
        info_ = data.subspan(kFileHeaderSize, static_cast<std::size_t>(tableEnd - kFileHeaderSize));
        pixels_ = data.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(pixelBytes));
    }
    // Runs of the depth they are meant for, stored bottom-up (the system draws no other), we draw
    // ourselves: the system's drawing of them costs as much again as the bitmap's first touch.
    if (!pixels_.empty() && !topDown_ && ((compression == kRle8 && bits == 8) || (compression == kRle4 && bits == 4))) {
        runBits_ = static_cast<int>(bits);
        table_ = data.subspan(static_cast<std::size_t>(headersEnd), static_cast<std::size_t>(tableEnd - headersEnd));
        return BmpLoad::Direct;
    }
    if (compression != kRgb || headerSize == kCoreHeaderSize)
        return BmpLoad::PictureLoader;
    if (!in.Seek(offset))
        return BmpLoad::Refused;
    const auto rows = in.Take(pixelBytes);
    if (!rows)
        return BmpLoad::Refused;
    rows_ = *rows;
    return bits == 32 ? BmpLoad::Direct : BmpLoad::PictureLoader;
}

std::optional<AlphaAnalysis> BmpReader::DecodeInto(std::span<std::uint8_t> bgra) const
{
    if (direct_ && runBits_ != 0) {
        const auto w = static_cast<std::uint32_t>(width_), h = static_cast<std::uint32_t>(height_);
        // Opaque, as the engine takes the system's drawing of runs.
        return DrawBmpRuns(pixels_, runBits_, table_, bgra, w, h) ? std::optional(AlphaAnalysis{}) : std::nullopt;
    }
    if (!direct_ || bgra.size() != rows_.size())
        return std::nullopt;
    if (!topDown_) {
        std::memcpy(bgra.data(), rows_.data(), rows_.size()); // bottom row first, as the engine keeps them
    } else {
        const std::size_t stride = static_cast<std::size_t>(width_) * 4;
        for (std::size_t r = 0, rows = static_cast<std::size_t>(height_); r < rows; ++r) {
            const auto from = rows_.subspan((rows - 1 - r) * stride, stride);
            std::memcpy(bgra.subspan(r * stride, stride).data(), from.data(), stride);
        }
    }
    const auto pixels = PixelView::Packed(bgra, width_, height_);
    if (!pixels)
        return std::nullopt;
    return AnalyseAlphaChannel(*pixels, true, imgBlank);
}

} // namespace imaging
