// BMP files for the reader's tests: headers of any layout over a given colour table and pixels.
#pragma once

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
