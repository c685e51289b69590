// Icon and cursor files (.ico, .cur) read from memory: the directory, each entry's image (a PNG
// stream or a bitmap with its AND mask), the entry that best fits a wanted size, and a bitmap
// entry's pixels. Nothing here writes into the bytes it reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace imaging {

enum class IcoKind : std::uint16_t { Icon = 1, Cursor = 2 };

// One entry as the directory and the first bytes of its image describe it.
struct IcoEntry {
    int width = 0; // the directory's byte, 0 counting as 256; a PNG's from its IHDR when 1..256
    int height = 0;
    int bitCount = 0;   // the bitmap header's when not 0, else the directory's; a PNG's as its IHDR implies
    int colorCount = 0; // table entries the data leave room for (bit counts up to 8), else 0
    bool png = false;
    std::uint32_t bytesInRes = 0;  // the image's size
    std::uint32_t imageOffset = 0; // where it starts, from the directory's first byte
    int hotspotX = 0; // a cursor file's, which holds it where an icon's entry holds planes
    int hotspotY = 0; // and bit count
};

struct IcoDirectory {
    IcoKind kind = IcoKind::Icon;
    std::vector<IcoEntry> entries; // at least one, each image inside the bytes read
};

// Whether `file` begins as an icon or cursor directory does (reserved 0, type 1 or 2). What the
// icon reader refuses of such data goes to no other decoder: the system's picture loader walks
// an icon directory without checking it against the bytes.
bool HasIcoSignature(std::span<const std::uint8_t> file);

// The directory of `file`; nothing when it is not an icon or cursor file, or when its directory,
// an entry's image or all images together reach past the bytes, an entry is too short for the
// header it must begin with, or a PNG entry's header is not one.
std::optional<IcoDirectory> ReadIcoDirectory(std::span<const std::uint8_t> file);

// The entry (1-based) that best fits the wanted size and bit depth, 0 for none. An exact fit wins
// at once; otherwise the closest entry that is not smaller overall, a bigger side counting once
// and a smaller side twice, the earlier of equals; when every entry is smaller overall, the one
// closest in size and to 32 bits, the later of equals.
int FindBestEntry(std::span<const IcoEntry> entries, int wantWidth, int wantHeight, int wantDepth);

// A bitmap image: a BITMAPINFOHEADER whose height counts the colour and the mask rows, the
// colour table, the colour bits and the 1-bit AND mask, both bottom row first with rows padded
// to 4 bytes. Each part lies inside `image`.
struct IcoBitmap {
    int width = 0;
    int height = 0; // the picture's: half the header's
    int bitCount = 0;
    std::span<const std::uint8_t> image;   // all the bytes it was read from
    std::span<const std::uint8_t> palette; // 4 bytes a colour: blue, green, red, unused
    std::span<const std::uint8_t> colourBits;
    std::span<const std::uint8_t> mask;
};

// The bitmap `image` holds; nothing when its header is not one an icon may have (header size
// below 40, sides below 1 or past the pixel limit, an odd or negative row count, a bit count other than 1, 4, 8, 16, 24
// or 32, compression, more colours than the depth has, a table on a depth above 8) or the bytes
// end before the mask does. `bitCount` stands in for a header's bit count of 0.
std::optional<IcoBitmap> ReadIcoImage(std::span<const std::uint8_t> image, int bitCount = 0);

// The bitmap of a directory entry of `file`; nothing when it is a PNG entry, when ReadIcoImage
// refuses its image, or when the header's sides are not the directory's (whose 256 stands for
// any side from 256 on).
std::optional<IcoBitmap> ReadIcoBitmap(std::span<const std::uint8_t> file, const IcoEntry& entry);

struct IcoPixels {
    bool ownAlpha = false; // a 32-bit image whose alpha bytes were used; else its AND mask was
    bool alpha = false;    // some pixel is not opaque
};

// Decodes `bitmap` into `bgra`: width × height premultiplied pixels (blue, green, red, alpha),
// bottom row first. Colour table indexes past the table give black. A 32-bit image takes its
// alpha from its own alpha bytes unless they are all 0; any other image from its mask, where a
// set bit makes the pixel clear. Nothing when `bgra` is not exactly the pixels' size.
std::optional<IcoPixels> DecodeIcoBitmap(const IcoBitmap& bitmap, std::span<std::uint8_t> bgra);

// Makes every pixel of `bgra` (width × height, bottom row first) whose bit is set in the 1-bit
// `mask` (rows bottom first, padded to 4 bytes, most significant bit first) clear, and every
// other opaque; answers whether some bit was set. Nothing, and nothing changed, when either is
// too short.
std::optional<bool> ApplyMaskToAlpha(std::span<const std::uint8_t> mask, int width, int height,
                                 std::span<std::uint8_t> bgra);

} // namespace imaging
