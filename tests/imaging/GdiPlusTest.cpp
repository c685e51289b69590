// GDI+ load, render, rotate and save of real bitmaps; the host's pixels stay byte-identical.
#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

using imaging::c32bppDIB;
using imaging::cGDIPlus;
using Bytes = std::vector<std::uint8_t>;

// Premultiplied blue, green, red, alpha of pixel (x, y from the top).
std::uint8_t* At(const c32bppDIB& dib, int x, int y) { return dib.BitsPointer() + (dib.Height() - 1 - y) * dib.scanWidth() + x * 4; }
void Put(c32bppDIB& dib, int x, int y, std::uint32_t argb)
{
    for (int i = 0; i < 4; ++i)
        At(dib, x, y)[i] = static_cast<std::uint8_t>(argb >> (8 * i));
}
std::uint32_t Get(const c32bppDIB& dib, int x, int y)
{
    std::uint32_t v = 0;
    std::memcpy(&v, At(dib, x, y), 4);
    return v;
}
Bytes Snapshot(const c32bppDIB& dib) { return Bytes(dib.BitsPointer(), dib.BitsPointer() + dib.scanWidth() * dib.Height()); }
bool Near(std::uint32_t a, std::uint32_t b, int tolerance)
{
    for (int i = 0; i < 32; i += 8)
        if (std::abs(static_cast<int>((a >> i) & 255) - static_cast<int>((b >> i) & 255)) > tolerance)
            return false;
    return true;
}

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

// R G / B W, and a half-transparent premultiplied grey in a third column above a clear pixel.
void Quad(c32bppDIB& host)
{
    ASSERT_TRUE(host.InitializeDIB(3, 2));
    Put(host, 0, 0, kRed), Put(host, 1, 0, kGreen), Put(host, 0, 1, kBlue), Put(host, 1, 1, kWhite);
    Put(host, 2, 0, 0x80404040);
}

