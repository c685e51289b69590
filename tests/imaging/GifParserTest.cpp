// The GIF reader's Win32 entry point on GIFs made by the tests' own writer, checked pixel by pixel
// in the host's bitmap, and the streams it refuses or takes without a picture.
#include "core/GifTestFiles.h"

#include "imaging/c32bppDIB.h"
#include "imaging/cGIFparser.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace giftest;
using imaging::c32bppDIB;
using imaging::cGIFparser;

namespace {

Bytes Table(std::mt19937& rng, std::size_t entries)
{
    Bytes t(entries * 3);
    for (auto& b : t)
        b = static_cast<std::uint8_t>(rng());
    return t;
}

Gif Picture(std::mt19937& rng, std::uint16_t width, std::uint16_t height, unsigned indexes)
{
    Gif g;
    g.width = width;
    g.height = height;
    g.global = Table(rng, 8);
    g.minCodeSize = 3;
    for (std::size_t i = 0; i < std::size_t{width} * height; ++i)
        g.indexes.push_back(static_cast<std::uint8_t>(rng() % indexes));
    return g;
}

TEST(GifParser, FirstFrameFillsTheHostPixelByPixel)
{
    std::mt19937 rng(141);
    const auto with = [&](std::function<void(Gif&)> change) {
        Gif g = Picture(rng, 7, 5, 8);
        change(g);
        return g;
    };
    struct Case {
        const char* name;
        Gif gif;
        bool result, picture, alpha;
    };
    const Case cases[] = {
        {"graphic control without transparency", with([](Gif&) {}), true, true, false},
        {"no graphic control", with([](Gif& g) { g.transparent = -2; }), true, true, false},
        {"transparent index shared by an equal colour", with([](Gif& g) {
             g.transparent = 2;
             std::copy_n(g.global.begin() + 6, 3, g.global.begin() + 15);
         }), true, true, true},
        {"transparent index unused", with([](Gif& g) { g.transparent = 9; }), true, true, true},
        {"indexes past the table", with([](Gif& g) { g.global.resize(12); }), true, true, true},
        {"interlaced", with([&](Gif& g) { g = Picture(rng, 3, 13, 8), g.interlaced = true; }), true, true, false},
        {"local table over the global", with([&](Gif& g) { g.local = Table(rng, 8); }), true, true, false},
        {"local table only", with([&](Gif& g) { g.local = Table(rng, 8), g.global.clear(); }), true, true, false},
        {"256 colours", with([&](Gif& g) { g = Picture(rng, 40, 30, 256), g.global = Table(rng, 256), g.minCodeSize = 8; }),
         true, true, false},
        {"animated, extensions first", with([](Gif& g) { g.extras = true; }), true, true, false},
        {"signature in capitals", with([](Gif& g) { g.signature = "GIF87A"; }), true, true, false},
        {"no colour table", with([](Gif& g) { g.global.clear(); }), false, false, false},
        {"other signature", with([](Gif& g) { g.signature = "GIF90a"; }), false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes array{'G', 'I', 'F'};
        const Bytes gif = WriteGif(c.gif);
        array.insert(array.end(), gif.begin(), gif.end());
        array.insert(array.end(), {0x2C, 0, 0});
        c32bppDIB host;
        EXPECT_EQ(cGIFparser().LoadStream(array, host, 3, gif.size()), c.result);
        ASSERT_EQ(host.Handle() != nullptr, c.picture);
        if (!c.picture)
            continue;
        EXPECT_EQ(host.Width(), c.gif.width);
        EXPECT_EQ(host.Height(), c.gif.height);
        EXPECT_EQ(host.ImageType(), imaging::imgGIF);
        EXPECT_EQ(host.Alpha(), c.alpha);
        EXPECT_EQ(Bytes(host.BitsPointer(), host.BitsPointer() + std::size_t(host.scanWidth()) * host.Height()),
                  ExpectedBgra(c.gif));
    }
}

TEST(GifParser, RefusedOrBrokenStreamsLeaveNoPicture)
{
    std::mt19937 rng(142);
    const Bytes gif = WriteGif(Picture(rng, 6, 6, 8));
    Bytes trailerFirst = gif;
    trailerFirst.insert(trailerFirst.begin() + 37, 0x3B); // before the graphic control extension
    struct Case {
        const char* name;
        Bytes bytes;
        std::size_t offset, length;
        bool result;
    };
    const Case cases[] = {
        {"trailer before the image", trailerFirst, 0, trailerFirst.size(), false},
        {"slice past the array", gif, 1, gif.size(), false},
        {"cut inside the image data", gif, 0, gif.size() - 4, true},
        {"65535 x 65535 declared", [&] { Bytes b = gif; std::fill_n(b.begin() + 50, 4, 0xFF); return b; }(), 0, gif.size(), true},
    };
    for (const Case& c : cases) {
        c32bppDIB host;
        ASSERT_TRUE(host.InitializeDIB(2, 2));
        EXPECT_EQ(cGIFparser().LoadStream(c.bytes, host, c.offset, c.length), c.result) << c.name;
        // A stream taken as a GIF leaves the host empty; one refused leaves it for the next reader.
        EXPECT_EQ(host.Handle() != nullptr, !c.result) << c.name;
    }
}

} // namespace
