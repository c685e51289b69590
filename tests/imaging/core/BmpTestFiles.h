// BMP files for the reader's tests: headers of any layout over a given colour table and pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

namespace bmptest {

using Bytes = std::vector<std::uint8_t>;

struct Layout {
    std::int32_t width = 3, height = 2;
    std::uint16_t bits = 32;
    std::uint32_t compression = 0, headerSize = 40, sizeImage = 0, used = 0;
    Bytes table = {};                         // colour table or masks after the headers
    std::optional<std::uint32_t> offset = {}; // of the pixel data, else right after the table
};

inline void Put(Bytes& b, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        b.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Little-endian 32-bit words: pixels, colours, masks.
inline Bytes Words(std::initializer_list<std::uint32_t> words)
{
    Bytes b;
    for (std::uint32_t w : words)
        Put(b, w, 4);
    return b;
}

// A BMP file of `l` whose pixel data are `data`; a header of another size than 12 or at least
// 40 bytes is left 0.
inline Bytes File(const Layout& l, const Bytes& data)
{
    const auto offset = static_cast<std::uint32_t>(14 + l.headerSize + l.table.size());
    Bytes b{'B', 'M'};
    for (std::uint32_t v : {offset + std::uint32_t(data.size()), 0u, l.offset.value_or(offset), l.headerSize})
        Put(b, v, 4);
    const int side = l.headerSize == 12 ? 2 : 4; // the oldest header's sizes take 16 bits
    if (l.headerSize == 12 || l.headerSize >= 40)
        for (auto [v, size] : {std::pair{std::uint32_t(l.width), side}, {std::uint32_t(l.height), side}, {1u, 2}, {l.bits, 2}})
            Put(b, v, size);
    if (l.headerSize >= 40)
        for (std::uint32_t v : {l.compression, l.sizeImage, 0u, 0u, l.used, 0u})
            Put(b, v, 4);
    b.resize(14 + l.headerSize);
    b.insert(b.end(), l.table.begin(), l.table.end());
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

} // namespace bmptest

namespace bmptest {

// Run-length streams of a 5 x 3 picture over a table of four colours, and what the system's
// drawing makes of each once opaque: a character a pixel, bottom row first, a digit the table's
// colour and '.' black.
struct RunsCase { const char* what; int bits; Bytes runs; const char* drawn; };
inline const RunsCase kRunsCases[] = {
    {"rows ended by end of line", 8, {4, 1, 0, 0, 5, 2, 0, 0, 5, 3, 0, 1}, "1111. 22222 33333"},
    {"end of bitmap in a row", 8, {2, 1, 0, 0, 3, 2, 0, 1}, "11... 222.. ....."},
    {"end of line after a full row", 8, {5, 1, 0, 0, 0, 0, 5, 3, 0, 1}, "11111 ..... 33333"},
    {"delta right and up", 8, {1, 1, 0, 2, 2, 1, 1, 2, 0, 1}, "1.... ...2. ....."},
    {"indexes past the table", 8, {2, 7, 1, 3, 2, 255, 0, 1}, "..3.. ..... ....."},
    {"run past the row's end is clipped", 8, {7, 1, 2, 2, 0, 0, 1, 3, 0, 1}, "11111 3.... ....."},
    {"odd absolute run and its pad", 8, {0, 3, 1, 2, 3, 0, 2, 1, 0, 1}, "12311 ..... ....."},
    {"absolute run past the row's end", 8, {0, 7, 1, 2, 3, 1, 2, 3, 1, 0, 1, 2, 0, 1}, "12312 ..... ....."},
    {"delta past the row and the top", 8, {1, 1, 0, 2, 9, 0, 1, 2, 0, 0, 1, 3, 0, 2, 0, 9, 1, 1, 0, 1}, "1.... 3.... ....."},
    {"no end of bitmap: the row in progress is lost", 8, {5, 1, 0, 0, 2, 2}, "11111 ..... ....."},
    {"no end of bitmap after a delta", 8, {1, 1, 0, 2, 1, 0, 1, 2}, "1.... ..... ....."},
    {"cut in an absolute run", 8, {5, 1, 0, 0, 1, 2, 0, 4, 3, 3}, "11111 ..... ....."},
    {"cut after a delta's escape", 8, {2, 1, 0, 2, 1}, "11... ..... ....."},
    {"absolute run without its pad", 8, {0, 3, 1, 2, 3, 0, 1}, "..... ..... ....."},
    {"nibbles alternate, absolute runs padded", 4, {5, 0x12, 0, 0, 0, 5, 0x12, 0x31, 0x20, 0, 0, 0, 0, 3, 0x30, 0x10, 0, 1},
     "12121 12312 301.."},
    {"nibbles past the table, a run past the row's end", 4, {7, 0x73, 0, 0, 0, 2, 2, 0, 1, 0x22, 0, 1}, ".3.3. ..2.. ....."},
    {"cut in a 4-bit absolute run", 4, {5, 0x11, 0, 0, 0, 5, 0x23}, "11111 ..... ....."},
};

// A file of runs whose header states `size` bytes of data: colour i is 0x10 + i in each channel,
// over a fourth byte the system ignores.
inline Bytes RunsFile(int bits, const Bytes& runs, std::size_t size)
{
    return File({.width = 5, .height = 3, .bits = std::uint16_t(bits), .compression = bits == 8 ? 1u : 2u,
                 .sizeImage = std::uint32_t(size), .used = 4, .table = Words({0x80101010, 0x80111111, 0x80121212, 0x80131313})},
                runs);
}

} // namespace bmptest
