#include "alphaimage/core/Bmp32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A BMP file of `w` by `h` 32-bit pixels given top row first; a negative `storedHeight`
// stores them top-down, a positive one bottom-up.
std::vector<std::uint8_t> Bmp(int w, int storedHeight, const std::vector<std::uint32_t>& topFirst,
                              std::uint16_t bits = 32, std::uint32_t compression = 0)
{
    std::vector<std::uint8_t> b(54, 0);
    auto put = [&](std::size_t at, std::uint32_t v, int n) { std::memcpy(&b[at], &v, static_cast<std::size_t>(n)); };
    b[0] = 'B';
    b[1] = 'M';
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(w), 4);
    put(22, static_cast<std::uint32_t>(storedHeight), 4);
    put(26, 1, 2);
    put(28, bits, 2);
    put(30, compression, 4);
    const int h = storedHeight < 0 ? -storedHeight : storedHeight;
    for (int r = 0; r < h; ++r) {
        const int row = storedHeight < 0 ? r : h - 1 - r;
        for (int x = 0; x < w; ++x) {
            std::uint32_t p = topFirst[static_cast<std::size_t>(row * w + x)];
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(&p);
            b.insert(b.end(), bytes, bytes + 4);
        }
    }
    return b;
}

std::vector<std::uint32_t> Pixels(const aic::PremultipliedImage& img)
{
    std::vector<std::uint32_t> out(img.pixels.size() / 4);
    std::memcpy(out.data(), img.pixels.data(), img.pixels.size());
    return out;
}

TEST(ReadBmp32, RowsComeTopFirstAndAlphaIntoTheConvention)
{
    struct Case {
        const char* what;
        int storedHeight;
        std::vector<std::uint32_t> in, out;
    } cases[] = {
        {"bottom-up rows", 2, {0xFF010203, 0xFF040506}, {0xFF010203, 0xFF040506}},
        {"top-down rows", -2, {0xFF010203, 0xFF040506}, {0xFF010203, 0xFF040506}},
        {"straight alpha is multiplied in", 2, {0x80FF8040, 0x00FFFFFF}, {0x80804020, 0x00000000}},
        {"premultiplied alpha is kept", 2, {0x80804020, 0xFF102030}, {0x80804020, 0xFF102030}},
        {"no alpha at all is opaque", 2, {0x00102030, 0x00405060}, {0xFF102030, 0xFF405060}},
    };
    for (const Case& c : cases) {
        auto img = aic::ReadBmp32(Bmp(1, c.storedHeight, c.in));
        ASSERT_TRUE(img) << c.what;
        EXPECT_EQ(img->width, 1) << c.what;
        EXPECT_EQ(img->height, 2) << c.what;
        EXPECT_EQ(Pixels(*img), c.out) << c.what;
    }
}

TEST(ReadBmp32, OtherFilesAreLeftToTheNextReader)
{
    std::vector<std::uint8_t> good = Bmp(2, 2, {1, 2, 3, 4});
    std::vector<std::uint8_t> shortData(good.begin(), good.end() - 1), notBm = good, zeroHeight = Bmp(2, 0, {});
    notBm[0] = 'X';
    std::vector<std::uint8_t> hugeOffset = good;
    std::memset(&hugeOffset[10], 0xFF, 4);
    const std::vector<std::uint8_t> refused[] = {
        shortData, notBm, zeroHeight, hugeOffset, Bmp(1, 1, {1}, 24), Bmp(1, 1, {1}, 32, 3), Bmp(-1, 1, {}), {},
    };
    for (const auto& bytes : refused)
        EXPECT_FALSE(aic::ReadBmp32(bytes)) << &bytes - refused;
}

} // namespace
