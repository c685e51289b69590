#include "GifTestFiles.h"

#include "imaging/core/GifLzw.h"
#include "imaging/core/GifReader.h"

#include <gtest/gtest.h>

using namespace giftest;
using imaging::GifLoad;
using imaging::GifReader;
using imaging::LzwEnd;

namespace {

// Rows of one buffer, top row first, each handed back once.
class Rows final : public imaging::GifRows {
public:
    Rows(std::uint32_t width, std::uint32_t height) : width_(width), indexes_(std::size_t{width} * height, 0xEE) {}
    std::span<std::uint8_t> Row(std::uint32_t y) override { return std::span(indexes_).subspan(std::size_t{y} * width_); }
    void RowDone(std::uint32_t y) override { done_.push_back(y); }
    std::uint32_t width_;
    Bytes indexes_;
    std::vector<std::uint32_t> done_;
};

// A clear code, then one literal 0 for each entry until the table is full (codes growing from 3
// to 12 bits on the way), then the newest entry twice at 12 bits, a clear code after all that and
// a literal 3.
std::vector<Code> FullTable()
{
    std::vector<Code> codes{{4, 3}, {0, 3}};
    unsigned bits = 3;
    for (unsigned next = 7; next <= 4096; ++next) {
        codes.push_back({0, bits});
        if (next == 1u << bits && bits < 12)
            ++bits;
    }
    codes.insert(codes.end(), {{4095, 12}, {4095, 12}, {4, 12}, {3, 3}});
    return codes;
}

// Rows 0 to 9 of two pixels, each holding its own number, in the four passes' order; the 16th
// literal is the first of 6 bits (18 + 15 entries).
std::vector<Code> TenInterlacedRows()
{
    std::vector<Code> codes{{16, 5}};
    for (unsigned y : {0, 8, 4, 2, 6, 1, 3, 5, 7, 9})
        for (int x = 0; x < 2; ++x)
            codes.push_back({y, codes.size() < 16 ? 5u : 6u});
    return codes;
}

TEST(GifLzw, DecodesHandEncodedStreams)
{
    struct Case {
        const char* name;
        std::uint8_t minCodeSize;
        std::uint32_t width, height;
        bool interlaced;
        std::vector<Code> codes;
        LzwEnd end;
        Bytes indexes; // those written, top row first
    };
    Bytes fullTable(4095, 0), tenRows;
    fullTable.push_back(3);
    for (std::uint8_t y = 0; y < 10; ++y)
        tenRows.insert(tenRows.end(), {y, y});
    const Case cases[] = {
        // 1, the newest entry (11), 2, an entry (112) across rows, and one (11) past the frame's end.
        {"strings across rows", 2, 2, 4, false, {{4, 3}, {1, 3}, {6, 3}, {2, 3}, {7, 4}, {6, 4}}, LzwEnd::Complete,
         {1, 1, 1, 2, 1, 1, 2, 1}},
        {"clear code at 4 bits", 2, 3, 2, false, {{4, 3}, {0, 3}, {1, 3}, {2, 3}, {4, 4}, {3, 3}, {6, 3}},
         LzwEnd::Complete, {0, 1, 2, 3, 3, 3}},
        {"code size 1 grows after its first code", 1, 3, 1, false, {{2, 2}, {1, 2}, {4, 3}}, LzwEnd::Complete, {1, 1, 1}},
        {"full table, entries kept past it", 2, 64, 64, false, FullTable(), LzwEnd::Complete, fullTable},
        {"interlaced", 4, 2, 10, true, TenInterlacedRows(), LzwEnd::Complete, tenRows},
        {"interlaced, empty second pass", 4, 1, 3, true, {{16, 5}, {0, 5}, {2, 5}, {1, 5}}, LzwEnd::Complete, {0, 1, 2}},
        {"codes after the last pixel unread", 2, 1, 1, false, {{4, 3}, {2, 3}, {7, 3}}, LzwEnd::Complete, {2}},
        {"code past the next entry", 2, 3, 2, false, {{4, 3}, {1, 3}, {7, 3}}, LzwEnd::BadCode, {1}},
        {"entry code straight after a clear", 2, 3, 2, false, {{4, 3}, {1, 3}, {4, 3}, {6, 3}}, LzwEnd::BadCode, {1}},
        {"code size 9", 9, 1, 1, false, {{512, 10}, {1, 10}}, LzwEnd::BadCode, {}},
        {"data end early", 2, 3, 3, false, {{4, 3}, {1, 3}, {2, 3}, {3, 3}, {1, 4}}, LzwEnd::Short, {1, 2, 3, 1}},
        {"end code early", 2, 3, 2, false, {{4, 3}, {1, 3}, {5, 3}, {2, 3}}, LzwEnd::Short, {1}},
    };
    for (const Case& c : cases) {
        for (std::size_t blockSize : {255, 1}) {
            SCOPED_TRACE(testing::Message() << c.name << ", sub-blocks of " << blockSize);
            Rows rows(c.width, c.height);
            const auto result =
                imaging::DecodeGifLzw(Chain(c.codes, blockSize), c.minCodeSize, c.width, c.height, c.interlaced, rows);
            EXPECT_EQ(result.end, c.end);
            ASSERT_EQ(result.pixels, c.indexes.size());
            if (!c.interlaced) {
                EXPECT_TRUE(std::equal(c.indexes.begin(), c.indexes.end(), rows.indexes_.begin()));
            } else if (c.end == LzwEnd::Complete) {
                EXPECT_EQ(rows.indexes_, c.indexes);
            }
            EXPECT_EQ(rows.done_.size(), result.pixels / c.width);
        }
    }
}

Gif SmallGif()
{
    Gif g;
    g.width = 5;
    g.height = 3;
    g.minCodeSize = 2;
    g.global = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    g.transparent = 1;
    g.indexes = {0, 1, 2, 3, 0, 3, 2, 1, 0, 1, 2, 2, 3, 3, 0};
    g.extras = true;
    return g;
}

GifLoad Read(const Bytes& gif, Bytes& bgra)
{
    GifReader reader;
    const GifLoad load = reader.ExtractFirstFrame(gif);
    bgra.assign(std::size_t(reader.Width()) * std::size_t(reader.Height()) * 4, 0);
    return load == GifLoad::Found && !reader.DecodeInto(bgra) ? GifLoad::Failed : load;
}

TEST(GifReader, EveryTruncationBeforeTheFirstImageEndsFails)
{
    const Gif g = SmallGif();
    const Bytes gif = WriteGif(g), expected = ExpectedBgra(g);
    for (std::size_t n = 0; n <= gif.size(); ++n) {
        Bytes bgra;
        const GifLoad load = Read(Bytes(gif.begin(), gif.begin() + static_cast<std::ptrdiff_t>(n)), bgra);
        if (n >= FirstImageEnd(g)) {
            EXPECT_EQ(load, GifLoad::Found) << n;
            EXPECT_EQ(bgra, expected) << n;
        } else {
            EXPECT_EQ(load, n < 6 ? GifLoad::NotGif : GifLoad::Failed) << n;
        }
    }
}

TEST(GifReader, WalkTakesOrRefusesDamagedStreams)
{
    const Gif g = SmallGif();
    const Bytes gif = WriteGif(g);
    const std::size_t image = 59; // header 13, table 12, comment 7, application 19, graphic control 8
    const auto edit = [&](auto change) {
        Bytes b = gif;
        change(b);
        return b;
    };
    const auto insertAt = [&](std::size_t at, Bytes bytes) {
        return edit([&](Bytes& b) { b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin(), bytes.end()); });
    };
    // A frame of 8192 x (low, high) ahead of data that could fill it: 100 sub-blocks of 255 bytes.
    const auto frame = [&](std::uint8_t low, std::uint8_t high) {
        Bytes b = insertAt(image + 11, Bytes(25600, 255));
        return b[image + 5] = 0, b[image + 6] = 0x20, b[image + 7] = low, b[image + 8] = high, b;
    };
    // Each graphic control extension replaces the one before (index 1 here); one too short for its
    // fields declares no transparent colour.
    struct Case {
        const char* name;
        Bytes gif;
        GifLoad load;
        int transparent = 1;
    };
    const Case cases[] = {
        {"signature in capitals", edit([](Bytes& b) { b[3] = '8', b[4] = '7', b[5] = 'A'; }), GifLoad::Found},
        {"signature in small letters", edit([](Bytes& b) { b[0] = 'g', b[1] = 'i', b[2] = 'f'; }), GifLoad::Found},
        {"version 88a", edit([](Bytes& b) { b[4] = '8'; }), GifLoad::NotGif},
        {"stray zeros between blocks", insertAt(image, {0, 0}), GifLoad::Found},
        {"trailer before the image", insertAt(image, {0x3B}), GifLoad::NotGif},
        {"unknown block before the image", insertAt(image, {0x22}), GifLoad::NotGif},
        {"no colour table", edit([&](Bytes& b) { b[10] = 0, b.erase(b.begin() + 13, b.begin() + 25); }), GifLoad::NotGif},
        {"graphic control of 6 bytes", insertAt(image, {0x21, 0xF9, 6, 1, 0, 0, 2, 0, 0, 0}), GifLoad::Found, 2},
        {"graphic control of 2 bytes", insertAt(image, {0x21, 0xF9, 2, 1, 0, 0}), GifLoad::Found, -1},
        {"graphic control, flag clear", insertAt(image, {0x21, 0xF9, 4, 0, 0, 0, 2, 0}), GifLoad::Found, -1},
        {"extension block past the end", insertAt(image, {0x21, 0x01, 255, 0}), GifLoad::Failed},
        {"local table past the end", edit([&](Bytes& b) { b[image + 9] = 0x87; }), GifLoad::Failed},
        {"code size 9", edit([&](Bytes& b) { b[image + 10] = 9; }), GifLoad::Failed},
        {"width 0", edit([&](Bytes& b) { b[image + 5] = 0; }), GifLoad::Failed},
        {"65535 x 65535 in the data of 15 pixels",
         edit([&](Bytes& b) { std::fill_n(b.begin() + static_cast<std::ptrdiff_t>(image) + 5, 4, 0xFF); }), GifLoad::Failed},
        {"more pixels than the data hold", edit([&](Bytes& b) { b[image + 6] = 0x80; }), GifLoad::Failed},
        {"screen of 8192 x 8191", edit([](Bytes& b) { b[6] = 0, b[7] = 0x20, b[8] = 0xFF, b[9] = 0x1F; }), GifLoad::Found},
        {"screen of 8192 x 8192", edit([](Bytes& b) { b[6] = b[8] = 0, b[7] = b[9] = 0x20; }), GifLoad::Failed},
        {"frame of 8192 x 8191", frame(0xFF, 0x1F), GifLoad::Found},
        {"frame of 8192 x 8192", frame(0, 0x20), GifLoad::Failed},
    };
    for (const Case& c : cases) {
        GifReader reader;
        EXPECT_EQ(reader.ExtractFirstFrame(c.gif), c.load) << c.name;
        if (c.load == GifLoad::Found) {
            EXPECT_EQ(reader.Frame().transparentIndex, c.transparent) << c.name;
        }
    }
}

} // namespace
