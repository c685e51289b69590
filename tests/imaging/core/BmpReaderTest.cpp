#include "imaging/core/BmpReader.h"
#include "imaging/core/Crc32.h"
#include "tests/imaging/core/BmpTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>

using imaging::BmpLoad;
using imaging::BmpReader;
using namespace bmptest;

namespace {

// `file` with the little-endian `value` written over the four bytes at `at`.
Bytes Patched(Bytes file, std::size_t at, std::uint32_t value)
{
    std::memcpy(&file[at], &value, 4);
    return file;
}

// The PNG signature, an IHDR of grey pixels (the sizes' low two bytes each) and an IDAT's head.
Bytes PngHead(std::uint8_t w1, std::uint8_t w0, std::uint8_t h1, std::uint8_t h0)
{
    Bytes b{'I', 'H', 'D', 'R', 0, 0, w1, w0, 0, 0, h1, h0, 8, 0, 0, 0, 0};
    const std::uint32_t crc = imaging::Crc32(b);
    b.insert(b.begin(), {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13});
    b.insert(b.end(), {std::uint8_t(crc >> 24), std::uint8_t(crc >> 16), std::uint8_t(crc >> 8), std::uint8_t(crc), 0, 0, 0, 2,
                       'I', 'D', 'A', 'T', 0x78, 1, 0, 0, 0, 0});
    return b;
}

TEST(BmpReader, DirectRowsComeBottomUpWithAlphaIntoTheConvention)
{
    // A picture of one column, top and bottom pixel, stored bottom-up and top-down.
    struct Case {
        const char* what;
        std::uint32_t top, bottom, topOut, bottomOut;
        int type;
    } cases[] = {
        {"opaque", 0xFF010203, 0xFF040506, 0xFF010203, 0xFF040506, imaging::imgBitmap},
        {"straight alpha is multiplied in", 0x80FF8040, 0x00FFFFFF, 0x80804020, 0, imaging::imgBitmapStraightAlpha},
        {"premultiplied alpha is kept", 0x80804020, 0xFF102030, 0x80804020, 0xFF102030, imaging::imgBitmapPremultiplied},
        {"no alpha at all is opaque", 0x00102030, 0x00405060, 0xFF102030, 0xFF405060, imaging::imgBitmap},
    };
    for (const Case& c : cases)
        for (std::int32_t height : {2, -2}) {
            const Bytes rows = height > 0 ? Words({c.bottom, c.top}) : Words({c.top, c.bottom});
            const Bytes file = File({.width = 1, .height = height}, rows);
            BmpReader reader;
            ASSERT_EQ(reader.ReadHeader(file), BmpLoad::Direct) << c.what;
            EXPECT_EQ(std::pair(reader.Width(), reader.Height()), std::pair(1, 2)) << c.what;
            std::uint32_t got[2] = {};
            const auto alpha = reader.DecodeInto({reinterpret_cast<std::uint8_t*>(got), 8});
            ASSERT_TRUE(alpha) << c.what;
            EXPECT_EQ(std::pair(got[0], got[1]), std::pair(c.bottomOut, c.topOut)) << c.what << " " << height;
            EXPECT_EQ(std::pair(alpha->imageType, alpha->hasAlpha), std::pair(c.type, c.type != imaging::imgBitmap)) << c.what;
        }
}

TEST(BmpReader, HeadersInsideTheBytesDecideWhoReadsThePicture)
{
    const Bytes px(24, 0x7F), px8(8, 1); // 3 x 2 pixels of 32 or 24 bits, and of 8
    const Bytes jpeg{0xFF, 0xD8, 0xFF, 0xC0, 0, 11, 8, 0, 2, 0, 3, 1, 1, 0x11, 0}; // its frame header: 3 x 2
    const Bytes bigJpeg{0xFF, 0xD8, 0xFF, 0xC0, 0, 11, 8, 0x20, 2, 0x20, 3, 1, 1, 0x11, 0}; // 8195 x 8194
    const auto inside = [](std::uint32_t compression, const Bytes& data) { // pixel data of a JPEG (4) or PNG (5)
        return File({.bits = 0, .compression = compression, .sizeImage = std::uint32_t(data.size())}, data);
    };
    const auto runs = [](std::uint32_t size) { // 8-bit run-length data of one colour
        return Layout{.bits = 8, .compression = 1, .sizeImage = size, .used = 1, .table = Bytes(4)};
    };
    struct Case {
        const char* what;
        Bytes file;
        BmpLoad load;
    } cases[] = {
        {"no signature", Bytes{'B', 'A', 0, 0}, BmpLoad::NotBmp},
        {"32 bits uncompressed", File({}, px), BmpLoad::Direct},
        {"32 bits after a fifth-version header", File({.headerSize = 124}, px), BmpLoad::Direct},
        {"bit-field rows over their masks", File({.compression = 3}, px), BmpLoad::Refused},
        {"8 bits with a colour table", File({.bits = 8, .table = Bytes(1024)}, px8), BmpLoad::PictureLoader},
        {"colour table past the end", File({.bits = 8}, px8), BmpLoad::Refused},
        {"24 bits in the oldest header", File({.bits = 24, .headerSize = 12}, px), BmpLoad::PictureLoader},
        {"run-length data of their stated size: drawn here", File(runs(8), px8), BmpLoad::Direct},
        {"4-bit runs", File({.bits = 4, .compression = 2, .sizeImage = 2, .table = Bytes(64)}, {0, 1}), BmpLoad::Direct},
        {"runs stored top-down: the system draws none", Patched(File(runs(2), {0, 1}), 22, 0xFFFFFFFE), BmpLoad::PictureLoader},
        {"8-bit runs of 4 bits", File({.bits = 4, .compression = 1, .sizeImage = 2, .table = Bytes(64)}, {0, 1}), BmpLoad::PictureLoader},
        {"run-length data without a size", File(runs(0), px8), BmpLoad::Refused},
        {"run-length data longer than the file", File(runs(9), px8), BmpLoad::Refused},
        {"rows one byte short", File({}, Bytes(23)), BmpLoad::Refused},
        {"pixel offset past the end", File({.offset = 200}, px), BmpLoad::Refused},
        {"pixel offset wrapping 32 bits", File({.offset = 0xFFFFFFF8}, px), BmpLoad::Refused},
        {"pixel offset inside the header", File({.offset = 20}, px), BmpLoad::Refused},
        {"header of an unknown size", File({.headerSize = 20}, px), BmpLoad::Refused},
        {"header longer than the file", Patched(File({}, px), 14, 100), BmpLoad::Refused},
        {"header size wrapping 32 bits", Patched(File({}, px), 14, 0xFFFFFFF8), BmpLoad::Refused},
        {"width 0", File({.width = 0}, {}), BmpLoad::Refused},
        {"height 0", File({.height = 0}, {}), BmpLoad::Refused},
        {"65535 x 65535 in a few bytes", Patched(Patched(File(runs(2), {0, 1}), 18, 65535), 22, 65535), BmpLoad::Refused},
        {"8192 x 8191 runs", Patched(Patched(File(runs(2), {0, 1}), 18, 8192), 22, 8191), BmpLoad::Direct},
        {"8192 x 8192 runs: past the pixel limit", Patched(Patched(File(runs(2), {0, 1}), 18, 8192), 22, 8192), BmpLoad::Refused},
        {"depth of 7 bits", File({.bits = 7}, px), BmpLoad::Refused},
        {"a JPEG inside", inside(4, jpeg), BmpLoad::PictureLoader},
        {"a JPEG inside, 8195 x 8194", inside(4, bigJpeg), BmpLoad::Refused},
        {"a JPEG inside, no frame", inside(4, {0xFF, 0xD8, 0xFF, 0xD9}), BmpLoad::Refused},
        {"a PNG inside", inside(5, PngHead(0, 3, 0, 2)), BmpLoad::PictureLoader},
        {"a PNG inside, 8192 x 8192", inside(5, PngHead(0x20, 0, 0x20, 0)), BmpLoad::Refused},
    };
    for (const Case& c : cases) {
        BmpReader reader;
        EXPECT_EQ(reader.ReadHeader(c.file), c.load) << c.what;
        if (reader.Width() > 100)
            continue; // no bitmap at the limit for a header's answer
        Bytes pixels(std::size_t(reader.Width()) * std::size_t(reader.Height()) * 4);
        EXPECT_EQ(reader.DecodeInto(pixels).has_value(), c.load == BmpLoad::Direct) << c.what;
    }
}

// The system reads bit-field masks at the end of the 40-byte header, 12 bytes of them (16 with
// alpha), whatever the header's size: what the reader hands on holds them, or the file is refused.
TEST(BmpReader, BitFieldMasksAreHandedOnWhereTheSystemReadsThem)
{
    for (std::uint32_t header : {40u, 41u, 44u, 48u, 51u, 52u, 55u, 56u, 64u, 108u, 124u})
        for (std::uint32_t compression : {0u, 3u, 6u}) {
            const std::uint32_t read = std::max(header, compression == 3 ? 52u : compression == 6 ? 56u : 0u);
            for (std::uint32_t after : {read - header, 0u, (read - header) / 2}) { // present, absent, cut short
                BmpReader r;
                const auto load = r.ReadHeader(File({.bits = 16, .compression = compression, .headerSize = header,
                                                     .table = Bytes(after)}, Bytes(16, 0x5A)));
                const bool whole = after == read - header;
                EXPECT_EQ(load, whole ? BmpLoad::PictureLoader : BmpLoad::Refused) << header << " " << compression << " " << after;
                EXPECT_EQ(r.InfoBytes().size(), whole ? read : 0) << header << " " << compression << " " << after;
            }
        }
}

TEST(BmpReader, PlainRowsAreHandedOnAsTheFileStoresThem)
{
    const Bytes px(24, 0x7F), px8(8, 1); // 3 x 2 pixels of 32 or 24 bits, and of 8
    const Layout runs{.bits = 8, .compression = 1, .sizeImage = 8, .used = 1, .table = Bytes(4)};
    struct Case {
        const char* what;
        Bytes file;
        std::size_t rows;
        bool topDown;
    } cases[] = {
        {"24 bits", File({.bits = 24}, px), 24, false},
        {"32 bits, top row first", File({.height = -2}, px), 24, true},
        {"8 bits over a colour table", File({.bits = 8, .table = Bytes(1024)}, px8), 8, false},
        {"the oldest header", File({.bits = 24, .headerSize = 12}, px), 0, false},
        {"bit-field rows", File({.bits = 16, .compression = 3, .table = Bytes(12)}, Bytes(16)), 0, false},
        {"run-length data", File(runs, px8), 0, false},
        {"rows one byte short", File({}, Bytes(23)), 0, false},
    };
    for (const Case& c : cases) {
        BmpReader reader;
        reader.ReadHeader(c.file);
        const auto rows = reader.StoredRows();
        EXPECT_EQ(rows.size(), c.rows) << c.what;
        EXPECT_TRUE(rows.empty() || rows.data() + rows.size() == c.file.data() + c.file.size())
            << c.what << ": the file's last bytes";
        EXPECT_EQ(reader.TopDown(), c.topDown) << c.what;
    }
}

TEST(BmpReader, RunsDrawAsTheSystemDoes)
{
    for (const RunsCase& c : kRunsCases) {
        std::vector<std::uint32_t> expected, got(15, 0x12345678);
        for (const char* p = c.drawn; *p; ++p)
            if (*p != ' ')
                expected.push_back(0xFF000000 | (*p == '.' ? 0 : (0x10u + std::uint32_t(*p - '0')) * 0x010101));
        const Bytes file = RunsFile(c.bits, c.runs, c.runs.size());
        BmpReader reader;
        ASSERT_EQ(reader.ReadHeader(file), BmpLoad::Direct) << c.what;
        const auto alpha = reader.DecodeInto({reinterpret_cast<std::uint8_t*>(got.data()), got.size() * 4});
        ASSERT_TRUE(alpha && !alpha->hasAlpha) << c.what;
        EXPECT_EQ(got, expected) << c.what;
    }
}

TEST(BmpReader, EveryTruncationOfASoundFileIsRefused)
{
    const Bytes files[] = {File({.height = -2}, Bytes(24, 0x40)), File({.bits = 4, .table = Bytes(64)}, Bytes(8, 0x12)),
                           File({.bits = 24, .headerSize = 12, .table = Bytes(3)}, Bytes(24, 9))};
    for (const Bytes& file : files) {
        BmpReader reader;
        ASSERT_NE(reader.ReadHeader(file), BmpLoad::Refused);
        for (std::size_t n = 2; n < file.size(); ++n)
            EXPECT_EQ(reader.ReadHeader(std::span(file).first(n)), BmpLoad::Refused) << n << " of " << file.size();
    }
}

} // namespace
