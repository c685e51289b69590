#include "imaging/core/Crc32.h"

#include "imaging/core/SpanReader.h"

#include <array>

namespace imaging {

namespace {

// Four tables: slicing by four bytes keeps large IDAT checks off the per-byte path.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 4>;

constexpr CrcTables MakeTables()
{
    CrcTables t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (std::size_t n = 0; n < 256; ++n)
        for (std::size_t k = 1; k < 4; ++k)
            t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
    return t;
}

constexpr CrcTables kTables = MakeTables();

} // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> data, std::uint32_t crc)
{
    std::uint32_t c = ~crc;
    SpanReader in(data);
    while (const auto word = in.TakeFixed<4>()) {
        c ^= LoadLe32(*word);
        c = kTables[3][c & 0xFF] ^ kTables[2][(c >> 8) & 0xFF] ^ kTables[1][(c >> 16) & 0xFF] ^ kTables[0][c >> 24];
    }
    while (const auto byte = in.U8())
        c = kTables[0][(c ^ *byte) & 0xFF] ^ (c >> 8);
    return ~c;
}

} // namespace imaging
