#include "PngTestFiles.h"
#include "WatchedNew.h"

#include "imaging/core/PngReader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>

using namespace pngtest;
using imaging::DecodePng;
using imaging::PngLoad;
using imaging::PngPicture;

namespace {

struct Format {
    std::uint8_t type, depth;
};
constexpr Format kFormats[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                               {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};

PngLoad Decode(const Bytes& png, PngPicture& pic) { return DecodePng(png, pic); }

// Every legal layout, both interlace methods, at sizes that leave Adam7 passes empty or partial.
TEST(PngReader, DecodesEveryLayoutBitExactly)
{
    std::mt19937 rng(18);
    const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{1, 1}, {3, 3}, {8, 8}, {9, 9}, {33, 1}, {1, 33}};
    for (const Format& f : kFormats)
        for (int interlace = 0; interlace < 2; ++interlace)
            for (auto [w, h] : sizes) {
                const Picture p = RandomPicture(rng, f.type, f.depth, interlace, w, h);
                const Bytes png = WritePng(p, Compress(RawRows(p, rng)));
                SCOPED_TRACE(testing::Message() << "type " << +f.type << " depth " << +f.depth << " interlace "
                                                << interlace << " " << w << "x" << h);
                PngPicture pic;
                ASSERT_EQ(Decode(png, pic), PngLoad::Decoded);
                EXPECT_EQ(pic.width, int(w));
                EXPECT_EQ(pic.height, int(h));
                EXPECT_EQ(pic.alpha, f.type >= 4 || p.hasKey || !p.alphas.empty());
                EXPECT_EQ(pic.pixels, ExpectedBgra(p));
            }
}

Picture SmallPicture(std::uint8_t type, std::uint8_t depth, bool interlace)
{
    std::mt19937 rng(7);
    Picture p = RandomPicture(rng, type, depth, interlace, 9, 9);
    p.hasKey = false;
    p.alphas.clear();
    return p;
}

Bytes SmallPng(std::uint8_t type = 6, std::uint8_t depth = 8, bool interlace = true)
{
    std::mt19937 rng(3);
    const Picture p = SmallPicture(type, depth, interlace);
    return WritePng(p, Compress(RawRows(p, rng)));
}

void Put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

// Rewrites one chunk's data (and its CRC) by `edit`.
Bytes EditChunk(const Bytes& png, const std::string& type, const std::function<void(Bytes&)>& edit)
{
    Bytes out(png.begin(), png.begin() + 8);
    for (const ChunkAt& c : Chunks(png)) {
        Bytes data(png.begin() + c.offset + 8, png.begin() + c.offset + 8 + c.length);
        if (c.type == type)
            edit(data);
        AppendChunk(out, c.type, data);
    }
    return out;
}

Bytes WithoutChunk(const Bytes& png, const std::string& type)
{
    Bytes out(png.begin(), png.begin() + 8);
    for (const ChunkAt& c : Chunks(png))
        if (c.type != type)
            out.insert(out.end(), png.begin() + c.offset, png.begin() + c.offset + c.length + 12);
    return out;
}

// Cut anywhere before IEND the image data end before the rows do; IEND itself is never read.
TEST(PngReader, EveryTruncationBeforeIendFails)
{
    const Bytes png = SmallPng();
    PngPicture pic;
    for (std::size_t n = 0; n < png.size(); ++n)
        EXPECT_EQ(Decode(Bytes(png.begin(), png.begin() + n), pic) == PngLoad::Decoded, n >= png.size() - 12) << n;
    EXPECT_EQ(Decode(Bytes(png.begin(), png.begin() + 7), pic), PngLoad::NotPng);
}

TEST(PngReader, DamagedFilesFailQuietly)
{
    const Bytes png = SmallPng();
    std::vector<std::pair<std::string, Bytes>> cases;
    for (const ChunkAt& c : Chunks(png)) {
        if (c.type == "IEND")
            continue; // past the rows: see DataPastTheRowsAreIgnored
        Bytes bad = png;
        bad[c.offset + c.length + 11] ^= 1;
        cases.emplace_back("bad CRC of " + c.type, bad);
        Put32(bad, c.offset + c.length + 8, 0);
        cases.emplace_back("zero CRC of " + c.type, bad);
        for (std::uint32_t len : {0xFFFFFFF4u, 0x80000000u, c.length + 1, std::uint32_t(png.size())}) {
            Bytes b = png;
            Put32(b, c.offset, len);
            cases.emplace_back("length " + std::to_string(len) + " of " + c.type, b);
        }
    }
    cases.emplace_back("no IHDR", WithoutChunk(png, "IHDR"));
    cases.emplace_back("no IDAT", WithoutChunk(png, "IDAT"));
    cases.emplace_back("IHDR of 14 bytes", EditChunk(png, "IHDR", [](Bytes& d) { d.push_back(0); }));
    cases.emplace_back("RGB at depth 4", EditChunk(png, "IHDR", [](Bytes& d) { d[8] = 4, d[9] = 2; }));
    cases.emplace_back("palette at depth 16", EditChunk(png, "IHDR", [](Bytes& d) { d[8] = 16, d[9] = 3; }));
    cases.emplace_back("colour type 5", EditChunk(png, "IHDR", [](Bytes& d) { d[9] = 5; }));
    cases.emplace_back("interlace 2", EditChunk(png, "IHDR", [](Bytes& d) { d[12] = 2; }));
    cases.emplace_back("width 0", EditChunk(png, "IHDR", [](Bytes& d) { d[0] = d[1] = d[2] = d[3] = 0; }));
    cases.emplace_back("width 2^31", EditChunk(png, "IHDR", [](Bytes& d) { d[0] = 0x80; }));
    cases.emplace_back("bad zlib method", EditChunk(png, "IDAT", [](Bytes& d) { d[0] = 0x77, d[1] = 0x09; }));
    cases.emplace_back("bad zlib check bits", EditChunk(png, "IDAT", [](Bytes& d) { d[1] ^= 1; }));
    cases.emplace_back("bad Adler-32", EditChunk(png, "IDAT", [](Bytes& d) { d.back() ^= 1; }));
    cases.emplace_back("taller than its data", EditChunk(png, "IHDR", [](Bytes& d) { d[7] = 10; }));
    Bytes twoHeaders = png;
    twoHeaders.insert(twoHeaders.begin() + 33, png.begin() + 8, png.begin() + 33);
    cases.emplace_back("second IHDR", twoHeaders);
    for (int interlace = 0; interlace < 2; ++interlace) {
        std::mt19937 rng(1);
        const Picture p = SmallPicture(6, 8, interlace);
        Bytes raw = RawRows(p, rng);
        raw[0] = 5;
        cases.emplace_back("filter byte 5, interlace " + std::to_string(interlace), WritePng(p, Compress(raw)));
    }
    for (auto& [name, bytes] : cases) {
        PngPicture pic;
        EXPECT_EQ(Decode(bytes, pic), PngLoad::Failed) << name;
        EXPECT_TRUE(pic.pixels.empty()) << name;
    }
}

TEST(PngReader, PaletteRules)
{
    std::mt19937 rng(5);
    Picture p = RandomPicture(rng, 3, 4, false, 9, 9);
    p.alphas.clear();
    const Bytes raw = RawRows(p, rng), z = Compress(raw);
    PngPicture pic;

    Picture shortPalette = p; // an index past the entries is opaque black
    shortPalette.palette.resize(3 * 15);
    shortPalette.samples[40] = 15;
    ASSERT_EQ(Decode(WritePng(shortPalette, Compress(RawRows(shortPalette, rng))), pic), PngLoad::Decoded);
    EXPECT_EQ(Bytes(pic.pixels.begin() + 4 * (4 * 9 + 4), pic.pixels.begin() + 4 * (4 * 9 + 5)), (Bytes{0, 0, 0, 255}));

    const Bytes png = WritePng(p, z);
    EXPECT_EQ(Decode(EditChunk(png, "PLTE", [](Bytes& d) { d.pop_back(); }), pic), PngLoad::Failed);
    Bytes twoPalettes = png; // a second PLTE, and one after IDAT
    const auto chunks = Chunks(png);
    twoPalettes.insert(twoPalettes.begin() + chunks[1].offset, png.begin() + chunks[1].offset,
                       png.begin() + chunks[1].offset + chunks[1].length + 12);
    EXPECT_EQ(Decode(twoPalettes, pic), PngLoad::Failed);
    Bytes lateTrns = WithoutChunk(png, "IEND"); // tRNS after IDAT is out of place and dropped
    AppendChunk(lateTrns, "tRNS", {0, 0, 0});
    AppendChunk(lateTrns, "IEND", {});
    ASSERT_EQ(Decode(lateTrns, pic), PngLoad::Decoded);
    EXPECT_FALSE(pic.alpha);
    EXPECT_EQ(pic.pixels, ExpectedBgra(p));

    // Without PLTE a 1-bit palette picture is black and white; deeper ones are black.
    for (std::uint8_t depth : {1, 2}) {
        Picture bw = RandomPicture(rng, 3, depth, false, 8, 2);
        bw.palette.clear();
        bw.alphas.clear();
        ASSERT_EQ(Decode(WritePng(bw, Compress(RawRows(bw, rng))), pic), PngLoad::Decoded);
        for (std::size_t i = 0; i < 16; ++i) {
            const int white = depth == 1 && bw.samples[(1 - i / 8) * 8 + i % 8] == 1 ? 255 : 0;
            EXPECT_EQ(pic.pixels[4 * i], white) << i;
            EXPECT_EQ(pic.pixels[4 * i + 3], 255) << i;
        }
    }
}

// A header that claims 537 MB of rows against a few bytes of data is refused before any
// buffer of that size is made.
TEST(PngReader, BombFailsWithSmallPeakAllocation)
{
    Picture p;
    p.header = {8192, 8191, 16, 6, 0};
    Bytes png = WritePng(p, Compress(Bytes(4096, 0), 9));
    PngPicture pic;
    gLargest = 0;
    gTrack = true;
    const PngLoad result = Decode(png, pic);
    gTrack = false;
    EXPECT_EQ(result, PngLoad::Failed);
    EXPECT_LT(gLargest.load(), 64u * 1024);
}

// Rows of every layout (1 to 2 MB of them here), with and without interlace and with the image
// data in one chunk or in many, are unfiltered as our inflate makes them, with no buffer for them all.
TEST(PngReader, RowsDecodeWithoutABufferOfThemAll)
{
    std::mt19937 rng(4);
    for (const Format& f : {Format{6, 8}, Format{6, 16}, Format{2, 8}, Format{3, 1}})
        for (int interlace = 0; interlace < 2; ++interlace)
            for (std::size_t piece : {std::size_t{0}, std::size_t{8192}}) {
                const Picture p = RandomPicture(rng, f.type, f.depth, interlace, 512, 512);
                const Bytes png = WritePng(p, Compress(RawRows(p, rng)), piece);
                imaging::PngReader reader;
                ASSERT_EQ(reader.ReadChunks(png), PngLoad::Decoded);
                Bytes pixels(512 * 512 * 4);
                gLargest = 0;
                gTrack = true;
                const bool ok = reader.DecodeImageData(pixels);
                gTrack = false;
                SCOPED_TRACE(testing::Message() << "type " << +f.type << " depth " << +f.depth << " interlace " << interlace
                                                << " IDAT pieces of " << piece);
                ASSERT_TRUE(ok);
                EXPECT_EQ(pixels, ExpectedBgra(p));
                EXPECT_LT(gLargest.load(), 128u * 1024);
            }
}

// Never read past the last row: a row more and a bad Adler-32; a bad IDAT after the stream, no IEND.
TEST(PngReader, DataPastTheRowsAreIgnored)
{
    std::mt19937 rng(9);
    const Picture p = SmallPicture(6, 8, false);
    Picture shorter = p;
    shorter.header.height = 8;
    Bytes z = Compress(RawRows(p, rng)), damagedAfter = WithoutChunk(WritePng(p, z), "IEND");
    AppendChunk(damagedAfter, "IDAT", {1, 2, 3});
    damagedAfter.back() ^= 1;
    z.back() ^= 1;
    const Bytes all = ExpectedBgra(p), first8(all.begin() + 9 * 4, all.end());
    const std::pair<Bytes, const Bytes*> cases[] = {{WritePng(shorter, z), &first8}, {damagedAfter, &all}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        PngPicture pic;
        ASSERT_EQ(Decode(cases[i].first, pic), PngLoad::Decoded) << i;
        EXPECT_EQ(pic.pixels, *cases[i].second) << i;
    }
}

// The rows of a 1000 x 60 grey picture in a stored block, then a block of 20,000 other bytes and
// the checksum, in one chunk of more than the reader's 64 KB pieces: a byte damaged in its rows or
// after them refuses the file, as the chunk's CRC tells.
TEST(PngReader, TheChunkTheRowsEndInIsCheckedToItsEnd)
{
    std::mt19937 rng(38);
    const Picture p = RandomPicture(rng, 0, 8, false, 1000, 60);
    Bytes z = RawRows(p, rng);
    z.insert(z.begin(), {0x78, 0x01, 0, 0x9C, 0xEA, 0x63, 0x15}); // 60,060 bytes stored, not the last block
    z.insert(z.end(), {1, 0x20, 0x4E, 0xDF, 0xB1});             // the last: 20,000 bytes
    z.resize(z.size() + 20000 + 4);
    const Bytes png = WritePng(p, z);
    for (std::size_t flipped : {0, 100, 70000}) { // into the image data, before the CRC and IEND
        Bytes damaged = png;
        damaged[png.size() - 16 - z.size() + flipped] ^= flipped ? 1 : 0;
        PngPicture pic;
        EXPECT_EQ(Decode(damaged, pic), flipped ? PngLoad::Failed : PngLoad::Decoded) << flipped;
        EXPECT_EQ(pic.pixels, flipped ? Bytes() : ExpectedBgra(p)) << flipped;
    }
}

// 16 × 16 in a chunk, then one of 200 MB of stored zeros, of which the test holds 1 MB: little is read.
TEST(PngReader, TwoHundredMegabytesPastTheRowsAreNotRead)
{
    Picture p;
    p.header = {16, 16, 8, 0, 0};
    p.samples.assign(256, 0);
    Bytes rows = {0x78, 0x01, 0, 0x10, 0x01, 0xEF, 0xFE}; // a stored block of 272 bytes, not the last
    rows.resize(rows.size() + 16 * 17);
    Bytes file = WritePng(p, rows);
    file.resize(file.size() - 12); // without IEND
    const std::size_t idat = file.size();
    file.resize(1u << 20);
    Put32(file, idat, 200u << 20);
    std::memcpy(&file[idat + 4], "IDAT", 4);
    for (std::size_t at = idat + 8; at + 5 <= file.size(); at += 65540)
        std::memcpy(&file[at], "\0\xFF\xFF\0\0", 5);
    std::uint64_t furthest = 0;
    imaging::PngReader reader;
    ASSERT_EQ(reader.ReadChunks({idat + 12 + (200u << 20), [&](std::uint64_t at, std::size_t n) {
                                     furthest = std::max(furthest, at + n);
                                     return at + n <= file.size() ? imaging::PngSourceOf(file).read(at, n) : std::nullopt;
                                 }}),
              PngLoad::Decoded);
    Bytes pixels(16 * 16 * 4);
    gLargest = 0;
    gTrack = true;
    EXPECT_TRUE(reader.DecodeImageData(pixels) && pixels == ExpectedBgra(p));
    gTrack = false;
    EXPECT_FALSE(reader.Plain()) << "not one for GDI+, which would read it all";
    EXPECT_LT(furthest, 256u * 1024);
    EXPECT_LT(gLargest.load(), 128u * 1024);
}

} // namespace
