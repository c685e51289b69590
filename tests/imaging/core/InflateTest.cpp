#include "imaging/core/Inflate.h"

#include "imaging/core/Adler32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// zlib's verdict on the same stream with the same room for output.
std::optional<Bytes> ZlibInflate(const Bytes& in, std::size_t room)
{
    Bytes out(room ? room : 1);
    uLongf n = room;
    if (uncompress(out.data(), &n, in.data(), static_cast<uLong>(in.size())) != Z_OK)
        return std::nullopt;
    out.resize(n);
    return out;
}

// Our inflates: into one buffer, streamed, and streamed from the input in pieces of 1 to 5,000
// bytes. The streamed ones are stopped by their sink where the room ends, and all must agree.
std::optional<Bytes> OwnInflate(const Bytes& in, std::size_t room)
{
    Bytes out(room);
    const auto n = imaging::InflateData(in, out);
    std::mt19937 rng(static_cast<unsigned>(in.size()));
    std::size_t at = 0;
    const imaging::InflateSource pieces = [&]() -> std::span<const std::uint8_t> {
        const std::size_t size = std::min<std::size_t>(in.size() - at, 1 + rng() % (rng() % 2 ? 16 : 5000));
        at += size;
        return {in.data() + at - size, size};
    };
    for (bool inPieces : {false, true}) {
        Bytes streamed;
        const imaging::InflateSink sink = [&](std::span<const std::uint8_t> b) {
            if (b.size() > room - streamed.size())
                return false;
            streamed.insert(streamed.end(), b.begin(), b.end());
            return true;
        };
        const auto m = inPieces ? imaging::InflateDataTo(pieces, sink) : imaging::InflateDataTo(in, sink);
        EXPECT_EQ(n, m) << "streamed, in pieces " << inPieces;
        if (n) {
            EXPECT_EQ(streamed, Bytes(out.begin(), out.begin() + *n)) << "streamed, in pieces " << inPieces;
        }
    }
    if (!n)
        return std::nullopt;
    out.resize(*n);
    return out;
}

Bytes Deflate(const Bytes& data, int level, int strategy)
{
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy);
    Bytes out(deflateBound(&z, static_cast<uLong>(data.size())));
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::vector<std::pair<std::string, Bytes>> Samples()
{
    std::mt19937 rng(162);
    Bytes random(70000), skewed(200000), runs;
    for (auto& b : random)
        b = static_cast<std::uint8_t>(rng());
    for (std::size_t i = 0; i < skewed.size(); ++i) // short alphabet with long repeats
        skewed[i] = rng() % 4 ? static_cast<std::uint8_t>(rng() % 5) : skewed[i / 2];
    while (runs.size() < 400000) // long matches, which meet the end of a streamed window
        runs.insert(runs.end(), 100 + rng() % 2000, static_cast<std::uint8_t>(rng() % 3));
    std::ifstream self("/proc/self/exe", std::ios::binary);
    Bytes real(std::istreambuf_iterator<char>(self), {});
    real.resize(std::min<std::size_t>(real.size(), 400000));
    return {{"random", random}, {"skewed", skewed}, {"runs", runs}, {"executable", real}, {"empty", {}}};
}

TEST(Inflate, MatchesZlibAtEveryLevelAndStrategy)
{
    for (const auto& [name, data] : Samples())
        for (int strategy : {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED})
            for (int level = 0; level <= 9; ++level) {
                const Bytes z = Deflate(data, level, strategy);
                EXPECT_EQ(OwnInflate(z, data.size()), std::optional<Bytes>(data)) << name << " " << strategy << " " << level;
                if (!data.empty()) { // one byte short of room fails, as in zlib
                    EXPECT_FALSE(OwnInflate(z, data.size() - 1)) << name;
                }
            }
}

TEST(Inflate, EveryTruncatedPrefixFails)
{
    Bytes data = Samples()[1].second;
    data.resize(3000);
    for (int strategy : {Z_DEFAULT_STRATEGY, Z_FIXED}) {
        const Bytes z = Deflate(data, 0, strategy), d = Deflate(data, 9, strategy);
        for (const Bytes* s : {&z, &d})
            for (std::size_t n = 0; n < s->size(); ++n)
                EXPECT_FALSE(OwnInflate(Bytes(s->begin(), s->begin() + n), data.size())) << n;
    }
}

