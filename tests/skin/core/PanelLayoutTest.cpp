#include "skin/core/PanelLayout.h"

#include <gtest/gtest.h>

using namespace skin;

TEST(PanelLayout, AreaOfAPointCountsZeroAsTheBandAndTheBandHeightAsTheBody)
{
    struct Case {
        double y;
        int tileHeight, area;
    } cases[] = {{0, 20, 0}, {19.5, 20, 0}, {20, 20, 1}, {-3, 20, 0}, {0, 0, 0}, {0, -5, 0}, {0.5, 0, 1}, {1, -5, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(PanelAreaOf(c.y, c.tileHeight), c.area) << c.y << " with band " << c.tileHeight;
}

TEST(PanelLayout, CaptionXByAlignmentIconAndWidth)
{
    struct Case {
        PanelAlignment align;
        int w, text;
        bool icon;
        int x;
    } cases[] = {
        {PanelAlignment::Left, 200, 50, false, 4},   {PanelAlignment::Left, 200, 50, true, 36},
        {PanelAlignment::Centre, 200, 50, false, 71}, {PanelAlignment::Centre, 201, 50, false, 71},
        {PanelAlignment::Centre, 40, 51, false, -9},  {PanelAlignment::Right, 200, 50, true, 146},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PanelCaptionX(c.align, c.w, c.text, c.icon, 32, 4), c.x)
            << static_cast<int>(c.align) << ' ' << c.w << ' ' << c.text << ' ' << c.icon;
}

TEST(PanelLayout, CaptionYRoundsToTheNearestPixel)
{
    EXPECT_EQ(PanelCaptionY(22, 13), 4);  // 3.6
    EXPECT_EQ(PanelCaptionY(22, 16), 2);  // 2.4
    EXPECT_EQ(PanelCaptionY(5, 30), -10); // a caption taller than the band starts above it
}

TEST(PanelLayout, PatternTilesFromTheOriginInBothDirections)
{
    struct Case {
        int x, y, tx, ty;
    } cases[] = {{0, 0, 0, 0}, {3, 2, 0, 0}, {4, 5, 1, 1}, {-1, -1, 2, 1}};
    for (const Case& c : cases) {
        PanelTexel t = PanelPatternTexel(c.x, c.y, 3, 2);
        EXPECT_EQ(t.x, c.tx) << c.x;
        EXPECT_EQ(t.y, c.ty) << c.y;
    }
}
