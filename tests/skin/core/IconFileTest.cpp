#include "skin/core/IconFile.h"

#include "imaging/core/IcoDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

using namespace skin;
using Bytes = std::vector<std::uint8_t>;

namespace {

void Put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// An icon image of w x h at `bits`, its pixel bytes a running count.
Bytes Image(int w, int h, int bits)
{
    const auto row = [w](int b) { return (static_cast<std::size_t>(w) * b + 31) / 32 * 4; };
    Bytes img(40 + (bits <= 8 ? 4u << bits : 0) + (row(bits) + row(1)) * h);
    for (std::size_t i = 40; i < img.size(); ++i)
        img[i] = static_cast<std::uint8_t>(i);
    Put32(img, 0, 40), Put32(img, 4, static_cast<std::uint32_t>(w)), Put32(img, 8, static_cast<std::uint32_t>(2 * h));
    img[12] = 1, img[14] = static_cast<std::uint8_t>(bits);
    return img;
}

// The file's first image as the engine's reader takes it.
std::optional<imaging::IcoBitmap> ReadIconFile(const Bytes& file)
{
    const auto dir = imaging::ReadIcoDirectory(file);
    return dir ? imaging::ReadIcoBitmap(file, dir->entries[0]) : std::nullopt;
}

} // namespace

TEST(IconFile, ImagesComeBackWholeAndMalformedFilesAreRefused)
{
    for (auto [w, h, bits] : {std::tuple{2, 3, 32}, {17, 5, 1}, {300, 1, 24}}) {
        const Bytes image = Image(w, h, bits);
        const Bytes file = WriteIconFile(image);
        const std::optional<imaging::IcoBitmap> back = ReadIconFile(file);
        ASSERT_TRUE(back) << w << 'x' << h << '@' << bits;
        EXPECT_TRUE(back->width == w && back->height == h && back->bitCount == bits && std::ranges::equal(back->image, image));
    }
    constexpr std::size_t at = 22; // where the one image begins
    const std::pair<const char*, void (*)(Bytes&)> changes[] = {
        {"one byte short", [](Bytes& f) { f.pop_back(); }},
        {"no images", [](Bytes& f) { f[4] = 0; }},
        {"more entries than bytes", [](Bytes& f) { f[4] = 200; }},
        {"image inside the directory", [](Bytes& f) { Put32(f, 18, 6); }},
        {"image past the end", [](Bytes& f) { Put32(f, 18, 0xFFFFFFF0); }},
        {"length past the end", [](Bytes& f) { Put32(f, 14, 0xFFFFFFFF); }},
        {"directory width disagrees", [](Bytes& f) { f[6] = 3; }},
        {"odd row count", [](Bytes& f) { Put32(f, at + 8, 9); }},
        {"negative width", [](Bytes& f) { Put32(f, at + 4, 0xFFFFFFFC); }},
        {"2 bits a pixel", [](Bytes& f) { f[at + 14] = 2; }},
        {"compressed", [](Bytes& f) { f[at + 16] = 3; }},
        {"palette on a 32-bit image", [](Bytes& f) { f[at + 32] = 1; }},
        {"a bitmap file", [](Bytes& f) { f[0] = 'B', f[1] = 'M'; }},
    };
    for (const auto& [what, change] : changes) {
        Bytes file = WriteIconFile(Image(4, 4, 32));
        change(file);
        EXPECT_FALSE(ReadIconFile(file)) << what;
    }
}
