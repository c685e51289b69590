// The load entry points under the real system: files, slices, resources built by windres,
// picture objects and handles; the order of the readers; the kept source bytes and the icon
// sizes read from them; imgdump, which loads through the file entry point.
#include "core/GifTestFiles.h"
#include "core/IcoTestFiles.h"
#include "core/PngTestFiles.h"
#include "load/LoadTestResources.h"

#include "imaging/Files.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cBMPparser.h"
#include "runtime/Handles.h"
#include "tests/imaging/core/BmpTestFiles.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace imaging;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct Outcome {
    bool result;
    int type, width, height;
    bool operator==(const Outcome&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Outcome& o)
{
    return os << o.result << " type " << o.type << " " << o.width << " x " << o.height;
}
// Outcomes of a picture made, a load that failed in a reader, and one refused before the prior
// 3 x 3 blank picture was touched.
Outcome Made(int type, int w, int h) { return {true, type, w, h}; }
constexpr Outcome kFailed{false, imgNone, 0, 0}, kKept{false, imgBlank, 3, 3};

Outcome Load(const std::function<bool(c32bppDIB&)>& load, bool gdiplus = false)
{
    c32bppDIB dib;
    dib.isGDIplusEnabled(gdiplus);
    dib.InitializeDIB(3, 3);
    const bool result = load(dib);
    return {result, dib.ImageType(), dib.Width(), dib.Height()};
}

Bytes Gif()
{
    giftest::Gif g;
    g.width = 7, g.height = 5, g.minCodeSize = 2;
    g.global = Bytes(12, 0x80);
    g.indexes = Bytes(35, 1);
    return giftest::WriteGif(g);
}
Bytes Png()
{
    std::mt19937 rng(102);
    const pngtest::Picture p = pngtest::RandomPicture(rng, 6, 8, false, 6, 4);
    return pngtest::WritePng(p, pngtest::Compress(pngtest::RawRows(p, rng)));
}
Bytes BadCrcPng()
{
    Bytes png = Png();
    png[png.size() - 13] ^= 1; // the last byte of the image data's CRC, before IEND
    return png;
}
Bytes Bmp24() { return bmptest::File({.bits = 24}, Bytes(24, 0x40)); }
Bytes Icon(const std::vector<std::pair<int, int>>& sideAndBits)
{
    std::mt19937 rng(103);
    std::vector<Bytes> images;
    for (auto [side, bits] : sideAndBits)
        images.push_back(icotest::BitmapImage(rng, side, side, bits));
    return icotest::IcoFile(1, images);
}
// A 2 x 2 uncompressed RGB TIFF: a format only GDI+ reads.
Bytes Tiff()
{
    Bytes t{'I', 'I', 42, 0};
    bmptest::Put(t, 8, 4);
    const std::uint32_t entries[][4] = {{256, 3, 1, 2}, {257, 3, 1, 2},   {258, 3, 3, 122}, {259, 3, 1, 1}, {262, 3, 1, 2},
                                        {273, 4, 1, 128}, {277, 3, 1, 3}, {278, 3, 1, 2},   {279, 4, 1, 12}};
    bmptest::Put(t, 9, 2);
    for (const auto& e : entries)
        bmptest::Put(t, e[0], 2), bmptest::Put(t, e[1], 2), bmptest::Put(t, e[2], 4), bmptest::Put(t, e[3], 4);
    bmptest::Put(t, 0, 4);
    for (int i = 0; i < 3; ++i)
        bmptest::Put(t, 8, 2);
    for (std::uint8_t b : {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9})
        t.push_back(b);
    return t;
}
Bytes Around(const Bytes& b) // 3 bytes before, 2 after
{
    Bytes a{1, 2, 3};
    a.insert(a.end(), b.begin(), b.end());
    a.insert(a.end(), {4, 5});
    return a;
}

HMETAFILE Wmf(bool extent)
{
    const HDC dc = CreateMetaFileW(nullptr);
    if (extent)
        SetWindowExtEx(dc, 96, 48, nullptr);
    Rectangle(dc, 0, 0, 20, 20);
    return CloseMetaFile(dc);
}
HENHMETAFILE Emf()
{
    const RECT frame{0, 0, 2540, 1270};
    const HDC dc = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    Rectangle(dc, 0, 0, 20, 20);
    return CloseEnhMetaFile(dc);
}
HICON IconHandle(bool icon)
{
    const BYTE and_[32 * 4] = {}, xor_[32 * 4] = {0xFF};
    if (icon)
        return CreateIcon(nullptr, 32, 32, 1, 1, and_, xor_);
    return CreateCursor(nullptr, 1, 1, 32, 32, and_, xor_);
}

