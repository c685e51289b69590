// The BMP reader's two doors under the real system: BMP files of every layout (copied directly or
// drawn through the picture loader), metafile bytes, and bitmap handles and picture objects.
#include "imaging/Files.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cBMPparser.h"
#include "imaging/core/BmpReader.h"
#include "runtime/DibInfo.h"
#include "runtime/Handles.h"
#include "tests/imaging/core/BmpTestFiles.h"
#include "tests/imaging/core/IcoTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <numeric>
#include <random>

namespace {

using imaging::c32bppDIB;
using namespace bmptest;
using Pixels = std::vector<std::uint32_t>; // 0xAARRGGBB, bottom row first

struct Loaded {
    bool result = false;
    int width = 0, height = 0, type = 0;
    bool alpha = false;
    Pixels bits;
};

Loaded Take(bool result, const c32bppDIB& host)
{
    const auto* bits = reinterpret_cast<const std::uint32_t*>(host.BitsPointer());
    return {result, host.Width(), host.Height(), host.ImageType(), host.Alpha(),
            bits ? Pixels(bits, bits + host.Width() * host.Height()) : Pixels()};
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

// The test picture is 3 x 2: each layout stores the values of its pixels, top row first, and
// the colours they stand for.
constexpr std::uint32_t kPalette[] = {0x102030, 0xC0A080, 0x00FF00, 0x0000FF};
constexpr std::uint32_t kIndexes[] = {0, 1, 2, 3, 0, 1};

// Rows of `bits`-bit values, padded to 4 bytes, stored bottom-up unless `topDown`: values below a
// byte packed from its high bits, wider ones little-endian.
Bytes Rows(int bits, const std::function<std::uint32_t(int)>& value, bool topDown = false)
{
    Bytes b;
    for (int r = 0; r < 2; ++r) {
        Bytes row(std::size_t(3 * bits + 31) / 32 * 4);
        for (int x = 0; x < 3; ++x) {
            const std::uint32_t v = value((topDown ? r : 1 - r) * 3 + x);
            for (int k = 0; k < std::max(bits, 8); k += 8)
                row[std::size_t(x * bits / 8 + k / 8)] |= std::uint8_t(bits < 8 ? v << (8 - bits - x * bits % 8) : v >> k);
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

Bytes PaletteBmp(int bits, std::uint32_t compression = 0, const Bytes& runs = {})
{
    Bytes table = Words({kPalette[0], kPalette[1], kPalette[2], kPalette[3]});
    table.resize(bits == 1 ? 8 : 16);
    const Bytes rows = runs.empty() ? Rows(bits, [&](int i) { return kIndexes[i] % (1u << bits); }) : runs;
    return File({.bits = std::uint16_t(bits), .compression = compression, .sizeImage = std::uint32_t(rows.size()),
                 .used = std::uint32_t(table.size() / 4), .table = table},
                rows);
}

// Opaque colours, bottom row first, of the pixels `colour` gives top row first.
Pixels Expected(const std::function<std::uint32_t(int)>& colour)
{
    Pixels p;
    for (int i : {3, 4, 5, 0, 1, 2})
        p.push_back(0xFF000000 | colour(i));
    return p;
}
Pixels PaletteColours(int bits) { return Expected([&](int i) { return kPalette[kIndexes[i] % (1u << bits)]; }); }

// A colour's five top bits of each channel as a 16-bit pixel, which the system widens back by
// repeating the top bits below them.
std::uint32_t To555(std::uint32_t c) { return (c >> 19 & 31) << 10 | (c >> 11 & 31) << 5 | (c >> 3 & 31); }
std::uint32_t Widened555(std::uint32_t c) { return (c & 0xF8F8F8) | (c >> 5 & 0x070707); }

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
Bytes EmfBytes(LONG width = 2540, LONG height = 1270)
{
    const RECT frame{0, 0, width, height}; // HIMETRIC
    const HDC dc = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    PaintLeftHalf(dc);
    const HENHMETAFILE emf = CloseEnhMetaFile(dc);
    Bytes b(GetEnhMetaFileBits(emf, 0, nullptr));
    GetEnhMetaFileBits(emf, UINT(b.size()), b.data());
    DeleteEnhMetaFile(emf);
    return b;
}
// A placeable metafile: its header gives the frame in units of 1/96 inch.
Bytes WmfBytes(std::uint16_t width = 96, std::uint16_t height = 48, std::uint16_t perInch = 96)
{
    const HDC dc = CreateMetaFileW(nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, 96, 48, nullptr);
    PaintLeftHalf(dc);
    const HMETAFILE wmf = CloseMetaFile(dc);
    Bytes bits(GetMetaFileBitsEx(wmf, 0, nullptr));
    GetMetaFileBitsEx(wmf, UINT(bits.size()), bits.data());
    DeleteMetaFile(wmf);
    const std::uint16_t head[] = {0xCDD7, 0x9AC6, 0, 0, 0, width, height, perInch, 0, 0};
    Bytes b;
    for (std::uint16_t w : head)
        Put(b, w, 2);
    Put(b, std::accumulate(std::begin(head), std::end(head), 0u, std::bit_xor<>()), 2); // checksum
    b.insert(b.end(), bits.begin(), bits.end());
    return b;
}

// A bitmap of the test picture's 32-bit pixels (top row first) as a DIB section of `bits`.
HBITMAP Section(int bits, bool topDown, const std::function<std::uint32_t(int)>& argb)
{
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 3, topDown ? -2 : 2, 1, WORD(bits), BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* at = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &at, nullptr, 0);
    const Bytes rows = Rows(bits, [&](int i) { return bits == 16 ? To555(argb(i)) : argb(i); }, topDown);
    std::memcpy(at, rows.data(), rows.size());
    return bitmap;
}

TEST(BmpParser, EveryLayoutAndSourceGivesItsPicture)
{
    const rt::WindowDC screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
    const std::uint32_t straight[] = {0x80FF8040, 0x00FFFFFF, 0xFF102030, 0x40404040, 0xFF000000, 0x00000000};
    const Pixels premultiplied = {0x40101010, 0xFF000000, 0x00000000, 0x80804020, 0x00000000, 0xFF102030};
    const Pixels rgb = PaletteColours(8);
    const auto colour = [](int i) { return kPalette[kIndexes[i]]; };
    const Pixels sixteen = Expected([&](int i) { return Widened555(colour(i)); });
    const auto alphas = [&](int i) { return straight[i]; };
    // 5-5-5 bit fields after a 44-byte header: their masks at the end of the 40-byte one, as ever.
    Bytes bitFields = File({.bits = 16, .compression = 3, .headerSize = 44, .table = Bytes(8)},
                           Rows(16, [&](int i) { return To555(colour(i)); }));
    const Bytes masks = Words({0x7C00, 0x03E0, 0x001F});
    std::copy(masks.begin(), masks.end(), bitFields.begin() + 54);
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
        // Each run-length row ends with 0 0, the picture with 0 1; 0 3 starts three pixels as they are.
        {"4-bit runs", [] { return Stream(PaletteBmp(4, 2, {0, 3, 0x30, 0x10, 0, 0, 2, 0x01, 1, 0x20, 0, 0, 0, 1})); },
         1, false, rgb},
        {"8-bit runs", [] { return Stream(PaletteBmp(8, 1, {0, 3, 3, 0, 1, 0, 0, 0, 1, 0, 1, 1, 1, 2, 0, 0, 0, 1})); },
         1, false, rgb},
        {"16 bits", [&] { return Stream(File({.bits = 16}, Rows(16, [&](int i) { return To555(colour(i)); }))); },
         1, false, sixteen},
        {"16-bit bit fields after a 44-byte header", [&] { return Stream(bitFields); }, 1, false, sixteen},
        {"24 bits", [&] { return Stream(File({.bits = 24}, Rows(24, colour))); }, 1, false, rgb},
        {"24 bits top-down", [&] { return Stream(File({.height = -2, .bits = 24}, Rows(24, colour, true))); }, 1, false, rgb},
        {"32 bits in bit fields, red and blue swapped", [&] {
             const auto swapped = [&](int i) { return (colour(i) & 0xFF) << 16 | (colour(i) & 0xFF00) | colour(i) >> 16; };
             return Stream(File({.compression = 3, .table = Words({0xFF, 0xFF00, 0xFF0000})}, Rows(32, swapped)));
         }, 1, false, rgb},
        {"32 bits with straight alpha", [&] { return Stream(File({}, Rows(32, alphas))); }, 6, true, premultiplied},
        {"enhanced metafile bytes", [] { return Stream(EmfBytes()); }, 4, true, {}},
        {"placeable metafile bytes", [] { return Stream(WmfBytes()); }, 2, true, {}},
        {"32-bit DIB section", [&] { return ConvertBitmap(Section(32, false, alphas)); }, 6, true, premultiplied},
        {"32-bit top-down DIB section", [&] { return ConvertBitmap(Section(32, true, alphas)); }, 6, true, premultiplied},
        {"16-bit DIB section", [&] { return ConvertBitmap(Section(16, false, colour)); }, 1, false, sixteen},
        {"32-bit device bitmap", [&] { return ConvertBitmap(CreateBitmap(3, 2, 1, 32, Rows(32, colour, true).data())); },
         1, false, rgb},
    };
    for (const Case& c : cases) {
        const Loaded l = c.load();
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(l.result);
        EXPECT_EQ(l.type, c.type);
        EXPECT_EQ(l.alpha, c.alpha);
        if (!c.bits.empty()) {
            EXPECT_EQ(std::pair(l.width, l.height), std::pair(3, 2));
            EXPECT_EQ(l.bits, c.bits);
            continue;
        }
        // An inch by half an inch at the display's pixels per inch, painted on the left only.
        ASSERT_EQ(std::pair(l.width, l.height), std::pair(dpi, MulDiv(dpi, 1270, 2540)));
        EXPECT_EQ(l.bits[std::size_t(l.width * l.height / 2 + l.width / 8)], kPainted);
        EXPECT_EQ(l.bits[std::size_t(l.width * l.height / 2 + l.width * 7 / 8)], 0u);
    }
}

// The system's drawing of a file's runs into a blank 32-bit bitmap, made opaque.
Pixels SystemDrawing(const Bytes& file)
{
    imaging::BmpReader reader;
    reader.ReadHeader(file);
    std::vector<std::uint32_t> header((reader.InfoBytes().size() + 3) / 4); // as aligned as the structure
    std::memcpy(header.data(), reader.InfoBytes().data(), reader.InfoBytes().size());
    const BITMAPINFO info = rt::DibInfo(5, 3, 32);
    void* at = nullptr;
    const rt::Gdi<HBITMAP> section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &at, nullptr, 0));
    const rt::UniqueDC dc(CreateCompatibleDC(nullptr));
    const rt::Selected selected(dc.get(), section.get());
    EXPECT_EQ(SetDIBitsToDevice(dc.get(), 0, 0, 5, 3, 0, 0, 0, 3, reader.PixelBytes().data(),
                                reinterpret_cast<const BITMAPINFO*>(header.data()), DIB_RGB_COLORS), 3);
    GdiFlush();
    Pixels p(static_cast<const std::uint32_t*>(at), static_cast<const std::uint32_t*>(at) + 15);
    for (std::uint32_t& v : p)
        v |= 0xFF000000;
    return p;
}

// Our drawing of 4- and 8-bit runs gives the system's pixels, for each stream and for each of its
// beginnings that the header says is all (the bytes after it still there).
TEST(BmpParser, RunsAreDrawnAsTheSystemDrawsThem)
{
    for (const RunsCase& c : kRunsCases)
        for (std::size_t size = 1; size <= c.runs.size(); ++size) {
            const Bytes file = RunsFile(c.bits, c.runs, size);
            const Loaded l = Stream(file);
            ASSERT_EQ(imaging::BmpReader().ReadHeader(file), imaging::BmpLoad::Direct) << c.what;
            EXPECT_TRUE(l.result && l.type == 1 && !l.alpha) << c.what;
            EXPECT_EQ(l.bits, SystemDrawing(file)) << c.what << ", " << size << " bytes";
        }
}

TEST(BmpParser, DataWithoutAPictureLeaveTheHostEmpty)
{
    const Bytes sound = File({}, Bytes(24, 0x40));
    Bytes widthZero = sound, cut(sound.begin(), sound.end() - 1);
    widthZero[18] = 0;
    const HBRUSH brush = CreateSolidBrush(0);
    const HDC callers = CreateCompatibleDC(nullptr);
    const HBITMAP selected = CreateBitmap(3, 2, 1, 1, nullptr);
    SelectObject(callers, selected);
    const std::function<Loaded()> refused[] = {
        [&] { return Stream(widthZero); },
        [&] { return Stream(cut); }, // the loader would read the missing bytes from past the copy it is given
        [] { return Stream(Bytes(100, 'x')); }, // no picture format
        [] { return Convert(nullptr, nullptr); },
        [&] { return Convert(nullptr, reinterpret_cast<HBITMAP>(brush)); },
        [&] { return Convert(nullptr, selected); }, // still in the caller's DC: nothing can be copied
    };
    for (const auto& load : refused) {
        const Loaded l = load();
        EXPECT_TRUE(!l.result && l.bits.empty()) << &load - refused;
    }
    DeleteDC(callers);
    DeleteObject(selected);
    DeleteObject(brush);
    c32bppDIB host;
    EXPECT_FALSE(imaging::cBMPparser().LoadStream(sound, host, 1, sound.size())) << "a slice past the array";
}

// Icons the icon reader refuses, cut metafiles and pictures past the pixel limit load nothing, GDI+
// on or off, and never reach the picture loader, which walks icon directories unchecked and sizes
// bitmaps by headers. Its calls are counted: for most of these data it fails, or faults, unseen.
TEST(BmpParser, RefusedDataGoToNoSystemDecoder)
{
    std::mt19937 rng(32);
    // The directory reads no more of a PNG entry than its IHDR.
    Bytes png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 32, 0, 0, 0, 32, 8, 6};
    png.resize(2048);
    const Bytes two = icotest::IcoFile(1, {icotest::BitmapImage(rng, 16, 16, 32), png}), wmf = WmfBytes();
    const auto icon = [&](std::initializer_list<std::pair<std::size_t, std::uint32_t>> fields) {
        Bytes b = icotest::IcoFile(1, {icotest::BitmapImage(rng, 16, 16, 32)});
        for (auto [at, value] : fields)
            icotest::Put32(b, at, value);
        return b;
    };
    std::vector<Bytes> refused = {icon({{18, 0xFFFFFFF0}}), icon({{14, 0x10000}}), // offset, size past the end
                                  icon({{14, 0x20}, {18, 0xFFFFFFF0}}), icon({{4, 0}}), // they wrap; no entries
                                  icon({{6, 0x0120}}), WmfBytes(96, 96, 1), EmfBytes(400000, 400000)};
    for (std::size_t k = 1; k < 16; ++k)
        refused.emplace_back(two.begin(), two.begin() + static_cast<std::ptrdiff_t>(two.size() * k / 16));
    for (std::size_t n = 57; n < wmf.size(); ++n) // into its records
        refused.emplace_back(wmf.begin(), wmf.begin() + static_cast<std::ptrdiff_t>(n));
    for (const Bytes& bytes : refused)
        for (bool gdiplus : {false, true}) {
            c32bppDIB dib;
            dib.isGDIplusEnabled(gdiplus);
            const std::uint64_t calls = imaging::PictureLoaderCalls();
            const auto which = testing::Message() << "case " << &bytes - refused.data() << ", GDI+ " << gdiplus;
            EXPECT_FALSE(dib.LoadPicture_Stream(bytes) || dib.Handle()) << which;
            EXPECT_EQ(imaging::PictureLoaderCalls(), calls) << which;
        }
}

} // namespace
