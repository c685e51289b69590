// The shadow's running box sums against a brute-force sum over each box.
#include "imaging/core/DropShadow.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using imaging::PixelView;
using Pixels = std::vector<std::uint8_t>;

Pixels Shadow(Pixels src, int w, int h, int margin, std::uint32_t colour)
{
    const int sw = w + 2 * margin, sh = h + 2 * margin;
    Pixels out(std::size_t(sw) * sh * 4, 0xEE);
    EXPECT_TRUE(imaging::BlurShadow(*PixelView::Packed(src, w, h), margin, colour, *PixelView::Packed(out, sw, sh)));
    return out;
}

TEST(DropShadow, MatchesABruteForceBoxSum)
{
    std::mt19937 rng(143);
    for (int margin = 0; margin <= 10; ++margin)
        for (int trial = 0; trial < 3; ++trial) {
            const int w = 1 + rng() % 30, h = 1 + rng() % 30, d = 2 * margin;
            const std::uint32_t colour = rng();
            Pixels src(std::size_t(w) * h * 4);
            for (auto& b : src)
                b = static_cast<std::uint8_t>(trial == 0 ? 255 : rng() % 256);
            const Pixels out = Shadow(src, w, h, margin, colour);
            const int sw = w + d, area = (d + 1) * (d + 1);
            for (int i = 0; i < h + d; ++i)
                for (int k = 0; k < sw; ++k) {
                    int sum = 0;
                    for (int r = std::max(0, i - d); r <= std::min(i, h - 1); ++r)
                        for (int c = std::max(0, k - d); c <= std::min(k, w - 1); ++c)
                            sum += src[(std::size_t(r) * w + c) * 4 + 3];
                    const int a = sum / area;
                    const int rgb[3] = {int(colour >> 16) & 255, int(colour >> 8) & 255, int(colour) & 255};
                    const std::uint8_t* p = &out[(std::size_t(i) * sw + k) * 4];
                    ASSERT_EQ(p[3], a) << "margin " << margin << " at " << k << "," << i;
                    for (int c = 0; c < 3; ++c)
                        ASSERT_EQ(p[c], a == 255 ? rgb[c] : rgb[c] * a / 255) << "margin " << margin;
                }
        }
}

TEST(DropShadow, Examples)
{
    // An opaque 10 x 10 picture with margin 2: corner 255 \ 25, a solid middle in straight colour.
    const Pixels out = Shadow(Pixels(400, 255), 10, 10, 2, 0x405060);
    EXPECT_EQ(out[3], 10);
    for (int i = 4; i <= 9; ++i)
        for (int k = 4; k <= 9; ++k)
            ASSERT_EQ(out[(std::size_t(i) * 14 + k) * 4 + 3], 255);
    EXPECT_EQ(out[(4 * 14 + 4) * 4 + 0], 0x40) << "blue from bits 16-23";
    EXPECT_EQ(out[(4 * 14 + 4) * 4 + 2], 0x60) << "red from the low byte";
    // Dark grey at half alpha is premultiplied to 32.
    Pixels half(4, 128);
    EXPECT_EQ(Shadow(half, 1, 1, 0, 0xFF404040)[0], 32);
    EXPECT_EQ(imaging::ShadowMargin(15), 10);
    EXPECT_EQ(imaging::ShadowMargin(-3), 0);
    Pixels src(16), wrong(16);
    EXPECT_FALSE(imaging::BlurShadow(*PixelView::Packed(src, 2, 2), 1, 0, *PixelView::Packed(wrong, 2, 2)));
}

} // namespace
