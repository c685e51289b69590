#include "imaging/core/MetafileExtent.h"
#include "imaging/core/SourceSlice.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

namespace {

using imaging::MetafileExtent;
using imaging::SourceSlice;

TEST(SourceSlice, SlicesOutsideTheArrayOrTooShortAndFilesTooSmallOrTooBigAreRefused)
{
    const struct {
        std::size_t size;
        std::int64_t start, length;
        std::optional<SourceSlice> slice;
    } cases[] = {
        {100, -5, 0, SourceSlice{0, 100}}, {100, 43, 0, SourceSlice{43, 57}}, {100, 44, 0, std::nullopt},
        {100, 10, 56, std::nullopt},       {100, 43, 58, std::nullopt},       {100, 101, 0, std::nullopt},
        {100, 0, -1, std::nullopt},        {100, INT64_MAX, 57, std::nullopt},
        {100, 1, INT64_MAX, std::nullopt}, // start + length wraps in 64 bits
    };
    for (const auto& c : cases)
        EXPECT_EQ(imaging::SliceOfArray(c.size, c.start, c.length), c.slice) << c.start << " " << c.length;
    for (auto [size, read] : {std::pair<std::uint64_t, bool>{56, false}, {57, true}, {1u << 30, true},
                              {(1u << 30) + 1, false}, {(std::uint64_t{1} << 32) + 100, false}}) // not 100 bytes
        EXPECT_EQ(imaging::FileSourceSize(size).has_value(), read) << size;
}

// A metafile header (in memory unless `type` says otherwise) and records of a function and its words.
std::vector<std::uint8_t> Wmf(const std::vector<std::vector<std::uint16_t>>& records, std::uint16_t type = 1)
{
    std::vector<std::uint16_t> words{type, 9, 0x300, 0, 0, 0, 0, 0, 0};
    for (const auto& r : records) {
        words.insert(words.end(), {static_cast<std::uint16_t>(2 + r.size()), 0});
        words.insert(words.end(), r.begin(), r.end());
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(words.data());
    return {bytes, bytes + words.size() * 2};
}

TEST(MetafileExtent, TheFirstWindowExtentOfNonZeroSides)
{
    constexpr std::uint16_t ext = 0x020C, org = 0x020B, eof = 0;
    auto pastEnd = Wmf({{org, 0}});
    pastEnd[21] = 0x40; // the record's size
    const std::pair<std::vector<std::uint8_t>, std::optional<MetafileExtent>> cases[] = {
        {Wmf({{org, 0, 0}, {ext, 48, 96}, {eof}}), MetafileExtent{96, 48}},
        {Wmf({{ext, 0, 5}, {ext, 0xFFF9, 0xFFF7}}, 2), MetafileExtent{9, 7}}, // negative sides only mirror
        {Wmf({{org, 0, 0}, {eof}, {ext, 2, 3}}), std::nullopt},
        {pastEnd, std::nullopt},
        {Wmf({{ext, 48}}), std::nullopt},
        {Wmf({{ext, 2, 3}}, 3), std::nullopt},
    };
    for (const auto& [bytes, extent] : cases)
        EXPECT_EQ(imaging::WmfWindowExtent(bytes), extent) << testing::PrintToString(bytes);
}

// Metafile files of `w` x `h` pixels at 2540 pixels an inch: a placeable one at 2540 units an inch,
// an enhanced one whose frame is as many hundredths of a millimetre; each ends with its end record.
std::vector<std::uint8_t> Placeable(std::uint16_t w, std::uint16_t h)
{
    const std::uint16_t head[11] = {0xCDD7, 0x9AC6, 0, 0, 0, w, h, 2540};
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(head);
    auto b = Wmf({{0x020C, h, w}, {0}});
    return b.insert(b.begin(), bytes, bytes + 22), b;
}
// Its header's counts of bytes, records and handles are given.
std::vector<std::uint8_t> Enhanced(std::uint32_t w, std::uint32_t h, std::uint32_t bytes = 108, std::uint32_t records = 2,
                                   std::uint32_t handles = 1)
{
    std::uint32_t words[27] = {1, 88, 0, 0, 0, 0, 0, 0, w, h, 0x464D4520, 0, bytes, records, handles}; // end record at 88
    words[22] = 14, words[23] = 20;
    return {reinterpret_cast<const std::uint8_t*>(words), reinterpret_cast<const std::uint8_t*>(words) + 108};
}

// A TIFF whose first directory, at `at`, holds a width and a length of the types given (3: 16 bits).
std::vector<std::uint8_t> Tiff(bool little, std::uint32_t w, std::uint16_t wType, std::uint32_t h, std::uint16_t hType, std::uint32_t at = 8)
{
    std::vector<std::uint8_t> b;
    const auto put = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b.push_back(static_cast<std::uint8_t>(v >> 8 * (little ? i : n - 1 - i)));
    };
    put(little ? 0x002A4949 : 0x4D4D002A, 4), put(at, 4), put(2, 2); // "II*", "MM*"
    for (auto [tag, type, v] : {std::tuple(256u, wType, w), std::tuple(257u, hType, h)})
        put(tag, 2), put(type, 2), put(1, 4), type == 3 ? (put(v, 2), put(0, 2)) : put(v, 4);
    return b;
}

// A JPEG segment of fewer than 254 bytes; a grey frame header; the start of an image and `parts`.
std::vector<std::uint8_t> Segment(std::uint8_t marker, std::vector<std::uint8_t> contents)
{
    contents.insert(contents.begin(), {0xFF, marker, 0, static_cast<std::uint8_t>(contents.size() + 2)});
    return contents;
}
std::vector<std::uint8_t> Frame(std::uint16_t w, std::uint16_t h, std::uint8_t marker = 0xC0)
{
    return Segment(marker, {8, std::uint8_t(h >> 8), std::uint8_t(h), std::uint8_t(w >> 8), std::uint8_t(w), 1, 1, 0x11, 0});
}
std::vector<std::uint8_t> Jpeg(std::initializer_list<std::vector<std::uint8_t>> parts)
{
    std::vector<std::uint8_t> b{0xFF, 0xD8};
    for (const auto& p : parts)
        b.insert(b.end(), p.begin(), p.end());
    return b;
}

TEST(SourceSlice, SystemDecodersGetOnlyWhatIsReadAndWithinThePixelLimit)
{
    const auto app0 = Segment(0xE0, std::vector<std::uint8_t>(14, 1)), scan = Segment(0xDA, {1, 1, 0, 0, 63, 0});
    const std::pair<std::vector<std::uint8_t>, bool> cases[] = {
        {Placeable(8192, 8191), true},          {Placeable(8191, 8192), true}, {Placeable(8192, 8192), false},
        {Enhanced(8192, 8191), true},           {Enhanced(8192, 8192), false}, {Enhanced(0, 1), false},
        {{0, 0, 1, 0, 1, 0, 32, 32}, false},    {{0, 0, 2, 0, 1, 0, 32, 32}, false}, // icon and cursor
        {{'B', 'M', 1}, false},                 {{'G', 'I', 'F', '8', '9', 'a', 1}, false},
        {Jpeg({app0, Frame(8192, 8191), scan}), true},        {Jpeg({{0xFF, 0xFF}, Frame(8192, 8192, 0xC2)}), false},
        {Jpeg({Segment(0xC4, {0}), {0xFF, 0xD0}, Frame(7, 9, 0xC1)}), true}, // tables and a restart marker first
        {Jpeg({Frame(640, 0)}), false}, {Jpeg({app0, scan, Frame(8, 8)}), false}, {Jpeg({{0xFF, 0xD9}, Frame(8, 8)}), false},
        {Jpeg({app0, {0}, Frame(8, 8)}), false},             {Jpeg({Segment(0xC0, {8, 0, 8, 0})}), false}, // a stray byte; cut
        {Jpeg({{0xFF, 0xE1, 0, 1}, Frame(8, 8)}), false},    {Jpeg({{0xFF, 0xE1, 0xFF, 0}, Frame(8, 8)}), false},
        {Tiff(true, 8192, 3, 8191, 4), true},                {Tiff(false, 8191, 4, 8192, 3), true},
        {Tiff(true, 8192, 4, 8192, 3), false}, {Tiff(true, 8, 5, 8, 3), false}, {Tiff(false, 8, 3, 8, 3, 4000), false},
        {Enhanced(5, 5, 0x7FFFFFFF), false},   {Enhanced(5, 5, 108, 14), false}, {Enhanced(5, 5, 108, 2, 14), false},
        {std::vector<std::uint8_t>(64, 'J'), false}, // no one has read its size
    };
    for (const auto& [data, passes] : cases)
        EXPECT_EQ(imaging::MayGoToSystemDecoders(data, 2540, 2540), passes) << testing::PrintToString(data);
    for (const auto& whole : {Placeable(5, 5), Enhanced(5, 5)}) {
        ASSERT_TRUE(imaging::MayGoToSystemDecoders(whole, 2540, 2540));
        for (std::size_t n = whole.size() == 108 ? 44 : 22; n < whole.size(); ++n)
            EXPECT_FALSE(imaging::MayGoToSystemDecoders(std::span(whole).first(n), 2540, 2540)) << n << " bytes";
    }
}

} // namespace
