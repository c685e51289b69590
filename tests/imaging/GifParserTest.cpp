// The GIF reader's Win32 entry point on GIFs made by the tests' own writer, checked pixel by pixel
// in the host's bitmap, and streams it refuses or takes without a picture.
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
    const auto none = [](Bytes&) {};
    struct Case {
        const char* name;
        Gif gif;
        std::function<void(Bytes&)> damage;
        bool result, picture, alpha;
    };
    // Header and table take 37 bytes, the graphic control 8: the frame's size lies at 50.
    const Case cases[] = {
        {"graphic control without transparency", with([](Gif&) {}), none, true, true, false},
        {"no graphic control", with([](Gif& g) { g.transparent = -2; }), none, true, true, false},
        {"transparent index shared by an equal colour", with([](Gif& g) {
             g.transparent = 2;
             std::copy_n(g.global.begin() + 6, 3, g.global.begin() + 15);
         }), none, true, true, true},
        {"transparent index unused", with([](Gif& g) { g.transparent = 9; }), none, true, true, true},
        {"indexes past the table", with([](Gif& g) { g.global.resize(12); }), none, true, true, true},
        {"interlaced", with([&](Gif& g) { g = Picture(rng, 3, 13, 8), g.interlaced = true; }), none, true, true, false},
        {"local table over the global", with([&](Gif& g) { g.local = Table(rng, 8); }), none, true, true, false},
        {"local table only", with([&](Gif& g) { g.local = Table(rng, 8), g.global.clear(); }), none, true, true, false},
        {"256 colours", with([&](Gif& g) { g = Picture(rng, 40, 30, 256), g.global = Table(rng, 256), g.minCodeSize = 8; }),
         none, true, true, false},
        {"animated, extensions first", with([](Gif& g) { g.extras = true; }), none, true, true, false},
        {"signature in capitals", with([](Gif& g) { g.signature = "GIF87A"; }), none, true, true, false},
        {"no colour table", with([](Gif& g) { g.global.clear(); }), none, false, false, false},
        {"other signature", with([](Gif& g) { g.signature = "GIF90a"; }), none, false, false, false},
        {"trailer before the image", with([](Gif&) {}), [](Bytes& b) { b.insert(b.begin() + 37, 0x3B); }, false, false, false},
        {"cut inside the image data", with([](Gif&) {}), [](Bytes& b) { b.resize(b.size() - 4); }, true, false, false},
        {"65535 x 65535 declared", with([](Gif&) {}), [](Bytes& b) { std::fill_n(b.begin() + 50, 4, 0xFF); }, true, false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes gif = WriteGif(c.gif), array{'G', 'I', 'F'};
        c.damage(gif);
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

} // namespace
