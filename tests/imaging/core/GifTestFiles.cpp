#include "GifTestFiles.h"

#include <algorithm>

namespace giftest {

namespace {

void Put16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

// The table's size as flags bits: 2^(n+1) entries.
std::uint8_t TableFlags(const Bytes& table)
{
    std::uint8_t n = 0;
    while ((6u << n) < table.size())
        ++n;
    return table.empty() ? 0 : static_cast<std::uint8_t>(0x80 | n);
}

// Rows in the order an interlaced frame stores them.
std::vector<unsigned> StoredRows(const Gif& g)
{
    std::vector<unsigned> rows;
    const unsigned start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (unsigned pass = 0; pass < (g.interlaced ? 4u : 1u); ++pass)
        for (unsigned y = g.interlaced ? start[pass] : 0; y < g.height; y += g.interlaced ? step[pass] : 1)
            rows.push_back(y);
    return rows;
}

// Every index a literal code of minCodeSize + 1 bits: a clear code comes before the table would
// grow to need another bit.
std::vector<Code> LiteralCodes(const Gif& g)
{
    const unsigned clear = 1u << g.minCodeSize, bits = g.minCodeSize + 1u, run = clear - 2;
    std::vector<Code> codes;
    unsigned sinceClear = run;
    for (unsigned y : StoredRows(g))
        for (unsigned x = 0; x < g.width; ++x) {
            if (sinceClear++ == run) {
                codes.push_back({clear, bits});
                sinceClear = 1;
            }
            codes.push_back({g.indexes[std::size_t{y} * g.width + x], bits});
        }
    codes.push_back({clear + 1, bits});
    return codes;
}

Bytes Image(const Gif& g, std::uint16_t size)
{
    Bytes b{0x2C, 0, 0, 0, 0};
    Put16(b, size ? size : g.width);
    Put16(b, size ? size : g.height);
    b.push_back(static_cast<std::uint8_t>(TableFlags(g.local) | (g.interlaced ? 0x40 : 0)));
    b.insert(b.end(), g.local.begin(), g.local.end());
    b.push_back(g.minCodeSize);
    return b;
}

} // namespace

Bytes Chain(const std::vector<Code>& codes, std::size_t blockSize)
{
    Bytes data;
    unsigned acc = 0, held = 0;
    for (const Code& c : codes) {
        acc |= c.value << held;
        for (held += c.bits; held >= 8; held -= 8, acc >>= 8)
            data.push_back(static_cast<std::uint8_t>(acc));
    }
    if (held)
        data.push_back(static_cast<std::uint8_t>(acc));
    Bytes chain;
    for (std::size_t at = 0; at < data.size(); at += blockSize) {
        const std::size_t n = std::min(blockSize, data.size() - at);
        chain.push_back(static_cast<std::uint8_t>(n));
        chain.insert(chain.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                     data.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    chain.push_back(0);
    return chain;
}

Bytes WriteGif(const Gif& g)
{
    Bytes b(g.signature.begin(), g.signature.end());
    Put16(b, g.width);
    Put16(b, g.height);
    b.insert(b.end(), {TableFlags(g.global), 0, 0});
    b.insert(b.end(), g.global.begin(), g.global.end());
    if (g.extras) {
        b.insert(b.end(), {0x21, 0xFE, 3, 'h', 'i', '!', 0, 0x21, 0xFF, 11});
        b.insert(b.end(), {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0});
    }
    if (g.transparent != -2)
        b.insert(b.end(), {0x21, 0xF9, 4, static_cast<std::uint8_t>(g.transparent >= 0), 0, 0,
                           static_cast<std::uint8_t>(g.transparent >= 0 ? g.transparent : 0), 0});
    const Bytes image = Image(g, 0), chain = Chain(LiteralCodes(g));
    b.insert(b.end(), image.begin(), image.end());
    b.insert(b.end(), chain.begin(), chain.end());
    if (g.extras) {
        // A second frame of one clear pixel, which must not show.
        Bytes second = Image(g, 1);
        const Bytes one = Chain({{1u << g.minCodeSize, g.minCodeSize + 1u}, {1, g.minCodeSize + 1u}});
        second.insert(second.end(), one.begin(), one.end());
        b.insert(b.end(), {0x21, 0xF9, 4, 1, 0, 0, 1, 0});
        b.insert(b.end(), second.begin(), second.end());
    }
    b.push_back(0x3B);
    return b;
}

std::size_t FirstImageEnd(const Gif& g)
{
    Gif first = g;
    first.extras = false;
    std::size_t end = WriteGif(first).size() - 1;
    return g.extras ? end + 26 : end; // the two extensions before
}

Bytes ExpectedBgra(const Gif& g)
{
    const Bytes& table = g.local.empty() ? g.global : g.local;
    Bytes out;
    for (unsigned y = g.height; y-- > 0;)
        for (unsigned x = 0; x < g.width; ++x) {
            const unsigned i = g.indexes[std::size_t{y} * g.width + x];
            if (int(i) == g.transparent || 3 * i >= table.size())
                out.insert(out.end(), {0, 0, 0, 0});
            else
                out.insert(out.end(), {table[3 * i + 2], table[3 * i + 1], table[3 * i], 255});
        }
    return out;
}

} // namespace giftest
