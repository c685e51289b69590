// The CRC folded by carry-less multiplies against the table path and zlib's crc32: lengths about
// the fold's threshold and its 16- and 64-byte steps, at every alignment of a 16-byte load.
#include "imaging/core/Crc32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string_view>
#include <vector>

TEST(Crc32, FoldingMatchesTheTablesAndZlibAtEveryLengthAndAlignment)
{
    std::mt19937 rng(32);
    std::vector<std::uint8_t> bytes(65536 + 64);
    for (std::uint8_t& b : bytes)
        b = static_cast<std::uint8_t>(rng());
    const std::size_t lengths[] = {0, 1, 15, 16, 255, 256, 257, 271, 272, 304, 319, 320, 321, 1000, 65536 + 13};
    for (std::size_t offset = 0; offset < 16; ++offset)
        for (const std::size_t n : lengths)
            for (const std::uint32_t start : {0u, 0xCBF43926u}) {
                const std::span<const std::uint8_t> data(bytes.data() + offset, n);
                const auto expected = static_cast<std::uint32_t>(crc32(start, data.data(), static_cast<uInt>(n)));
                EXPECT_EQ(imaging::Crc32(data, start), expected) << "offset " << offset << " length " << n;
                EXPECT_EQ(imaging::Crc32BySlices(data, start), expected) << "offset " << offset << " length " << n;
            }
    constexpr std::string_view check = "123456789";
    EXPECT_EQ(imaging::Crc32({reinterpret_cast<const std::uint8_t*>(check.data()), check.size()}), 0xCBF43926u);
}
