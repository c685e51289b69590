#include "skin/core/ButtonLayout.h"

#include <gtest/gtest.h>

using namespace skin;

namespace {
LayoutInput Input(long align, bool caption, bool picture)
{
    LayoutInput in;
    in.width = 100;
    in.height = 40;
    in.hasCaption = caption;
    in.measuredCaption = caption ? Rect{0, 0, 30, 12} : Rect{};
    in.hasPicture = picture;
    in.pictureW = 16;
    in.pictureH = 16;
    in.alignment = static_cast<PictureAlignment>(align);
    in.previousPicture = Rect{1, 2, 3, 4};
    return in;
}
} // namespace

TEST(ButtonLayout, CaptionAloneIsCentredAndPictureRectKept)
{
    ButtonLayout l = LayoutCaptionAndPicture(Input(4, true, false));
    EXPECT_EQ(l.captionRect, (Rect{35, 14, 65, 26}));
    EXPECT_EQ(l.pictureRect, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(l.focusRect, (Rect{4, 4, 96, 36}));
}

TEST(ButtonLayout, EveryAlignmentPlacesPictureAndCaption)
{
    struct Case {
        long align;
        Rect picture;
        Rect caption;
    } cases[] = {
        {0, {42, 12, 58, 28}, {35, 14, 65, 26}},
        {1, {42, 20, 58, 36}, {35, 6, 65, 18}},  // picture at the bottom, caption above it, lifted
        {2, {42, 18, 58, 34}, {35, 6, 65, 18}},  // caption over picture, centred together
        {3, {4, 12, 20, 28}, {44, 14, 74, 26}},  // picture at the left margin
        {4, {26, 12, 42, 28}, {44, 14, 74, 26}}, // side by side with 2 px between, centred
        {5, {80, 12, 96, 28}, {26, 14, 56, 26}},
        {6, {58, 12, 74, 28}, {26, 14, 56, 26}},
        {7, {42, 4, 58, 20}, {35, 22, 65, 34}},
        {8, {42, 6, 58, 22}, {35, 22, 65, 34}},
        {9, {0, 0, 16, 16}, {35, 14, 65, 26}},
    };
    for (auto& c : cases) {
        ButtonLayout l = LayoutCaptionAndPicture(Input(c.align, true, true));
        EXPECT_EQ(l.pictureRect, c.picture) << "alignment " << c.align;
        EXPECT_EQ(l.captionRect, c.caption) << "alignment " << c.align;
    }
}

TEST(ButtonLayout, PictureWithoutCaptionIsCentredBothWays)
{
    for (long align : {2, 4, 6, 8}) {
        ButtonLayout l = LayoutCaptionAndPicture(Input(align, false, true));
        EXPECT_EQ(l.pictureRect, (Rect{42, 12, 58, 28})) << align;
    }
}

TEST(ButtonLayout, GradientAtFiftyIsOneRampAndZeroSplitsAtRowOne)
{
    float p = 50;
    auto rows = VerticalGradientRows(0x000000, 0xC8C8C8, p, 0, 20);
    ASSERT_EQ(rows.size(), 21u);
    EXPECT_EQ(rows.front(), 0x000000);
    EXPECT_EQ(rows.back(), 0xC8C8C8);
    EXPECT_FLOAT_EQ(p, 9.5f);
    for (std::size_t i = 1; i < rows.size(); ++i)
        EXPECT_GE(rows[i] & 255, rows[i - 1] & 255);
    EXPECT_EQ(rows[10] & 255, 105); // 100 at the split row 9.5, one step of ~9.5 more

    float zero = 0;
    auto r0 = VerticalGradientRows(0x0000FF, 0xFF0000, zero, 0, 10);
    EXPECT_FLOAT_EQ(zero, 1.0f);
    EXPECT_EQ(r0[0], 0x0000FF);
    EXPECT_EQ(r0[1], 0x800080); // the middle colour at the split row
    EXPECT_EQ(r0[10], 0xFF0000);

    float clamp = 250;
    VerticalGradientRows(0, 0, clamp, 0, 10);
    EXPECT_FLOAT_EQ(clamp, 9.0f);
}

TEST(ButtonLayout, ShineRowsStopShortOfTheBottomColour)
{
    auto rows = ShineRows(0x000000, 0x0000FF, 4);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], 0);
    EXPECT_EQ(rows[1], 64);
    EXPECT_EQ(rows[2], 128);
    EXPECT_EQ(rows[3], 191);
    EXPECT_TRUE(ShineRows(0, 0, 0).empty());
}

TEST(ButtonLayout, SquareOutlineIsFourCornersClosed)
{
    auto all = [](int, int) { return true; };
    auto pts = BuildOutline(30, 20, 13, 13, ButtonShape::AllSquare, all);
    std::vector<Point> expected{{0, 0}, {0, 19}, {29, 19}, {29, 0}, {0, 0}};
    EXPECT_EQ(pts, expected);
}

TEST(ButtonLayout, RoundedOutlineStepsAroundTheCorners)
{
    // A rectangle missing its corner pixel (0, 0) and mirrored corners.
    const int w = 20, h = 10;
    auto inside = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return false;
        bool cx = x == 0 || x == w - 1, cy = y == 0 || y == h - 1;
        return !(cx && cy);
    };
    auto pts = BuildOutline(w, h, 2, 2, ButtonShape::AllRound, inside);
    ASSERT_FALSE(pts.empty());
    EXPECT_EQ(pts.front(), pts.back());
    EXPECT_EQ(pts[0], (Point{1, 0}));
    for (auto& p : pts) {
        EXPECT_GE(p.x, 0);
        EXPECT_LE(p.x, w);
        EXPECT_GE(p.y, -1);
        EXPECT_LE(p.y, h);
    }
}

TEST(ButtonLayout, ComposePictureKeysSilhouettesAndBlends)
{
    // Two pixels per row, one row: a key-coloured pixel and a red one, over grey.
    std::uint8_t back[8] = {100, 100, 100, 100, 100, 100, 0, 0};
    std::uint8_t pic[8] = {0xC0, 0xC0, 0xC0, 0, 0, 255, 0, 0};
    std::uint8_t p1[8];
    std::copy(pic, pic + 8, p1);
    ComposePicture(p1, back, 2, 1, 8, 0xC0C0C0, kNoColor, 1.0f);
    EXPECT_EQ(p1[0], 100);
    EXPECT_EQ(p1[5], 255);

    std::copy(pic, pic + 8, p1);
    ComposePicture(p1, back, 2, 1, 8, 0xC0C0C0, 0x00FF00, 1.0f);
    EXPECT_EQ(p1[0], 100);
    EXPECT_EQ(p1[3], 0);
    EXPECT_EQ(p1[4], 255);
    EXPECT_EQ(p1[5], 0);

    std::copy(pic, pic + 8, p1);
    ComposePicture(p1, back, 2, 1, 8, kNoColor, kNoColor, 0.2f);
    EXPECT_EQ(p1[0], BlendChannel(100, 0xC0, 0.2f));
    EXPECT_EQ(p1[5], 131); // 100 + 155 * 0.2
    EXPECT_EQ(p1[3], 80);

    std::copy(pic, pic + 8, p1);
    ComposePicture(p1, back, 2, 1, 8, kNoColor, kNoColor, 1.0f);
    EXPECT_TRUE(std::equal(p1, p1 + 8, pic));
}
