// The load entry points under the real system (files, slices, resources built by windres, picture
// objects, handles), the readers' order, the kept source bytes and icon sizes, and imgdump.
#include "core/GifTestFiles.h"
#include "core/IcoTestFiles.h"
#include "core/PngTestFiles.h"

#include "imaging/Files.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cBMPparser.h"
#include "runtime/Handles.h"
#include "tests/imaging/core/BmpTestFiles.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <tuple>

using namespace imaging;
using Bytes = std::vector<std::uint8_t>;
using Loader = std::function<bool(c32bppDIB&)>;

namespace {

// As load/LoadTest.rc numbers them.
constexpr int kCustomIcon = 101, kBitmap = 102, kIcon = 103, kCursor = 104;

// The result, image type, width and height of a load: a picture made; a load that reached the
// readers and failed; one refused before the prior 3 x 3 blank picture was touched.
using Outcome = std::tuple<bool, int, int, int>;
Outcome Made(int type, int w, int h) { return {true, type, w, h}; }
const Outcome kFailed{false, imgNone, 0, 0}, kKept{false, imgBlank, 3, 3};

Outcome Load(const Loader& load, bool gdiplus = false)
{
    c32bppDIB dib;
    dib.isGDIplusEnabled(gdiplus);
    dib.InitializeDIB(3, 3);
    return {load(dib), dib.ImageType(), dib.Width(), dib.Height()}; // in this order
}

Bytes Gif()
{
    giftest::Gif g;
    g.width = 7, g.height = 5, g.minCodeSize = 2, g.global = Bytes(12, 0x80), g.indexes = Bytes(35, 1);
    return giftest::WriteGif(g);
}
Bytes Png(bool badCrc = false)
{
    std::mt19937 rng(102);
    const pngtest::Picture p = pngtest::RandomPicture(rng, 6, 8, false, 6, 4);
    Bytes png = pngtest::WritePng(p, pngtest::Compress(pngtest::RawRows(p, rng)));
    png[png.size() - 13] ^= badCrc; // the last byte of the image data's CRC, before IEND
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
    Bytes t{'I', 'I', 42, 0, 8, 0, 0, 0, 9, 0};
    const std::uint32_t entries[][4] = {{256, 3, 1, 2},   {257, 3, 1, 2}, {258, 3, 3, 122}, {259, 3, 1, 1}, {262, 3, 1, 2},
                                        {273, 4, 1, 128}, {277, 3, 1, 3}, {278, 3, 1, 2},   {279, 4, 1, 12}};
    for (const auto& e : entries)
        bmptest::Put(t, e[0], 2), bmptest::Put(t, e[1], 2), bmptest::Put(t, e[2], 4), bmptest::Put(t, e[3], 4);
    t.insert(t.end(), {0, 0, 0, 0, 8, 0, 8, 0, 8, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9});
    return t;
}
Bytes Around(Bytes b) // 3 bytes before, 2 after
{
    b.insert(b.begin(), {1, 2, 3});
    return b.insert(b.end(), {4, 5}), b;
}
void Write(const std::wstring& path, const Bytes& b) { test::WriteBytes(path, std::string(b.begin(), b.end())); }

HMETAFILE WmfWithExtent()
{
    const HDC dc = CreateMetaFileW(nullptr);
    SetWindowExtEx(dc, 96, 48, nullptr);
    return CloseMetaFile(dc);
}
HICON IconHandle(bool icon)
{
    const BYTE and_[32 * 4] = {}, xor_[32 * 4] = {0xFF};
    return icon ? CreateIcon(nullptr, 32, 32, 1, 1, and_, xor_) : CreateCursor(nullptr, 1, 1, 32, 32, and_, xor_);
}

TEST(Load, EachEntryPointOnAGoodAndAFailingSource)
{
    test::TempFolder folder;
    const Bytes bmp = Around(Bmp24());
    Write(folder / L"gif", Gif());
    Write(folder / L"56", Bytes(56, 'G'));
    const auto file = [&](const wchar_t* name) {
        return [&, name](c32bppDIB& d) { return d.LoadPicture_File(folder / name); };
    };
    const auto stream = [&](std::int64_t start, std::int64_t length) {
        return [&bmp, start, length](c32bppDIB& d) { return d.LoadPicture_Stream(bmp, 0, 0, start, length); };
    };
    const auto resource = [](int id, ResourceSection section, std::int64_t length = 0) {
        return [=](c32bppDIB& d) { return d.LoadPicture_Resource(id, section, nullptr, 0, 0, 0, length); };
    };
    const auto bitmap = [](c32bppDIB& d) {
        return d.LoadPicture_StdPicture(PictureObjectFromHandle(CreateBitmap(4, 2, 1, 32, nullptr), PICTYPE_BITMAP).get());
    };
    const struct {
        const char* name;
        Loader load;
        Outcome outcome;
    } cases[] = {
        {"file: a GIF", file(L"gif"), Made(imgGIF, 7, 5)},
        {"file: 56 bytes", file(L"56"), kKept},
        {"file: missing", file(L"none"), kKept},
        {"stream: the slice of a BMP", stream(3, std::int64_t(bmp.size()) - 5), Made(imgBitmap, 3, 2)},
        {"stream: a slice past the array", stream(3, std::int64_t(bmp.size()) - 2), kKept},
        {"resource: custom", resource(kCustomIcon, L"PICTURE"), Made(imgIcon, 32, 32)},
        {"resource: custom cut to 30 bytes", resource(kCustomIcon, L"PICTURE", 30), kKept},
        {"resource: custom missing", resource(999, L"PICTURE"), kKept},
        {"resource: bitmap", resource(kBitmap, ResourcePicture::Bitmap), Made(imgBitmap, 5, 3)},
        {"resource: icon", resource(kIcon, ResourcePicture::Icon), Made(imgIcon, 32, 32)},
        {"resource: cursor", resource(kCursor, ResourcePicture::Cursor), Made(imgCursor, 32, 32)},
        {"picture object: a bitmap", bitmap, Made(imgBitmap, 4, 2)},
        {"picture object: none", [](c32bppDIB& d) { return d.LoadPicture_StdPicture(nullptr); }, kFailed},
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
    const RECT frame{0, 0, 2540, 1270}; // HIMETRIC, an inch by half an inch
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
        {"metafile", WmfWithExtent(), Made(imgMetafile, 96, 48)},
        {"metafile that sets no extent", CloseMetaFile(CreateMetaFileW(nullptr)), kFailed},
        {"enhanced metafile", CloseEnhMetaFile(CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr)),
         Made(imgEnhMetafile, dpi, MulDiv(dpi, 1270, 2540))},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Load([&](c32bppDIB& d) { return d.LoadPicture_ByHandle(c.handle); }), c.outcome) << c.name;
        const DWORD type = GetObjectType(c.handle);
        const bool freed = type == OBJ_METAFILE      ? DeleteMetaFile(static_cast<HMETAFILE>(c.handle))
                           : type == OBJ_ENHMETAFILE ? DeleteEnhMetaFile(static_cast<HENHMETAFILE>(c.handle))
                           : type != 0               ? DeleteObject(c.handle)
                                                     : DestroyIcon(static_cast<HICON>(c.handle));
        EXPECT_TRUE(freed) << c.name << " was taken over";
    }
}

