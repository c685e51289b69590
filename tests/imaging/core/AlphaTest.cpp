// The alpha analysis and the region rectangles checked against slow references written
// straight from their rules, over tables of edge cases and seeded random pictures.
#include "imaging/core/AlphaAnalysis.h"
#include "imaging/core/AlphaRects.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using imaging::PixelView;
using Pixels = std::vector<std::uint8_t>;

struct Reference {
    int type;
    bool hasAlpha;
    Pixels premultiplied;
};

// Opaque when every alpha is 0 or every alpha is 255; straight when a colour exceeds its alpha
// (a transparent pixel with colour counts); premultiplied otherwise.
Reference ReferenceAnalysis(const Pixels& px)
{
    std::size_t zeros = 0, opaque = 0, n = px.size() / 4;
    bool straight = false;
    for (std::size_t i = 0; i < px.size(); i += 4) {
        const int a = px[i + 3];
        zeros += a == 0;
        opaque += a == 255;
        straight |= px[i] > a || px[i + 1] > a || px[i + 2] > a;
    }
    Reference r{1, false, px};
    if (zeros == n || opaque == n) {
        for (std::size_t i = 3; i < px.size(); i += 4)
            r.premultiplied[i] = 255;
        return r;
    }
    r.hasAlpha = true;
    r.type = straight ? 6 : 7;
    if (straight)
        for (std::size_t i = 0; i < px.size(); ++i)
            if (i % 4 != 3)
                r.premultiplied[i] = static_cast<std::uint8_t>(px[i] * px[i | 3] / 255);
    return r;
}

Pixels RandomPicture(std::mt19937& rng, int w, int h)
{
    Pixels px(static_cast<std::size_t>(w) * h * 4);
    const int kind = static_cast<int>(rng() % 4);
    for (std::size_t i = 0; i < px.size(); i += 4) {
        int a = kind == 0 ? 255 : kind == 1 ? static_cast<int>(rng() % 2) * 255 : static_cast<int>(rng() % 256);
        if (kind == 3 && rng() % 3 == 0)
            a = 0;
        px[i + 3] = static_cast<std::uint8_t>(a);
        // Mostly premultiplied colours, now and then one above its alpha.
        const int top = rng() % 50 == 0 ? 255 : a;
        for (int c = 0; c < 3; ++c)
            px[i + c] = static_cast<std::uint8_t>(rng() % (top + 1));
    }
    return px;
}

TEST(AlphaAnalysis, EdgeCasesGiveTypeAlphaAndPixels)
{
    struct Case {
        const char* name;
        Pixels px;
        int type;
        bool hasAlpha;
        Pixels premultiplied;
    };
    const Case cases[] = {
        {"all alpha 0 becomes opaque", {1, 2, 3, 0, 0, 0, 0, 0}, 1, false, {1, 2, 3, 255, 0, 0, 0, 255}},
        {"coloured transparent then half", {9, 9, 9, 0, 10, 20, 30, 128}, 6, true, {0, 0, 0, 0, 5, 10, 15, 128}},
        {"red above alpha stops the scan", {0, 0, 200, 128, 0, 0, 0, 255}, 6, true, {0, 0, 100, 128, 0, 0, 0, 255}},
        {"premultiplied stays untouched", {10, 20, 30, 40, 0, 0, 0, 0, 5, 5, 5, 255}, 7, true,
         {10, 20, 30, 40, 0, 0, 0, 0, 5, 5, 5, 255}},
        {"opaque", {1, 2, 3, 255}, 1, false, {1, 2, 3, 255}},
    };
    for (const auto& c : cases) {
        Pixels px = c.px;
        auto view = PixelView::Packed(px, static_cast<int>(px.size() / 4), 1);
        auto r = imaging::AnalyseAlphaChannel(*view, true, 0);
        EXPECT_EQ(r.imageType, c.type) << c.name;
        EXPECT_EQ(r.hasAlpha, c.hasAlpha) << c.name;
        EXPECT_EQ(px, c.premultiplied) << c.name;
    }
    Pixels px{1, 2, 3, 7};
    auto r = imaging::AnalyseAlphaChannel(*PixelView::Packed(px, 1, 1), false, -1);
    EXPECT_EQ(r.imageType, 1) << "-1 skips the scan";
    EXPECT_FALSE(r.hasAlpha);
}

