// Lightening or darkening of premultiplied pixels, each colour kept between 0 and its alpha.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace imaging {

class Lightness {
public:
    // `percent` -100 (every colour to 0) to 100 (every colour to its alpha); anything else,
    // NaN included, changes nothing.
    explicit Lightness(float percent);

    bool Changes() const { return amount_ != 0; }
    // Adjusts every pixel with alpha above 0; transparent pixels are not written.
    void Apply(std::span<std::uint8_t> pixels) const;
    // The same, from `source` into as many pixels of `target` as both hold.
    void Apply(std::span<const std::uint8_t> source, std::span<std::uint8_t> target) const;

private:
    float amount_ = 0; // D = percent / 100 × 255
    std::array<int, 256> shift_{}; // m for each alpha: round(a × D) \ 255
};

} // namespace imaging
