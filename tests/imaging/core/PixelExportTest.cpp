// Every export and import layout against the bytes its rules place, and round trips through
// all of them.
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
            if (premultiplied && r.width == w) {
                // Back in, onto a picture holding the alpha that 24-bit rows leave alone.
                Pixels back(pic.size(), 0);
                for (std::size_t i = 3; i < back.size(); i += 4)
                    back[i] = pic[i];
                ASSERT_TRUE(imaging::ImportPixels(out, layout, *PixelView::Packed(back, w, h), r));
                EXPECT_EQ(back, pic) << "layout " << bits;
                out.pop_back();
                EXPECT_FALSE(imaging::ImportPixels(out, layout, *PixelView::Packed(back, w, h), r)) << "a byte short";
                EXPECT_FALSE(imaging::ExportPixels(view, r, layout, true, out));
            }
        }
    }
}

TEST(PixelExport, ClipAndUnpremultiply)
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
}

} // namespace
