// A pixel view over memory that the caller owns: 32-bit pixels 0x00RRGGBB (the byte order of
// a 32-bit DIB), rows top first. Drawing clips to the view; lines leave out their end point,
// as GDI's do, so a line from (a, y) to (a - 1, y) paints the single pixel (a, y).
#pragma once

#include <cstdint>
#include <span>

namespace skin {

using Pixel = std::uint32_t;

// Channels of a colour; each 0 to 255 once clamped.
struct RgbChannels {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const RgbChannels&) const = default;
};

constexpr Pixel ToPixel(RgbChannels c)
{
    auto clamp = [](int v) { return static_cast<Pixel>(v < 0 ? 0 : v > 255 ? 255 : v); };
    return clamp(c.r) << 16 | clamp(c.g) << 8 | clamp(c.b);
}
constexpr RgbChannels FromPixel(Pixel p) { return RgbChannels{int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)}; }
// A COLORREF-style value 0x00BBGGRR split into channels.
constexpr RgbChannels FromColorRef(std::uint32_t c) { return RgbChannels{int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF)}; }

// A length designed at 96 DPI, at `dpi` (rounded like MulDiv for positive values).
constexpr int AtDpi(int design, int dpi)
{
    long long v = static_cast<long long>(design) * dpi;
    return static_cast<int>(v >= 0 ? (v + 48) / 96 : -((-v + 48) / 96));
}

class Canvas {
public:
    Canvas(std::span<Pixel> pixels, int width, int height, int stride)
        : px_(pixels), w_(width), h_(height), stride_(stride)
    {
    }
    Canvas(std::span<Pixel> pixels, int width, int height) : Canvas(pixels, width, height, width) {}

    int Width() const { return w_; }
    int Height() const { return h_; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
    Pixel At(int x, int y) const { return Inside(x, y) ? px_[Index(x, y)] : 0; }
    void Set(int x, int y, Pixel p)
    {
        if (Inside(x, y))
            px_[Index(x, y)] = p;
    }
    void Fill(Pixel p);
    // Row y from x1 towards x2, x2 itself left out.
    void Row(int x1, int x2, int y, Pixel p);
    // Any one-pixel line from (x1, y1) towards (x2, y2), the end point left out.
    void Line(int x1, int y1, int x2, int y2, Pixel p);

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * stride_ + x; }
    std::span<Pixel> px_;
    int w_;
    int h_;
    int stride_;
};

} // namespace skin
