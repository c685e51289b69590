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
using namespace imaging;

namespace {

// Bit counts of a 256x256 PNG, of 1 bit in black and white, of 32 bits whose alpha bytes are all 0.
constexpr int kPng = 0, kMono = -1, kNoAlpha = -2;

struct Entry {
    int w, h, bits;
};

Bytes Pixels(const c32bppDIB& host)
{
    return Bytes(host.BitsPointer(), host.BitsPointer() + std::size_t(host.scanWidth()) * host.Height());
}

Bytes MakeImage(std::mt19937& rng, const Entry& s)
{
    if (s.bits == kPng) {
        const pngtest::Picture p = pngtest::RandomPicture(rng, 6, 8, false, 256, 256);
        return pngtest::WritePng(p, pngtest::Compress(pngtest::RawRows(p, rng)));
    }
    if (s.bits == kNoAlpha)
        return BitmapImage(rng, s.w, s.h, 32, Alpha::Zero);
    Bytes image = BitmapImage(rng, s.w, s.h, s.bits == kMono ? 1 : s.bits);
    if (s.bits == kMono)
        std::copy_n(Bytes{0, 0, 0, 0, 255, 255, 255, 0}.begin(), 8, image.begin() + 40);
    return image;
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

// The system's picture of a colour icon handle: its colour bitmap premultiplied when it has
// alpha, else clear where its mask is set and opaque elsewhere.
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
        const unsigned a = alpha ? px[i + 3] : andBits[y * ((w + 31) / 32 * 4) + x / 8] & (0x80 >> x % 8) ? 0 : 255;
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
    return rt::UniqueIcon(CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), icon, 0x00030000, w,
                                                   h, LR_DEFAULTCOLOR));
}

// The file through the stream door, with other bytes on both sides of it.
Bytes Load(const Bytes& file, int w, int h, int depth, cICOparser& reader, int& type)
{
    Bytes array{7, 7, 7};
    array.insert(array.end(), file.begin(), file.end());
    array.push_back(7);
    c32bppDIB host;
    EXPECT_TRUE(reader.LoadStream(array, w, h, &host, 3, file.size(), depth, host.gdiToken()));
    type = host.ImageType();
    return Pixels(host);
}

} // namespace

TEST(IcoParser, EntriesDecodeAsTheSystemDecodesThem)
{
    const std::vector<Entry> several = {{16, 16, 8}, {32, 32, 8}, {32, 32, 32}, {48, 48, 32}};
    const struct {
        std::uint16_t type;
        std::vector<Entry> entries;
        int w, h, depth, best, imageType;
    } cases[] = {
        {1, {{16, 16, 1}}, 16, 16, 1, 1, imgIcon},
        {1, {{13, 7, 4}}, 13, 7, 4, 1, imgIcon},
        {1, {{32, 32, 8}}, 32, 32, 8, 1, imgIcon},
        {1, {{9, 9, 16}}, 9, 9, 16, 1, imgIcon},
        {1, {{31, 5, 24}}, 31, 5, 24, 1, imgIcon},
        {1, {{20, 20, 32}}, 20, 20, 32, 1, imgIconAlpha},
        {1, {{20, 20, kNoAlpha}}, 20, 20, 32, 1, imgIcon}, // drawn with its mask
        {1, {{256, 256, kPng}}, 256, 256, 32, 1, imgPNGicon},
        {2, {{32, 32, 1}}, 32, 32, 1, 1, imgCursor},
        {2, {{32, 32, 32}}, 32, 32, 32, 1, imgCursorAlpha},
        {1, several, 0, 0, 32, 3, imgIconAlpha}, // 0 x 0 wants 32 x 32
        {1, {{48, 48, 32}, {256, 256, kPng}, {16, 16, 4}}, 200, 200, 32, 2, imgPNGicon},
    };
    std::mt19937 rng(1420);
    for (const auto& c : cases) {
        const Entry& s = c.entries[std::size_t(c.best) - 1];
        SCOPED_TRACE(testing::Message() << "type " << c.type << ", " << s.w << 'x' << s.h << '@' << s.bits);
        std::vector<Bytes> images;
        for (const Entry& e : c.entries)
            images.push_back(MakeImage(rng, e));
        cICOparser reader;
        int type = 0;
        const Bytes got = Load(IcoFile(c.type, images), c.w, c.h, c.depth, reader, type);
        EXPECT_EQ(type, c.imageType);
        const auto icon = SystemIcon(images[std::size_t(c.best) - 1], c.type == 1, s.w, s.h);
        ASSERT_TRUE(icon);
        const Bytes expected = SystemPicture(icon.get(), s.w, s.h);
        ASSERT_EQ(got.size(), expected.size());
        // A PNG goes through GDI+ when it runs, which rounds where the system truncates.
        for (std::size_t i = 0; i < got.size(); ++i)
            ASSERT_LE(std::abs(got[i] - expected[i]), s.bits == kPng && expected[i | 3] != 255) << "byte " << i;
        EXPECT_TRUE(reader.IconCount() == int(c.entries.size()) && reader.IsIconPNG(c.best) == (s.bits == kPng));
    }
}

TEST(IcoParser, RefusedSlicesAndEntriesLeaveNoPicture)
{
    std::mt19937 rng(1421);
    Bytes file = IcoFile(1, {BitmapImage(rng, 8, 8, 4)});
    c32bppDIB host;
    cICOparser reader;
    ASSERT_TRUE(host.InitializeDIB(3, 3));
    // A slice that leaves the array is refused, and the host keeps its picture.
    EXPECT_FALSE(reader.LoadStream(file, 32, 32, &host, 1, file.size(), 32, {}) || host.Width() != 3);
    // Without a host only the directory is read.
    EXPECT_TRUE(reader.LoadStream(file, 32, 32, nullptr, 0, 0, 32, {}) && reader.IconCount() == 1 &&
                reader.Width(2) == 0);
    file[6] = 9; // the entry disagrees with its header: a valid directory, but no picture
    EXPECT_TRUE(reader.LoadStream(file, 32, 32, &host, 0, 0, 32, {}) && !host.Handle());
    EXPECT_FALSE(reader.ConvertstdPicTo32bpp(nullptr, host) || reader.IconCount() != 0);
}

TEST(IcoParser, HandlesGiveThePicturesOfTheirImages)
{
    const struct {
        int bits;
        bool icon;
        int imageType, entryBits;
    } cases[] = {{32, true, imgIconAlpha, 32},
                 {8, true, imgIcon, 1},
                 {8, false, imgCursor, 1},
                 {32, false, imgCursorAlpha, 32},
                 {kMono, true, imgIcon, 1}};
    std::mt19937 rng(1422);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, icon " << c.icon);
        const Bytes image = MakeImage(rng, {24, 24, c.bits});
        c32bppDIB host;
        cICOparser reader, fromFile;
        ASSERT_TRUE(reader.ConvertstdPicTo32bpp(SystemIcon(image, c.icon, 24, 24).get(), host));
        EXPECT_EQ(host.ImageType(), c.imageType);
        EXPECT_TRUE(reader.IconCount() == 1 && reader.Width(1) == 24 && reader.bitDepth(1) == c.entryBits);
        int type = 0;
        EXPECT_EQ(Pixels(host), Load(IcoFile(c.icon ? 1 : 2, {image}), 24, 24, 32, fromFile, type));
    }
}
