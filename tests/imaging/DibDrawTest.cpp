// Drawing that builds on Render: the own rotation into host images and device contexts, the
// drop shadow drawn, and copies into other objects.
#include "imaging/c32bppDIB.h"

#include "runtime/Handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

using imaging::c32bppDIB;

std::uint32_t At(const c32bppDIB& dib, int x, int y)
{
    std::uint32_t v;
    std::memcpy(&v, dib.BitsPointer() + (dib.Height() - 1 - y) * dib.scanWidth() + x * 4, 4);
    return v;
}

// Opaque pixels that all differ, drawn without GDI+.
void Numbered(c32bppDIB& dib, int w, int h, bool alphaBlend = true, bool highQuality = false)
{
    dib.isGDIplusEnabled(false);
    dib.isAlphaBlendFriendly(alphaBlend);
    dib.HighQualityInterpolation(highQuality);
    ASSERT_TRUE(dib.InitializeDIB(w, h));
    for (int i = 0; i < w * h; ++i) {
        const std::uint32_t v = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
        std::memcpy(dib.BitsPointer() + i * 4, &v, 4);
    }
    dib.SetAlphaState(false);
}

TEST(DibDraw, OwnRotationTurnsByQuartersExactly)
{
    struct Case {
        float angle;
        int destWidth; // negative mirrors before the turn
        bool alphaBlend, highQuality;
    };
    const Case cases[] = {{90, 100, true, false}, {90, 100, false, true}, {-270, 100, true, true},
                          {180.4f, 100, false, false}, {270, 100, true, false}, {90, -100, false, false}};
    for (const auto& c : cases) {
        c32bppDIB picture, host;
        Numbered(picture, 100, 50, c.alphaBlend, c.highQuality);
        ASSERT_TRUE(host.InitializeDIB(200, 200));
        // The picture's corner at 50, 50: the square of side 112 lies 6 left and 31 above it, and the
        // turned picture 31 and 5 into that square.
        const int x0 = c.destWidth < 0 ? 150 : 50;
        ASSERT_TRUE(picture.Render(nullptr, x0, 50, c.destWidth, 50, 0, 0, 0, 0, 100, true, true, &host, -1, 0, c.angle));
        const int turns = static_cast<int>(std::lround(c.angle / 90)) % 4 + (c.angle < 0 ? 4 : 0);
        const int rw = turns % 2 ? 50 : 100, rh = turns % 2 ? 100 : 50;
        int drawn = 0, left = 200, top = 200;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                if (At(host, x, y) != 0) {
                    ++drawn;
                    left = std::min(left, x);
                    top = std::min(top, y);
                }
        // Centred on the destination's centre (100, 75) within a pixel; the example of a quarter
        // turn exactly where its square puts it.
        EXPECT_LE(std::abs(2 * left + rw - 200), 2) << c.angle;
        EXPECT_LE(std::abs(2 * top + rh - 150), 2) << c.angle;
        if (c.angle == 90 && c.destWidth > 0) {
            EXPECT_EQ(left, 75);
            EXPECT_EQ(top, 24);
        }
        ASSERT_EQ(drawn, 5000) << c.angle;
        for (int y = 0; y < rh; ++y)
            for (int x = 0; x < rw; ++x) {
                int sx = turns == 0 ? x : turns == 1 ? y : 99 - (turns == 2 ? x : y);
                const int sy = turns == 0 ? y : turns == 1 ? 49 - x : turns == 2 ? 49 - y : x;
                if (c.destWidth < 0)
                    sx = 99 - sx;
                ASSERT_EQ(At(host, left + x, top + y), At(picture, sx, sy))
                    << c.angle << " at " << x << "," << y << (c.highQuality ? " weighted" : "");
            }
    }
}

TEST(DibDraw, OwnRotationOntoADeviceContext)
{
    c32bppDIB picture, canvas, host;
    Numbered(picture, 30, 20, false);
    ASSERT_TRUE(canvas.InitializeDIB(80, 80));
    ASSERT_TRUE(host.InitializeDIB(80, 80));
    std::memset(canvas.BitsPointer(), 0xFF, 80 * 80 * 4);
    std::memset(host.BitsPointer(), 0xFF, 80 * 80 * 4);
    HDC dc = canvas.LoadDIBinDC(true);
    ASSERT_TRUE(picture.Render(dc, 40, 40, 0, 0, 0, 0, 0, 0, 100, true, true, nullptr, -1, 0, 37, true));
    ASSERT_TRUE(picture.Render(nullptr, 40, 40, 0, 0, 0, 0, 0, 0, 100, true, true, &host, -1, 0, 37, true));
    GdiFlush();
    canvas.LoadDIBinDC(false);
    int differ = 0, touched = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x) {
            touched += (At(host, x, y) & 0xFFFFFF) != 0xFFFFFF;
            differ += (At(canvas, x, y) & 0xFFFFFF) != (At(host, x, y) & 0xFFFFFF);
        }
    EXPECT_GT(touched, 550) << "the turned picture is there";
    EXPECT_EQ(differ, 0) << "a DC gets what a host image gets";
}

