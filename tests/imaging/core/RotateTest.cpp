// The own rotation against a plain per-pixel version of its mapping, and quarter turns as
// exact permutations of the picture.
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

// Every pixel opaque and different from every other.
Pixels Numbered(int w, int h)
{
    Pixels px(std::size_t(w) * h * 4);
    for (std::size_t i = 0; i < px.size() / 4; ++i) {
        const std::uint32_t v = 0xFF000000u | static_cast<std::uint32_t>(i + 1);
        std::memcpy(&px[i * 4], &v, 4);
    }
    return px;
}

Pixels Rotate(Pixels src, int w, int h, std::int64_t dw, std::int64_t dh, int degrees, bool weighted)
{
    const auto side = static_cast<int>(imaging::RotationSquareSide(dw, dh));
    Pixels square(std::size_t(side) * side * 4);
    EXPECT_TRUE(imaging::RotateIntoSquare(*PixelView::Packed(src, w, h), {0, 0, w, h}, dw, dh, degrees, weighted,
                                          *PixelView::Packed(square, side, side)));
    return square;
}

// Nearest sampling straight from the mapping: each square pixel on its own, rows from the bottom.
Pixels Reference(const Pixels& src, int w, int h, int dw, int dh, double sine, double cosine)
{
    const auto side = static_cast<int>(std::lround(std::sqrt(double(dw) * dw + double(dh) * dh)));
    const double xs = double(dw) / w, ys = double(dh) / h;
    const int ox = (side - w) / 2, oy = (side - h) / 2, cxs = w / 2, cys = h / 2;
    Pixels out(std::size_t(side) * side * 4);
    for (int v = -oy; v < side - oy; ++v)
        for (int u = -ox; u < side - ox; ++u) {
            const double px = (u - cxs) * cosine / xs + (v - cys) * sine / xs + cxs;
            const double py = (v - cys) * cosine / ys - (u - cxs) * sine / ys + cys;
            if (px < 0 || py < 0 || px >= w || py >= h)
                continue;
            const std::uint32_t value = At(src, w, int(std::floor(px)), int(std::floor(py)));
            std::memcpy(&out[(std::size_t(v + oy) * side + (u + ox)) * 4], &value, 4);
        }
    return out;
}

TEST(Rotate, WholeDegreesAndSquareSide)
{
    const std::pair<float, int> angles[] = {{90.4f, 90}, {90.5f, 90}, {91.5f, 92}, {-90, -90}, {450, 90}, {-450, -90},
                                            {359.5f, 0}, {180.4f, 180}, {NAN, 0}, {INFINITY, 0}, {-INFINITY, 0}};
    for (auto [angle, whole] : angles)
        EXPECT_EQ(imaging::WholeDegrees(angle), whole) << angle;
    struct Side {
        std::int64_t w, h, side;
    };
    const Side sides[] = {{100, 50, 112}, {3, 4, 5}, {1, 1, 1}, {1024, 1024, 1448}, {0, 5, 0},
                          {2147483647, 2147483647, 3037000499}, {2147483647, 1, 2147483647}};
    for (auto s : sides)
        EXPECT_EQ(imaging::RotationSquareSide(s.w, s.h), s.side) << s.w << " x " << s.h;
}

TEST(Rotate, QuarterTurnsAreExactPermutations)
{
    const std::pair<int, int> sizes[] = {{100, 50}, {1, 1}, {3, 2}, {7, 7}, {6, 9}, {2, 5}};
    for (auto [w, h] : sizes)
        for (int degrees : {90, 180, 270, -90, -270, 0})
            for (bool weighted : {false, true}) {
                const Pixels src = Numbered(w, h), square = Rotate(src, w, h, w, h, degrees, weighted);
                const int side = static_cast<int>(std::sqrt(square.size() / 4));
                const int turns = ((degrees / 90) % 4 + 4) % 4, rw = turns % 2 ? h : w, rh = turns % 2 ? w : h;
                // Where the turned picture lies: the bounding box of what was written.
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
                if (!weighted) {
                    const double quarter[4][2] = {{0, 1}, {-1, 0}, {0, -1}, {1, 0}};
                    EXPECT_EQ(square, Reference(src, w, h, w, h, quarter[turns][0], quarter[turns][1]));
                }
            }
    // A 100 x 50 picture by 90 degrees stands 50 wide and 100 high, 31 columns and 5 rows into
    // its 112-pixel square.
    const Pixels square = Rotate(Numbered(100, 50), 100, 50, 100, 50, 90, false);
    const std::pair<int, int> corners[] = {{31, 5}, {80, 5}, {31, 104}, {80, 104}};
    for (auto [x, y] : corners) {
        EXPECT_NE(At(square, 112, x, 111 - y), 0u) << x << "," << y;
        EXPECT_EQ(At(square, 112, x + (x == 31 ? -1 : 1), 111 - y), 0u) << x << "," << y;
        EXPECT_EQ(At(square, 112, x, 111 - (y + (y == 5 ? -1 : 1))), 0u) << x << "," << y;
    }
}

