#include "alphaimage/core/HitShape.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A w by h picture whose alpha is set from `rows` ('#' visible, '.' transparent).
std::vector<std::uint8_t> Picture(const std::vector<const char*>& rows, int w)
{
    std::vector<std::uint8_t> px(rows.size() * static_cast<std::size_t>(w) * 4, 0);
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (int x = 0; x < w; ++x)
            px[(y * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)) * 4 + 3] = rows[y][x] == '#' ? 255 : 0;
    return px;
}

const std::vector<const char*> kRing = {
    "......",
    "..##..",
    ".#..#.",
    "..##..",
    "......",
};

TEST(HitShape, ModesHitWholeControlBoxSpansOrVisiblePixels)
{
    auto px = Picture(kRing, 6);
    auto whole = aic::HitShape::Build(px, 6, 5, 24, 0);
    auto box = aic::HitShape::Build(px, 6, 5, 24, 1);
    auto spans = aic::HitShape::Build(px, 6, 5, 24, 2);
    auto exact = aic::HitShape::Build(px, 6, 5, 24, 3);
    struct Case {
        int x, y;
        bool whole, box, spans, exact;
    };
    const Case cases[] = {
        {0, 0, true, false, false, false}, // transparent corner
        {2, 1, true, true, true, true},    // visible pixel
        {1, 1, true, true, false, false},  // in the box, before the row's span
        {2, 2, true, true, true, false},   // inside the ring's hole
        {5, 4, true, false, false, false}, {-1, 2, false, false, false, false}, {6, 2, false, false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(whole.Hits(c.x, c.y), c.whole) << c.x << "," << c.y;
        EXPECT_EQ(box.Hits(c.x, c.y), c.box) << c.x << "," << c.y;
        EXPECT_EQ(spans.Hits(c.x, c.y), c.spans) << c.x << "," << c.y;
        EXPECT_EQ(exact.Hits(c.x, c.y), c.exact) << c.x << "," << c.y;
    }
    EXPECT_EQ(box.Bounds().left, 1);
    EXPECT_EQ(box.Bounds().top, 1);
    EXPECT_EQ(box.Bounds().right, 5);
    EXPECT_EQ(box.Bounds().bottom, 4);
}

TEST(HitShape, FullyTransparentOrShortPicturesHitNothing)
{
    std::vector<std::uint8_t> clear(4 * 4 * 4, 0);
    EXPECT_FALSE(aic::HitShape::Build(clear, 4, 4, 16, 3).Hits(1, 1));
    EXPECT_FALSE(aic::HitShape::Build(clear, 4, 4, 16, 1).Hits(1, 1));
    std::vector<std::uint8_t> opaque(4 * 4 * 4, 255);
    // One byte short of the last row: refused rather than read past the end.
    std::vector<std::uint8_t> shortBuf(opaque.begin(), opaque.end() - 1);
    EXPECT_FALSE(aic::HitShape::Build(shortBuf, 4, 4, 16, 3).Hits(0, 0));
    EXPECT_FALSE(aic::HitShape::Build(opaque, 4, 4, 8, 3).Hits(0, 0)); // stride below the width
    EXPECT_TRUE(aic::HitShape::Build(opaque, 4, 4, 16, 3).Hits(3, 3));
    // An unknown mode hits like mode 0.
    EXPECT_TRUE(aic::HitShape::Build(clear, 4, 4, 16, 9).Hits(1, 1));
}

TEST(HitShape, FitRectKeepsTheShapeAndCentres)
{
    struct Case {
        int iw, ih, bw, bh;
        aic::Rect want;
    };
    const Case cases[] = {
        {44, 44, 22, 22, {0, 0, 22, 22}},   {200, 40, 110, 22, {0, 0, 110, 22}}, {200, 40, 100, 40, {0, 10, 100, 30}},
        {10, 20, 40, 20, {15, 0, 25, 20}},  {10, 10, 10, 10, {0, 0, 10, 10}},    {0, 10, 10, 10, {0, 0, 0, 0}},
        {10, 10, 0, 10, {0, 0, 0, 0}},      {1000, 1, 10, 10, {0, 4, 10, 5}},
    };
    for (const Case& c : cases) {
        aic::Rect r = aic::FitRect(c.iw, c.ih, c.bw, c.bh);
        EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}),
                  (std::vector<int>{c.want.left, c.want.top, c.want.right, c.want.bottom}))
            << c.iw << "x" << c.ih << " in " << c.bw << "x" << c.bh;
    }
}

} // namespace
