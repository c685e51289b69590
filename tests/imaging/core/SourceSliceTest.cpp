#include "imaging/core/MetafileExtent.h"
#include "imaging/core/SourceSlice.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

using imaging::SourceSlice;
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

TEST(SourceSlice, SlicesOutsideTheArrayOrTooShortAreRefused)
{
    const struct {
        std::size_t size;
        std::int64_t start, length;
        std::optional<SourceSlice> slice;
    } cases[] = {
        {100, -5, 0, SourceSlice{0, 100}},
        {100, 0, 0, SourceSlice{0, 100}},
        {100, 43, 0, SourceSlice{43, 57}},
        {100, 44, 0, std::nullopt},  // 56 bytes left
        {100, 10, 57, SourceSlice{10, 57}},
        {100, 10, 56, std::nullopt},
        {100, 43, 58, std::nullopt}, // one past the end
        {100, 100, 0, std::nullopt},
        {100, 101, 0, std::nullopt},
        {100, 0, -1, std::nullopt},
        {100, kMax, 57, std::nullopt},
        {100, 1, kMax, std::nullopt},       // start + length wraps in 64 bits
        {0, 0, 0, std::nullopt},
        {56, 0, 0, std::nullopt},
        {std::size_t{1} << 31, (std::int64_t{1} << 31) - 57, 57, SourceSlice{(std::size_t{1} << 31) - 57, 57}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(imaging::SliceOfArray(c.size, c.start, c.length), c.slice) << c.size << " " << c.start << " " << c.length;
}

TEST(SourceSlice, FileSizesAreTakenInSixtyFourBits)
{
    const struct {
        std::uint64_t size;
        std::optional<std::size_t> read;
    } cases[] = {
        {56, std::nullopt}, {57, 57}, {std::uint64_t{1} << 30, std::size_t{1} << 30}, {(std::uint64_t{1} << 30) + 1, std::nullopt},
        {(std::uint64_t{1} << 32) + 100, std::nullopt}, // a 32-bit size would read it as 100 bytes
    };
    for (const auto& c : cases)
        EXPECT_EQ(imaging::FileSourceSize(c.size), c.read) << c.size;
}

// A metafile header (in memory, 9 words) and records of (function, parameter words).
std::vector<std::uint8_t> Wmf(std::vector<std::pair<std::uint16_t, std::vector<std::uint16_t>>> records,
                              std::uint16_t type = 1, std::uint16_t headerWords = 9)
{
    std::vector<std::uint8_t> b;
    const auto put = [&b](std::uint32_t v, int size) {
        for (int i = 0; i < size; ++i)
            b.push_back(static_cast<std::uint8_t>(v >> 8 * i));
    };
    put(type, 2), put(headerWords, 2), put(0x300, 2), put(0, 4), put(0, 2), put(0, 4), put(0, 2);
    for (const auto& [function, words] : records) {
        put(static_cast<std::uint32_t>(3 + words.size()), 4), put(function, 2);
        for (std::uint16_t w : words)
            put(w, 2);
    }
    return b;
}

TEST(MetafileExtent, TheFirstWindowExtentOfNonZeroSides)
{
    using imaging::MetafileExtent;
    constexpr std::uint16_t ext = 0x020C, org = 0x020B, eof = 0;
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::optional<MetafileExtent> extent;
    } cases[] = {
        {"after another record", Wmf({{org, {0, 0}}, {ext, {48, 96}}, {eof, {}}}), MetafileExtent{96, 48}},
        {"negative sides mirror", Wmf({{ext, {0xFFD0, 0xFFA0}}, {eof, {}}}), MetafileExtent{96, 48}},
        {"the first that is not empty", Wmf({{ext, {0, 5}}, {ext, {7, 9}}, {ext, {1, 1}}}), MetafileExtent{9, 7}},
        {"on disk", Wmf({{ext, {2, 3}}}, 2), MetafileExtent{3, 2}},
        {"none before the end", Wmf({{org, {0, 0}}, {eof, {}}, {ext, {2, 3}}}), std::nullopt},
        {"records end", Wmf({{org, {0, 0}}}), std::nullopt},
        {"a record shorter than its head", [&] { auto b = Wmf({{org, {}}}); b[18] = 2; return b; }(), std::nullopt},
        {"a record past the end", [&] { auto b = Wmf({{org, {0}}}); b[21] = 0x40; return b; }(), std::nullopt},
        {"an extent cut short", Wmf({{ext, {48}}}), std::nullopt},
        {"not a metafile", Wmf({{ext, {2, 3}}}, 3), std::nullopt},
        {"header past the end", Wmf({}, 1, 0xFFFF), std::nullopt},
        {"nothing", {}, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(imaging::WmfWindowExtent(c.bytes), c.extent) << c.name;
}

} // namespace
