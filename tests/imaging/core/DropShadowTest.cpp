// The shadow's running box sums against a brute-force sum over each box.
#include "imaging/core/DropShadow.h"

#include "imaging/core/Simd.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using imaging::PixelView;
using Pixels = std::vector<std::uint8_t>;

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
            const int sw = w + d, area = (d + 1) * (d + 1);
            Pixels out(std::size_t(sw) * (h + d) * 4, 0xEE);
            ASSERT_TRUE(imaging::BlurShadow(*PixelView::Packed(src, w, h), margin, colour, *PixelView::Packed(out, sw, h + d)));
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
                    for (int c = 0; c < 3; ++c) // premultiplied, truncated; straight at 255
                        ASSERT_EQ(p[c], rgb[c] * a / 255) << "margin " << margin;
                }
        }
}

// Machines without AVX2 run the four-column loop: it gives the bytes of the eight-column one,
// over runs of clear, opaque and partial alpha.
TEST(DropShadow, FourAndEightColumnLoopsAgree)
{
    if (!imaging::simd::Avx2())
        GTEST_SKIP() << "the processor runs the four-column loop only";
    std::mt19937 rng(10);
    for (int round = 0; round < 150; ++round) {
        const int margin = round % 11, w = 1 + rng() % 40, h = 1 + rng() % 30, d = 2 * margin;
        const std::uint32_t colour = round % 4 ? rng() : 0xFFFFFF;
        Pixels src(std::size_t(w) * h * 4);
        for (std::size_t i = 3; i < src.size(); i += 4) {
            const std::size_t run = (i / 4 % w) / 9 + i / 4 / w / 5 + round;
            src[i] = static_cast<std::uint8_t>(run % 3 == 0 ? 0 : run % 3 == 1 ? 255 : rng() % 256);
        }
        Pixels got[2];
        for (const bool wide : {false, true}) {
            imaging::simd::AllowAvx2(wide);
            got[wide].assign(std::size_t(w + d) * (h + d) * 4, 0xEE);
            ASSERT_TRUE(imaging::BlurShadow(*PixelView::Packed(src, w, h), margin, colour,
                                            *PixelView::Packed(got[wide], w + d, h + d)));
        }
        imaging::simd::AllowAvx2(true);
        ASSERT_EQ(got[0], got[1]) << round;
    }
}

} // namespace