TEST(GdiPlus, SaveAndLoadRoundTrip)
{
    c32bppDIB host, empty;
    Quad(host);
    const Bytes pixels = Snapshot(host);
    Bytes png{9};
    EXPECT_FALSE(cGDIPlus().SaveToPNG(L"", png, empty, {})) << "no picture";
    EXPECT_EQ(png, Bytes{9});
    ASSERT_TRUE(cGDIPlus().SaveToPNG(L"", png, host, {}));
    EXPECT_EQ(Snapshot(host), pixels) << "saving only reads the host";
    ASSERT_GT(png.size(), 20u);
    EXPECT_EQ(Bytes(png.begin(), png.begin() + 8), (Bytes{0x89, 'P', 'N', 'G', 13, 10, 26, 10}));
    // The bytes are the stream's, ending at IEND, not the larger memory block behind it.
    EXPECT_EQ(Bytes(png.end() - 8, png.end()), (Bytes{'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82}));

    test::TempFolder folder;
    const std::wstring path = folder / L"\u4e2d\u0436.png";
    ASSERT_TRUE(cGDIPlus().SaveToPNG(path, png, host, {}));
    for (const bool fromFile : {false, true}) {
        c32bppDIB loaded;
        ASSERT_TRUE(cGDIPlus().LoadThroughGDIplus(fromFile ? path : L"", png, loaded, {})) << fromFile;
        EXPECT_EQ(loaded.ImageType(), imaging::imgPNG);
        EXPECT_TRUE(loaded.Alpha());
        ASSERT_EQ(loaded.Width(), 3);
        ASSERT_EQ(loaded.Height(), 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_TRUE(Near(Get(loaded, x, y), Get(host, x, y), 1)) << x << "," << y << " " << std::hex << Get(loaded, x, y);
    }
}

TEST(GdiPlus, LoadKeepsTheAlphaStateOfThePicture)
{
    struct Case {
        const char* name;
        std::uint32_t pixel;
        bool alpha;
    };
    for (auto c : {Case{"opaque", kGreen, false}, Case{"fully transparent", 0, true}, Case{"half", 0x80008000, true}}) {
        c32bppDIB source, loaded;
        ASSERT_TRUE(source.InitializeDIB(5, 4));
        for (int i = 0; i < 20; ++i)
            Put(source, i % 5, i / 5, c.pixel);
        Bytes png;
        ASSERT_TRUE(cGDIPlus().SaveToPNG(L"", png, source, {})) << c.name;
        ASSERT_TRUE(cGDIPlus().LoadThroughGDIplus(L"", png, loaded, {})) << c.name;
        EXPECT_EQ(loaded.Alpha(), c.alpha) << c.name;
        EXPECT_EQ(Get(loaded, 4, 3), c.pixel) << c.name;
    }
    c32bppDIB kept;
    Quad(kept);
    EXPECT_FALSE(cGDIPlus().LoadThroughGDIplus(L"", Bytes(100, 0x33), kept, {}));
    EXPECT_EQ(Get(kept, 1, 0), kGreen) << "undecodable bytes leave the picture";
}

struct Canvas {
    c32bppDIB dib;
    HDC dc = nullptr;
    Canvas(int w, int h)
    {
        dib.InitializeDIB(w, h);
        dc = dib.LoadDIBinDC(true);
    }
};

TEST(GdiPlus, RenderMirrorsAndTurnsWithoutTouchingTheHost)
{
    c32bppDIB host;
    Quad(host);
    const Bytes pixels = Snapshot(host);
    // Host pixels: R G grey / B W clear.
    constexpr std::uint32_t g = 0x80404040;
    struct Case {
        const char* name;
        float angle;
        int opacity, w, h;
        std::uint32_t want[6];
    };
    const Case cases[] = {
        {"upright", 0, 100, 3, 2, {kRed, kGreen, g, kBlue, kWhite, 0}},
        {"mirrored left to right", 0, 100, -3, 2, {g, kGreen, kRed, 0, kWhite, kBlue}},
        {"mirrored top to bottom", 0, 100, 3, -2, {kBlue, kWhite, 0, kRed, kGreen, g}},
        {"both mirrors", 0, 100, -3, -2, {0, kWhite, kBlue, g, kGreen, kRed}},
        {"opacity 0 draws nothing", 0, 0, 3, 2, {}},
    };
    for (const auto& c : cases) {
        Canvas canvas(7, 6);
        ASSERT_TRUE(cGDIPlus().RenderThroughGDIplus(host, canvas.dc, c.angle, c.opacity, 2, 3, c.w, c.h, 0, 0, 3, 2,
                                                    false, -1, {}, 0))
            << c.name;
        GdiFlush();
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(Get(canvas.dib, 2 + i % 3, 3 + i / 3), c.want[i]) << c.name << " pixel " << i;
        EXPECT_EQ(Get(canvas.dib, 1, 3), 0u) << c.name << ": nothing outside";
        EXPECT_EQ(Get(canvas.dib, 5, 4), 0u) << c.name << ": nothing outside";
        EXPECT_EQ(Snapshot(host), pixels) << c.name;
    }

    // Turns of a 100 x 50 destination at (10, 20) about its centre (60, 45): a quarter turn
    // takes the left (red) half of a red | blue picture up, a half turn takes it right.
    c32bppDIB halves;
    ASSERT_TRUE(halves.InitializeDIB(20, 10));
    for (int i = 0; i < 200; ++i)
        Put(halves, i % 20, i / 20, i % 20 < 10 ? kRed : kBlue);
    const Bytes halfPixels = Snapshot(halves);
    struct Turn {
        float angle;
        POINT red, blue, clear;
    };
    for (auto t : {Turn{90, {60, 10}, {60, 80}, {20, 45}}, Turn{180, {85, 45}, {35, 45}, {60, 15}}}) {
        Canvas canvas(120, 100);
        ASSERT_TRUE(cGDIPlus().RenderThroughGDIplus(halves, canvas.dc, t.angle, 100, 10, 20, 100,
                                                    50, 0, 0, 20, 10, false, -1, {}, 0));
        GdiFlush();
        EXPECT_EQ(Get(canvas.dib, t.red.x, t.red.y), kRed) << t.angle;
        EXPECT_EQ(Get(canvas.dib, t.blue.x, t.blue.y), kBlue) << t.angle;
        EXPECT_EQ(Get(canvas.dib, t.clear.x, t.clear.y), 0u) << t.angle;
    }
    EXPECT_EQ(Snapshot(halves), halfPixels);
}

TEST(GdiPlus, GreyScaleLightnessAndOpacityGoThroughTheColourMatrix)
{
    c32bppDIB red, black;
    ASSERT_TRUE(red.InitializeDIB(1, 1));
    ASSERT_TRUE(black.InitializeDIB(1, 1));
    Put(red, 0, 0, kRed), Put(black, 0, 0, 0xFF000000);
    struct Case {
        const char* name;
        const c32bppDIB& host;
        int opacity, grey;
        float lightness;
        std::uint32_t want;
    };
    const Case cases[] = {
        {"grey mode 1", red, 100, 1, 0, 0xFF363636},   // 0.213 × 255
        {"lightness 50", black, 100, -1, 50, 0xFF808080},
        {"half opacity", red, 50, -1, 0, 0x80800000},
    };
    for (const auto& c : cases) {
        Canvas canvas(3, 3);
        ASSERT_TRUE(cGDIPlus().RenderThroughGDIplus(c.host, canvas.dc, 0, c.opacity, 1, 1, 1, 1, 0, 0, 1, 1, false,
                                                    c.grey, {}, c.lightness))
            << c.name;
        GdiFlush();
        EXPECT_TRUE(Near(Get(canvas.dib, 1, 1), c.want, 2)) << c.name << " " << std::hex << Get(canvas.dib, 1, 1);
    }
}

TEST(GdiPlus, CallersTokenKeepsGdiPlusRunning)
{
    cGDIPlus gdip;
    imaging::GdiPlusToken probe;
    EXPECT_TRUE(gdip.isGDIplusOk(probe, false));
    EXPECT_EQ(probe.value, 0u) << "a probe keeps nothing";
    imaging::GdiPlusToken token;
    ASSERT_TRUE(gdip.isGDIplusOk(token, true));
    ASSERT_NE(token.value, 0u);
    c32bppDIB host;
    Quad(host);
    Bytes png;
    EXPECT_TRUE(gdip.SaveToPNG(L"", png, host, token));
    // Started by someone else: used as it is.
    EXPECT_TRUE(gdip.SaveToPNG(L"", png, host, imaging::GdiPlusToken{0, true, {}}));
    gdip.StartStopGDIplus(token.value, true);
}

} // namespace
