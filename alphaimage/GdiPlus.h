// The few GDI+ flat-API calls the alpha image control draws with, bound once from
// gdiplus.dll at run time (the library may be missing) and started once per process.
#pragma once

#include "alphaimage/core/Pixels.h"

#include <windows.h>

#include <cstdint>
#include <span>

namespace aic {

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
