// Alpha regions checked pixel by pixel with PtInRegion against the pictures they come from.
#include "imaging/AlphaRegion.h"
#include "imaging/c32bppDIB.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using imaging::c32bppDIB;

struct Region {
    HRGN h;
    ~Region()
    {
        if (h)
            DeleteObject(h);
    }
};

// Alpha of pixel (x, y from the top).
std::uint8_t& AlphaAt(c32bppDIB& dib, int x, int y)
{
    return dib.BitsPointer()[(dib.Height() - 1 - y) * dib.scanWidth() + x * 4 + 3];
}

// Scattered visible pixels: far more than 2,000 runs.
void Scatter(c32bppDIB& dib, unsigned seed)
{
    std::mt19937 rng(seed);
    for (int y = 0; y < dib.Height(); ++y)
        for (int x = 0; x < dib.Width(); ++x)
            AlphaAt(dib, x, y) = rng() % 2 ? 0 : static_cast<std::uint8_t>(1 + rng() % 255);
}

// The pixels a style should cover: exact, spans a row, or the bounding box.
bool Expected(c32bppDIB& dib, int style, int x, int y)
{
    if (style == imaging::regionExactRuns)
        return AlphaAt(dib, x, y) != 0;
    auto rowHas = [&](int row, int from, int to) {
        for (int i = from; i < to; ++i)
            if (AlphaAt(dib, i, row))
                return true;
        return false;
    };
    if (style == imaging::regionRowSpans)
        return rowHas(y, 0, x + 1) && rowHas(y, x, dib.Width());
    bool left = false, right = false, above = false, below = false;
    for (int r = 0; r < dib.Height(); ++r) {
        left |= rowHas(r, 0, x + 1);
        right |= rowHas(r, x, dib.Width());
        above |= r <= y && rowHas(r, 0, dib.Width());
        below |= r >= y && rowHas(r, 0, dib.Width());
    }
    return left && right && above && below;
}

void ExpectMatches(HRGN region, c32bppDIB& dib, int style, int dx = 0, int dy = 0)
{
    ASSERT_NE(region, nullptr) << "style " << style;
    for (int y = -1; y <= dib.Height(); ++y)
        for (int x = -1; x <= dib.Width(); ++x) {
            const bool inside = x >= 0 && y >= 0 && x < dib.Width() && y < dib.Height() && Expected(dib, style, x, y);
            ASSERT_EQ(PtInRegion(region, x + dx, y + dy) != 0, inside) << "style " << style << " at " << x << "," << y;
        }
}

TEST(Region, EveryStyleMatchesThePixelsWithThousandsOfRectangles)
{
    c32bppDIB dib;
    ASSERT_TRUE(dib.InitializeDIB(128, 72));
    Scatter(dib, 5);
    EXPECT_GT(imaging::AlphaRects(*imaging::PixelView::Packed({dib.BitsPointer(), 128u * 4 * 72}, 128, 72),
                                  imaging::regionExactRuns)
                  .size(),
              2000u);
    for (int style = 0; style <= 2; ++style) {
        Region r{dib.CreateRegion(style, 0, 0)};
        ExpectMatches(r.h, dib, style);
    }
    Region moved{dib.CreateRegion(2, 5, -3)};
    ExpectMatches(moved.h, dib, 2, 5, -3);
}

TEST(Region, ChunkedBuildMatchesThePixels)
{
    // The platform here takes any count in one call, so the chunked path is driven directly.
    c32bppDIB dib;
    ASSERT_TRUE(dib.InitializeDIB(160, 110));
    Scatter(dib, 9);
    auto rects = imaging::AlphaRects(*imaging::PixelView::Packed({dib.BitsPointer(), 160u * 4 * 110}, 160, 110),
                                     imaging::regionExactRuns);
    ASSERT_GT(rects.size(), 2 * imaging::kRegionChunk);
    std::vector<RECT> list(rects.size() + 2);
    for (std::size_t i = 0; i < rects.size(); ++i)
        list[i + 2] = {rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
    Region r{imaging::RegionFromRectChunks(list, list.size() - 1, 0, 160)};
    ExpectMatches(r.h, dib, imaging::regionExactRuns);
}

TEST(Region, SpecialPictures)
{
    c32bppDIB dib;
    EXPECT_EQ(dib.CreateRegion(0, 0, 0), nullptr) << "no picture";
    ASSERT_TRUE(dib.InitializeDIB(4, 6));
    for (int style = 0; style <= 2; ++style)
        EXPECT_EQ(dib.CreateRegion(style, 0, 0), nullptr) << "fully transparent, style " << style;
    EXPECT_EQ(dib.CreateRegion(3, 0, 0), nullptr);
    EXPECT_EQ(dib.CreateRegion(-1, 0, 0), nullptr);

    AlphaAt(dib, 0, 1) = AlphaAt(dib, 1, 1) = AlphaAt(dib, 3, 1) = 255; // visible, visible, clear, visible
    Region exact{dib.CreateRegion(2, 0, 0)}, spans{dib.CreateRegion(1, 0, 0)};
    EXPECT_FALSE(PtInRegion(exact.h, 2, 1));
    EXPECT_TRUE(PtInRegion(spans.h, 2, 1));

    dib.SetAlphaState(false);
    for (int style = 0; style <= 2; ++style) {
        Region whole{dib.CreateRegion(style, 0, 0)};
        RECT box{};
        ASSERT_EQ(GetRgnBox(whole.h, &box), SIMPLEREGION);
        EXPECT_TRUE(box.left == 0 && box.top == 0 && box.right == 4 && box.bottom == 6) << "style " << style;
    }
}

} // namespace
