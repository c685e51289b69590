#include "IcoTestFiles.h"

#include "imaging/core/IcoDirectory.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <new>

using namespace icotest;
using namespace imaging;

namespace {

// Bytes the program holds through operator new, and their peak since the last reset.
std::size_t g_live = 0, g_peak = 0;

IcoEntry Entry(int side, int bits) { return IcoEntry{side, side, bits}; }

// The head of a PNG stream up to its IHDR's colour type: enough for the directory.
Bytes PngHead(std::uint32_t w, std::uint32_t h, std::uint8_t depth, std::uint8_t colourType)
{
    Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (std::uint32_t v : {w, h})
        for (int s = 24; s >= 0; s -= 8)
            b.push_back(static_cast<std::uint8_t>(v >> s));
    b.insert(b.end(), {depth, colourType, 0, 0, 0});
    return b;
}

} // namespace

// GCC sees a replaced operator new's block freed after inlining and takes it for a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    auto* p = static_cast<std::size_t*>(std::malloc(size + sizeof(std::max_align_t)));
    if (!p)
        throw std::bad_alloc();
    *p = size;
    g_peak = std::max(g_peak, g_live += size);
    return reinterpret_cast<std::byte*>(p) + sizeof(std::max_align_t);
}
void operator delete(void* p) noexcept
{
    if (!p)
        return;
    auto* base = reinterpret_cast<std::size_t*>(static_cast<std::byte*>(p) - sizeof(std::max_align_t));
    g_live -= *base;
    std::free(base);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

TEST(IcoDirectory, BestEntryFollowsSizeThenDepth)
{
    // 16x16 and 32x32 at 8 bits, 32x32 and 48x48 at 32 bits.
    const IcoEntry icon[] = {Entry(16, 8), Entry(32, 8), Entry(32, 32), Entry(48, 32)};
    const IcoEntry odd[] = {Entry(32, 33), Entry(32, 24), Entry(32, 24)};
    const struct {
        std::span<const IcoEntry> entries;
        int w, h, depth, best;
    } cases[] = {
        {icon, 32, 32, 32, 3},           // exact fit
        {icon, 24, 24, 32, 3},           // 16 against 48 for the 48x48 entry
        {icon, 64, 64, 32, 4},           // all too small: 64 against 128 and more
        {icon, 32, 32, 8, 2},            // the depth decides between equal sizes
        {icon, 40, 24, 32, 2},           // 32x32 at 32 bits is smaller overall: a short side counts twice
        {icon, 4096, 4096, 32, 4},       // far too small: still the closest
        {icon, INT_MAX, INT_MAX, 32, 4}, // no wrap
        {odd, 32, 32, 32, 2},            // over 32 bits: passed over; the earlier of equals
        {odd, 64, 64, 32, 3},            // all too small: the later of equals
        {std::span(odd, 1), 64, 64, 32, 1},
        {std::span(icon, 0), 32, 32, 32, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindBestEntry(c.entries, c.w, c.h, c.depth), c.best) << c.w << 'x' << c.h << '@' << c.depth;
}

TEST(IcoDirectory, EveryTruncationIsRefusedAndTheWholeFileDescribed)
{
    std::mt19937 rng(142);
    const Bytes file = IcoFile(1, {BitmapImage(rng, 3, 2, 4), PngHead(256, 256, 8, 6), BitmapImage(rng, 5, 1, 1)});
    for (std::size_t n = 0; n < file.size(); ++n)
        EXPECT_FALSE(ReadIcoDirectory(std::span(file).first(n))) << n;
    const auto dir = ReadIcoDirectory(file);
    ASSERT_TRUE(dir);
    ASSERT_EQ(dir->entries.size(), 3u);
    const IcoEntry& a = dir->entries[0];
    const IcoEntry& png = dir->entries[1];
    EXPECT_TRUE(a.width == 3 && a.height == 2 && a.bitCount == 4 && a.colorCount == 16 && !a.png);
    EXPECT_TRUE(png.width == 256 && png.height == 256 && png.bitCount == 32 && png.png && png.colorCount == 0);
    const auto bitmap = ReadIcoBitmap(file, dir->entries[2]);
    ASSERT_TRUE(bitmap);
    EXPECT_TRUE(bitmap->width == 5 && bitmap->height == 1 && bitmap->palette.size() == 8 && bitmap->mask.size() == 4);
}

TEST(IcoDirectory, MalformedDirectoriesAndImagesAreRefused)
{
    constexpr std::size_t img = 22; // the one image's first byte
    const std::pair<const char*, std::function<void(Bytes&)>> directoryFaults[] = {
        {"reserved", [](Bytes& f) { f[0] = 1; }},
        {"type 3", [](Bytes& f) { f[2] = 3; }},
        {"no entries", [](Bytes& f) { f[4] = 0; }},
        {"more entries than bytes", [](Bytes& f) { f[4] = 9; }},
        {"image past the end", [](Bytes& f) { Put32(f, 18, 0xFFFFFFF0); }},
        {"length wraps with the offset", [](Bytes& f) { Put32(f, 14, 0xFFFFFFF0); }},
        {"too short to tell", [](Bytes& f) { Put32(f, 14, 15); }},
        {"bit count 0 in both", [](Bytes& f) { f[12] = 0, f[img + 14] = 0; }},
        {"PNG without signature", [](Bytes& f) { f[img + 14] = 'D', f[img + 15] = 'R'; }},
    };
    const std::pair<const char*, std::function<void(Bytes&)>> imageFaults[] = {
        {"width disagrees", [](Bytes& f) { f[6] = 3; }},
        {"height disagrees", [](Bytes& f) { f[7] = 3; }},
        {"mask one byte short", [](Bytes& f) { Put32(f, 14, static_cast<std::uint32_t>(f.size() - img - 1)); }},
        {"header size 39", [](Bytes& f) { f[img] = 39; }},
        {"header past the data", [](Bytes& f) { Put32(f, img, 0x7FFFFFFF); }},
        {"odd row count", [](Bytes& f) { Put32(f, img + 8, 9); }},
        {"negative rows", [](Bytes& f) { Put32(f, img + 8, 0xFFFFFFF8); }},
        {"2 bits a pixel", [](Bytes& f) { f[img + 14] = 2; }},
        {"compressed", [](Bytes& f) { f[img + 16] = 3; }},
        {"17 colours at 4 bits", [](Bytes& f) { Put32(f, img + 32, 17); }},
        {"a table on 32 bits", [](Bytes& f) { f[img + 14] = 32, Put32(f, img + 32, 1); }},
    };
    std::mt19937 rng(143);
    const Bytes good = IcoFile(1, {BitmapImage(rng, 4, 4, 4)});
    ASSERT_TRUE(ReadIcoDirectory(good) && ReadIcoBitmap(good, ReadIcoDirectory(good)->entries[0]));
    for (const auto& [what, fault] : directoryFaults) {
        Bytes f = good;
        fault(f);
        EXPECT_FALSE(ReadIcoDirectory(f)) << what;
    }
    for (const auto& [what, fault] : imageFaults) {
        Bytes f = good;
        fault(f);
        const auto dir = ReadIcoDirectory(f);
        EXPECT_FALSE(dir && ReadIcoBitmap(f, dir->entries[0])) << what;
    }
}

TEST(IcoDirectory, AlphaComesFromTheAlphaBytesUnlessAllAreZero)
{
    // One row of two pixels: colours 200, alphas as given; the mask clears the second pixel.
    const struct {
        std::uint8_t a0, a1;
        Bytes expected;
        bool ownAlpha;
    } cases[] = {
        {128, 0, {100, 100, 100, 128, 0, 0, 0, 0}, true},
        {255, 1, {200, 200, 200, 255, 0, 0, 0, 1}, true},
        {0, 0, {200, 200, 200, 255, 0, 0, 0, 0}, false},
    };
    for (const auto& c : cases) {
        Bytes image = {200, 200, 200, c.a0, 200, 200, 200, c.a1, 0x40, 0, 0, 0};
        const Bytes header(40);
        image.insert(image.begin(), header.begin(), header.end());
        Put32(image, 0, 40), Put32(image, 4, 2), Put32(image, 8, 2), image[14] = 32;
        const auto bitmap = ReadIcoImage(image);
        ASSERT_TRUE(bitmap);
        Bytes bgra(8);
        const auto pixels = DecodeIcoBitmap(*bitmap, bgra);
        ASSERT_TRUE(pixels);
        EXPECT_EQ(bgra, c.expected);
        EXPECT_TRUE(pixels->ownAlpha == c.ownAlpha && pixels->alpha);
    }
}

TEST(IcoDirectory, DecodingNeedsNoMemoryBesideItsPixels)
{
    std::mt19937 rng(144);
    const Bytes file = IcoFile(1, {BitmapImage(rng, 16, 16, 8), BitmapImage(rng, 256, 256, 32)});
    const std::size_t before = g_peak = g_live;
    const auto dir = ReadIcoDirectory(file);
    const auto bitmap = dir ? ReadIcoBitmap(file, dir->entries[FindBestEntry(dir->entries, 256, 256, 32) - 1]) : std::nullopt;
    ASSERT_TRUE(bitmap);
    Bytes bgra(std::size_t{256} * 256 * 4);
    EXPECT_TRUE(DecodeIcoBitmap(*bitmap, bgra));
    EXPECT_LE(g_peak - before, bgra.size() * 5 / 4);
    // A file of a few bytes that declares a 256x256 image holds nothing to decode.
    Bytes tiny = IcoFile(1, {BitmapImage(rng, 1, 1, 32)});
    tiny[6] = tiny[7] = 0;
    Put32(tiny, 22 + 4, 256), Put32(tiny, 22 + 8, 512);
    EXPECT_FALSE(ReadIcoBitmap(tiny, ReadIcoDirectory(tiny)->entries[0]));
}
