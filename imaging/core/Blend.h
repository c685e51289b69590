// The per-pixel blend of premultiplied pixels onto a target: constant opacity on top of each
// pixel's alpha, optionally turned to grey, onto 32-bit pixels (with alpha) or onto the 24-bit
// rows of a device context's copy. Integer division truncates, as the engine's pixel rules say.
#pragma once

#include "imaging/core/PixelView.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace imaging {

// A 24-bit picture's bytes seen as rows of 3 bytes a pixel (blue, green, red), row 0 first in
// memory; rows `stride` bytes apart. Never reaches past the span it was made over.
class Bgr24View {
public:
    static std::optional<Bgr24View> Over(std::span<std::uint8_t> bytes, int width, int height, std::size_t stride);

    int Width() const { return width_; }
    int Height() const { return height_; }
    std::span<std::uint8_t> Row(int memoryRow) const
    {
        return bytes_.subspan(static_cast<std::size_t>(memoryRow) * stride_, static_cast<std::size_t>(width_) * 3);
    }
    std::span<std::uint8_t> RowFromTop(int y) const { return Row(height_ - 1 - y); }

private:
    Bgr24View(std::span<std::uint8_t> bytes, int width, int height, std::size_t stride)
        : bytes_(bytes), width_(width), height_(height), stride_(stride)
    {
    }
    std::span<std::uint8_t> bytes_;
    int width_;
    int height_;
    std::size_t stride_;
};

// One of the eight blend loops (target kind, colour or grey, full or partial opacity), chosen
// once a draw. `opacity` is the byte k (0 to 255); `grayScale` -1 for colour, else a mode of
// GrayWeightsForMode.
class Blender {
public:
    Blender(int opacity, int grayScale);

    // Blends as many pixels as both rows hold. A source pixel with alpha 0 leaves its target
    // pixel alone; a channel whose result passes 255 (a colour above its alpha) too.
    void Row(std::span<const std::uint8_t> source, std::span<std::uint8_t> target32) const;
    void Row24(std::span<const std::uint8_t> source, std::span<std::uint8_t> target24) const;

    bool Colour() const { return colour_; }
    unsigned Opacity() const { return params_.opacity; }

    struct Params {
        unsigned opacity;
        float wBlue, wGreen, wRed;
    };
    using Loop = void (*)(const std::uint8_t* source, std::uint8_t* target, std::size_t pixels, const Params& params);

private:
    Params params_;
    bool colour_;
    Loop loop32_;
    Loop loop24_;
};

// Rounds to the nearest integer, halves to the even one, without touching the floating-point
// environment (MinGW's nearbyint saves and restores it on every call).
int RoundHalfEven(float value);

// The grey value of premultiplied bytes: blue × wB + green × wG + red × wR in single
// precision, rounded.
int GreyOf(unsigned blue, unsigned green, unsigned red, const Blender::Params& params);

} // namespace imaging
