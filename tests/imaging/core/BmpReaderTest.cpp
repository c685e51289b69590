#include "imaging/core/BmpReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <vector>

using imaging::BmpLoad;
using imaging::BmpReader;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct Layout {
    std::int32_t width = 2, height = 2;
    std::uint16_t bits = 32;
    std::uint32_t compression = 0, headerSize = 40, sizeImage = 0, used = 0;
    std::size_t between = 0;             // colour table or masks after the headers
    std::optional<std::uint32_t> offset = {}; // else right after them
};

// A BMP file of `layout` whose pixel data are `data`.
Bytes File(const Layout& l, const Bytes& data)
{
    Bytes b(14 + std::size_t{l.headerSize} + l.between, 0);
    auto put = [&](std::size_t at, std::uint32_t v, std::size_t n) { std::memcpy(&b[at], &v, n); };
    b[0] = 'B';
    b[1] = 'M';
    put(10, l.offset.value_or(static_cast<std::uint32_t>(b.size())), 4);
    put(14, l.headerSize, 4);
    if (l.headerSize == 12) {
        put(18, static_cast<std::uint32_t>(l.width), 2);
        put(20, static_cast<std::uint32_t>(l.height), 2);
        put(22, 1, 2);
        put(24, l.bits, 2);
    } else if (l.headerSize >= 40) {
        put(18, static_cast<std::uint32_t>(l.width), 4);
        put(22, static_cast<std::uint32_t>(l.height), 4);
        put(26, 1, 2);
        put(28, l.bits, 2);
        put(30, l.compression, 4);
        put(34, l.sizeImage, 4);
        put(46, l.used, 4);
    }
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

// `file` with the little-endian `value` written over the four bytes at `at`.
Bytes Patched(Bytes file, std::size_t at, std::uint32_t value)
{
    std::memcpy(&file[at], &value, 4);
    return file;
}

// 32-bit pixels given top row first, stored as the sign of `height` says.
Bytes Rows32(std::int32_t width, std::int32_t height, const std::vector<std::uint32_t>& topFirst)
{
    Bytes b;
    const int rows = height < 0 ? -height : height;
    for (int r = 0; r < rows; ++r)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = topFirst[std::size_t(height < 0 ? r : rows - 1 - r) * std::size_t(width) + std::size_t(x)];
            for (int i = 0; i < 4; ++i)
                b.push_back(static_cast<std::uint8_t>(p >> (8 * i)));
        }
    return b;
}

TEST(BmpReader, DirectRowsComeBottomUpWithAlphaIntoTheConvention)
{
    struct Case {
        const char* what;
        std::int32_t height;
        std::vector<std::uint32_t> topFirst, bottomUp;
        int type;
        bool alpha;
    } cases[] = {
        {"bottom-up rows", 2, {0xFF010203, 0xFF040506}, {0xFF040506, 0xFF010203}, imaging::imgBitmap, false},
        {"top-down rows", -2, {0xFF010203, 0xFF040506}, {0xFF040506, 0xFF010203}, imaging::imgBitmap, false},
        {"straight alpha is multiplied in", 2, {0x80FF8040, 0x00FFFFFF}, {0x00000000, 0x80804020},
         imaging::imgBitmapStraightAlpha, true},
        {"premultiplied alpha is kept", 2, {0x80804020, 0xFF102030}, {0xFF102030, 0x80804020},
         imaging::imgBitmapPremultiplied, true},
        {"no alpha at all is opaque", 2, {0x00102030, 0x00405060}, {0xFF405060, 0xFF102030}, imaging::imgBitmap, false},
    };
    for (const Case& c : cases) {
        const Bytes file = File({.width = 1, .height = c.height}, Rows32(1, c.height, c.topFirst));
        BmpReader reader;
        ASSERT_EQ(reader.ReadHeader(file), BmpLoad::Direct) << c.what;
        EXPECT_EQ(reader.Width(), 1) << c.what;
        EXPECT_EQ(reader.Height(), 2) << c.what;
        std::vector<std::uint32_t> got(2);
        const auto alpha = reader.DecodeInto({reinterpret_cast<std::uint8_t*>(got.data()), 8});
        ASSERT_TRUE(alpha) << c.what;
        EXPECT_EQ(got, c.bottomUp) << c.what;
        EXPECT_EQ(alpha->imageType, c.type) << c.what;
        EXPECT_EQ(alpha->hasAlpha, c.alpha) << c.what;
    }
}

