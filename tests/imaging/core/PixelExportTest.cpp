// Every export and import layout against the bytes its rules place, round trips through all
// of them, and the BMP bytes.
#include "imaging/core/PixelExport.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using imaging::PixelLayout;
using imaging::PixelRect;
using imaging::PixelView;
using Pixels = std::vector<std::uint8_t>;

TEST(PixelExport, AllLayoutsPlaceTheirBytesAndRoundTrip)
{
    std::mt19937 rng(103);
    const int w = 7, h = 5;
    Pixels pic(std::size_t(w) * h * 4);
    for (std::size_t i = 0; i < pic.size(); i += 4) {
        pic[i + 3] = static_cast<std::uint8_t>(i % 12 == 0 ? 255 : i % 12 == 4 ? 0 : rng() % 256);
        for (int c = 0; c < 3; ++c)
            pic[i + c] = static_cast<std::uint8_t>(rng() % (pic[i + 3] + 1));
    }
    const auto view = *PixelView::Packed(pic, w, h);
    const PixelRect rects[] = {{0, 0, w, h}, {2, 1, 4, 3}};
    for (int bits = 0; bits < 32; ++bits) {
        const PixelLayout layout{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0};
        const bool premultiplied = (bits & 16) != 0;
        for (const auto& r : rects) {
            const auto row = static_cast<std::size_t>(imaging::LayoutRowBytes(layout, r.width));
            EXPECT_EQ(row, layout.bits32 ? r.width * 4u : layout.wordAligned ? (r.width * 3u + 3) / 4 * 4 : r.width * 3u);
            Pixels out(row * r.height, 0);
            ASSERT_TRUE(imaging::ExportPixels(view, r, layout, premultiplied, out));
            const std::size_t size = layout.bits32 ? 4 : 3;
            for (int y = 0; y < r.height; ++y)
                for (int x = 0; x < r.width; ++x) {
                    const std::uint8_t* p = view.RowFromTop(r.y + y).data() + (r.x + x) * 4;
                    const std::uint8_t* o = &out[(layout.bottomUp ? r.height - 1 - y : y) * row + x * size];
                    for (int c = 0; c < 3; ++c) {
                        const int held = p[layout.bgr ? c : 2 - c], a = p[3];
                        const int want = premultiplied || a == 255 ? held : a == 0 ? 0 : std::min(255, held * 255 / a);
                        ASSERT_EQ(o[c], want) << "layout " << bits;
                    }
                    if (layout.bits32) {
                        ASSERT_EQ(o[3], p[3]);
                    }
                }
            for (std::size_t at = r.width * size; at < row; ++at)
                ASSERT_EQ(out[at], 0) << "filler stays 0";
            if (!premultiplied) {
                // Once a layout: back in, onto a picture that already holds the alpha a 24-bit
                // import leaves alone.
                Pixels back(pic.size(), 0);
                for (std::size_t i = 3; i < back.size(); i += 4)
                    back[i] = pic[i];
                const auto backView = *PixelView::Packed(back, w, h);
                PixelLayout same = layout;
                ASSERT_TRUE(imaging::ExportPixels(view, r, layout, true, out));
                ASSERT_TRUE(imaging::ImportPixels(out, same, backView, r));
                for (int y = 0; y < r.height; ++y)
                    ASSERT_TRUE(std::equal(backView.RowFromTop(r.y + y).begin() + r.x * 4,
                                           backView.RowFromTop(r.y + y).begin() + (r.x + r.width) * 4,
                                           view.RowFromTop(r.y + y).begin() + r.x * 4))
                        << "layout " << bits << " row " << y;
                out.pop_back();
                EXPECT_FALSE(imaging::ImportPixels(out, same, backView, r)) << "one byte short";
                EXPECT_FALSE(imaging::ExportPixels(view, r, layout, true, out));
            }
        }
    }
}

TEST(PixelExport, ClipUnpremultiplyAndColour)
{
    struct Clip {
        int x, y, w, h;
        bool ok;
        PixelRect r;
    };
    const Clip clips[] = {{3, 0, 0, 0, true, {3, 0, 7, 4}},       {0, 0, 2147483647, 2147483647, true, {0, 0, 10, 4}},
                          {9, 3, 5, 5, true, {9, 3, 1, 1}},       {10, 0, 0, 0, false, {}},
                          {0, 4, 0, 0, false, {}},                {-1, 0, 0, 0, false, {}},
                          {0, 0, -2, 1, false, {}}};
    for (const auto& c : clips) {
        const auto r = imaging::ClipToPicture(10, 4, c.x, c.y, c.w, c.h);
        ASSERT_EQ(r.has_value(), c.ok) << c.x << "," << c.y << " " << c.w << "x" << c.h;
        if (r) {
            EXPECT_TRUE(r->x == c.r.x && r->y == c.r.y && r->width == c.r.width && r->height == c.r.height);
        }
    }
    EXPECT_EQ(imaging::Unpremultiply(200, 100), 255) << "a colour above its alpha does not wrap";
    EXPECT_EQ(imaging::Unpremultiply(64, 128), 127);
    const std::uint8_t px[4] = {64, 32, 16, 128};
    EXPECT_EQ(imaging::PixelColour(px, false), 31u + 63u * 256 + 127u * 65536);
    EXPECT_EQ(imaging::PixelColour(px, true), 16u + 32u * 256 + 64u * 65536);
}

TEST(PixelExport, BmpBytes)
{
    Pixels opaque(3 * 4, 255);
    opaque[0] = 1, opaque[5] = 2;
    const auto bmp = imaging::BmpFileBytes(*PixelView::Packed(opaque, 3, 1), false);
    ASSERT_EQ(bmp.size(), 66u);
    const std::uint8_t header[] = {'B', 'M', 66, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 3, 0, 0, 0,
                                   1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 12, 0, 0, 0};
    EXPECT_TRUE(std::equal(std::begin(header), std::end(header), bmp.begin()));
    EXPECT_EQ(bmp[54], 1);
    EXPECT_EQ(bmp[58], 2);
    EXPECT_EQ(bmp[65], 0) << "the row's filler";
    Pixels alpha = {10, 20, 30, 40, 1, 2, 3, 4};
    const auto bmp32 = imaging::BmpFileBytes(*PixelView::Packed(alpha, 1, 2), true);
    ASSERT_EQ(bmp32.size(), 62u);
    EXPECT_EQ(bmp32[28], 32);
    EXPECT_TRUE(std::equal(alpha.begin(), alpha.end(), bmp32.begin() + 54)) << "held as is, bottom row first";
}

} // namespace
