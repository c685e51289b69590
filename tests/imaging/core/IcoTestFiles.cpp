#include "IcoTestFiles.h"

namespace icotest {

void Put16(Bytes& b, std::size_t at, std::uint16_t v)
{
    b[at] = static_cast<std::uint8_t>(v), b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    Put16(b, at, static_cast<std::uint16_t>(v)), Put16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

Bytes BitmapImage(std::mt19937& rng, int w, int h, int bits, Alpha alpha, int colours)
{
    const auto row = [w](int b) { return (static_cast<std::size_t>(w) * b + 31) / 32 * 4; };
    const std::size_t table = 4 * static_cast<std::size_t>(colours ? colours : bits <= 8 ? 1 << bits : 0);
    Bytes img(40 + table + (row(bits) + row(1)) * h);
    for (std::size_t i = 40; i < img.size(); ++i)
        img[i] = static_cast<std::uint8_t>(rng());
    for (std::size_t i = 40 + table + 3; bits == 32 && i < 40 + table + row(32) * h; i += 4)
        img[i] = alpha == Alpha::Zero ? 0 : alpha == Alpha::Opaque ? 255 : img[i];
    Put32(img, 0, 40), Put32(img, 4, static_cast<std::uint32_t>(w)), Put32(img, 8, static_cast<std::uint32_t>(2 * h));
    Put16(img, 12, 1), Put16(img, 14, static_cast<std::uint16_t>(bits)), Put32(img, 32, static_cast<std::uint32_t>(colours));
    return img;
}

Bytes IcoFile(std::uint16_t type, const std::vector<Bytes>& images)
{
    Bytes file(6 + 16 * images.size());
    Put16(file, 2, type), Put16(file, 4, static_cast<std::uint16_t>(images.size()));
    for (std::size_t i = 0; i < images.size(); ++i) {
        const Bytes& img = images[i];
        const bool png = img[0] == 0x89;
        const auto be32 = [&img](std::size_t at) { return std::uint32_t{img[at]} << 24 | img[at + 1] << 16 | img[at + 2] << 8 | img[at + 3]; };
        const auto le32 = [&img](std::size_t at) { return std::uint32_t{img[at]} | img[at + 1] << 8 | img[at + 2] << 16 | img[at + 3] << 24; };
        const std::uint32_t w = png ? be32(16) : le32(4), h = png ? be32(20) : le32(8) / 2;
        const std::size_t at = 6 + 16 * i;
        file[at] = static_cast<std::uint8_t>(w), file[at + 1] = static_cast<std::uint8_t>(h);
        Put16(file, at + 4, 1), Put16(file, at + 6, png ? 32 : img[14]);
        Put32(file, at + 8, static_cast<std::uint32_t>(img.size())), Put32(file, at + 12, static_cast<std::uint32_t>(file.size()));
        file.insert(file.end(), img.begin(), img.end());
    }
    return file;
}

} // namespace icotest
