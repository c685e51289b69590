#include "imaging/core/GifReader.h"

#include "imaging/core/GifLzw.h"
#include "imaging/core/PixelLimit.h"
#include "imaging/core/SpanReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace imaging {

namespace {

// A code of w bits stands for at most 2^w - 2 pixels and codes have at most 12 bits, so no data
// decode to more than 4094 pixels for 12 bits: under 2,730 a byte. A frame that needs more is a
// lie told before any memory is taken for it.
constexpr std::uint64_t kMaxPixelsPerByte = 2730;

constexpr std::uint8_t kExtension = 0x21;
constexpr std::uint8_t kImage = 0x2C;
constexpr std::uint8_t kGraphicControl = 0xF9;

bool IsSignature(std::span<const std::uint8_t, 6> bytes)
{
    static constexpr char kNames[2][7] = {"gif87a", "gif89a"};
    for (const auto& name : kNames)
        if (std::equal(bytes.begin(), bytes.end(), name,
                       [](std::uint8_t b, char c) { return (b >= 'A' && b <= 'Z' ? b + 32 : b) == c; }))
            return true;
    return false;
}

// Bytes of a colour table that a flags byte declares: 2^(n+1) entries of three, n its low bits.
std::uint64_t TableBytes(std::uint8_t flags) { return std::uint64_t{3} << ((flags & 7) + 1); }

// Passes over a chain of sub-blocks (a size byte, that many bytes, up to a size of 0): the bytes
// its blocks hold, or nothing when the data end first.
std::optional<std::uint64_t> SkipSubBlocks(SpanReader& in)
{
    std::uint64_t payload = 0;
    for (;;) {
        const auto size = in.U8();
        if (!size || (*size != 0 && !in.Skip(*size)))
            return std::nullopt;
        if (*size == 0)
            return payload;
        payload += *size;
    }
}

// An extension after its introducer: a label, then sub-blocks. The first sub-block of a graphic
// control extension holds the flags (bit 0: a transparent colour) and, at offset 3, its index;
// each such extension replaces the one before.
bool ReadExtension(SpanReader& in, int& transparentIndex)
{
    const auto label = in.U8();
    if (!label)
        return false;
    if (*label == kGraphicControl) {
        const auto fields = in.PeekFixed<5>(); // the size byte and four bytes
        transparentIndex = fields && (*fields)[0] >= 4 && ((*fields)[1] & 1) ? (*fields)[4] : -1;
    }
    return SkipSubBlocks(in).has_value();
}

using Pixel = std::array<std::uint8_t, 4>;

// Lends the picture's own rows to the decoder: display row y is memory row height - 1 - y. Its
// indexes go to the row's first bytes and become pixels in place, the last first, so that each
// pixel is written only over indexes already read.
class BgraRows final : public GifRows {
public:
    BgraRows(std::span<std::uint8_t> bgra, std::uint32_t width, std::uint32_t height,
             const std::array<Pixel, 256>& colours)
        : bgra_(bgra), width_(width), height_(height), colours_(colours)
    {
    }
    std::span<std::uint8_t> Row(std::uint32_t y) override { return MemoryRow(y).first(width_); }
    void RowDone(std::uint32_t y) override
    {
        const std::span<std::uint8_t> row = MemoryRow(y);
        std::uint8_t alphas = opaque_;
        for (std::size_t x = width_; x-- > 0;) {
            const Pixel& p = colours_[row[x]];
            std::memcpy(row.subspan(x * 4, 4).data(), p.data(), 4);
            alphas &= p[3];
        }
        opaque_ = alphas;
    }
    bool SawClear() const { return opaque_ != 0xFF; }

private:
    std::span<std::uint8_t> MemoryRow(std::uint32_t y) const
    {
        return bgra_.subspan(std::size_t{height_ - 1 - y} * width_ * 4, std::size_t{width_} * 4);
    }