TEST(Rotate, AnyAngleCopiesOrWeighsWithoutLeavingTheWindow)
{
    std::mt19937 rng(122);
    for (int trial = 0; trial < 60; ++trial) {
        const int w = 1 + rng() % 40, h = 1 + rng() % 40, dw = 1 + rng() % 60, dh = 1 + rng() % 60;
        const int degrees = static_cast<int>(rng() % 719) - 359;
        Pixels src(std::size_t(w) * h * 4);
        for (std::size_t i = 0; i < src.size(); i += 4) {
            src[i + 3] = static_cast<std::uint8_t>(rng() % 3 ? 255 : rng() % 256);
            for (int c = 0; c < 3; ++c)
                src[i + c] = static_cast<std::uint8_t>(rng() % (src[i + 3] + 1));
        }
        // Inside a larger picture, so a read past the window would show as foreign colour.
        const int bw = w + 4, bh = h + 4;
        Pixels big(std::size_t(bw) * bh * 4, 0x11);
        for (int row = 0; row < h; ++row)
            std::memcpy(&big[(std::size_t(row + 2) * bw + 2) * 4], &src[std::size_t(row) * w * 4], std::size_t(w) * 4);
        const auto side = static_cast<int>(imaging::RotationSquareSide(dw, dh));
        for (bool weighted : {false, true}) {
            Pixels square(std::size_t(side) * side * 4);
            ASSERT_TRUE(imaging::RotateIntoSquare(*PixelView::Packed(big, bw, bh), {2, 2, w, h}, dw, dh, degrees,
                                                  weighted, *PixelView::Packed(square, side, side)));
            for (std::size_t i = 0; i < square.size(); i += 4) {
                const std::uint32_t v = At(square, 1, 0, int(i / 4));
                if (!weighted && v != 0) {
                    bool found = false;
                    for (std::size_t j = 0; j < src.size() && !found; j += 4)
                        found = std::memcmp(&src[j], &square[i], 4) == 0;
                    ASSERT_TRUE(found) << "an exact copy of a window pixel";
                }
                for (int c = 0; c < 3; ++c)
                    ASSERT_LE(square[i + c], square[i + 3]) << "colour within alpha";
            }
        }
    }
    // A uniform opaque picture stays exactly opaque and uniform at any angle and scale.
    Pixels grey(10 * 7 * 4);
    for (std::size_t i = 0; i < grey.size(); i += 4)
        grey[i] = grey[i + 1] = grey[i + 2] = 90, grey[i + 3] = 255;
    for (int degrees : {33, 45, 127, -10}) {
        const Pixels turned = Rotate(grey, 10, 7, 23, 9, degrees, true);
        for (std::size_t i = 0; i < turned.size(); i += 4)
            if (turned[i + 3]) {
                ASSERT_TRUE(turned[i] == 90 && turned[i + 1] == 90 && turned[i + 2] == 90 && turned[i + 3] == 255)
                    << degrees << " at " << i;
            }
    }
}

TEST(Rotate, RefusesWindowsOutsideTheSource)
{
    Pixels src(4 * 3 * 4), square(25 * 4);
    const auto view = *PixelView::Packed(src, 4, 3);
    const auto sq = *PixelView::Packed(square, 5, 5);
    const imaging::RotationWindow bad[] = {{-1, 0, 4, 3}, {1, 0, 4, 3}, {0, 1, 4, 3}, {0, 0, 0, 3}, {0, 0, 4, -1}};
    for (auto w : bad)
        EXPECT_FALSE(imaging::RotateIntoSquare(view, w, 4, 3, 30, true, sq));
    EXPECT_FALSE(imaging::RotateIntoSquare(view, {0, 0, 4, 3}, 4, 4, 30, true, sq)) << "square of another size";
    EXPECT_TRUE(imaging::RotateIntoSquare(view, {0, 0, 4, 3}, 4, 3, 30, true, sq));
}

} // namespace
