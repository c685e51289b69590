#include "skin/core/IconFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace skin;

namespace {

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// An icon image of w x h at `bits`, its pixel bytes a running count.
std::vector<std::uint8_t> Image(int w, int h, int bits)
{
    const std::size_t palette = bits <= 8 ? 4u << bits : 0;
    const auto row = [w](int b) { return (static_cast<std::size_t>(w) * b + 31) / 32 * 4; };
    std::vector<std::uint8_t> img(40 + palette + (row(bits) + row(1)) * h);
    for (std::size_t i = 40; i < img.size(); ++i)
        img[i] = static_cast<std::uint8_t>(i);
    Put32(img, 0, 40);
    Put32(img, 4, static_cast<std::uint32_t>(w));
    Put32(img, 8, static_cast<std::uint32_t>(2 * h));
    img[12] = 1;
    img[14] = static_cast<std::uint8_t>(bits);
    return img;
}

} // namespace

TEST(IconFile, ImagesComeBackWhole)
{
    struct Case {
        int w, h, bits;
        std::uint8_t sideByte;
    } cases[] = {{2, 3, 32, 2}, {17, 5, 1, 17}, {3, 3, 4, 3}, {300, 1, 24, 0}};
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> image = Image(c.w, c.h, c.bits);
        const std::vector<std::uint8_t> file = WriteIconFile(image);
        ASSERT_TRUE(IsIconFile(file));
        EXPECT_EQ(file[6], c.sideByte) << c.w;
        const std::optional<IconImage> back = ReadIconFile(file);
        ASSERT_TRUE(back) << c.w << 'x' << c.h << '@' << c.bits;
        EXPECT_EQ(back->width, c.w);
        EXPECT_EQ(back->height, c.h);
        EXPECT_EQ(back->bitCount, c.bits);
        EXPECT_TRUE(std::ranges::equal(back->bytes, image));
    }
}

TEST(IconFile, MalformedFilesAreRefused)
{
    using Change = std::function<void(std::vector<std::uint8_t>&)>;
    constexpr std::size_t at = 22; // where the one image begins
    const struct Case {
        const char* what;
        Change change;
    } cases[] = {
        {"one byte short", [](auto& f) { f.pop_back(); }},
        {"no images", [](auto& f) { f[4] = 0; }},
        {"more entries than bytes", [](auto& f) { f[4] = 200; }},
        {"image inside the directory", [](auto& f) { Put32(f, 18, 6); }},
        {"image past the end", [](auto& f) { Put32(f, 18, 0xFFFFFFF0); }},
        {"length past the end", [](auto& f) { Put32(f, 14, 0xFFFFFFFF); }},
        {"directory width disagrees", [](auto& f) { f[6] = 3; }},
        {"directory height disagrees", [](auto& f) { f[7] = 0; }},
        {"core header", [](auto& f) { Put32(f, at, 12); }},
        {"odd row count", [](auto& f) { Put32(f, at + 8, 9); }},
        {"no rows", [](auto& f) { Put32(f, at + 8, 0); }},
        {"negative width", [](auto& f) { Put32(f, at + 4, 0xFFFFFFFC); }},
        {"16 bits a pixel", [](auto& f) { f[at + 14] = 16; }},
        {"compressed", [](auto& f) { f[at + 16] = 3; }},
        {"palette on a 32-bit image", [](auto& f) { f[at + 32] = 1; }},
        {"PNG image", [](auto& f) { f[at] = 0x89; }},
        {"a bitmap file", [](auto& f) { f[0] = 'B', f[1] = 'M'; }},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> file = WriteIconFile(Image(4, 4, 32));
        ASSERT_TRUE(ReadIconFile(file));
        c.change(file);
        EXPECT_FALSE(ReadIconFile(file)) << c.what;
    }
    std::vector<std::uint8_t> mono = Image(4, 4, 1);
    mono[32] = 3; // three colours named for a two-colour palette
    EXPECT_TRUE(WriteIconFile(mono).empty());
}
