#include "imaging/core/IcoDirectory.h"

#include "imaging/core/PixelLimit.h"
#include "imaging/core/PngSignature.h"
#include "imaging/core/Sizes.h"
#include "imaging/core/SpanReader.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace imaging {

namespace {

constexpr std::size_t kDirectoryBytes = 6; // reserved, type, count
constexpr std::size_t kEntryBytes = 16;
constexpr std::size_t kInfoHeaderBytes = 40;
// The bitmap header's bit count and a PNG's "DR" of "IHDR" share this offset: it tells them apart.
constexpr std::size_t kKindAt = 14;
constexpr std::uint16_t kPngMark = 0x5244;

int Side(std::uint8_t b) { return b == 0 ? 256 : b; }

std::uint64_t RowBytes(int bits, int width)
{
    return static_cast<std::uint64_t>(RowBytesForDepth(static_cast<std::uint8_t>(bits), width));
}

// Sizes and bit count from the IHDR at the start of a PNG entry; false when it is not one.
bool ReadPngEntryHeader(std::span<const std::uint8_t> image, IcoEntry& entry)
{
    entry.png = true;
    // Signature, IHDR's length and type, width, height, bit depth, colour type.
    const auto head = SpanReader(image).PeekFixed<26>();
    if (!head || !std::ranges::equal(head->first<8>(), kPngSignature) ||
        !std::ranges::equal(head->subspan<12, 4>(), std::string_view("IHDR")))
        return false;
    // The directory keeps a side in one byte; a PNG that cannot say its size there keeps the
    // directory's and has its bit count taken from the IHDR.
    for (auto [side, into] : {std::pair{LoadBe32(head->subspan<16, 4>()), &entry.width},
                              std::pair{LoadBe32(head->subspan<20, 4>()), &entry.height}}) {
        if (side >= 1 && side <= 256)
            *into = static_cast<int>(side);
        else
            entry.bitCount = 0;
    }
    const std::uint8_t depth = (*head)[24], colourType = (*head)[25];
    if (entry.bitCount == 0) {
        entry.bitCount = depth;
        if (depth == 16 || (depth != 0 && (colourType == 4 || colourType == 6)))
            entry.bitCount = 32;
        else if (depth != 0 && colourType == 2)
            entry.bitCount = 24;
    }
    return entry.bitCount > 0;
}

// The colour table's room the data leave: what is not header, colour bits or mask, in colours.
int RoomForColours(std::span<const std::uint8_t> image, const IcoEntry& entry)
{
    const auto headerSize = SpanReader(image).Le32();
    if (entry.png || entry.bitCount > 8 || !headerSize)
        return 0;
    const std::uint64_t used = *headerSize + (RowBytes(entry.bitCount, entry.width) + RowBytes(1, entry.width)) *
                                                 static_cast<std::uint64_t>(entry.height);
    return used >= image.size() ? 0 : static_cast<int>(std::min<std::uint64_t>((image.size() - used) / 4, INT_MAX));
}

} // namespace

bool HasIcoSignature(std::span<const std::uint8_t> file)
{
    SpanReader in(file);
    const auto reserved = in.Le16(), type = in.Le16();
    return type && *reserved == 0 && (*type == 1 || *type == 2);
}

std::optional<IcoDirectory> ReadIcoDirectory(std::span<const std::uint8_t> file)
{
    SpanReader in(file);
    const auto fields = in.TakeFixed<kDirectoryBytes>();
    const std::uint16_t type = fields ? LoadLe16(fields->subspan<2, 2>()) : std::uint16_t{0};
    const std::uint16_t count = fields ? LoadLe16(fields->subspan<4, 2>()) : std::uint16_t{0};
    if (!HasIcoSignature(file) || count < 1)
        return std::nullopt;
    const auto records = in.Take(std::uint64_t{kEntryBytes} * count);
    if (!records)
        return std::nullopt;
    IcoDirectory directory;
    directory.kind = static_cast<IcoKind>(type);
    directory.entries.reserve(count);
    std::uint64_t total = kDirectoryBytes + std::uint64_t{kEntryBytes} * count;
    SpanReader rec(*records);
    for (unsigned i = 0; i < count; ++i) {
        const auto r = *rec.TakeFixed<kEntryBytes>();
        IcoEntry e;
        e.width = Side(r[0]);
        e.height = Side(r[1]);
        e.bitCount = LoadLe16(r.subspan<6, 2>());
        e.bytesInRes = LoadLe32(r.subspan<8, 4>());
        e.imageOffset = LoadLe32(r.subspan<12, 4>());
        if (directory.kind == IcoKind::Cursor) {
            e.hotspotX = LoadLe16(r.subspan<4, 2>());
            e.hotspotY = LoadLe16(r.subspan<6, 2>());
        }
        total += e.bytesInRes;
        // Each image lies inside the file and is long enough to be told a PNG from a bitmap.
        SpanReader at(file);
        const auto image = at.Seek(e.imageOffset) ? at.Take(e.bytesInRes) : std::nullopt;
        SpanReader head(image.value_or(std::span<const std::uint8_t>{}));
        const auto kind = head.Skip(kKindAt) ? head.Le16() : std::nullopt;
        if (!kind)
            return std::nullopt;
        if (*kind == kPngMark) {
            if (!ReadPngEntryHeader(*image, e))
                return std::nullopt;
        } else if (*kind != 0) {
            e.bitCount = *kind;
        } else if (e.bitCount == 0) {
            return std::nullopt;
        }
        e.colorCount = RoomForColours(*image, e);
        directory.entries.push_back(e);
    }
    // All images together must fit beside the directory, as they do in a file whose images do not overlap.
    if (total > file.size())
        return std::nullopt;
    return directory;
}