TEST(Load, EachEntryPointOnAGoodAndAFailingSource)
{
    test::TempFolder folder;
    const Bytes gif = Gif(), bmp = Around(Bmp24());
    test::WriteBytes(folder / L"gif", std::string(gif.begin(), gif.end()));
    test::WriteBytes(folder / L"56", std::string(56, 'G'));
    test::WriteBytes(folder / L"foreign", std::string(100, 'x'));
    const rt::ResourceName picture(L"PICTURE");
    const auto stream = [&](std::int64_t start, std::int64_t length) {
        return [&bmp, start, length](c32bppDIB& d) { return d.LoadPicture_Stream(bmp, 0, 0, start, length); };
    };
    const auto resource = [](int id, ResourceSection section, std::int64_t length = 0) {
        return [=](c32bppDIB& d) { return d.LoadPicture_Resource(id, section, nullptr, 0, 0, 0, length); };
    };
    const auto handle = [](HGDIOBJ h) {
        return [h](c32bppDIB& d) {
            const bool r = d.LoadPicture_ByHandle(h);
            DeleteObject(h);
            return r;
        };
    };
    const struct {
        const char* name;
        std::function<bool(c32bppDIB&)> load;
        Outcome outcome;
    } cases[] = {
        {"file: a GIF", [&](c32bppDIB& d) { return d.LoadPicture_File(folder / L"gif"); }, Made(imgGIF, 7, 5)},
        {"file: 56 bytes", [&](c32bppDIB& d) { return d.LoadPicture_File(folder / L"56"); }, kKept},
        {"file: missing", [&](c32bppDIB& d) { return d.LoadPicture_File(folder / L"none"); }, kKept},
        {"file: no format", [&](c32bppDIB& d) { return d.LoadPicture_File(folder / L"foreign"); }, kFailed},
        {"stream: the slice of a BMP", stream(3, std::int64_t(bmp.size()) - 5), Made(imgBitmap, 3, 2)},
        {"stream: a slice past the array", stream(3, std::int64_t(bmp.size()) - 2), kKept},
        {"stream: 56 bytes", stream(3, 56), kKept},
        {"stream: the whole array from before its start", stream(-5, 0), kFailed}, // 3 stray bytes first
        {"resource: custom", resource(IDT_CUSTOM_ICON, L"PICTURE"), Made(imgIcon, 32, 32)},
        {"resource: custom cut to 30 bytes", resource(IDT_CUSTOM_ICON, L"PICTURE", 30), kKept},
        {"resource: custom missing", resource(999, L"PICTURE"), kKept},
        {"resource: bitmap", resource(IDT_BITMAP, ResourcePicture::Bitmap), Made(imgBitmap, 5, 3)},
        {"resource: icon", resource(IDT_ICON, ResourcePicture::Icon), Made(imgIcon, 32, 32)},
        {"resource: cursor", resource(IDT_CURSOR, ResourcePicture::Cursor), Made(imgCursor, 32, 32)},
        {"resource: bitmap missing", resource(999, ResourcePicture::Bitmap), kKept},
        {"picture object: a bitmap", [](c32bppDIB& d) {
             const auto p = PictureObjectFromHandle(CreateBitmap(4, 2, 1, 32, nullptr), PICTYPE_BITMAP);
             return d.LoadPicture_StdPicture(p.get());
         }, Made(imgBitmap, 4, 2)},
        {"picture object: none", [](c32bppDIB& d) { return d.LoadPicture_StdPicture(nullptr); }, kFailed},
        {"handle: a bitmap", handle(CreateBitmap(4, 2, 1, 32, nullptr)), Made(imgBitmap, 4, 2)},
        {"handle: a brush", handle(CreateSolidBrush(0)), kFailed},
        {"original format: none kept", [](c32bppDIB& d) { return d.LoadPicture_FromOrignalFormat(); }, kKept},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Load(c.load), c.outcome) << c.name;
}

