// The own rotation: quarter turns as exact permutations and against a plain per-pixel version
// of the mapping, and any angle inside the window with colour within alpha.
#include "imaging/core/Rotate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

using imaging::PixelView;
using Pixels = std::vector<std::uint8_t>;

std::uint32_t At(const Pixels& px, int w, int x, int row)
{
    std::uint32_t v;
    std::memcpy(&v, &px[(std::size_t(row) * w + x) * 4], 4);
    return v;
}

Pixels Rotate(Pixels src, int w, int h, int dw, int dh, int degrees, bool weighted, int border = 0)
{
    const int side = static_cast<int>(imaging::RotationSquareSide(dw, dh)), bw = w + 2 * border;
    Pixels square(std::size_t(side) * side * 4);
    EXPECT_TRUE(imaging::RotateIntoSquare(*PixelView::Packed(src, bw, h + 2 * border), {border, border, w, h}, dw, dh,
                                          degrees, weighted, *PixelView::Packed(square, side, side)));
    return square;
}

// Nearest sampling straight from the mapping, each square pixel on its own, rows from the bottom.
Pixels Reference(const Pixels& src, int w, int h, double sine, double cosine)
{
    const auto side = static_cast<int>(std::lround(std::sqrt(double(w) * w + double(h) * h)));
    const int ox = (side - w) / 2, oy = (side - h) / 2, cxs = w / 2, cys = h / 2;
    Pixels out(std::size_t(side) * side * 4);
    for (int v = -oy; v < side - oy; ++v)
        for (int u = -ox; u < side - ox; ++u) {
            const double px = (u - cxs) * cosine + (v - cys) * sine + cxs, py = (v - cys) * cosine - (u - cxs) * sine + cys;
            if (px >= 0 && py >= 0 && px < w && py < h) {
                const std::uint32_t value = At(src, w, int(std::floor(px)), int(std::floor(py)));
                std::memcpy(&out[(std::size_t(v + oy) * side + (u + ox)) * 4], &value, 4);
            }
        }
    return out;
}

TEST(Rotate, WholeDegreesAndSquareSide)
{
    const std::pair<float, int> angles[] = {{90.5f, 90}, {91.5f, 92}, {-90, -90}, {450, 90}, {-450, -90},
                                            {359.5f, 0}, {180.4f, 180}, {NAN, 0}, {INFINITY, 0}};
    for (auto [angle, whole] : angles)
        EXPECT_EQ(imaging::WholeDegrees(angle), whole) << angle;
    const std::int64_t sides[][3] = {{100, 50, 112}, {3, 4, 5}, {1, 1, 1}, {1024, 1024, 1448}, {0, 5, 0},
                                     {2147483647, 2147483647, 3037000499}, {2147483647, 1, 2147483647}};
    for (auto s : sides)
        EXPECT_EQ(imaging::RotationSquareSide(s[0], s[1]), s[2]) << s[0] << " x " << s[1];
}