int FindBestEntry(std::span<const IcoEntry> entries, int wantWidth, int wantHeight, int wantDepth)
{
    if (entries.size() <= 1)
        return !entries.empty() && entries[0].bitCount != 0 ? 1 : 0;
    // 64-bit scores: a wanted size near INT_MAX, doubled, must not wrap.
    std::vector<std::int64_t> score(entries.size(), 0);
    std::int64_t bestScore = 10000;
    int best = 0;
    const auto distance = [](std::int64_t have, std::int64_t want) {
        return have < want ? (have - want) * 2 : have - want;
    };
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const IcoEntry& e = entries[i];
        if (e.bitCount == 0)
            continue;
        score[i] = distance(e.width, wantWidth) + distance(e.height, wantHeight) +
                   std::abs(std::int64_t{wantDepth} - e.bitCount);
        if (e.bitCount > 32)
            score[i] = -10000;
        if (score[i] == 0)
            return static_cast<int>(i + 1);
        // A negative score is an entry smaller overall than wanted: passed over while a bigger one exists.
        if (score[i] > 0 && score[i] < bestScore) {
            bestScore = score[i];
            best = static_cast<int>(i + 1);
        }
    }
    if (best != 0)
        return best;
    // Every entry is smaller overall: the closest wins however far off the wanted size is.
    bestScore = INT64_MAX;
    for (std::size_t i = entries.size(); i-- > 0;) {
        const std::int64_t s = std::abs(score[i]) + std::abs(32 - std::int64_t{entries[i].bitCount});
        if (s < bestScore) {
            bestScore = s;
            best = static_cast<int>(i + 1);
        }
    }
    return best;
}

std::optional<IcoBitmap> ReadIcoImage(std::span<const std::uint8_t> image, int bitCount)
{
    SpanReader in(image);
    const auto header = in.PeekFixed<kInfoHeaderBytes>();
    if (!header)
        return std::nullopt;
    const std::uint32_t headerSize = LoadLe32(header->subspan<0, 4>());
    const auto width = static_cast<std::int32_t>(LoadLe32(header->subspan<4, 4>()));
    const auto rows = static_cast<std::int32_t>(LoadLe32(header->subspan<8, 4>()));
    const int bits = LoadLe16(header->subspan<14, 2>()) != 0 ? LoadLe16(header->subspan<14, 2>()) : bitCount;
    const std::uint32_t compression = LoadLe32(header->subspan<16, 4>());
    const std::uint32_t used = LoadLe32(header->subspan<32, 4>());
    if (headerSize < kInfoHeaderBytes || rows < 2 || rows % 2 != 0 || !FitsPixelLimit(width, rows / 2) ||
        compression != 0)
        return std::nullopt;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return std::nullopt;
    // Only a paletted image has a table: the full one unless the header names fewer colours.
    const std::uint32_t most = bits <= 8 ? 1u << bits : 0;
    if (used > most)
        return std::nullopt;
    const std::uint32_t colours = used != 0 ? used : most;
    IcoBitmap bitmap;
    bitmap.width = width;
    bitmap.height = rows / 2;
    bitmap.bitCount = bits;
    bitmap.image = image;
    const auto palette = in.Skip(headerSize) ? in.Take(std::uint64_t{4} * colours) : std::nullopt;
    const auto colourBits =
        palette ? in.Take(RowBytes(bits, width) * static_cast<std::uint64_t>(bitmap.height)) : std::nullopt;
    const auto mask =
        colourBits ? in.Take(RowBytes(1, width) * static_cast<std::uint64_t>(bitmap.height)) : std::nullopt;
    if (!mask)
        return std::nullopt;
    bitmap.palette = *palette;
    bitmap.colourBits = *colourBits;
    bitmap.mask = *mask;
    return bitmap;
}

