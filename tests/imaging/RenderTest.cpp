// Render on real DIB sections and windows: the own blend against the system's AlphaBlend, device
// contexts against host images, the argument rules drawn out, the effects, and a long run of
// draws to a window that must leave GDI's table as it found it.
#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"
#include "runtime/Handles.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using imaging::c32bppDIB;

std::uint8_t* At(const c32bppDIB& dib, int x, int y) { return dib.BitsPointer() + (dib.Height() - 1 - y) * dib.scanWidth() + x * 4; }

// An image that draws only through the own pipeline (or through AlphaBlend when `alphaBlend`).
void Prepare(c32bppDIB& dib, int w, int h, bool alphaBlend)
{
    dib.isGDIplusEnabled(false);
    dib.HighQualityInterpolation(false);
    dib.isAlphaBlendFriendly(alphaBlend);
    ASSERT_TRUE(dib.InitializeDIB(w, h));
}

void Randomise(c32bppDIB& dib, std::mt19937& rng, bool premultiplied)
{
    for (int y = 0; y < dib.Height(); ++y)
        for (int x = 0; x < dib.Width(); ++x) {
            std::uint8_t* p = At(dib, x, y);
            const int a = premultiplied ? (rng() % 3 == 0 ? (rng() % 2) * 255 : rng() % 256) : 255;
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<std::uint8_t>(a ? rng() % (a + 1) : 0);
            p[3] = static_cast<std::uint8_t>(a);
        }
}

bool Near(const c32bppDIB& a, const c32bppDIB& b, int channels, int tolerance, std::string& where)
{
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            for (int c = 0; c < channels; ++c)
                if (std::abs(At(a, x, y)[c] - At(b, x, y)[c]) > tolerance) {
                    where = std::to_string(x) + "," + std::to_string(y) + " channel " + std::to_string(c) + ": " +
                            std::to_string(At(a, x, y)[c]) + " vs " + std::to_string(At(b, x, y)[c]);
                    return false;
                }
    return true;
}

TEST(Render, OwnBlendMatchesAlphaBlendWithinOne)
{
    std::mt19937 rng(2024);
    c32bppDIB system, own;
    Prepare(system, 61, 37, true);
    Prepare(own, 61, 37, false);
    Randomise(system, rng, true);
    std::memcpy(own.BitsPointer(), system.BitsPointer(), static_cast<std::size_t>(own.scanWidth()) * own.Height());
    for (const bool toHost : {true, false})
        for (const int opacity : {100, 50, 7}) {
            c32bppDIB under[2];
            for (c32bppDIB& u : under)
                Prepare(u, 70, 40, false);
            Randomise(under[0], rng, toHost);
            std::memcpy(under[1].BitsPointer(), under[0].BitsPointer(), static_cast<std::size_t>(70) * 4 * 40);
            for (int i = 0; i < 2; ++i) {
                c32bppDIB& image = i ? own : system;
                HDC dc = toHost ? nullptr : under[i].LoadDIBinDC(true);
                EXPECT_TRUE(image.Render(dc, 5, 2, 0, 0, 0, 0, 0, 0, opacity, true, true, toHost ? &under[i] : nullptr));
                under[i].LoadDIBinDC(false);
            }
            std::string where;
            EXPECT_TRUE(Near(under[0], under[1], toHost ? 4 : 3, 1, where)) << opacity << (toHost ? " host " : " DC ") << where;
        }
}