// At the lengths around the checksum's blocks of 16 and runs of 64 KB, and past the size up to
// which the widest vectors sum, with the bytes and the starting sums that push the sums highest.
TEST(Inflate, Adler32MatchesZlib)
{
    const Bytes ones(300000, 0xFF);
    for (std::size_t n : {std::size_t{0}, std::size_t{15}, std::size_t{16}, std::size_t{17}, std::size_t{65535},
                          std::size_t{65536}, std::size_t{65537}, 2 * std::size_t{65536} + 17, ones.size()})
        for (std::uint32_t start : {1u, 0xFFF0FFF0u})
            EXPECT_EQ(imaging::Adler32({ones.data(), n}, start), adler32(start, ones.data(), static_cast<uInt>(n))) << n << " " << start;
}

// Writes deflate bits: fields least significant bit first, Huffman codes most significant first.
struct BitWriter {
    Bytes bytes = {0x78, 0x9C};
    unsigned acc = 0, n = 0;
    BitWriter& Bits(unsigned v, unsigned count)
    {
        for (unsigned i = 0; i < count; ++i, v >>= 1) {
            acc |= (v & 1) << n;
            if (++n == 8)
                bytes.push_back(static_cast<std::uint8_t>(acc)), acc = n = 0;
        }
        return *this;
    }
    BitWriter& Code(unsigned code, unsigned len)
    {
        for (unsigned i = len; i-- > 0;)
            Bits(code >> i, 1);
        return *this;
    }
    BitWriter& Fixed(unsigned sym) // fixed literal/length code
    {
        return sym < 144 ? Code(0x30 + sym, 8) : sym < 256 ? Code(0x190 + sym - 144, 9) : sym < 280 ? Code(sym - 256, 7) : Code(0xC0 + sym - 280, 8);
    }
    // A dynamic block header whose code-length code gives 0 to 15 four bits each.
    BitWriter& Dynamic(const Bytes& lit, const Bytes& dist)
    {
        Bits(2, 2).Bits(static_cast<unsigned>(lit.size() - 257), 5).Bits(static_cast<unsigned>(dist.size() - 1), 5).Bits(15, 4);
        const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
        for (int sym : order)
            Bits(sym < 16 ? 4 : 0, 3);
        for (const Bytes* l : {&lit, &dist})
            for (std::uint8_t v : *l)
                Code(v, 4);
        return *this;
    }
    Bytes Finish(const Bytes& expected)
    {
        if (n)
            bytes.push_back(static_cast<std::uint8_t>(acc));
        acc = n = 0;
        const uLong a = adler32(1, expected.data(), static_cast<uInt>(expected.size()));
        for (int s = 24; s >= 0; s -= 8)
            bytes.push_back(static_cast<std::uint8_t>(a >> s));
        return bytes;
    }
};

Bytes Lengths(std::initializer_list<std::pair<unsigned, std::uint8_t>> codes, std::size_t count)
{
    Bytes l(count, 0);
    for (auto [sym, len] : codes)
        l[sym] = len;
    return l;
}

