#include "skin/core/BoxPictures.h"
#include "skin/core/TitleLayout.h"

#include <gtest/gtest.h>

using namespace skin;

namespace {
BoxLayoutDesign Bar(int style, bool close, bool max, bool min)
{
    BoxLayoutDesign s;
    s.style = static_cast<BarStyle>(style);
    s.barWidth = 449;
    s.barHeight = 28;
    s.showClose = close;
    s.showMax = max;
    s.showMin = min;
    s.close = {246, 6, 16, 16};
    s.max = {267, 6, 16, 16};
    s.min = {225, 6, 16, 16};
    return s;
}
} // namespace

TEST(TitleLayout, BoxesLineUpFromTheRightEdge)
{
    struct Case {
        int style;
        bool close, max, min;
        float closeLeft, maxLeft, minLeft, top;
    } cases[] = {
        {8, true, false, true, 427, 267, 405, 6},  // hidden maximise keeps its design place
        {8, true, true, true, 427, 405, 383, 6},
        {8, false, true, true, 246, 427, 405, 6},  // maximise takes the close box's place
        {13, true, false, true, 414, 267, 392, 8}, // room for the grip dots, 2 lower
        {14, true, false, true, 424, 267, 402, 8},
        {0, false, false, false, 246, 267, 225, 6},
    };
    for (const Case& c : cases) {
        BoxPlaces p = LayOutBoxes(Bar(c.style, c.close, c.max, c.min));
        EXPECT_EQ(p.close.left, c.closeLeft) << "style " << c.style;
        EXPECT_EQ(p.max.left, c.maxLeft) << "style " << c.style;
        EXPECT_EQ(p.min.left, c.minLeft) << "style " << c.style;
        if (c.close) {
            EXPECT_EQ(p.close.top, c.top) << "style " << c.style;
        }
    }
    BoxLayoutDesign odd = Bar(8, true, false, true);
    odd.barHeight = 27;
    EXPECT_EQ(LayOutBoxes(odd).close.top, 5.5f);
    BoxLayoutDesign big = Bar(8, true, false, true);
    big.dpi = 144;
    big.close = {0, 0, 24, 24};
    EXPECT_EQ(LayOutBoxes(big).close.left, 449 - 24 - 9) << "gaps scale with the DPI";
}

TEST(TitleLayout, HitTestTakesOnlyShownBoxesStrictlyInside)
{
    const BoxPlaces p{{246, 6, 16, 16}, {267, 6, 16, 16}, {225, 6, 16, 16}};
    EXPECT_EQ(HitBox(p, true, false, true, 275, 14), std::nullopt) << "hidden maximise leaves no dead spot";
    EXPECT_EQ(HitBox(p, true, true, true, 275, 14), TitleBox::Max);
    EXPECT_EQ(HitBox(p, true, false, true, 250, 10), TitleBox::Close);
    EXPECT_EQ(HitBox(p, true, false, true, 230, 10), TitleBox::Min);
    EXPECT_EQ(HitBox(p, true, false, true, 246, 10), std::nullopt) << "the edge belongs to the bar";
    EXPECT_EQ(HitBox(p, false, false, true, 250, 10), std::nullopt);
}

TEST(TitleLayout, CaptionOriginByPlacementModes)
{
    struct Case {
        int posX, posY;
        std::optional<float> icon;
        TextOrigin want;
    } cases[] = {
        {0, 2, std::nullopt, {6, 6}}, // (28 - 14 - 2) / 2
        {0, 0, 22.0f, {28, 7}},
        {1, 1, std::nullopt, {3, 0}},
        {2, 3, std::nullopt, {174, 12}}, // 174.5 rounds to even
        {3, 9, 22.0f, {342, 0}},
        {7, 2, 22.0f, {28, 6}},
    };
    for (const Case& c : cases) {
        CaptionPlaceDesign s;
        s.posX = c.posX;
        s.posY = c.posY;
        s.barWidth = 449;
        s.barHeight = 28;
        s.textWidth = 101;
        s.textHeight = 14;
        s.border = 2;
        s.depth = 3;
        s.iconRight = c.icon;
        EXPECT_EQ(PlaceCaption(s), c.want) << "modes " << c.posX << ", " << c.posY;
    }
}

TEST(TitleLayout, ExtrusionLayersBySides)
{
    EXPECT_EQ(LayerOffsets(2, {true, true, true, true}).size(), 20u);
    EXPECT_EQ(LayerOffsets(1, {true, true, true, true}).size(), 12u);
    EXPECT_EQ(LayerOffsets(2, {false, true, false, true}), (std::vector<TextOrigin>{{2, 2}}));
    EXPECT_EQ(LayerOffsets(2, {true, true, true, false}), (std::vector<TextOrigin>{{-2, -2}}));
    EXPECT_EQ(LayerOffsets(1, {true, false, false, true}), (std::vector<TextOrigin>{{0, -1}, {1, 0}}));
    EXPECT_EQ(LayerColour({60, 90, 255}, {0, 0, 0}, 3, 3), (RgbChannels{60, 90, 255}));
    EXPECT_EQ(LayerColour({60, 90, 255}, {0, 0, 0}, 3, 1), (RgbChannels{20, 30, 85}));
}

TEST(BoxPictures, SizesScaleAndStatesDiffer)
{
    for (int set = 0; set < kBoxSets; ++set) {
        const DesignSize d = BoxDesignSize(set);
        for (int dpi : {96, 144}) {
            BoxPicture hover = DrawBoxPicture(TitleBox::Close, set, BoxState::Hover, dpi);
            BoxPicture normal = DrawBoxPicture(TitleBox::Close, set, BoxState::Normal, dpi);
            BoxPicture off = DrawBoxPicture(TitleBox::Close, set, BoxState::Disabled, dpi);
            EXPECT_EQ(hover.width, d.w * dpi / 96);
            EXPECT_EQ(hover.height, d.h * dpi / 96);
            EXPECT_NE(hover.pixels, normal.pixels) << "set " << set;
            EXPECT_NE(normal.pixels, off.pixels) << "set " << set;
        }
    }
    BoxPicture min = DrawBoxPicture(TitleBox::Min, 0, BoxState::Normal, 96);
    EXPECT_FALSE(min.opaque[0]) << "the bar shows around a bare glyph";
    EXPECT_NE(min.pixels, DrawBoxPicture(TitleBox::Close, 0, BoxState::Normal, 96).pixels);
}
