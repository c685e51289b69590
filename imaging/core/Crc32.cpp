#include "imaging/core/Crc32.h"

#include "imaging/core/SpanReader.h"

#include <array>

namespace imaging {

namespace {

// Eight tables: slicing by eight bytes keeps large IDAT checks off the per-byte path.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

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
        for (std::size_t k = 1; k < 8; ++k)
            t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
    return t;
}

constexpr CrcTables kTables = MakeTables();

} // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> data, std::uint32_t crc)
{
    std::uint32_t c = ~crc;
    SpanReader in(data);
    while (const auto words = in.TakeFixed<8>()) {
        c ^= LoadLe32(words->first<4>());
        const std::uint32_t d = LoadLe32(words->last<4>());
        c = kTables[7][c & 0xFF] ^ kTables[6][(c >> 8) & 0xFF] ^ kTables[5][(c >> 16) & 0xFF] ^ kTables[4][c >> 24] ^
            kTables[3][d & 0xFF] ^ kTables[2][(d >> 8) & 0xFF] ^ kTables[1][(d >> 16) & 0xFF] ^ kTables[0][d >> 24];
    }
    while (const auto byte = in.U8())
        c = kTables[0][(c ^ *byte) & 0xFF] ^ (c >> 8);
    return ~c;
}

} // namespace imaging
