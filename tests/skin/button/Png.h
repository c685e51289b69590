// Minimal PNG files for the reference renders: 8-bit RGBA, written with stored (uncompressed)
// deflate blocks, and read back only in that same form.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba; // rows top first
    std::uint32_t Pixel(int x, int y) const; // 0x00RRGGBB
};

std::string EncodePng(const Image& image);
// False when the bytes are not a PNG of the form EncodePng writes.
bool DecodePng(const std::string& bytes, Image& out);

} // namespace test
