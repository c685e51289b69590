// The .ico file of one image in which a picture that is an icon is stored: the directory that
// leads to the image, and the checks its bytes must pass before the system is handed them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace skin {

// An icon image as an .ico file holds it: a 40-byte bitmap header whose height counts the
// colour rows and the mask rows, the palette, the colour bits and the 1-bit mask, bottom row first.
struct IconImage {
    int width = 0, height = 0, bitCount = 0;
    std::span<const std::uint8_t> bytes; // within the bytes it was read from
};

// The image's sizes when its header is one this format allows and the bytes hold all it describes.
std::optional<IconImage> CheckIconImage(std::span<const std::uint8_t> image);

// True when the bytes begin as an .ico file does (reserved 0, type 1).
bool IsIconFile(std::span<const std::uint8_t> bytes);

// An .ico file holding the one image; empty when CheckIconImage refuses it.
std::vector<std::uint8_t> WriteIconFile(std::span<const std::uint8_t> image);

// The first image of an .ico file; nothing when the directory points outside the bytes,
// disagrees with the image's header, or the image fails CheckIconImage.
std::optional<IconImage> ReadIconFile(std::span<const std::uint8_t> file);

} // namespace skin
