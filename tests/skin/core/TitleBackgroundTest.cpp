#include "skin/core/Gradient.h"
#include "skin/core/TitleBackground.h"

#include <gtest/gtest.h>

#include <vector>

using namespace skin;

namespace {

constexpr Pixel kCleared = 0x123456;

// A 40 × 10 bar; band 1 runs red 100 -> 0 and band 2 blue 100 -> 0 over 10 rows, split at column 20.
struct Bar {
    std::vector<Pixel> px;
    Canvas canvas;
    explicit Bar(int w = 40, int h = 10) : px(static_cast<std::size_t>(w) * h, kCleared), canvas(px, w, h) {}
};

BackgroundDesign DesignOf(int style, int border = 0)
{
    BackgroundDesign s;
    s.style = static_cast<BarStyle>(style);
    s.cover = 5;
    s.border = border;
    s.v1Begin = {100, 0, 0};
    s.v1End = {0, 0, 0};
    s.v2Begin = {0, 0, 100};
    s.v2End = {0, 0, 0};
    s.high = {200, 200, 200};
    s.dark = {0, 0, 0};
    s.minBox = {20, 0, 6, 6};
    s.closeBox = {30, 5, 6, 10};
    return s;
}

Pixel Red(int v) { return ToPixel({v, 0, 0}); }
Pixel Blue(int v) { return ToPixel({0, 0, v}); }
Pixel Grey(int v) { return ToPixel({v, v, v}); }

struct Probe {
    int x, y;
    Pixel want;
};
struct StyleCase {
    int style;
    int border;
    std::vector<Probe> probes;
};

} // namespace

TEST(TitleBackground, EachStyleAtItsKeyRowsAndColumns)
{
    const StyleCase cases[] = {
        {0, 0, {{39, 3, Red(70)}, {0, 9, Red(10)}}},
        // Falling diagonal: band 1 ends at column 20 - r.
        {1, 0, {{16, 3, Red(70)}, {17, 3, Blue(70)}, {19, 0, Red(100)}, {20, 0, Blue(100)}}},
        {2, 0, {{18, 3, Blue(70)}, {19, 3, Red(70)}, {23, 3, Red(70)}, {28, 3, Red(70)}, {29, 3, Blue(70)}}},
        // Inset by border + 1 rows: the rows from 7 down are band 1 across.
        {3, 2, {{39, 6, Blue(40)}, {39, 7, Red(30)}, {0, 9, Red(10)}}},
        {4, 2, {{14, 6, Blue(40)}, {16, 6, Red(40)}, {39, 8, Red(20)}}},
        // Rising diagonal: band 1 ends at column 20 + r.
        {5, 0, {{22, 3, Red(70)}, {23, 3, Blue(70)}}},
        {6, 0, {{25, 3, Red(70)}, {26, 3, Blue(70)}, {29, 3, Red(70)}, {34, 3, Red(70)}}},
        {7, 1, {{27, 7, Blue(30)}, {39, 8, Red(20)}}},
        {8, 1, {{21, 2, Red(80)}, {22, 2, Blue(80)}, {23, 2, Blue(80)}, {24, 2, Red(80)}, {39, 9, Red(10)}}},
        // Curve: the boundary passes column 20 on the middle row.
        {9, 0, {{7, 0, Red(100)}, {8, 0, Blue(100)}, {19, 5, Red(50)}, {20, 5, Blue(50)}}},
        {10, 0, {{0, 0, Blue(100)}, {39, 1, Blue(90)}, {19, 5, Red(50)}, {20, 5, Blue(50)}, {39, 9, Red(10)}}},
        // A zero row limit: margins only, no curve (and no division by zero).
        {10, 8, {{39, 4, Blue(60)}, {0, 5, Red(50)}, {39, 9, Red(10)}}},
        {12, 1, {{0, 0, Blue(100)}, {0, 9, Red(10)}}},
        // Plate behind the boxes from x0 = 20 - 12, its rows 0..4 left cleared, outline on row 4.
        {13, 0, {{13, 6, Red(40)}, {20, 6, Blue(40)}, {14, 6, Grey(0)}, {9, 2, Red(80)}, {30, 2, kCleared}, {25, 4, Grey(0)},
                 {15, 7, Grey(90)}, {14, 8, Grey(255)}, {39, 7, Grey(90)}}},
        // Stacked halves of 5 rows each, the frame-coloured plate from x = 9 + r.
        {14, 0, {{10, 2, Red(60)}, {11, 2, Grey(160)}, {15, 7, Blue(60)}, {16, 7, Grey(60)}}},
        {15, 0, {{0, 0, kCleared}, {39, 9, kCleared}}},
        {-1, 0, {{0, 0, kCleared}}},
    };
    for (const StyleCase& c : cases) {
        Bar bar;
        PaintBackground(bar.canvas, DesignOf(c.style, c.border));
        for (const Probe& p : c.probes)
            EXPECT_EQ(bar.canvas.At(p.x, p.y), p.want)
                << "style " << c.style << " border " << c.border << " at (" << p.x << ", " << p.y << ")";
    }
}

TEST(TitleBackground, PlateNeedsBothCloseAndMinimiseBoxes)
{
    Bar bar;
    BackgroundDesign s = DesignOf(13);
    s.showMin = false;
    PaintBackground(bar.canvas, s);
    EXPECT_EQ(bar.canvas.At(0, 0), kCleared);
}

TEST(TitleBackground, FrameCornersBelongToTheLinesDrawnLast)
{
    Bar bar;
    DrawFrame(bar.canvas, {255, 255, 255}, {0, 0, 0});
    EXPECT_EQ(bar.canvas.At(0, 0), Grey(255));
    EXPECT_EQ(bar.canvas.At(39, 0), Grey(255)) << "the top edge runs over the right one";
    EXPECT_EQ(bar.canvas.At(0, 9), Grey(255)) << "the left edge runs over the bottom one";
    EXPECT_EQ(bar.canvas.At(39, 9), Grey(0));
    EXPECT_EQ(bar.canvas.At(1, 1), kCleared);
}

TEST(TitleBackground, PillMirrorsColumnThreeWithBevelledEnds)
{
    Bar bar(40, 20);
    for (int y = 0; y < 20; ++y)
        bar.canvas.Set(3, y, Red(y));
    CutPill(bar.canvas, 10, 0, 96); // W = 12, B = 2, H = 16
    const Probe probes[] = {
        {6, 2, Red(17)},  {17, 17, Red(2)}, {18, 2, kCleared}, {18, 3, Red(17)}, {5, 2, kCleared},
        {5, 3, Red(17)},  {5, 16, Red(4)},  {5, 17, kCleared}, {4, 4, Red(17)},  {4, 3, kCleared},
        {19, 4, Red(17)}, {19, 15, Red(6)}, {19, 16, kCleared}, {20, 4, kCleared},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(bar.canvas.At(p.x, p.y), p.want) << "at (" << p.x << ", " << p.y << ")";
}

TEST(Gradient, RoundsHalvesToEvenAndClampsOvershoot)
{
    Gradient g({0, 10, 255}, {5, 0, 255}, 2);
    EXPECT_EQ(g.At(1), (RgbChannels{2, 5, 255})) << "2.5 rounds to 2";
    EXPECT_EQ(g.At(2), (RgbChannels{5, 0, 255}));
    EXPECT_EQ(g.At(-3), (RgbChannels{0, 25, 255}));
    EXPECT_EQ(g.At(9), (RgbChannels{22, 0, 255})) << "a row past the end stays in range";
    EXPECT_EQ(Gradient({0, 0, 0}, {255, 0, 0}, 1).At(5).r, 255);
}
