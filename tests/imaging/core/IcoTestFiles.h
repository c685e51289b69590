// The tests' own icon writer: bitmap images of every depth with random colours and masks, and
// files of such images and PNG streams behind a directory made from their headers.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace icotest {

using Bytes = std::vector<std::uint8_t>;

enum class Alpha { Random, Zero }; // the alpha bytes of a 32-bit image

void Put32(Bytes& b, std::size_t at, std::uint32_t v);
// A bitmap image of w x h at `bits`: random colour bits, mask and full colour table.
Bytes BitmapImage(std::mt19937& rng, int w, int h, int bits, Alpha alpha = Alpha::Random);
// An icon (type 1) or cursor (type 2) file of the images, each entry's sizes and bit count taken
// from its bitmap header or its PNG IHDR.
Bytes IcoFile(std::uint16_t type, const std::vector<Bytes>& images);

} // namespace icotest