TEST(BmpReader, HeadersInsideTheBytesDecideWhoReadsThePicture)
{
    const Bytes px16(16, 0x7F), px8x2(8, 1);
    struct Case {
        const char* what;
        Bytes file;
        BmpLoad load;
    } cases[] = {
        {"no signature", Bytes{'B', 'A', 0, 0}, BmpLoad::NotBmp},
        {"nothing", Bytes{}, BmpLoad::NotBmp},
        {"32 bits uncompressed", File({}, px16), BmpLoad::Direct},
        {"32 bits after a fifth-version header", File({.headerSize = 124}, px16), BmpLoad::Direct},
        {"32 bits with a gap before the rows", File({.between = 3}, px16), BmpLoad::Direct},
        {"32 bits in bit fields", File({.compression = 3, .between = 12}, px16), BmpLoad::PictureLoader},
        {"bit-field rows over their masks", File({.compression = 3, .offset = 54}, Bytes(12)),
         BmpLoad::Refused},
        {"8 bits with a colour table", File({.bits = 8, .between = 1024}, px8x2), BmpLoad::PictureLoader},
        {"8 bits with two colours used", File({.bits = 8, .used = 2, .between = 8}, px8x2), BmpLoad::PictureLoader},
        {"colour table past the end", File({.bits = 8, .offset = 54}, px8x2), BmpLoad::Refused},
        {"24 bits in the oldest header", File({.bits = 24, .headerSize = 12}, px16), BmpLoad::PictureLoader},
        {"run-length data of their stated size", File({.bits = 8, .compression = 1, .sizeImage = 8, .used = 1, .between = 4}, px8x2),
         BmpLoad::PictureLoader},
        {"run-length data without a size", File({.bits = 8, .compression = 1, .used = 1, .between = 4}, px8x2),
         BmpLoad::Refused},
        {"run-length data longer than the file", File({.bits = 8, .compression = 1, .sizeImage = 9, .used = 1, .between = 4}, px8x2),
         BmpLoad::Refused},
        {"rows one byte short", File({}, Bytes(15)), BmpLoad::Refused},
        {"pixel offset past the end", File({.offset = 71}, px16), BmpLoad::Refused},
        {"pixel offset wrapping 32 bits", File({.offset = 0xFFFFFFF8}, px16), BmpLoad::Refused},
        {"pixel offset inside the header", File({.offset = 20}, px16), BmpLoad::Refused},
        {"header of an unknown size", File({.headerSize = 20}, px16), BmpLoad::Refused},
        {"header longer than the file", Patched(File({}, px16), 14, 100), BmpLoad::Refused},
        {"header size wrapping 32 bits", Patched(File({}, px16), 14, 0xFFFFFFF8), BmpLoad::Refused},
        {"width 0", File({.width = 0}, {}), BmpLoad::Refused},
        {"negative width", File({.width = -2}, px16), BmpLoad::Refused},
        {"height 0", File({.height = 0}, {}), BmpLoad::Refused},
        {"65535 x 65535 in a few bytes", File({.width = 65535, .height = 65535, .bits = 8, .compression = 1, .sizeImage = 2, .used = 1, .between = 4}, {0, 1}),
         BmpLoad::Refused},
        {"depth of 7 bits", File({.bits = 7}, px16), BmpLoad::Refused},
    };
    for (const Case& c : cases) {
        BmpReader reader;
        EXPECT_EQ(reader.ReadHeader(c.file), c.load) << c.what;
        if (c.load != BmpLoad::Direct) {
            Bytes any(16);
            EXPECT_FALSE(reader.DecodeInto(any)) << c.what;
        }
    }
}

TEST(BmpReader, EveryTruncationOfASoundFileIsRefused)
{
    const Bytes files[] = {File({.width = 3, .height = -2}, Bytes(24, 0x40)),
                           File({.width = 3, .bits = 4, .between = 64}, Bytes(8, 0x12)),
                           File({.bits = 24, .headerSize = 12, .between = 3}, Bytes(16, 9))};
    for (const Bytes& file : files) {
        BmpReader reader;
        ASSERT_NE(reader.ReadHeader(file), BmpLoad::Refused);
        for (std::size_t n = 2; n < file.size(); ++n)
            EXPECT_EQ(reader.ReadHeader(std::span(file).first(n)), BmpLoad::Refused) << n << " of " << file.size();
    }
}

} // namespace
