// The icon reader's Win32 entry points: entries of every depth and PNG entries, in icons and
// cursors, decoded alike by our reader and by the system (CreateIconFromResourceEx, then
// GetDIBits of the icon's bitmaps); refused slices and entries; icon and cursor handles.
#include "core/IcoTestFiles.h"
#include "core/PngTestFiles.h"

#include "imaging/c32bppDIB.h"
#include "imaging/cICOparser.h"
#include "runtime/Handles.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace icotest;
using imaging::c32bppDIB;
using imaging::cICOparser;

namespace {

constexpr int kPng = 0; // an entry spec's bit count for a 256x256 PNG stream

struct Spec {
    int w, h, bits;
    Alpha alpha = Alpha::Random;
};

Bytes Pixels(const c32bppDIB& host)
{
    return host.BitsPointer() ? Bytes(host.BitsPointer(), host.BitsPointer() + std::size_t(host.scanWidth()) * host.Height())
                              : Bytes{};
}

Bytes MakeImage(std::mt19937& rng, const Spec& s)
{
    if (s.bits != kPng)
        return BitmapImage(rng, s.w, s.h, s.bits, s.alpha);
    const pngtest::Picture p = pngtest::RandomPicture(rng, 6, 8, false, 256, 256);
    return pngtest::WritePng(p, pngtest::Compress(pngtest::RawRows(p, rng)));
}

// A bottom-up DIB of `bmp`'s rows at `bits` a pixel.
Bytes Rows(HBITMAP bmp, int w, int h, int bits)
{
    struct {
        BITMAPINFOHEADER head;
        RGBQUAD colours[2];
    } info{};
    info.head = {sizeof(BITMAPINFOHEADER), w, h, 1, static_cast<WORD>(bits), BI_RGB, 0, 0, 0, 0, 0};
    Bytes rows(std::size_t((w * bits + 31) / 32 * 4) * h);
    const rt::WindowDC dc(nullptr);
    EXPECT_EQ(GetDIBits(dc.get(), bmp, 0, h, rows.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS), h);
    return rows;
}

// The system's picture of an icon handle: its colour bitmap premultiplied when it has alpha,
// else clear where its mask is set and opaque elsewhere.
Bytes SystemPicture(HICON icon, int w, int h)
{
    ICONINFO ii{};
    EXPECT_TRUE(GetIconInfo(icon, &ii));
    const rt::Gdi<HBITMAP> colour(ii.hbmColor), mask(ii.hbmMask);
    Bytes px = Rows(colour.get(), w, h, 32);
    const Bytes andBits = Rows(mask.get(), w, h, 1);
    bool alpha = false;
    for (std::size_t i = 3; i < px.size(); i += 4)
        alpha = alpha || px[i] != 0;
    for (std::size_t i = 0; i < px.size(); i += 4) {
        const std::size_t x = i / 4 % w, y = i / 4 / w;
        const bool set = andBits[y * ((w + 31) / 32 * 4) + x / 8] & (0x80 >> x % 8);
        const unsigned a = alpha ? px[i + 3] : set ? 0 : 255;
        for (std::size_t c = 0; c < 4; ++c)
            px[i + c] = static_cast<std::uint8_t>(c == 3 ? a : px[i + c] * a / 255);
    }
    return px;
}

// The entry's image made into a handle by the system; a cursor's begins with its hotspot.
rt::UniqueIcon SystemIcon(Bytes image, bool icon, int w, int h)
{
    if (!icon)
        image.insert(image.begin(), {1, 0, 2, 0});
    return rt::UniqueIcon(CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), icon, 0x00030000, w, h,
                                                   LR_DEFAULTCOLOR));
}

// Byte for byte, or a step apart where the system's PNG decoder rounds and ours truncates.
testing::AssertionResult Alike(const Bytes& got, const Bytes& expected, bool rounded)
{
    if (got.size() != expected.size())
        return testing::AssertionFailure() << got.size() << " bytes, not " << expected.size();
    for (std::size_t i = 0; i < got.size(); ++i)
        if (rounded && expected[i | 3] != 255 ? std::abs(got[i] - expected[i]) > 1 : got[i] != expected[i])
            return testing::AssertionFailure() << "byte " << i << ": " << +got[i] << ", not " << +expected[i];
    return testing::AssertionSuccess();
}