TEST(Render, DeviceContextsGetWhatHostImagesGet)
{
    std::mt19937 rng(7);
    c32bppDIB image;
    Prepare(image, 23, 17, false);
    Randomise(image, rng, true);
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 80, 60, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    struct Case {
        int x, y, w, h, opacity, grey;
        float light;
        bool weighted;
    };
    const Case cases[] = {{-3, -2, 40, 30, 100, -1, 0, false}, {50, 40, -45, 33, 60, -1, 20, true},
                          {10, 5, 23, -17, 100, 2, -35, false}, {0, 0, 90, 70, 33, 1, 0, true},
                          {5, 4, 0, 0, 100, -1, 40, false},     {30, 20, 0, 0, 60, -1, -40, true}};
    for (const Case& c : cases) {
        image.HighQualityInterpolation(c.weighted);
        c32bppDIB host, memory, shown;
        for (c32bppDIB* d : {&host, &memory, &shown})
            Prepare(*d, 80, 60, false);
        Randomise(host, rng, false);
        std::memcpy(memory.BitsPointer(), host.BitsPointer(), static_cast<std::size_t>(80) * 4 * 60);
        const std::vector<std::uint8_t> before(host.BitsPointer(), host.BitsPointer() + 80 * 4 * 60);
        {
            const rt::WindowDC dc(window);
            BITMAPINFO info{};
            info.bmiHeader = {sizeof(BITMAPINFOHEADER), 80, 60, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
            ASSERT_TRUE(SetDIBitsToDevice(dc.get(), 0, 0, 80, 60, 0, 0, 0, 60, host.BitsPointer(), &info, DIB_RGB_COLORS));
            EXPECT_TRUE(image.Render(dc.get(), c.x, c.y, c.w, c.h, 0, 0, 0, 0, c.opacity, true, true, nullptr, c.grey, c.light));
            EXPECT_TRUE(BitBlt(shown.LoadDIBinDC(true), 0, 0, 80, 60, dc.get(), 0, 0, SRCCOPY));
            shown.LoadDIBinDC(false);
        }
        EXPECT_TRUE(image.Render(nullptr, c.x, c.y, c.w, c.h, 0, 0, 0, 0, c.opacity, true, true, &host, c.grey, c.light));
        EXPECT_TRUE(image.Render(memory.LoadDIBinDC(true), c.x, c.y, c.w, c.h, 0, 0, 0, 0, c.opacity, true, true,
                                 nullptr, c.grey, c.light));
        memory.LoadDIBinDC(false);
        std::string where;
        EXPECT_TRUE(Near(host, memory, 3, 0, where)) << "memory DC, case " << (&c - cases) << " " << where;
        EXPECT_TRUE(Near(host, shown, 3, 0, where)) << "window DC, case " << (&c - cases) << " " << where;
        // Drawn as it is, each clear pixel of the picture leaves the host's pixel under it alone.
        for (int y = 0; y < 17 && c.w == 0; ++y)
            for (int x = 0; x < 23 && c.y + y < 60; ++x)
                if (At(image, x, y)[3] == 0 && c.x + x < 80) {
                    const std::uint8_t* under = At(host, c.x + x, c.y + y);
                    EXPECT_EQ(std::memcmp(under, &before[under - host.BitsPointer()], 4), 0)
                        << "case " << (&c - cases) << " at " << x << "," << y;
                }
    }
    DestroyWindow(window);
}

// A 4 x 2 image whose opaque grey pixels are named: top row a b c d, bottom row e f g h.
// Each case draws it into a cleared 6 x 4 host and lists the host's rows ('.' untouched).
TEST(Render, ArgumentRulesAsDrawn)
{
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        int x, y, w, h, sx, sy, sw, sh, opacity;
        float light, angle;
        bool center, result;
        const char* rows;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0, false, true, "abcd.. efgh.. ...... ......"},
        {-3, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0, false, true, "d..... h..... ...... ......"},
        {4, 1, 0, 0, 0, 0, 0, 0, 100, 0, 0, false, true, "...... ....ab ....ef ......"},
        {6, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0, false, true, "...... ...... ...... ......"},
        {-4, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0, false, false, "...... ...... ...... ......"},
        {0, 0, -4, 0, 0, 0, 0, 0, 100, 0, 0, false, true, "dcba.. hgfe.. ...... ......"},
        {0, 0, 0, -2, 0, 0, 0, 0, 100, 0, 0, false, true, "efgh.. abcd.. ...... ......"},
        {0, 0, 2, 0, 0, 0, -2, 0, 100, 0, 0, false, true, "dc.... hg.... ...... ......"},
        {0, 0, -2, 0, 0, 0, -2, 0, 100, 0, 0, false, true, "ab.... ef.... ...... ......"},
        {0, 0, 0, 0, 0, 0, 0, INT_MIN, 100, 0, 0, false, true, "efgh.. abcd.. ...... ......"},
        {0, 0, 0, 0, 1, 0, 0, 0, 100, 0, 0, false, true, "bbcd.. ffgh.. ...... ......"},
        {0, 0, 8, 4, 0, 0, 0, 0, 100, 0, 0, false, true, "aabbcc aabbcc eeffgg eeffgg"},
        {0, 0, 0, 0, 0, 1, 0, 1, 100, 0, 0, false, true, "efgh.. efgh.. ...... ......"},
        {3, 2, 0, 0, 0, 0, 0, 0, 100, 0, 0, true, true, "...... .abcd. .efgh. ......"},
        {4, 1, -4, 0, 0, 0, 0, 0, 100, 0, 0, true, true, "..dcba ..hgfe ...... ......"},
        {0, 0, 0, 0, 4, 0, 0, 0, 100, 0, 0, false, false, "...... ...... ...... ......"},
        {0, 0, 0, 0, 0, 2, 0, 0, 100, 0, 0, false, false, "...... ...... ...... ......"},
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, false, true, "...... ...... ...... ......"},
        {0, 0, 0, 0, 0, 0, 0, 0, INT_MIN, 0, 0, false, true, "...... ...... ...... ......"},
        {0, 0, 0, 0, 0, 0, 0, 0, 200, 150, nan, false, true, "abcd.. efgh.. ...... ......"},
        {0, 0, 0, 0, 0, 0, 0, 0, 100, nan, 720, false, true, "abcd.. efgh.. ...... ......"},
    };
    c32bppDIB image;
    Prepare(image, 4, 2, false);
    for (int i = 0; i < 8; ++i) {
        std::uint8_t* p = At(image, i % 4, i / 4);
        p[0] = p[1] = p[2] = static_cast<std::uint8_t>('a' + i), p[3] = 255;
    }
    image.SetAlphaState(false);
    for (const Case& c : cases) {
        c32bppDIB host;
        Prepare(host, 6, 4, false);
        EXPECT_EQ(image.Render(nullptr, c.x, c.y, c.w, c.h, c.sx, c.sy, c.sw, c.sh, c.opacity, true, true, &host, -1,
                               c.light, c.angle, c.center),
                  c.result)
            << c.rows;
        std::string rows;
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 6; ++x)
                rows += At(host, x, y)[3] ? static_cast<char>(At(host, x, y)[0]) : '.';
            rows += y < 3 ? " " : "";
        }
        EXPECT_EQ(rows, c.rows) << "case " << (&c - cases);
    }
    c32bppDIB empty, host;
    Prepare(host, 6, 4, false);
    EXPECT_FALSE(empty.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &host)) << "no image";
    EXPECT_FALSE(empty.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, true, true, &host)) << "no image, no opacity";
    EXPECT_FALSE(image.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0)) << "neither DC nor host";
    EXPECT_FALSE(image.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &empty)) << "host without pixels";
    // Into itself, one column to the right: it reads the picture as it was before the draw.
    for (const bool alphaBlend : {false, true}) {
        c32bppDIB self;
        Prepare(self, 4, 2, alphaBlend);
        std::memcpy(self.BitsPointer(), image.BitsPointer(), 32);
        EXPECT_TRUE(self.Render(nullptr, 1, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &self));
        std::string row;
        for (int x = 0; x < 4; ++x)
            row += static_cast<char>(At(self, x, 0)[0]);
        EXPECT_EQ(row, "aabc") << alphaBlend;
    }
}