TEST(Load, HandlesOfEveryKindAreDrawnAndStayTheCallers)
{
    const rt::WindowDC screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 3, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    const struct {
        const char* name;
        HANDLE handle;
        Outcome outcome;
    } cases[] = {
        {"device bitmap", CreateCompatibleBitmap(screen.get(), 5, 4), Made(imgBitmap, 5, 4)},
        {"DIB section", CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), Made(imgBitmap, 3, 2)},
        {"icon", IconHandle(true), Made(imgIcon, 32, 32)},
        {"cursor", IconHandle(false), Made(imgCursor, 32, 32)},
        // Its window extent in the display's pixels: a metafile keeps no size of its own.
        {"metafile", Wmf(true), Made(imgMetafile, 96, 48)},
        {"metafile that sets no extent", Wmf(false), kFailed},
        {"enhanced metafile", Emf(), Made(imgEnhMetafile, dpi, MulDiv(dpi, 1270, 2540))},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Load([&](c32bppDIB& d) { return d.LoadPicture_ByHandle(c.handle); }), c.outcome) << c.name;
        ICONINFO ii{};
        switch (const DWORD type = GetObjectType(c.handle)) {
        case OBJ_METAFILE: EXPECT_TRUE(DeleteMetaFile(static_cast<HMETAFILE>(c.handle))) << c.name; break;
        case OBJ_ENHMETAFILE: EXPECT_TRUE(DeleteEnhMetaFile(static_cast<HENHMETAFILE>(c.handle))) << c.name; break;
        case OBJ_BITMAP: EXPECT_TRUE(DeleteObject(c.handle)) << c.name; break;
        default:
            EXPECT_EQ(type, 0u) << c.name;
            EXPECT_TRUE(GetIconInfo(static_cast<HICON>(c.handle), &ii)) << c.name << " was taken over";
            DeleteObject(ii.hbmColor), DeleteObject(ii.hbmMask);
            DestroyIcon(static_cast<HICON>(c.handle));
        }
    }
}

TEST(Load, DataGoToTheFirstReaderThatTakesThem)
{
    Bytes brokenIcon = Icon({{16, 4}});
    brokenIcon[6] = 32; // the directory's width disagrees with the image's
    const Bytes badCrc = BadCrcPng();
    const struct {
        const char* name;
        Bytes bytes;
        bool gdiplus, pictureLoaderTakesIt;
        Outcome outcome;
    } cases[] = {
        {"a GIF", Gif(), true, true, Made(imgGIF, 7, 5)},
        {"an icon", Icon({{16, 4}}), true, true, Made(imgIcon, 16, 16)},
        {"a 24-bit BMP", Bmp24(), true, true, Made(imgBitmap, 3, 2)},
        {"a TIFF", Tiff(), true, false, Made(imgPNG, 2, 2)},
        {"a TIFF without GDI+", Tiff(), false, false, kFailed},
        {"an icon whose entry is refused", brokenIcon, false, true, kFailed},
        // The system's decoders take it; the PNG reader refuses it, and no one else is asked.
        {"a PNG whose image data fail their CRC", badCrc, true, true, kFailed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Load([&](c32bppDIB& d) { return d.LoadPicture_Stream(c.bytes); }, c.gdiplus), c.outcome) << c.name;
        c32bppDIB other;
        EXPECT_EQ(cBMPparser().LoadStream(c.bytes, other, 0, c.bytes.size()), c.pictureLoaderTakesIt) << c.name;
    }
}

TEST(Load, SourceBytesAreTheSliceOrAPngOfWhatGdiPlusDecoded)
{
    test::TempFolder folder;
    const Bytes png = Png(), gif = Gif(), tiff = Tiff(), tiffAround = Around(tiff);
    test::WriteBytes(folder / L"png", std::string(png.begin(), png.end()));
    test::WriteBytes(folder / L"gif", std::string(gif.begin(), gif.end()));
    const Bytes pngSignature{0x89, 'P', 'N', 'G'};
    const struct {
        const char* name;
        std::function<bool(c32bppDIB&)> load;
        Bytes kept; // its first bytes for a re-encoding
    } cases[] = {
        {"a slice", [&](c32bppDIB& d) { return d.LoadPicture_Stream(Around(gif), 0, 0, 3, gif.size(), true); }, gif},
        {"a slice, not asked", [&](c32bppDIB& d) { return d.LoadPicture_Stream(gif, 0, 0, 0, 0, false); }, {}},
        {"a PNG file", [&](c32bppDIB& d) { return d.LoadPicture_File(folder / L"png", 0, 0, true); }, png},
        {"a GIF file", [&](c32bppDIB& d) { return d.LoadPicture_File(folder / L"gif", 0, 0, true); }, gif},
        {"a TIFF through GDI+", [&](c32bppDIB& d) {
             return d.LoadPicture_Stream(tiffAround, 0, 0, 3, tiff.size(), true);
         }, pngSignature},
    };
    for (const auto& c : cases) {
        c32bppDIB dib;
        ASSERT_TRUE(c.load(dib)) << c.name;
        Bytes kept{9};
        EXPECT_EQ(dib.GetOrginalFormat(kept), !c.kept.empty()) << c.name;
        EXPECT_EQ(kept, dib.SourceBytes()) << c.name;
        kept.resize(std::min(kept.size(), c.kept == pngSignature ? 4 : kept.size()));
        EXPECT_EQ(kept, c.kept) << c.name;
    }
    EXPECT_EQ(tiffAround, Around(tiff)) << "the caller's array holds what it held";
}

