#include "IcoTestFiles.h"

namespace icotest {

void Put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> 8 * i);
}

Bytes BitmapImage(std::mt19937& rng, int w, int h, int bits, Alpha alpha)
{
    const auto row = [w](int b) { return (static_cast<std::size_t>(w) * b + 31) / 32 * 4; };
    const std::size_t colours = 40 + (bits <= 8 ? 4u << bits : 0);
    Bytes img(colours + (row(bits) + row(1)) * h);
    for (std::size_t i = 40; i < img.size(); ++i)
        img[i] = static_cast<std::uint8_t>(
            bits == 32 && alpha == Alpha::Zero && i < colours + row(32) * h && i % 4 == 3 ? 0 : rng());
    Put32(img, 0, 40), Put32(img, 4, static_cast<std::uint32_t>(w)), Put32(img, 8, static_cast<std::uint32_t>(2 * h));
    img[12] = 1, img[14] = static_cast<std::uint8_t>(bits);
    return img;
}

Bytes IcoFile(std::uint16_t type, const std::vector<Bytes>& images)
{
    Bytes file(6 + 16 * images.size());
    file[2] = static_cast<std::uint8_t>(type), file[4] = static_cast<std::uint8_t>(images.size());
    for (std::size_t i = 0, at = 6; i < images.size(); ++i, at += 16) {
        const Bytes& img = images[i];
        const bool png = img[0] == 0x89; // sides: big-endian in the IHDR, the header's height doubled
        file[at] = png ? img[19] : img[4];
        file[at + 1] = png ? img[23] : static_cast<std::uint8_t>(img[8] / 2 | img[9] << 7);
        file[at + 4] = 1, file[at + 6] = png ? 32 : img[14];
        Put32(file, at + 8, static_cast<std::uint32_t>(img.size()));
        Put32(file, at + 12, static_cast<std::uint32_t>(file.size()));
        file.insert(file.end(), img.begin(), img.end());
    }
    return file;
}

} // namespace icotest
