#include "alphaimage/core/ImageScales.h"
#include "alphaimage/core/PropertyRules.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using aic::ScaleImage;

TEST(ImageScales, SizeByMethodAndRoom)
{
    struct Case {
        int imageW, imageH, method, roomW, roomH;
        bool rotated;
        int w, h;
    } cases[] = {
        {200, 200, 0, 100, 50, false, 50, 50},
        {200, 200, 2, 400, 400, false, 200, 200}, // never enlarged
        {200, 200, 0, 400, 400, false, 400, 400},
        {200, 200, 1, 30, 70, false, 30, 70},
        {200, 100, 3, 30, 70, false, 200, 100},
        {3, 2, 0, 5, 5, false, 5, 3},       // 3.33 rounds down
        {4, 2, 0, 5, 5, false, 5, 2},       // 2.5 to the even neighbour
        {4, 2, 0, 7, 7, false, 7, 4},       // 3.5 to the even neighbour
        {30, 40, 0, 100, 80, true, 48, 64}, // the diagonal, 50, fits the smaller side
        {30, 40, 1, 100, 80, true, 60, 64},
        {30, 40, 2, 100, 80, true, 30, 40},
        {30, 40, 3, 100, 80, true, 30, 40},
    };
    for (const Case& c : cases) {
        const auto size = ScaleImage(c.imageW, c.imageH, c.method, c.roomW, c.roomH, c.rotated);
        EXPECT_EQ(size.width, c.w) << c.imageW << "x" << c.imageH << " method " << c.method;
        EXPECT_EQ(size.height, c.h) << c.imageW << "x" << c.imageH << " method " << c.method;
    }
}

TEST(ImageScales, HugeSidesNeitherOverflowNorWrap)
{
    EXPECT_EQ(aic::RotationExtent(INT_MAX, INT_MAX), INT_MAX);
    EXPECT_GT(ScaleImage(INT_MAX, 1, 0, INT_MAX, INT_MAX, true).width, 0);
    EXPECT_EQ(aic::RoundHalfEven(1e300), INT_MAX);
    EXPECT_EQ(aic::RoundHalfEven(-1e300), INT_MIN);
}

TEST(ImageScales, PaintSpansTakeAnyStoredSizeOrOffset)
{
    using aic::Span;
    const struct {
        int offset, room, placedBy, size; // placedBy -1: the span centred, `size` across
        Span span;
    } cases[] = {
        {0, 40, -1, 50, {-5, 45}},
        {0, 40, -1, INT_MAX, {20 - (1 << 30), 20 + (1 << 30)}},
        {0, INT_MAX, -1, INT_MAX, {-1, INT_MAX}},
        {2, 40, 44, 44, {0, 44}},
        {2, 40, 40, 44, {2, 46}}, // placed by the picture, wider by its blur
        {3, 40, 45, 45, {1, 46}}, // -2.5 halved toward zero
        {INT_MAX, 40, 44, 44, {INT_MAX - 2, INT_MAX}},
        {INT_MIN, 40, 44, 44, {INT_MIN, INT_MIN + 42}},
        {INT_MIN, 0, INT_MAX, 20, {INT_MIN, INT_MIN}},
    };
    for (const auto& c : cases) {
        const Span got = c.placedBy < 0 ? aic::CentredSpan(c.room, c.size)
                                        : aic::PlacedSpan(c.offset, c.room, c.placedBy, c.size);
        EXPECT_EQ(got, c.span) << c.offset << " " << c.room << " " << c.placedBy << " " << c.size;
    }
}

TEST(PropertyRules, OpacityAndRotationNormalise)
{
    const std::pair<int, int> opacity[] = {{0, 0}, {100, 100}, {250, 50}, {-100, 100}, {-30, 30}, {INT_MIN, 48}};
    for (auto [in, out] : opacity)
        EXPECT_EQ(aic::NormalOpacity(in), out) << in;
    const std::pair<int, int> rotation[] = {{-450, -90}, {450, 90}, {360, 0}, {-90, -90}};
    for (auto [in, out] : rotation)
        EXPECT_EQ(aic::NormalRotation(in), out) << in;
}

} // namespace