TEST(AlphaAnalysis, MatchesReferenceOnRandomPictures)
{
    std::mt19937 rng(17);
    for (int round = 0; round < 3000; ++round) {
        const int w = 1 + static_cast<int>(rng() % (round % 8 ? 9 : 150)), h = 1 + static_cast<int>(rng() % 5);
        Pixels px = RandomPicture(rng, w, h);
        const Reference want = ReferenceAnalysis(px);
        Pixels kept = px;
        auto scan = imaging::AnalyseAlphaChannel(*PixelView::Packed(kept, w, h), false, 0);
        ASSERT_EQ(kept, px) << "without premultiply the pixels stay";
        auto r = imaging::AnalyseAlphaChannel(*PixelView::Packed(px, w, h), true, 0);
        ASSERT_EQ(r.imageType, want.type) << "round " << round;
        ASSERT_EQ(scan.imageType, want.type) << "round " << round;
        ASSERT_EQ(r.hasAlpha, want.hasAlpha) << "round " << round;
        if (want.type != 7) {
            ASSERT_EQ(px, want.premultiplied) << "round " << round;
        }
    }
}

// Visibility of pixel (x, y from the top) of a bottom-up picture with rows `stride` apart.
bool Visible(const Pixels& px, int h, std::size_t stride, int x, int y)
{
    return px[static_cast<std::size_t>(h - 1 - y) * stride + static_cast<std::size_t>(x) * 4 + 3] != 0;
}

TEST(AlphaRects, CoverExactlyTheVisiblePixelsOfRandomPictures)
{
    std::mt19937 rng(3);
    for (int round = 0; round < 1500; ++round) {
        const int w = 1 + static_cast<int>(rng() % 12), h = 1 + static_cast<int>(rng() % 8);
        const std::size_t stride = static_cast<std::size_t>(w) * 4 + (rng() % 3) * 4;
        Pixels px(stride * static_cast<std::size_t>(h), 0);
        const unsigned density = rng() % 4;
        for (std::size_t i = 3; i < px.size(); i += 4)
            px[i] = density && rng() % 4 < density ? static_cast<std::uint8_t>(1 + rng() % 255) : 0;
        auto view = PixelView::Over(px, w, h, stride);
        ASSERT_TRUE(view);
        std::vector<int> exact(static_cast<std::size_t>(w * h), 0), spans(exact.size(), 0);
        for (auto r : imaging::AlphaRects(*view, imaging::regionExactRuns)) {
            ASSERT_EQ(r.bottom, r.top + 1);
            for (int x = r.left; x < r.right; ++x)
                ++exact[static_cast<std::size_t>(r.top * w + x)];
        }
        auto rowSpans = imaging::AlphaRects(*view, imaging::regionRowSpans);
        for (auto r : rowSpans)
            for (int x = r.left; x < r.right; ++x)
                ++spans[static_cast<std::size_t>(r.top * w + x)];
        int minX = w, maxX = -1, minY = h, maxY = -1;
        for (int y = 0; y < h; ++y) {
            int first = w, last = -1;
            for (int x = 0; x < w; ++x) {
                const bool v = Visible(px, h, stride, x, y);
                ASSERT_EQ(exact[static_cast<std::size_t>(y * w + x)], v ? 1 : 0) << "round " << round;
                if (v) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
            }
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(spans[static_cast<std::size_t>(y * w + x)], x >= first && x <= last ? 1 : 0);
            if (last >= 0) {
                minX = std::min(minX, first), maxX = std::max(maxX, last);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
        }
        auto box = imaging::AlphaBoundingBox(*view);
        if (maxX < 0) {
            ASSERT_FALSE(box);
            ASSERT_TRUE(rowSpans.empty());
        } else {
            ASSERT_TRUE(box);
            ASSERT_EQ(*box, (imaging::Rect{minX, minY, maxX + 1, maxY + 1}));
        }
    }
}

TEST(AlphaRects, ChunksShareTheirBoundaryAndCoverTheList)
{
    struct Case {
        std::size_t count;
        std::vector<std::pair<std::size_t, std::size_t>> chunks;
    };
    const Case cases[] = {
        {0, {}},
        {1, {{0, 0}}},
        {2000, {{0, 1999}}},
        {2001, {{0, 2000}}},
        {2002, {{0, 2000}, {2000, 2001}}},
        {4003, {{0, 2000}, {2000, 4000}, {4000, 4002}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(imaging::RectChunks(c.count, 2000), c.chunks) << c.count;
}

} // namespace
