#include "imaging/core/DropFiles.h"
#include "imaging/core/PixelView.h"
#include "imaging/core/Sizes.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

TEST(Sizes, BitmapBytesAreRefusedPastTheSignedLimit)
{
    struct Case {
        std::int64_t w, h;
        std::optional<std::size_t> bytes;
    };
    const Case cases[] = {
        {1, 1, 4},
        {10, -5, 200},
        {0, 10, std::nullopt},
        {-1, 10, std::nullopt},
        {10, 0, std::nullopt},
        {1, INT_MIN, std::nullopt},
        {1, -536870911, std::size_t{2147483644}},
        {16384, 32767, std::size_t{2147418112}},
        {32768, 16384, std::nullopt},       // exactly 2^31
        {536870911, 1, std::size_t{2147483644}},
        {536870912, 1, std::nullopt},
        {46341, 46341, std::nullopt},       // wraps 32 bits
        {INT_MAX, INT_MAX, std::nullopt},
        {std::int64_t{INT_MAX} + 1, 1, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(imaging::DibByteSize(c.w, c.h), c.bytes) << c.w << " x " << c.h;
}

TEST(Sizes, RowBytesByteOrderAndCapabilities)
{
    struct Row {
        std::uint8_t bits;
        std::int32_t width;
        std::int64_t bytes;
    };
    for (auto r : {Row{24, 5, 16}, Row{32, 7, 28}, Row{1, 9, 4}, Row{4, 3, 4}, Row{8, 0, 0}, Row{8, -3, 0},
                   Row{32, INT_MAX, std::int64_t{INT_MAX} * 4}})
        EXPECT_EQ(imaging::RowBytesForDepth(r.bits, r.width), r.bytes) << int{r.bits} << " " << r.width;

    EXPECT_EQ(imaging::SwapByteOrder32(0x0D0A1A0A), 0x0A1A0A0Du);
    EXPECT_EQ(imaging::SwapByteOrder32(0x80000000), 0x00000080u);
    EXPECT_EQ(imaging::SwapByteOrder32(0x00000080), 0x80000000u);

    struct System {
        std::uint32_t platform, major, minor, sp, flags;
    };
    for (auto s : {System{1, 4, 10, 0, 24}, System{1, 4, 0, 0, 32}, System{2, 4, 0, 5, 32}, System{2, 4, 0, 6, 0},
                   System{2, 5, 1, 0, 9}, System{2, 6, 1, 1, 9}})
        EXPECT_EQ(imaging::CapabilityFlagsFor(s.platform, s.major, s.minor, s.sp), s.flags)
            << s.platform << " " << s.major << "." << s.minor;
}

TEST(Sizes, PixelViewRefusesRowsPastItsBytes)
{
    std::vector<std::uint8_t> b(44);
    EXPECT_TRUE(imaging::PixelView::Over(b, 2, 4, 12));  // last row needs only 8 bytes
    EXPECT_FALSE(imaging::PixelView::Over(b, 2, 5, 12));
    EXPECT_FALSE(imaging::PixelView::Over(b, 3, 1, 8));  // stride shorter than a row
    EXPECT_FALSE(imaging::PixelView::Over(b, -1, 1, 8));
    EXPECT_FALSE(imaging::PixelView::Over(b, 1, 3, SIZE_MAX / 2 + 2)) << "a stride that wraps 64 bits";
    EXPECT_FALSE(imaging::PixelView::Packed(b, 12, 1));
}

std::vector<std::uint8_t> DropBlock(std::uint32_t offset, bool wide, const std::u16string& names)
{
    std::vector<std::uint8_t> b(20, 0);
    for (int i = 0; i < 4; ++i)
        b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(offset >> (8 * i));
    b[16] = wide;
    for (char16_t c : names) {
        b.push_back(static_cast<std::uint8_t>(c));
        if (wide)
            b.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return b;
}

TEST(DropFiles, ListMustEndInsideItsBlock)
{
    using namespace std::string_literals;
    struct Case {
        const char* name;
        std::vector<std::uint8_t> block;
        std::optional<std::size_t> count;
    };
    const Case cases[] = {
        {"two wide names", DropBlock(20, true, u"a\u00e9\0b\0\0"s), 2},
        {"two ansi names", DropBlock(20, false, u"ab\0c\0\0"s), 2},
        {"empty list", DropBlock(20, true, u"\0"s), 0},
        {"no final empty name", DropBlock(20, true, u"ab\0"s), std::nullopt},
        {"unterminated name", DropBlock(20, false, u"abc"s), std::nullopt},
        {"list inside the header", DropBlock(8, false, u"a\0\0"s), std::nullopt},
        {"list past the block", DropBlock(4000, true, u"a\0\0"s), std::nullopt},
        {"odd byte left", [] { auto b = DropBlock(20, true, u"a\0"s); b.push_back(0); return b; }(), std::nullopt},
        {"short header", std::vector<std::uint8_t>(19, 0), std::nullopt},
    };
    for (const auto& c : cases) {
        auto list = imaging::CheckDropFiles(c.block);
        EXPECT_EQ(list ? std::optional<std::size_t>(list->count) : std::nullopt, c.count) << c.name;
    }
}

} // namespace
