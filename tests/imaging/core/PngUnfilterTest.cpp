// The row filters undone a pixel size at a time must give what the plain byte loops gave, on any row.
#include "imaging/core/PngUnfilter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

unsigned PaethOf(unsigned a, unsigned b, unsigned c)
{
    const int pa = std::abs(int(b) - int(c)), pb = std::abs(int(a) - int(c)), pc = std::abs(int(a + b) - 2 * int(c));
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// The filters byte by byte, as the format defines them; bytes left of the row and the row above a
// first row count as 0.
bool Reference(std::uint8_t filter, Bytes& row, const Bytes* prev, std::size_t unit)
{
    if (filter > 4)
        return false;
    for (std::size_t i = 0; i < row.size(); ++i) {
        const unsigned a = i >= unit ? row[i - unit] : 0, b = prev ? (*prev)[i] : 0;
        const unsigned c = prev && i >= unit ? (*prev)[i - unit] : 0;
        const unsigned add[5] = {0, a, b, (a + b) / 2, PaethOf(a, b, c)};
        row[i] = static_cast<std::uint8_t>(row[i] + add[filter]);
    }
    return true;
}

TEST(PngUnfilter, EveryPixelSizeAndFilterMatchesTheByteLoops)
{
    std::mt19937 rng(2048);
    for (int trial = 0; trial < 20000; ++trial) {
        const std::size_t units[] = {1, 2, 3, 4, 6, 8};
        const std::size_t unit = units[rng() % 6], n = unit * (rng() % 40);
        const auto filter = static_cast<std::uint8_t>(rng() % 6);
        Bytes row(n), above(n);
        // Runs of equal bytes as well as noise, so that Paeth's ties are met.
        for (std::size_t i = 0; i < n; ++i) {
            row[i] = static_cast<std::uint8_t>(rng() % 3 ? rng() : 0);
            above[i] = static_cast<std::uint8_t>(rng() % 2 ? rng() : row[i]);
        }
        const bool first = rng() % 4 == 0;
        Bytes expected = row;
        const bool ok = Reference(filter, expected, first ? nullptr : &above, unit);
        ASSERT_EQ(imaging::UnfilterPngRow(filter, row.data(), first ? nullptr : above.data(), n, unit), ok)
            << "filter " << +filter;
        if (ok) {
            ASSERT_EQ(row, expected) << "filter " << +filter << " unit " << unit << " bytes " << n << " first " << first;
        }
    }
}

} // namespace