struct Loaded {
    bool result;
    int type;
    Bytes pixels;
};

// The file through the stream door, with other bytes on both sides of it.
Loaded Load(const Bytes& file, int w, int h, int depth, cICOparser& reader)
{
    Bytes array{7, 7, 7};
    array.insert(array.end(), file.begin(), file.end());
    array.push_back(7);
    c32bppDIB host;
    const bool result = reader.LoadStream(array, w, h, &host, 3, file.size(), depth, host.gdiToken());
    return {result, host.ImageType(), Pixels(host)};
}

} // namespace

TEST(IcoParser, EntriesDecodeAsTheSystemDecodesThem)
{
    using enum imaging::ImageTypeCode;
    const Spec sizes[] = {{16, 16, 8}, {32, 32, 8}, {32, 32, 32}, {48, 48, 32}};
    const struct {
        const char* what;
        std::uint16_t type;
        std::vector<Spec> entries;
        int w, h, depth, best, imageType;
    } cases[] = {
        {"1 bit", 1, {{16, 16, 1}}, 0, 0, 32, 1, imgIcon},
        {"4 bits, odd width", 1, {{13, 7, 4}}, 13, 7, 4, 1, imgIcon},
        {"8 bits", 1, {{32, 32, 8}}, 32, 32, 8, 1, imgIcon},
        {"16 bits", 1, {{9, 9, 16}}, 9, 9, 16, 1, imgIcon},
        {"24 bits", 1, {{31, 5, 24}}, 31, 5, 24, 1, imgIcon},
        {"32 bits", 1, {{20, 20, 32}}, 20, 20, 32, 1, imgIconAlpha},
        {"32 bits, alpha all 0", 1, {{20, 20, 32, Alpha::Zero}}, 20, 20, 32, 1, imgIcon},
        {"PNG", 1, {{256, 256, kPng}}, 256, 256, 32, 1, imgPNGicon},
        {"cursor, 1 bit", 2, {{32, 32, 1}}, 32, 32, 1, 1, imgCursor},
        {"cursor, 8 bits", 2, {{24, 24, 8}}, 24, 24, 8, 1, imgCursor},
        {"cursor, 32 bits", 2, {{32, 32, 32}}, 32, 32, 32, 1, imgCursorAlpha},
        {"several, 0x0 as 32x32", 1, {sizes, sizes + 4}, 0, 0, 32, 3, imgIconAlpha},
        {"several, bigger", 1, {sizes, sizes + 4}, 24, 24, 32, 3, imgIconAlpha},
        {"several, none big enough", 1, {sizes, sizes + 4}, 64, 64, 32, 4, imgIconAlpha},
        {"several with PNG", 1, {{48, 48, 32}, {256, 256, kPng}, {16, 16, 4}}, 200, 200, 32, 2, imgPNGicon},
    };
    std::mt19937 rng(1420);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Bytes> images;
        for (const Spec& s : c.entries)
            images.push_back(MakeImage(rng, s));
        const Bytes file = IcoFile(c.type, images);
        cICOparser reader;
        const Loaded l = Load(file, c.w, c.h, c.depth, reader);
        EXPECT_TRUE(l.result);
        EXPECT_EQ(l.type, c.imageType);
        const Spec& s = c.entries[std::size_t(c.best) - 1];
        const auto icon = SystemIcon(images[std::size_t(c.best) - 1], c.type == 1, s.w, s.h);
        ASSERT_TRUE(icon);
        EXPECT_TRUE(Alike(l.pixels, SystemPicture(icon.get(), s.w, s.h), s.bits == kPng));
        ASSERT_EQ(reader.IconCount(), int(c.entries.size()));
        for (int i = 1; i <= reader.IconCount(); ++i) {
            const Spec& e = c.entries[std::size_t(i) - 1];
            EXPECT_TRUE(reader.Width(i) == e.w && reader.Height(i) == e.h && reader.IsIconPNG(i) == (e.bits == kPng) &&
                        reader.bitDepth(i) == (e.bits == kPng ? 32 : e.bits) &&
                        reader.ColorCount(i) == (e.bits && e.bits <= 8 ? 1 << e.bits : 0))
                << "entry " << i;
        }
    }
}

