#include "IcoTestFiles.h"

#include "imaging/core/IcoDirectory.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

using namespace icotest;
using namespace imaging;

TEST(IcoDirectory, BestEntryFollowsSizeThenDepth)
{
    // 16x16 and 32x32 at 8 bits, 32x32 and 48x48 at 32 bits (width, height, bit count).
    const IcoEntry icon[] = {{16, 16, 8}, {32, 32, 8}, {32, 32, 32}, {48, 48, 32}};
    const IcoEntry odd[] = {{32, 32, 33}, {32, 32, 24}, {32, 32, 24}};
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
    // A PNG stream's signature and IHDR are all the directory reads of it.
    const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0,   13, 'I',
                       'H',  'D', 'R', 0,   0,    0,    200,  0,    0, 0, 100, 8,  6};
    const Bytes file = IcoFile(1, {BitmapImage(rng, 3, 2, 4), png, BitmapImage(rng, 5, 1, 1)});
    for (std::size_t n = 0; n < file.size(); ++n)
        EXPECT_FALSE(ReadIcoDirectory(std::span(file).first(n))) << n;
    const auto dir = ReadIcoDirectory(file);
    ASSERT_TRUE(dir && dir->entries.size() == 3);
    const IcoEntry &a = dir->entries[0], &b = dir->entries[1];
    EXPECT_TRUE(a.width == 3 && a.height == 2 && a.bitCount == 4 && a.colorCount == 16 && !a.png);
    EXPECT_TRUE(b.width == 200 && b.height == 100 && b.bitCount == 32 && b.png && b.colorCount == 0);
    const auto bitmap = ReadIcoBitmap(file, dir->entries[2]);
    ASSERT_TRUE(bitmap);
    EXPECT_TRUE(bitmap->width == 5 && bitmap->height == 1 && bitmap->palette.size() == 8 && bitmap->mask.size() == 4);
}

TEST(IcoDirectory, MalformedDirectoriesAndImagesAreRefused)
{
    constexpr std::size_t img = 22; // the one image's first byte
    const struct {
        const char* what;
        bool directory; // refused with the directory, else as the entry's image
        std::function<void(Bytes&)> fault;
    } cases[] = {
        {"reserved", true, [](Bytes& f) { f[0] = 1; }},
        {"type 3", true, [](Bytes& f) { f[2] = 3; }},
        {"length wraps with the offset", true, [](Bytes& f) { Put32(f, 14, 0xFFFFFFF0); }},
        {"too short to tell", true, [](Bytes& f) { Put32(f, 14, 15); }},
        {"bit count 0 in both", true, [](Bytes& f) { f[12] = 0, f[img + 14] = 0; }},
        {"PNG without signature", true, [](Bytes& f) { f[img + 14] = 'D', f[img + 15] = 'R'; }},
        {"height disagrees", false, [](Bytes& f) { f[7] = 3; }},
        {"mask one byte short", false, [](Bytes& f) { Put32(f, 14, static_cast<std::uint32_t>(f.size() - img - 1)); }},
        {"header size 39", false, [](Bytes& f) { f[img] = 39; }},
        {"header past the data", false, [](Bytes& f) { Put32(f, img, 0x7FFFFFFF); }},
        {"negative rows", false, [](Bytes& f) { Put32(f, img + 8, 0xFFFFFFF8); }},
        {"17 colours at 4 bits", false, [](Bytes& f) { Put32(f, img + 32, 17); }},
        {"256x256 in a few bytes", false,
         [](Bytes& f) { f[6] = f[7] = 0, Put32(f, img + 4, 256), Put32(f, img + 8, 512); }},
        {"8192 x 8192 at 1 bit with all its data: past the pixel limit", false, [](Bytes& f) {
             f[6] = f[7] = 0, f[img + 14] = 1, Put32(f, img + 4, 8192), Put32(f, img + 8, 16384);
             f.resize(img + 48 + (2u << 23)), Put32(f, 14, static_cast<std::uint32_t>(f.size() - img));
         }},
    };
    std::mt19937 rng(143);
    const Bytes good = IcoFile(1, {BitmapImage(rng, 4, 4, 4)});
    ASSERT_TRUE(ReadIcoDirectory(good) && ReadIcoBitmap(good, ReadIcoDirectory(good)->entries[0]));
    for (const auto& c : cases) {
        Bytes f = good;
        c.fault(f);
        const auto dir = ReadIcoDirectory(f);
        EXPECT_FALSE(c.directory ? dir.has_value() : dir && ReadIcoBitmap(f, dir->entries[0])) << c.what;
    }
}
