// In-place effects on premultiplied pixels and the mirrored copy of a rectangle.
#pragma once

#include "imaging/core/PixelView.h"
#include "imaging/core/Resample.h"

#include <cstdint>

namespace imaging {

// Copies `rect` of the picture as it looks mirrored (left and right swapped when
// `horizontal`, top and bottom when `vertical`) into `target` from its top-left corner, cut to
// the target's size. False, and nothing written, when `rect` is empty or leaves the source.
bool MirrorRect(const PixelView& source, PixelRect rect, bool horizontal, bool vertical, const PixelView& target);

// Mirrors the whole picture in place.
void MirrorInPlace(const PixelView& pixels, bool horizontal, bool vertical);

// Each colour c of a visible pixel becomes alpha - c: the inverted colour, still premultiplied.
// A colour above its alpha is left as it was.
void InvertColours(const PixelView& pixels);

// Pixels equal to `key` (4 bytes in memory order blue, green, red, alpha) become 0, 0, 0, 0;
// true when any did.
bool ClearPixelsOf(const PixelView& pixels, const std::uint8_t (&key)[4]);
// Pixels that are 0, 0, 0, 0 become `key`.
void FillClearPixels(const PixelView& pixels, const std::uint8_t (&key)[4]);

} // namespace imaging
