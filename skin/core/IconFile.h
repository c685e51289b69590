// The .ico file of one image in which a picture that is an icon is stored. Such files are read
// back through the engine's icon reader (imaging/core/IcoDirectory.h).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace skin {

// An .ico file holding the one bitmap image (a 40-byte header whose height counts the colour
// and the mask rows, the palette, the colour bits and the 1-bit mask, bottom row first); empty
// when the image is not one the engine's reader takes.
std::vector<std::uint8_t> WriteIconFile(std::span<const std::uint8_t> image);

} // namespace skin
