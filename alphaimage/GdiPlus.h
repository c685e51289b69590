// The few GDI+ flat-API calls the alpha image control draws with, bound once from
// gdiplus.dll at run time (the library may be missing) and started once per process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

namespace aic {

// A picture as premultiplied 32-bit pixels (blue, green, red, alpha), top row first.
struct PremultipliedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width * height * 4 bytes
    bool Empty() const { return width <= 0 || height <= 0; }
};

// True when GDI+ is present and started.
bool GdiPlusReady();

// Decodes image file bytes (PNG and whatever else GDI+ reads); empty on failure.
PremultipliedImage DecodeImage(std::span<const std::uint8_t> bytes);

// Draws `src` scaled into the rectangle (x, y, w, h) of `dst`, blending over what `dst`
// holds, with high-quality interpolation.
bool DrawScaled(PremultipliedImage& dst, const PremultipliedImage& src, int x, int y, int w, int h);

// Draws `src` at (0, 0), actual size, onto a device context, blending with its alpha.
bool DrawToDC(HDC dc, const PremultipliedImage& src);

} // namespace aic