    std::span<std::uint8_t> bgra_;
    const std::uint32_t width_;
    const std::uint32_t height_;
    const std::array<Pixel, 256>& colours_;
    std::uint8_t opaque_ = 0xFF;
};

} // namespace

GifLoad GifReader::ExtractFirstFrame(std::span<const std::uint8_t> data)
{
    *this = GifReader();
    SpanReader in(data);
    const auto signature = in.TakeFixed<6>();
    if (!signature || !IsSignature(*signature))
        return GifLoad::NotGif;
    const auto screen = in.TakeFixed<7>(); // width, height, flags, background, aspect
    // The frame is its own canvas here, but other decoders make the screen: past the pixel limit
    // the data are refused, and no one else is handed them.
    if (!screen ||
        std::uint64_t{LoadLe16(screen->first<2>())} * LoadLe16(screen->subspan<2, 2>()) >= kMaxPicturePixels)
        return GifLoad::Failed;
    std::span<const std::uint8_t> global;
    if ((*screen)[4] & 0x80) {
        const auto table = in.Take(TableBytes((*screen)[4]));
        if (!table)
            return GifLoad::Failed;
        global = *table;
    }
    for (;;) {
        const auto introducer = in.U8();
        if (!introducer)
            return GifLoad::Failed;
        if (*introducer == 0)
            continue; // stray zero bytes between blocks
        if (*introducer == kExtension) {
            if (!ReadExtension(in, frame_.transparentIndex))
                return GifLoad::Failed;
            continue;
        }
        if (*introducer != kImage)
            return GifLoad::NotGif; // the trailer, or anything else, before the first image
        break;
    }

    const auto descriptor = in.TakeFixed<9>(); // left, top, width, height, flags; the frame is its own canvas
    if (!descriptor)
        return GifLoad::Failed;
    frame_.width = LoadLe16(descriptor->subspan<4, 2>());
    frame_.height = LoadLe16(descriptor->subspan<6, 2>());
    const std::uint8_t flags = (*descriptor)[8];
    frame_.interlaced = (flags & 0x40) != 0;
    frame_.colours = global;
    if (flags & 0x80) {
        const auto local = in.Take(TableBytes(flags));
        if (!local)
            return GifLoad::Failed;
        frame_.colours = *local;
    }
    const auto codeSize = in.U8();
    const auto chain = in.Rest();
    const std::size_t before = in.Consumed();
    const auto payload = codeSize ? SkipSubBlocks(in) : std::nullopt;
    if (!payload)
        return GifLoad::Failed;
    frame_.minCodeSize = *codeSize;
    frame_.chain = chain.first(in.Consumed() - before);

    const std::uint64_t pixels = std::uint64_t{frame_.width} * frame_.height;
    if (!FitsPixelLimit(frame_.width, frame_.height) || frame_.minCodeSize > 8 || pixels > *payload * kMaxPixelsPerByte)
        return GifLoad::Failed;
    return frame_.colours.empty() ? GifLoad::NotGif : GifLoad::Found;
}

bool GifReader::DecodeInto(std::span<std::uint8_t> bgra)
{
    if (frame_.width == 0 || bgra.size() != std::uint64_t{frame_.width} * frame_.height * 4)
        return false;
    std::array<Pixel, 256> colours{}; // indexes past the table stay clear
    SpanReader table(frame_.colours);
    for (int i = 0; i < 256; ++i) {
        const auto rgb = table.TakeFixed<3>();
        if (!rgb)
            break;
        if (i != frame_.transparentIndex)
            colours[static_cast<std::size_t>(i)] = {(*rgb)[2], (*rgb)[1], (*rgb)[0], 0xFF};
    }
    BgraRows rows(bgra, frame_.width, frame_.height, colours);
    const LzwResult result =
        DecodeGifLzw(frame_.chain, frame_.minCodeSize, frame_.width, frame_.height, frame_.interlaced, rows);
    sawClear_ = rows.SawClear();
    return result.end == LzwEnd::Complete;
}

} // namespace imaging
