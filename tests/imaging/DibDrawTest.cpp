// Drawing that builds on Render: the own rotation, the drop shadow drawn, and copies into other
// objects.
#include "imaging/c32bppDIB.h"

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
        // At 50, 50 the square of side 112 lies 6 left of and 31 above the corner; the turned
        // picture stands 31 and 5 into it.
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
        ASSERT_EQ(drawn, 5000) << c.angle;
        EXPECT_TRUE(c.angle != 90 || c.destWidth < 0 || (left == 75 && top == 24)) << left << "," << top;
        for (int y = 0; y < rh; ++y)
            for (int x = 0; x < rw; ++x) {
                const int sx = turns == 0 ? x : turns == 1 ? y : 99 - (turns == 2 ? x : y);
                const int sy = turns == 0 ? y : turns == 1 ? 49 - x : turns == 2 ? 49 - y : x;
                ASSERT_EQ(At(host, left + x, top + y), At(picture, c.destWidth < 0 ? 99 - sx : sx, sy))
                    << c.angle << " at " << x << "," << y << (c.highQuality ? " weighted" : "");
            }
    }
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
    EXPECT_TRUE((At(canvas, 4, 12) & At(canvas, 19, 19) & 0xFFFFFF) == 0xFFFFFFu) << "14 x 14 from 5, 5";
}

TEST(DibDraw, CopiesSizedMirroredAndOverOldPictures)
{
    struct Case {
        int w, h;        // new size, as asked
        bool alphaBlend; // drawn by Render's AlphaBlend, else by the own pipeline
        int tw, th;      // a target's size before, 0 for a fresh object
    };
    const Case cases[] = {{0, 0, true, 6, 4},    {-6, 0, true, 0, 0},  {0, -4, false, 6, 4}, {-12, 4, false, 0, 0},
                          {12, -8, true, 3, 3}, {12, 8, true, 12, 8}, {12, 8, false, 0, 0}, {-12, -8, false, 12, 8}};
    for (const auto& c : cases) {
        c32bppDIB picture;
        Numbered(picture, 6, 4, c.alphaBlend);
        std::memset(picture.BitsPointer(), 0, 6 * 4); // a clear bottom row
        picture.SetAlphaState(true);
        picture.SetSourceBytes(std::vector<std::uint8_t>{1, 2, 3});
        c32bppDIB target;
        if (c.tw) {
            ASSERT_TRUE(target.InitializeDIB(c.tw, c.th));
            std::memset(target.BitsPointer(), 0x77, static_cast<std::size_t>(c.tw) * c.th * 4);
        }
        picture.CopyImageTo(target, c.w, c.h, true);
        const int w = std::abs(c.w ? c.w : 6), h = std::abs(c.h ? c.h : 4);
        ASSERT_TRUE(target.Width() == w && target.Height() == h);
        EXPECT_TRUE(target.Alpha() && target.SourceBytes().size() == 3u);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int sx = x * 6 / w, sy = y * 4 / h;
                ASSERT_EQ(At(target, x, y), At(picture, c.w < 0 ? 5 - sx : sx, c.h < 0 ? 3 - sy : sy))
                    << "case " << c.w << " x " << c.h << " at " << x << "," << y;
            }
    }
    // Into itself, twice the size.
    c32bppDIB self;
    Numbered(self, 3, 2, false);
    const std::uint32_t corner = At(self, 2, 1);
    self.CopyImageTo(self, 6, 4, false);
    ASSERT_TRUE(self.Width() == 6 && At(self, 5, 3) == corner && At(self, 4, 2) == corner);
}

} // namespace
