// The BMP reader's two doors under the real system: BMP files of every layout (copied directly or
// drawn through the picture loader), metafile bytes, and bitmap handles and picture objects.
#include "imaging/Files.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cBMPparser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

using imaging::c32bppDIB;
using Bytes = std::vector<std::uint8_t>;
using Pixels = std::vector<std::uint32_t>; // 0xAARRGGBB, bottom row first

struct Loaded {
    bool result = false;
    int width = 0, height = 0, type = 0;
    bool alpha = false;
    Pixels bits;
};

Loaded Take(bool result, const c32bppDIB& host)
{
    Loaded l{result, host.Width(), host.Height(), host.ImageType(), host.Alpha(), {}};
    if (host.BitsPointer())
        l.bits.assign(reinterpret_cast<const std::uint32_t*>(host.BitsPointer()),
                      reinterpret_cast<const std::uint32_t*>(host.BitsPointer()) + host.Width() * host.Height());
    return l;
}

// Through LoadStream, from a slice with other bytes on both sides.
Loaded Stream(const Bytes& file)
{
    Bytes array{1, 2, 3};
    array.insert(array.end(), file.begin(), file.end());
    array.insert(array.end(), {'B', 'M'});
    c32bppDIB host;
    return Take(imaging::cBMPparser().LoadStream(array, host, 3, file.size()), host);
}

Loaded Convert(IPicture* picture, HBITMAP bitmap)
{
    c32bppDIB host;
    return Take(imaging::cBMPparser().ConvertstdPicTo32bpp(picture, bitmap, host, 0), host);
}
// A bitmap handle of the test's own, deleted after the conversion: the reader does not take it.
Loaded ConvertBitmap(HBITMAP bitmap)
{
    const Loaded l = Convert(nullptr, bitmap);
    EXPECT_EQ(GetObjectType(bitmap), DWORD{OBJ_BITMAP});
    DeleteObject(bitmap);
    return l;
}