TEST(Rotate, QuarterTurnsAreExactPermutations)
{
    const std::pair<int, int> sizes[] = {{100, 50}, {1, 1}, {3, 2}, {7, 7}, {6, 9}, {2, 5}};
    const double quarter[4][2] = {{0, 1}, {-1, 0}, {0, -1}, {1, 0}};
    for (auto [w, h] : sizes)
        for (int degrees : {90, 180, 270, -90, -270, 0})
            for (bool weighted : {false, true}) {
                Pixels src(std::size_t(w) * h * 4);
                for (std::size_t i = 0; i < src.size() / 4; ++i) { // opaque, every pixel different
                    const auto v = static_cast<std::uint32_t>(0xFF000000u | (i + 1));
                    std::memcpy(&src[i * 4], &v, 4);
                }
                const Pixels square = Rotate(src, w, h, w, h, degrees, weighted);
                const int side = static_cast<int>(std::sqrt(square.size() / 4));
                const int turns = ((degrees / 90) % 4 + 4) % 4, rw = turns % 2 ? h : w, rh = turns % 2 ? w : h;
                int left = side, top = side, count = 0;
                for (int row = 0; row < side; ++row)
                    for (int x = 0; x < side; ++x)
                        if (At(square, side, x, row)) {
                            left = std::min(left, x);
                            top = std::min(top, side - 1 - row);
                            ++count;
                        }
                ASSERT_EQ(count, w * h) << w << "x" << h << " by " << degrees;
                EXPECT_LE(std::abs(2 * left + rw - side), 2) << "centred across, within a pixel";
                EXPECT_LE(std::abs(2 * top + rh - side), 2) << "centred down, within a pixel";
                // Clockwise on screen, rows counted from the top.
                for (int y = 0; y < rh; ++y)
                    for (int x = 0; x < rw; ++x) {
                        const int sx = turns == 0 ? x : turns == 1 ? y : w - 1 - (turns == 2 ? x : y);
                        const int sy = turns == 0 ? y : turns == 1 ? h - 1 - x : turns == 2 ? h - 1 - y : x;
                        ASSERT_EQ(At(square, side, left + x, side - 1 - (top + y)), At(src, w, sx, h - 1 - sy))
                            << w << "x" << h << " by " << degrees << " at " << x << "," << y;
                    }
                EXPECT_TRUE(weighted || square == Reference(src, w, h, quarter[turns][0], quarter[turns][1]));
                // The example: 50 wide and 100 high, 31 columns and 5 rows into its square.
                EXPECT_TRUE(w != 100 || degrees != 90 || (left == 31 && top == 5)) << left << "," << top;
            }
}

TEST(Rotate, AnyAngleStaysInTheWindowWithColourWithinAlpha)
{
    std::mt19937 rng(122);
    for (int trial = 0; trial < 60; ++trial) {
        const int w = 1 + rng() % 40, h = 1 + rng() % 40, dw = 1 + rng() % 60, dh = 1 + rng() % 60;
        const int degrees = static_cast<int>(rng() % 719) - 359;
        // The window inside a border of foreign colour, which no sample may take.
        Pixels src(std::size_t(w + 4) * (h + 4) * 4, 0x11);
        std::vector<std::uint32_t> window;
        for (int row = 2; row < h + 2; ++row)
            for (int x = 2; x < w + 2; ++x) {
                std::uint8_t* p = &src[(std::size_t(row) * (w + 4) + x) * 4];
                p[3] = static_cast<std::uint8_t>(rng() % 3 ? 255 : rng() % 256);
                for (int c = 0; c < 3; ++c)
                    p[c] = static_cast<std::uint8_t>(rng() % (p[3] + 1));
                window.push_back(At(src, w + 4, x, row));
            }
        for (bool weighted : {false, true}) {
            const Pixels square = Rotate(src, w, h, dw, dh, degrees, weighted, 2);
            for (std::size_t i = 0; i < square.size(); i += 4) {
                for (int c = 0; c < 3; ++c)
                    ASSERT_LE(square[i + c], square[i + 3]) << "colour within alpha";
                const std::uint32_t v = At(square, 1, 0, int(i / 4));
                ASSERT_TRUE(weighted || v == 0 || std::find(window.begin(), window.end(), v) != window.end())
                    << "an exact copy of a window pixel";
            }
        }
    }
    // A uniform opaque picture stays exactly uniform and opaque at any angle and scale.
    Pixels grey(10 * 7 * 4, 90);
    for (std::size_t i = 3; i < grey.size(); i += 4)
        grey[i] = 255;
    for (int degrees : {33, 45, 127, -10}) {
        const Pixels turned = Rotate(grey, 10, 7, 23, 9, degrees, true);
        for (std::size_t i = 0; i < turned.size(); i += 4)
            ASSERT_TRUE(turned[i + 3] == 0 || std::equal(&turned[i], &turned[i + 4], &grey[0])) << degrees;
    }
}

} // namespace