std::optional<IcoBitmap> ReadIcoBitmap(std::span<const std::uint8_t> file, const IcoEntry& entry)
{
    SpanReader in(file);
    const auto image = in.Seek(entry.imageOffset) ? in.Take(entry.bytesInRes) : std::nullopt;
    if (entry.png || !image)
        return std::nullopt;
    auto bitmap = ReadIcoImage(*image, entry.bitCount);
    // A header that disagrees with its directory entry describes other rows than the entry's. The
    // directory's 0 (256) is all it can say of a bigger side.
    const auto agrees = [](int header, int directory) {
        return header == directory || (directory == 256 && header > 256);
    };
    if (!bitmap || !agrees(bitmap->width, entry.width) || !agrees(bitmap->height, entry.height))
        return std::nullopt;
    return bitmap;
}

std::optional<bool> ApplyMaskToAlpha(std::span<const std::uint8_t> mask, int width, int height,
                                 std::span<std::uint8_t> bgra)
{
    if (width < 1 || height < 1)
        return std::nullopt;
    const std::uint64_t maskRow = RowBytes(1, width);
    const std::uint64_t pixelRow = std::uint64_t{4} * static_cast<std::uint32_t>(width);
    if (mask.size() / maskRow < static_cast<std::uint64_t>(height) ||
        bgra.size() / pixelRow < static_cast<std::uint64_t>(height))
        return std::nullopt;
    bool anySet = false;
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        const auto bits = mask.subspan(y * maskRow, maskRow);
        const auto row = bgra.subspan(y * pixelRow, pixelRow);
        for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
            const auto px = row.subspan(x * 4, 4);
            if (bits[x / 8] & (0x80u >> (x % 8))) {
                std::ranges::fill(px, std::uint8_t{0});
                anySet = true;
            } else {
                px[3] = 255;
            }
        }
    }
    return anySet;
}

std::optional<IcoPixels> DecodeIcoBitmap(const IcoBitmap& bitmap, std::span<std::uint8_t> bgra)
{
    const int w = bitmap.width, h = bitmap.height;
    const unsigned bits = static_cast<unsigned>(bitmap.bitCount);
    if (w < 1 || h < 1)
        return std::nullopt;
    const std::uint64_t rowBytes = RowBytes(bitmap.bitCount, w);
    const std::uint64_t pixelRow = std::uint64_t{4} * static_cast<std::uint32_t>(w);
    if (bgra.size() != pixelRow * static_cast<std::uint32_t>(h) ||
        bitmap.colourBits.size() != rowBytes * static_cast<std::uint32_t>(h))
        return std::nullopt;
    const std::size_t colours = bitmap.palette.size() / 4;
    for (std::size_t y = 0; y < static_cast<std::size_t>(h); ++y) {
        const auto src = bitmap.colourBits.subspan(y * rowBytes, rowBytes);
        const auto row = bgra.subspan(y * pixelRow, pixelRow);
        for (std::size_t x = 0; x < static_cast<std::size_t>(w); ++x) {
            const auto px = row.subspan(x * 4, 4);
            px[3] = 255;
            switch (bits) {
            case 1:
            case 4:
            case 8: {
                const std::size_t bit = x * bits;
                const std::size_t index = (src[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                for (std::size_t c = 0; c < 3; ++c)
                    px[c] = index < colours ? bitmap.palette[index * 4 + c] : std::uint8_t{0};
                break;
            }
            case 16: {
                // Five bits a channel, widened as the system widens them: the top bits repeated below.
                const unsigned v = LoadLe16(src.subspan(x * 2).first<2>());
                for (std::size_t c = 0; c < 3; ++c) {
                    const unsigned five = (v >> (5 * c)) & 31;
                    px[c] = static_cast<std::uint8_t>(five << 3 | five >> 2);
                }
                break;
            }
            case 24:
                std::ranges::copy(src.subspan(x * 3, 3), px.begin());
                break;
            case 32:
                std::ranges::copy(src.subspan(x * 4, 4), px.begin());
                break;
            default:
                return std::nullopt;
            }
        }
    }
    IcoPixels result;
    // A 32-bit image whose alpha bytes are all 0 was made for its mask alone, and is drawn so.
    for (std::size_t i = 3; bits == 32 && !result.ownAlpha && i < bgra.size(); i += 4)
        result.ownAlpha = bgra[i] != 0;
    if (!result.ownAlpha) {
        const auto anySet = ApplyMaskToAlpha(bitmap.mask, w, h, bgra);
        if (!anySet)
            return std::nullopt;
        result.alpha = *anySet;
        return result;
    }
    result.alpha = true;
    for (std::size_t i = 0; i < bgra.size(); i += 4) {
        const unsigned a = bgra[i + 3];
        if (a == 0)
            bgra[i] = bgra[i + 1] = bgra[i + 2] = 0;
        else if (a != 255)
            for (std::size_t c = 0; c < 3; ++c)
                bgra[i + c] = static_cast<std::uint8_t>(bgra[i + c] * a / 255);
    }
    return result;
}

} // namespace imaging
