// PNG row filters for writing: each row's filter type byte and its filtered bytes, with a fixed
// filter or the cheapest one per row; and the Paeth predictor, which unfiltering shares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace imaging {

// Whichever of left, above and upper left lies nearest to left + above - upper left; ties go to
// left, then above.
constexpr int PaethPredictor(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = p > a ? p - a : a - p, pb = p > b ? p - b : b - p, pc = p > c ? p - c : c - p;
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// The filter setting: 0 the colour type's own (Paeth for RGB and RGBA, none for grey and
// palette), 1 to 5 filter type setting − 1 on every row, 6 the cheapest per row; any other
// value counts as 0. The filter type every row gets, or -1 for the choice per row.
int FilterTypeForSetting(int setting, std::uint8_t colourType);

// The filter of least cost for `row` under `above` (empty for the top row) with pixels of
// `unit` bytes: the sum of the filtered bytes as signed differences. None, Sub, Up, Average and
// Paeth are tried in that order, the last three not on the top row, and a later one wins a tie.
std::uint8_t ChooseFilter(std::span<const std::uint8_t> row, std::span<const std::uint8_t> above, std::size_t unit);

// Writes the type byte and `row` filtered by it into `out`, 1 + row.size() bytes.
void FilterRow(std::uint8_t type, std::span<const std::uint8_t> row, std::span<const std::uint8_t> above,
               std::size_t unit, std::span<std::uint8_t> out);

} // namespace imaging