TEST(DibDraw, ShadowDrawn)
{
    c32bppDIB none, picture, canvas;
    ASSERT_TRUE(canvas.InitializeDIB(30, 30));
    std::memset(canvas.BitsPointer(), 0xFF, 30 * 30 * 4);
    HDC dc = canvas.LoadDIBinDC(true);
    EXPECT_FALSE(none.RenderDropShadow_JIT(dc, 0, 0, 2, 0, 50));
    ASSERT_TRUE(picture.InitializeDIB(10, 10));
    std::memset(picture.BitsPointer(), 0xFF, 10 * 10 * 4);
    ASSERT_TRUE(picture.RenderDropShadow_JIT(dc, 5, 5, 2, 0x000080, 100));
    GdiFlush();
    canvas.LoadDIBinDC(false);
    // Corners of alpha 255 \ 25 = 10 over white, a solid middle in the colour, white around.
    const std::uint32_t corner = At(canvas, 5, 5);
    EXPECT_NEAR(static_cast<int>(corner & 0xFF), 245, 1);
    EXPECT_NEAR(static_cast<int>((corner >> 16) & 0xFF), 245 + 128 * 10 / 255, 1);
    EXPECT_EQ(At(canvas, 12, 12) & 0xFFFFFF, 0x800000u) << "red 128, from the low byte of the colour";
    EXPECT_EQ(At(canvas, 4, 12) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(At(canvas, 19, 19) & 0xFFFFFF, 0xFFFFFFu) << "14 x 14 from 5, 5";
}

TEST(DibDraw, CopiesSizedMirroredAndOverOldPictures)
{
    struct Case {
        int w, h;              // new size, as asked
        bool alphaBlend, hq;   // the way of drawing
        int tw, th;            // a target's size before, 0 for a fresh object
    };
    const Case cases[] = {{0, 0, true, false, 6, 4},    {-6, 0, true, false, 0, 0},  {0, -4, false, false, 6, 4},
                          {-12, 4, false, false, 0, 0}, {12, -8, true, false, 3, 3}, {12, 8, true, false, 12, 8},
                          {12, 8, false, false, 0, 0},  {-12, -8, false, false, 12, 8}};
    for (const auto& c : cases) {
        c32bppDIB picture;
        Numbered(picture, 6, 4, c.alphaBlend, c.hq);
        for (int i = 0; i < 6; ++i)
            picture.BitsPointer()[i * 4 + 3] = 0, picture.BitsPointer()[i * 4] = 0, picture.BitsPointer()[i * 4 + 1] = 0,
            picture.BitsPointer()[i * 4 + 2] = 0; // a clear bottom row
        picture.SetAlphaState(true);
        picture.SetSourceBytes(std::vector<std::uint8_t>{1, 2, 3});
        c32bppDIB target;
        if (c.tw) {
            ASSERT_TRUE(target.InitializeDIB(c.tw, c.th));
            std::memset(target.BitsPointer(), 0x77, static_cast<std::size_t>(c.tw) * c.th * 4);
        }
        picture.CopyImageTo(target, c.w, c.h, true);
        const int w = std::abs(c.w ? c.w : 6), h = std::abs(c.h ? c.h : 4);
        ASSERT_EQ(target.Width(), w);
        ASSERT_EQ(target.Height(), h);
        EXPECT_TRUE(target.Alpha());
        EXPECT_EQ(target.SourceBytes().size(), 3u);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int sx = x * 6 / w, sy = y * 4 / h;
                if (c.w < 0)
                    sx = 5 - sx;
                if (c.h < 0)
                    sy = 3 - sy;
                ASSERT_EQ(At(target, x, y), At(picture, sx, sy))
                    << "case " << c.w << " x " << c.h << " at " << x << "," << y;
            }
    }
    // Into itself, twice the size.
    c32bppDIB self;
    Numbered(self, 3, 2, false);
    const std::uint32_t corner = At(self, 2, 1);
    self.CopyImageTo(self, 6, 4, false);
    ASSERT_EQ(self.Width(), 6);
    EXPECT_EQ(At(self, 5, 3), corner);
    EXPECT_EQ(At(self, 4, 2), corner);
}

} // namespace