// Hand-made streams for the rules a compressor never breaks; each verdict must be zlib's too.
TEST(Inflate, HandMadeStreamsAgreeWithZlib)
{
    const Bytes a4 = {'a', 'a', 'a', 'a'};
    // Dynamic codes: 257 -> 0, 'a' -> 10, 256 -> 11; the distance code is given per case.
    const Bytes lit = Lengths({{'a', 2}, {256, 2}, {257, 1}}, 258);
    struct Case {
        const char* name;
        Bytes stream;
        std::optional<Bytes> result;
    };
    const Case cases[] = {
        {"distance 1, length 10", BitWriter().Bits(1, 1).Bits(1, 2).Fixed('x').Fixed(264).Code(0, 5).Fixed(256).Finish(Bytes(11, 'x')), Bytes(11, 'x')},
        {"single one-bit distance code", BitWriter().Bits(1, 1).Dynamic(lit, {1}).Code(2, 2).Code(0, 1).Code(0, 1).Code(3, 2).Finish(a4), a4},
        {"empty distance code", BitWriter().Bits(1, 1).Dynamic(lit, {0}).Code(2, 2).Code(3, 2).Finish({'a'}), Bytes{'a'}},
        {"empty distance code used", BitWriter().Bits(1, 1).Dynamic(lit, {0}).Code(2, 2).Code(0, 1).Code(0, 1).Code(3, 2).Finish(a4), {}},
        {"one-bit distance code's missing half", BitWriter().Bits(1, 1).Dynamic(lit, {1}).Code(2, 2).Code(0, 1).Code(1, 1).Code(3, 2).Finish(a4), {}},
        {"incomplete literal code", BitWriter().Bits(1, 1).Dynamic(Lengths({{'a', 2}, {256, 2}}, 257), {1}).Code(2, 2).Code(3, 2).Finish({'a'}), {}},
        {"over-subscribed literal code", BitWriter().Bits(1, 1).Dynamic(Lengths({{'a', 1}, {256, 1}, {257, 1}}, 258), {1}).Code(0, 1).Finish({'a'}), {}},
        {"no end-of-block code", BitWriter().Bits(1, 1).Dynamic(Lengths({{'a', 1}, {257, 1}}, 258), {1}).Code(0, 1).Finish({'a'}), {}},
        {"length symbol 286", BitWriter().Bits(1, 1).Bits(1, 2).Fixed('x').Fixed(286).Code(0, 5).Fixed(256).Finish({'x', 'x', 'x', 'x'}), {}},
        {"length symbol 287", BitWriter().Bits(1, 1).Bits(1, 2).Fixed('x').Fixed(287).Code(0, 5).Fixed(256).Finish({'x', 'x', 'x', 'x'}), {}},
        {"distance symbol 30", BitWriter().Bits(1, 1).Bits(1, 2).Fixed('x').Fixed(257).Code(30, 5).Fixed(256).Finish({'x', 'x', 'x', 'x'}), {}},
        {"distance before the start", BitWriter().Bits(1, 1).Bits(1, 2).Fixed('x').Fixed(257).Code(1, 5).Fixed(256).Finish({'x', 'x', 'x', 'x'}), {}},
        {"block type 3", BitWriter().Bits(1, 1).Bits(3, 2).Finish({}), {}},
        {"stored block", BitWriter().Bits(1, 1).Bits(0, 2).Bits(0, 5).Bits(2, 16).Bits(0xFFFD, 16).Bits('h', 8).Bits('i', 8).Finish({'h', 'i'}), Bytes{'h', 'i'}},
        {"stored block, bad NLEN", BitWriter().Bits(1, 1).Bits(0, 2).Bits(0, 5).Bits(2, 16).Bits(0xFFFC, 16).Bits('h', 8).Bits('i', 8).Finish({'h', 'i'}), {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OwnInflate(c.stream, 64), c.result) << c.name;
        EXPECT_EQ(ZlibInflate(c.stream, 64), c.result) << c.name << " (zlib)";
    }
    Bytes good = cases[0].stream;
    const Bytes expected(11, 'x');
    struct Damage {
        const char* name;
        std::size_t at;
        std::uint8_t value;
        bool decodes;
    };
    const Damage damages[] = {
        {"preset dictionary", 1, 0xBB, false}, {"method 7", 0, 0x77, false}, {"window of 64 KB", 0, 0x88, false},
        {"check bits", 1, 0x9D, false},        {"Adler-32", good.size() - 1, 0, false},
    };
    for (const Damage& d : damages) {
        Bytes s = good;
        s[d.at] = d.value;
        EXPECT_EQ(OwnInflate(s, 64).has_value(), d.decodes) << d.name;
        EXPECT_EQ(ZlibInflate(s, 64).has_value(), d.decodes) << d.name << " (zlib)";
    }
    good.insert(good.end(), {1, 2, 3}); // bytes after the stream are ignored
    EXPECT_EQ(OwnInflate(good, 64), std::optional<Bytes>(expected));
}

} // namespace