void Put(Bytes& b, std::uint32_t v, int n)
{
    for (int i = 0; i < n; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// The test picture is 3 x 2: each layout stores the values of its pixels, top row first, and
// the colours they stand for.
constexpr std::uint32_t kPalette[] = {0x102030, 0xC0A080, 0x00FF00, 0x0000FF};
constexpr std::uint32_t kIndexes[] = {0, 1, 2, 3, 0, 1};

// Rows of `bits`-bit values, padded to 4 bytes, stored bottom-up unless `topDown`.
Bytes Rows(int bits, const std::function<std::uint32_t(int)>& value, bool topDown = false)
{
    Bytes b;
    for (int r = 0; r < 2; ++r) {
        const int row = topDown ? r : 1 - r;
        const std::size_t start = b.size();
        if (bits >= 8) {
            for (int x = 0; x < 3; ++x)
                Put(b, value(row * 3 + x), bits / 8);
        } else { // packed from the high bits of each byte
            std::uint32_t acc = 0;
            for (int x = 0; x < 3; ++x)
                acc = acc << bits | value(row * 3 + x);
            acc <<= 16 - 3 * bits;
            b.insert(b.end(), {std::uint8_t(acc >> 8), std::uint8_t(acc)});
        }
        b.resize(start + (b.size() - start + 3) / 4 * 4);
    }
    return b;
}

Bytes Bmp(int bits, int height, std::uint32_t compression, const Bytes& table, const Bytes& data)
{
    Bytes b{'B', 'M'};
    Put(b, 54 + std::uint32_t(table.size() + data.size()), 4);
    Put(b, 0, 4);
    Put(b, 54 + std::uint32_t(table.size()), 4);
    for (std::uint32_t v : {40u, 3u, std::uint32_t(height)})
        Put(b, v, 4);
    Put(b, 1, 2);
    Put(b, std::uint32_t(bits), 2);
    const std::uint32_t colours = bits <= 8 ? std::uint32_t(table.size() / 4) : 0;
    for (std::uint32_t v : {compression, std::uint32_t(data.size()), 0u, 0u, colours, 0u})
        Put(b, v, 4);
    b.insert(b.end(), table.begin(), table.end());
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

Bytes Table(std::initializer_list<std::uint32_t> entries)
{
    Bytes b;
    for (std::uint32_t v : entries)
        Put(b, v, 4);
    return b;
}

Bytes PaletteBmp(int bits, std::uint32_t compression = 0, const Bytes& rle = {})
{
    const Bytes rows = Rows(bits, [&](int i) { return kIndexes[i] & ((1u << bits) - 1); });
    const Bytes table = Table({kPalette[0], kPalette[1], kPalette[2], kPalette[3]});
    return Bmp(bits, 2, compression, Bytes(table.begin(), table.begin() + (bits == 1 ? 8 : 16)), rle.empty() ? rows : rle);
}

// Opaque colours, bottom row first, of the pixels `colour` gives top row first.
Pixels Expected(const std::function<std::uint32_t(int)>& colour)
{
    Pixels p;
    for (int i : {3, 4, 5, 0, 1, 2})
        p.push_back(0xFF000000 | colour(i));
    return p;
}
Pixels PaletteColours(int bits) { return Expected([&](int i) { return kPalette[kIndexes[i] & ((1u << bits) - 1)]; }); }

// Five-bit channels of the 16-bit pixels, and the eight bits the system widens them to.
constexpr std::uint32_t kFive[][3] = {{0, 0, 0}, {31, 31, 31}, {31, 0, 0}, {0, 31, 0}, {0, 0, 31}, {16, 8, 4}};
std::uint32_t Widen(std::uint32_t v, int bits) { return (v << (8 - bits) | v >> (2 * bits - 8)) & 0xFF; }

// A metafile picture of 1 x 0.5 inch whose left half is painted.
constexpr std::uint32_t kPainted = 0xFF204080;
void PaintLeftHalf(HDC dc)
{
    const HBRUSH brush = CreateSolidBrush(RGB(0x20, 0x40, 0x80));
    SelectObject(dc, brush);
    SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, 0, 0, 49, 49);
    DeleteObject(brush);
}
Bytes EmfBytes()
{
    const RECT frame{0, 0, 2540, 1270}; // HIMETRIC
    const HDC dc = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    PaintLeftHalf(dc);
    const HENHMETAFILE emf = CloseEnhMetaFile(dc);
    Bytes b(GetEnhMetaFileBits(emf, 0, nullptr));
    GetEnhMetaFileBits(emf, UINT(b.size()), b.data());
    DeleteEnhMetaFile(emf);
    return b;
}
// A placeable metafile: its header gives the frame in units of 1/96 inch.
Bytes WmfBytes()
{
    const HDC dc = CreateMetaFileW(nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, 96, 48, nullptr);
    PaintLeftHalf(dc);
    const HMETAFILE wmf = CloseMetaFile(dc);
    Bytes bits(GetMetaFileBitsEx(wmf, 0, nullptr));
    GetMetaFileBitsEx(wmf, UINT(bits.size()), bits.data());
    DeleteMetaFile(wmf);
    const std::uint16_t head[] = {0xCDD7, 0x9AC6, 0, 0, 0, 96, 48, 96, 0, 0};
    std::uint16_t sum = 0;
    Bytes b;
    for (std::uint16_t w : head) {
        sum ^= w;
        Put(b, w, 2);
    }
    Put(b, sum, 2);
    b.insert(b.end(), bits.begin(), bits.end());
    return b;
}

// A bitmap of the test picture's 32-bit pixels (top row first) as a DIB section of `bits`.
HBITMAP Section(int bits, bool topDown, const std::uint32_t* argb)
{
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 3, topDown ? -2 : 2, 1, WORD(bits), BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* at = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &at, nullptr, 0);
    const Bytes rows = Rows(bits, [&](int i) {
        const std::uint32_t c = argb[i];
        return bits != 16 ? c : (c >> 19 & 31) << 10 | (c >> 11 & 31) << 5 | (c >> 3 & 31);
    }, topDown);
    std::memcpy(at, rows.data(), rows.size());
    return bitmap;
}

TEST(BmpParser, EveryLayoutAndSourceGivesItsPicture)
{
    const int dpi = [] {
        const HDC screen = GetDC(nullptr);
        const int d = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        return d;
    }();
    const std::uint32_t straight[] = {0x80FF8040, 0x00FFFFFF, 0xFF102030, 0x40404040, 0xFF000000, 0x00000000};
    const Pixels premultiplied = {0x40101010, 0xFF000000, 0x00000000, 0x80804020, 0x00000000, 0xFF102030};
    const Pixels rgb = PaletteColours(8);
    const Pixels sixteen = Expected([](int i) {
        return Widen(kFive[i][0], 5) << 16 | Widen(kFive[i][1], 5) << 8 | Widen(kFive[i][2], 5);
    });
    const auto five = [](int i) { return kFive[i][0] << 10 | kFive[i][1] << 5 | kFive[i][2]; };
    const auto colour = [](int i) { return kPalette[kIndexes[i]]; };
    const std::uint32_t opaque[] = {0xFF102030, 0xFFC0A080, 0xFF00FF00, 0xFF0000FF, 0xFF102030, 0xFFC0A080};
    const std::uint8_t mono[] = {0x40, 0, 0xA0, 0}; // rows of 16 bits, top first: 0 1 0, 1 0 1
    struct Case {
        const char* what;
        std::function<Loaded()> load;
        int type;
        bool alpha;
        Pixels bits; // none for a metafile: its painted and clear halves are looked at
    } cases[] = {
        {"1 bit", [] { return Stream(PaletteBmp(1)); }, 1, false, PaletteColours(1)},
        {"4 bits", [] { return Stream(PaletteBmp(4)); }, 1, false, PaletteColours(4)},
        {"8 bits", [] { return Stream(PaletteBmp(8)); }, 1, false, rgb},
        {"4-bit runs", [] { return Stream(PaletteBmp(4, 2, {0, 3, 0x30, 0x10, 0, 0, 2, 0x01, 1, 0x20, 0, 0, 0, 1})); }, 1, false, rgb},
        {"8-bit runs", [] { return Stream(PaletteBmp(8, 1, {0, 3, 3, 0, 1, 0, 0, 0, 1, 0, 1, 1, 1, 2, 0, 0, 0, 1})); }, 1, false, rgb},
        {"16 bits", [&] { return Stream(Bmp(16, 2, 0, {}, Rows(16, five))); }, 1, false, sixteen},
        {"16 bits in 5-6-5 bit fields", [&] {
             return Stream(Bmp(16, 2, 3, Table({0xF800, 0x07E0, 0x001F}), Rows(16, [](int i) {
                                   return kFive[i][0] << 11 | (kFive[i][1] * 2 + (kFive[i][1] & 1)) << 5 | kFive[i][2];
                               })));
         }, 1, false, Expected([](int i) {
             const std::uint32_t g = kFive[i][1] * 2 + (kFive[i][1] & 1);
             return Widen(kFive[i][0], 5) << 16 | Widen(g, 6) << 8 | Widen(kFive[i][2], 5);
         })},
        {"24 bits", [&] { return Stream(Bmp(24, 2, 0, {}, Rows(24, colour))); }, 1, false, rgb},
        {"24 bits top-down", [&] { return Stream(Bmp(24, -2, 0, {}, Rows(24, colour, true))); }, 1, false, rgb},
        {"32 bits in bit fields, red and blue swapped", [&] {
             return Stream(Bmp(32, 2, 3, Table({0xFF, 0xFF00, 0xFF0000}), Rows(32, [](int i) {
                                   const std::uint32_t c = kPalette[kIndexes[i]];
                                   return 0xFF000000 | (c & 0xFF) << 16 | (c & 0xFF00) | c >> 16;
                               })));
         }, 1, false, rgb},
        {"32 bits with straight alpha", [&] { return Stream(Bmp(32, 2, 0, {}, Rows(32, [&](int i) { return straight[i]; }))); },
         6, true, premultiplied},
        {"32 bits top-down", [&] { return Stream(Bmp(32, -2, 0, {}, Rows(32, [&](int i) { return straight[i]; }, true))); },
         6, true, premultiplied},
        {"32 bits with no alpha", [&] { return Stream(Bmp(32, 2, 0, {}, Rows(32, colour))); }, 1, false, rgb},
        {"enhanced metafile bytes", [] { return Stream(EmfBytes()); }, 4, true, {}},
        {"placeable metafile bytes", [] { return Stream(WmfBytes()); }, 2, true, {}},
        {"32-bit DIB section", [&] { return ConvertBitmap(Section(32, false, straight)); }, 6, true, premultiplied},
        {"32-bit top-down DIB section", [&] { return ConvertBitmap(Section(32, true, straight)); }, 6, true, premultiplied},
        {"16-bit DIB section", [&] { return ConvertBitmap(Section(16, false, opaque)); }, 1, false,
         Expected([&](int i) { return (opaque[i] & 0xF8F8F8) | (opaque[i] >> 5 & 0x070707); })},
        {"32-bit device bitmap", [&] { return ConvertBitmap(CreateBitmap(3, 2, 1, 32, Rows(32, colour, true).data())); },
         1, false, rgb},
        {"1-bit device bitmap", [&] { return ConvertBitmap(CreateBitmap(3, 2, 1, 1, mono)); }, 1, false,
         Expected([](int i) { return kIndexes[i] & 1 ? 0xFFFFFFu : 0u; })},
        {"bitmap picture", [&] {
             const auto picture = imaging::PictureObjectFromHandle(Section(24, false, opaque), PICTYPE_BITMAP);
             return Convert(picture.get(), nullptr);
         }, 1, false, rgb},
        {"enhanced metafile picture", [] {
             return Convert(imaging::BytesToPictureObject(EmfBytes()).get(), nullptr);
         }, 4, true, {}},
        {"metafile picture", [] { return Convert(imaging::BytesToPictureObject(WmfBytes()).get(), nullptr); }, 2, true, {}},
    };
    for (const Case& c : cases) {
        const Loaded l = c.load();
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(l.result);
        EXPECT_EQ(l.type, c.type);
        EXPECT_EQ(l.alpha, c.alpha);
        if (!c.bits.empty()) {
            EXPECT_EQ(l.width, 3);
            EXPECT_EQ(l.height, 2);
            EXPECT_EQ(l.bits, c.bits);
            continue;
        }
        // An inch by half an inch at the display's pixels per inch, painted on the left only.
        ASSERT_EQ(l.width, dpi);
        ASSERT_EQ(l.height, MulDiv(dpi, 1270, 2540));
        EXPECT_EQ(l.bits[std::size_t(l.width * l.height / 2 + l.width / 8)], kPainted);
        EXPECT_EQ(l.bits[std::size_t(l.width * l.height / 2 + l.width * 7 / 8)], 0u);
    }
}

TEST(BmpParser, DataWithoutAPictureLeaveTheHostEmpty)
{
    const Bytes sound = Bmp(32, 2, 0, {}, Bytes(24, 0x40));
    Bytes widthZero = sound, offsetPast = sound, cut(sound.begin(), sound.end() - 1);
    widthZero[18] = 0;
    offsetPast[12] = 0x10;
    const HBRUSH brush = CreateSolidBrush(0);
    struct Case {
        const char* what;
        std::function<Loaded()> load;
    } cases[] = {
        {"width 0", [&] { return Stream(widthZero); }},
        {"pixel offset past the end", [&] { return Stream(offsetPast); }},
        {"rows cut short", [&] { return Stream(cut); }},
        {"no picture format", [] { return Stream(Bytes(100, 'x')); }},
        {"no picture and no handle", [] { return Convert(nullptr, nullptr); }},
        {"a handle of no bitmap", [&] { return Convert(nullptr, reinterpret_cast<HBITMAP>(brush)); }},
    };
    for (const Case& c : cases) {
        const Loaded l = c.load();
        EXPECT_FALSE(l.result) << c.what;
        EXPECT_TRUE(l.bits.empty()) << c.what;
    }
    DeleteObject(brush);
    c32bppDIB host;
    EXPECT_FALSE(imaging::cBMPparser().LoadStream(sound, host, 1, sound.size())) << "a slice past the array";
}

} // namespace
