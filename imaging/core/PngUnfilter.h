// PNG row filters undone in place.
#pragma once

#include <cstddef>
#include <cstdint>

namespace imaging {

// Undoes filter `filter` of a row of `n` bytes; `prev` is the unfiltered row above, or null for
// the first row of an image or pass; `unit` is the bytes of a whole pixel (1 for packed samples:
// 1, 2, 3, 4, 6 or 8). Fails on a filter type above 4 or another pixel size.
bool UnfilterPngRow(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* prev, std::size_t n, std::size_t unit);

} // namespace imaging