TEST(IcoParser, RefusedSlicesAndEntriesLeaveNoPicture)
{
    std::mt19937 rng(1421);
    const Bytes file = IcoFile(1, {BitmapImage(rng, 8, 8, 4)});
    c32bppDIB host;
    ASSERT_TRUE(host.InitializeDIB(3, 3));
    cICOparser reader;
    // The slice must lie in the array; a refused directory leaves the host as it was.
    EXPECT_FALSE(reader.LoadStream(file, 32, 32, &host, 1, file.size(), 32, {}));
    EXPECT_FALSE(reader.LoadStream(file, 32, 32, &host, file.size() + 1, 0, 32, {}));
    EXPECT_EQ(host.Width(), 3);
    // Only the directory, for the list of sizes.
    EXPECT_TRUE(reader.LoadStream(file, 32, 32, nullptr, 0, 0, 32, {}));
    EXPECT_TRUE(reader.IconCount() == 1 && reader.Width(1) == 8 && reader.Width(2) == 0);
    // A valid directory whose entry disagrees with its header: taken, but no picture.
    Bytes wrong = file;
    wrong[6] = 9;
    EXPECT_TRUE(reader.LoadStream(wrong, 32, 32, &host, 0, 0, 32, {}));
    EXPECT_FALSE(host.Handle());
}

TEST(IcoParser, IconAndCursorHandlesBecomePictures)
{
    std::mt19937 rng(1422);
    const struct {
        int bits;
        bool icon;
        int imageType;
    } cases[] = {{32, true, imaging::imgIconAlpha}, {8, true, imaging::imgIcon}, {8, false, imaging::imgCursor},
                 {32, false, imaging::imgCursorAlpha}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, icon " << c.icon);
        const Bytes image = BitmapImage(rng, 24, 24, c.bits);
        const auto handle = SystemIcon(image, c.icon, 24, 24);
        c32bppDIB host;
        cICOparser reader;
        ASSERT_TRUE(reader.ConvertstdPicTo32bpp(handle.get(), host));
        EXPECT_EQ(host.ImageType(), c.imageType);
        EXPECT_TRUE(reader.IconCount() == 1 && reader.Width(1) == 24 && reader.bitDepth(1) == (c.bits == 32 ? 32 : 1));
        cICOparser fromFile;
        EXPECT_EQ(Pixels(host), Load(IcoFile(c.icon ? 1 : 2, {image}), 24, 24, 32, fromFile).pixels);
    }
    // A monochrome icon of 16x16: white or black where its AND bits are clear.
    Bytes andBits(32), xorBits(32);
    for (std::size_t i = 0; i < 32; ++i)
        andBits[i] = static_cast<std::uint8_t>(rng()), xorBits[i] = static_cast<std::uint8_t>(rng());
    const rt::UniqueIcon mono(CreateIcon(nullptr, 16, 16, 1, 1, andBits.data(), xorBits.data()));
    c32bppDIB host;
    cICOparser reader;
    ASSERT_TRUE(reader.ConvertstdPicTo32bpp(mono.get(), host));
    ASSERT_TRUE(host.Width() == 16 && host.Height() == 16 && host.ImageType() == imaging::imgIcon);
    const Bytes px = Pixels(host);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const std::size_t bit = std::size_t(y) * 2 + x / 8, at = (std::size_t(15 - y) * 16 + x) * 4;
            const bool clear = andBits[bit] & (0x80 >> x % 8);
            const std::uint8_t v = clear ? 0 : xorBits[bit] & (0x80 >> x % 8) ? 255 : 0;
            EXPECT_EQ(Bytes(px.begin() + at, px.begin() + at + 4), Bytes({v, v, v, std::uint8_t(clear ? 0 : 255)}))
                << x << ',' << y;
        }
    EXPECT_FALSE(reader.ConvertstdPicTo32bpp(nullptr, host));
    EXPECT_EQ(reader.IconCount(), 0);
}
