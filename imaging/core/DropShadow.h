// The soft shadow of a picture: its silhouette in one colour, the alpha averaged over a square
// box, on a canvas larger by the blur margin on every side.
#pragma once

#include "imaging/core/PixelView.h"

#include <cstdint>

namespace imaging {

// The margin b of a blur depth: the depth limited to 0 to 10.
int ShadowMargin(int blurDepth);

// Writes into `shadow` ((W + 2b) x (H + 2b) for a W x H source) alpha = the sum of the source
// alpha over the (2b + 1)² box whose far corner is the same position in the source, divided by
// the box's area (truncated), and `colour` (red in the low byte, then green and blue; higher
// bits ignored) premultiplied by it. Only the source's alpha is read. False when the sizes don't
// fit; nothing is written then.
bool BlurShadow(const PixelView& source, int margin, std::uint32_t colour, const PixelView& shadow);

} // namespace imaging
