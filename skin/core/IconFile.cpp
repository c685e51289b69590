#include "skin/core/IconFile.h"

#include "imaging/core/IcoDirectory.h"

#include <algorithm>

namespace skin {

namespace {

constexpr std::size_t kImageAt = 6 + 16; // the directory and its one entry

void PutLe32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The directory keeps a side in one byte; 0 stands for 256 and more.
std::uint8_t SideByte(int side) { return static_cast<std::uint8_t>(side < 256 ? side : 0); }

} // namespace

std::vector<std::uint8_t> WriteIconFile(std::span<const std::uint8_t> image)
{
    const std::optional<imaging::IcoBitmap> img = imaging::ReadIcoImage(image);
    if (!img)
        return {};
    std::vector<std::uint8_t> out(kImageAt + image.size());
    out[2] = 1; // type: icon
    out[4] = 1; // one image
    out[6] = SideByte(img->width);
    out[7] = SideByte(img->height);
    out[8] = static_cast<std::uint8_t>(img->bitCount < 8 ? 1 << img->bitCount : 0);
    out[10] = 1; // planes
    out[12] = static_cast<std::uint8_t>(img->bitCount);
    PutLe32(out, 14, static_cast<std::uint32_t>(image.size()));
    PutLe32(out, 18, static_cast<std::uint32_t>(kImageAt));
    std::copy(image.begin(), image.end(), out.begin() + kImageAt);
    return out;
}

} // namespace skin
