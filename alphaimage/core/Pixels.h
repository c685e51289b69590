// A picture as the image control keeps it.
#pragma once

#include <cstdint>
#include <vector>

namespace aic {

// Premultiplied 32-bit pixels (blue, green, red, alpha), top row first.
struct PremultipliedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width * height * 4 bytes
    bool Empty() const { return width <= 0 || height <= 0; }
};

} // namespace aic