TEST(Render, EffectsInvertKeyAndMirror)
{
    c32bppDIB dib, empty;
    Prepare(dib, 2, 2, false);
    const std::uint8_t start[4][4] = {{255, 255, 255, 255}, {64, 64, 64, 128}, {0, 0, 0, 128}, {0, 0, 0, 0}};
    const std::uint8_t inverted[4][4] = {{0, 0, 0, 255}, {64, 64, 64, 128}, {128, 128, 128, 128}, {0, 0, 0, 0}};
    for (int i = 0; i < 4; ++i)
        std::memcpy(At(dib, i % 2, i / 2), start[i], 4);
    EXPECT_TRUE(dib.MakeImageInverse());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(std::memcmp(At(dib, i % 2, i / 2), inverted[i], 4), 0) << i;
    EXPECT_TRUE(dib.MirrorImage(true, true));
    EXPECT_EQ(std::memcmp(At(dib, 1, 1), inverted[0], 4), 0) << "half a turn";
    EXPECT_FALSE(dib.MirrorImage(false, false));
    EXPECT_FALSE(empty.MakeImageInverse() || empty.MakeTransparent(0, false) || empty.MirrorImage(true, false));

    // Opaque red (0x0000FF in OLE order) keyed out of a bitmap, then put back.
    Prepare(dib, 2, 1, false);
    const std::uint8_t red[4] = {0, 0, 255, 255}, blue[4] = {255, 0, 0, 255};
    std::memcpy(At(dib, 0, 0), red, 4), std::memcpy(At(dib, 1, 0), blue, 4);
    dib.SetImageType(imaging::imgBitmap), dib.SetAlphaState(false);
    EXPECT_TRUE(dib.MakeTransparent(0x00FF00, false));
    EXPECT_EQ(dib.ImageType(), imaging::imgBitmap) << "a colour not present changes nothing";
    EXPECT_TRUE(dib.MakeTransparent(0x0000FF, false));
    EXPECT_EQ(At(dib, 0, 0)[3], 0);
    EXPECT_TRUE(dib.Alpha());
    EXPECT_EQ(dib.ImageType(), imaging::imgBitmapPremultiplied);
    EXPECT_TRUE(dib.MakeTransparent(0x0000FF, true));
    EXPECT_EQ(std::memcmp(At(dib, 0, 0), red, 4), 0);
    EXPECT_FALSE(dib.Alpha());
    EXPECT_EQ(dib.ImageType(), imaging::imgBitmap);
}