TEST(Load, IconSizesComeFromTheKeptFileAndPickAnotherEntry)
{
    const Bytes icon = Icon({{16, 1}, {32, 4}, {24, 8}, {48, 32}, {20, 16}, {40, 24}});
    c32bppDIB dib;
    ASSERT_TRUE(dib.LoadPicture_Stream(icon, 16, 16, 0, 0, true));
    std::vector<SourceIconSize> sizes;
    ASSERT_EQ(dib.SourceIconSizes(sizes), 6);
    const std::vector<SourceIconSize> expected = {{16, 16, 1, 2},       {32, 32, 4, 16},        {24, 24, 8, 256},
                                                  {48, 48, 32, -1},     {20, 20, 16, 0xFFFF00}, {40, 40, 24, -16777216}};
    EXPECT_EQ(sizes, expected);
    const struct {
        int cx, cy, depth;
        int width, type;
    } reloads[] = {{48, 48, 32, 48, imgIconAlpha}, {32, 32, 4, 32, imgIcon}, {40, 40, 99, 40, imgIcon}};
    for (const auto& r : reloads) {
        ASSERT_TRUE(dib.LoadPicture_FromOrignalFormat(r.cx, r.cy, r.depth)) << r.cx;
        EXPECT_EQ(std::pair(dib.Width(), dib.ImageType()), std::pair(r.width, r.type)) << r.cx;
        EXPECT_EQ(dib.SourceBytes(), icon) << "kept across the reload";
    }
    ASSERT_TRUE(dib.LoadPicture_ByHandle(IconHandle(true)));
    EXPECT_EQ(dib.SourceIconSizes(sizes), 1);
    EXPECT_EQ(sizes, std::vector<SourceIconSize>({{32, 32, 32, -1}}));
    ASSERT_TRUE(dib.LoadPicture_Stream(Png(), 0, 0, 0, 0, true));
    EXPECT_EQ(dib.SourceIconSizes(sizes), 0);
    EXPECT_EQ(sizes.size(), 1u) << "left as it was";
}

TEST(Load, ImgdumpReachesEveryReaderAndPicksTheWantedEntry)
{
    test::TempFolder folder;
    const Bytes gif = Gif(), icon = Icon({{16, 4}, {48, 32}}), badCrc = BadCrcPng();
    test::WriteBytes(folder / L"a.gif", std::string(gif.begin(), gif.end()));
    test::WriteBytes(folder / L"crc.png", std::string(badCrc.begin(), badCrc.end()));
    test::WriteBytes(folder / L"a.ico", std::string(icon.begin(), icon.end()));
    const struct {
        const wchar_t* args;
        DWORD exitCode;
        const char* head;
    } cases[] = {
        {L"a.gif out", 0, "7 5\n"},
        {L"a.ico out", 0, "48 48\n"},
        {L"a.ico out --want 16 16 32 --gdiplus off", 0, "16 16\n"},
        {L"crc.png out --gdiplus on", 1, nullptr},
        {L"a.ico out --want 16 16", 2, nullptr},
        {L"a.ico out --want 16 x 32", 2, nullptr},
        {L"a.ico out --gdiplus on --gdiplus on", 2, nullptr},
    };
    const std::wstring exe = test::BuildDir() + L"\\tests\\imaging\\imgdump.exe";
    for (const auto& c : cases) {
        DeleteFileW((folder / L"out").c_str());
        test::Process run(exe, c.args, folder.Path());
        ASSERT_TRUE(run.Started() && run.WaitForExit(60000)) << test::Narrow(c.args);
        EXPECT_EQ(run.ExitCode(), c.exitCode) << test::Narrow(c.args);
        ASSERT_EQ(test::FileExists(folder / L"out"), c.head != nullptr) << test::Narrow(c.args);
        if (c.head) {
            EXPECT_EQ(test::ReadBytes(folder / L"out").substr(0, std::strlen(c.head)), c.head) << test::Narrow(c.args);
        }
    }
}

} // namespace
