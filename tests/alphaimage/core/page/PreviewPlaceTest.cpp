#include "alphaimage/core/page/PreviewPlace.h"

#include <gtest/gtest.h>

namespace {

TEST(PreviewPlace, ImageIsCentredInTheFrameAtEveryDpi)
{
    const aic::TwipsBox frame{150, 210, 2880, 2880};
    struct Case {
        int dpi;
        aic::PixelSize room, image;
        aic::TwipsBox at;
    };
    const Case cases[] = {
        {96, {190, 190}, {48, 48}, {1230, 1290, 720, 720}},
        {144, {286, 286}, {48, 24}, {1350, 1530, 480, 240}},
        // 33 pixels at 168 DPI are 282.86 twips: 283, and the odd remainder truncates.
        {168, {334, 334}, {33, 334}, {1448, 218, 283, 2863}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(aic::PreviewRoom(frame, c.dpi, c.dpi), c.room) << c.dpi;
        EXPECT_EQ(aic::PreviewPlace(frame, c.image, c.dpi, c.dpi), c.at) << c.dpi;
    }
}

} // namespace