TEST(Render, SeventyThousandDrawsToAWindowLeaveGdiAsFound)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 64, 64, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    imaging::GdiPlusToken token;
    ASSERT_TRUE(imaging::cGDIPlus().isGDIplusOk(token, true));
    std::mt19937 rng(70);
    c32bppDIB image;
    Prepare(image, 16, 12, true);
    Randomise(image, rng, true);
    DWORD before = 0;
    // The first draws make what the engine keeps between draws; what they count is the base.
    for (int i = -5; i < 70000; ++i) {
        if (i == 0)
            before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        const int way = (i + 5) % 5; // AlphaBlend, own (plain, mirrored and scaled, partly outside), GDI+
        image.isAlphaBlendFriendly(way == 0);
        image.isGDIplusEnabled(way == 4);
        image.gdiToken(way == 4 ? token : imaging::GdiPlusToken{});
        const rt::WindowDC dc(window);
        const int x = way == 3 ? -8 : (i + 5) % 40, w = way == 2 ? -24 : 0;
        ASSERT_TRUE(image.Render(dc.get(), x, (i + 5) % 50, w, 0, 0, 0, 0, 0, 30 + (i + 5) % 71, true, true, nullptr, -1,
                                 way == 2 ? 20.0f : 0.0f))
            << "draw " << i << " way " << way;
    }
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
    image.gdiToken({});
    ULONG_PTR spent = token.value;
    imaging::cGDIPlus().StartStopGDIplus(spent, true);
    DestroyWindow(window);
}

} // namespace
