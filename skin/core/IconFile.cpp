#include "skin/core/IconFile.h"

#include <algorithm>

namespace skin {

namespace {

constexpr std::size_t kHeaderBytes = 40;  // the bitmap header an icon image begins with
constexpr std::size_t kDirectoryBytes = 6; // reserved, type, count
constexpr std::size_t kEntryBytes = 16;
// The same bound as a stored bitmap's: no picture of the controls comes near it.
constexpr int kMaxSide = 4096;

std::uint32_t Le16(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8;
}

std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at)
{
    return Le16(b, at) | Le16(b, at + 2) << 16;
}

void PutLe32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The directory keeps a side in one byte; 0 stands for 256 and more.
std::uint8_t SideByte(int side) { return static_cast<std::uint8_t>(side < 256 ? side : 0); }

std::uint64_t RowBytes(int width, int bits) { return (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4; }

} // namespace

std::optional<IconImage> CheckIconImage(std::span<const std::uint8_t> image)
{
    if (image.size() < kHeaderBytes || Le32(image, 0) != kHeaderBytes)
        return std::nullopt;
    const auto width = static_cast<std::int32_t>(Le32(image, 4));
    const auto rows = static_cast<std::int32_t>(Le32(image, 8)); // colour and mask rows together
    const auto bits = static_cast<int>(Le16(image, 14));
    const std::uint32_t used = Le32(image, 32);
    if (width < 1 || width > kMaxSide || rows < 2 || rows % 2 != 0 || rows / 2 > kMaxSide || Le16(image, 12) != 1 ||
        Le32(image, 16) != 0)
        return std::nullopt;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return std::nullopt;
    // Only a paletted image has a palette: the full one unless the header names fewer colours.
    const std::uint32_t most = bits <= 8 ? 1u << bits : 0;
    if (used > most)
        return std::nullopt;
    const std::uint32_t colours = bits <= 8 && used == 0 ? most : used;
    const int height = rows / 2;
    const std::uint64_t need =
        kHeaderBytes + 4ull * colours + (RowBytes(width, bits) + RowBytes(width, 1)) * static_cast<std::uint64_t>(height);
    if (need > image.size())
        return std::nullopt;
    return IconImage{width, height, bits, image};
}

bool IsIconFile(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= 4 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 1 && bytes[3] == 0;
}

std::vector<std::uint8_t> WriteIconFile(std::span<const std::uint8_t> image)
{
    const std::optional<IconImage> img = CheckIconImage(image);
    if (!img)
        return {};
    constexpr std::size_t at = kDirectoryBytes + kEntryBytes;
    std::vector<std::uint8_t> out(at + image.size());
    out[2] = 1; // type: icon
    out[4] = 1; // one image
    out[6] = SideByte(img->width);
    out[7] = SideByte(img->height);
    out[8] = static_cast<std::uint8_t>(img->bitCount < 8 ? 1 << img->bitCount : 0);
    out[10] = 1; // planes
    out[12] = static_cast<std::uint8_t>(img->bitCount);
    PutLe32(out, 14, static_cast<std::uint32_t>(image.size()));
    PutLe32(out, 18, static_cast<std::uint32_t>(at));
    std::copy(image.begin(), image.end(), out.begin() + at);
    return out;
}

std::optional<IconImage> ReadIconFile(std::span<const std::uint8_t> file)
{
    if (file.size() < kDirectoryBytes || !IsIconFile(file))
        return std::nullopt;
    const std::uint32_t count = Le16(file, 4);
    const std::uint64_t directory = kDirectoryBytes + kEntryBytes * static_cast<std::uint64_t>(count);
    if (count == 0 || directory > file.size())
        return std::nullopt;
    const std::uint32_t length = Le32(file, kDirectoryBytes + 8);
    const std::uint32_t offset = Le32(file, kDirectoryBytes + 12);
    if (offset < directory || offset > file.size() || length > file.size() - offset)
        return std::nullopt;
    std::optional<IconImage> img = CheckIconImage(file.subspan(offset, length));
    if (!img || file[kDirectoryBytes] != SideByte(img->width) || file[kDirectoryBytes + 1] != SideByte(img->height))
        return std::nullopt;
    return img;
}

} // namespace skin