TEST(Load, DataGoToTheFirstReaderThatTakesThem)
{
    Bytes brokenIcon = Icon({{16, 4}});
    brokenIcon[6] = 32; // the directory's width disagrees with the image's
    const struct {
        const char* name;
        Bytes bytes;
        bool gdiplus, pictureLoaderTakesIt; // through the BMP reader, which keeps all but BMPs and sized formats from it
        Outcome outcome;
    } cases[] = {
        {"a GIF", Gif(), true, false, Made(imgGIF, 7, 5)},
        {"an icon", Icon({{16, 4}}), true, false, Made(imgIcon, 16, 16)},
        {"a 24-bit BMP", Bmp24(), true, true, Made(imgBitmap, 3, 2)},
        {"a TIFF", Tiff(), true, false, Made(imgPNG, 2, 2)},
        {"an icon whose entry is refused", brokenIcon, false, false, kFailed},
        // The system's decoders would take it; the PNG reader refuses it, and no one else is asked.
        {"a PNG whose image data fail their CRC", Png(true), true, false, kFailed},
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
    const Bytes png = Png(), gif = Gif(), tiff = Tiff(), signature{0x89, 'P', 'N', 'G'};
    const Bytes gifAround = Around(gif), tiffAround = Around(tiff);
    Write(folder / L"png", png);
    Write(folder / L"gif", gif);
    Write(folder / L"tiff", tiff);
    const auto file = [&](const wchar_t* name) {
        return [&, name](c32bppDIB& d) { return d.LoadPicture_File(folder / name, 0, 0, true); };
    };
    const auto stream = [](const Bytes& array, std::size_t length) {
        return [&array, length](c32bppDIB& d) { return d.LoadPicture_Stream(array, 0, 0, 3, length, true); };
    };
    const struct {
        const char* name;
        Loader load;
        Bytes kept; // the first four bytes of a PNG encoding
    } cases[] = {
        {"a slice", stream(gifAround, gif.size()), gif},
        {"a slice, not asked", [&](c32bppDIB& d) { return d.LoadPicture_Stream(gif); }, {}},
        {"a PNG file", file(L"png"), png},
        {"a GIF file", file(L"gif"), gif},
        {"a TIFF through GDI+", stream(tiffAround, tiff.size()), signature},
        {"a TIFF file through GDI+", file(L"tiff"), signature},
    };
    for (const auto& c : cases) {
        c32bppDIB dib;
        ASSERT_TRUE(c.load(dib)) << c.name;
        Bytes kept{9};
        EXPECT_EQ(dib.GetOrginalFormat(kept), !c.kept.empty()) << c.name;
        EXPECT_EQ(kept, dib.SourceBytes()) << c.name;
        EXPECT_EQ(Bytes(kept.begin(), kept.begin() + std::min(kept.size(), c.kept.size())), c.kept) << c.name;
    }
}

TEST(Load, IconSizesComeFromTheKeptFileAndPickAnotherEntry)
{
    const Bytes icon = Icon({{16, 1}, {32, 4}, {24, 8}, {48, 32}, {20, 16}, {40, 24}});
    c32bppDIB dib;
    ASSERT_TRUE(dib.LoadPicture_Stream(icon, 16, 16, 0, 0, true));
    std::vector<SourceIconSize> sizes;
    ASSERT_EQ(dib.SourceIconSizes(sizes), 6);
    EXPECT_EQ(sizes, std::vector<SourceIconSize>({{16, 16, 1, 2}, {32, 32, 4, 16}, {24, 24, 8, 256}, {48, 48, 32, -1},
                                                  {20, 20, 16, 0xFFFF00}, {40, 40, 24, -16777216}}));
    for (auto [side, depth, type] : {std::array{48, 99, int(imgIconAlpha)}, {32, 4, int(imgIcon)}}) {
        ASSERT_TRUE(dib.LoadPicture_FromOrignalFormat(side, side, depth)) << side; // 99 stands for 32
        EXPECT_EQ(std::pair(dib.Width(), dib.ImageType()), std::pair(side, type)) << side;
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
    Write(folder / L"a.ico", Icon({{16, 4}, {48, 32}}));
    Write(folder / L"crc.png", Png(true));
    const struct {
        const wchar_t* args;
        DWORD exitCode;
        std::string head; // none when nothing is written
    } cases[] = {
        {L"a.ico out --want 16 16 32 --gdiplus off", 0, "16 16\n"},
        {L"crc.png out --gdiplus on", 1, ""},
        {L"a.ico out --want 16 16", 2, ""},
    };
    for (const auto& c : cases) {
        DeleteFileW((folder / L"out").c_str());
        test::Process run(test::BuildDir() + L"\\tests\\imaging\\imgdump.exe", c.args, folder.Path());
        ASSERT_TRUE(run.Started() && run.WaitForExit(60000)) << test::Narrow(c.args);
        EXPECT_EQ(run.ExitCode(), c.exitCode) << test::Narrow(c.args);
        const std::string out = test::FileExists(folder / L"out") ? test::ReadBytes(folder / L"out") : "";
        EXPECT_EQ(out.substr(0, c.head.size()), c.head) << test::Narrow(c.args);
        EXPECT_EQ(out.empty(), c.head.empty()) << test::Narrow(c.args);
    }
}

} // namespace
