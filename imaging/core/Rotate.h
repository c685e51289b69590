// The engine's own rotation: a window of a picture sampled through the inverse rotation and
// scaling into a square that holds the destination rectangle at any angle.
#pragma once

#include "imaging/core/PixelView.h"

#include <cstdint>

namespace imaging {

// A whole number of degrees (nearest, halves to even), the remainder modulo 360 keeping the
// angle's sign. NaN and infinities count as 0.
int WholeDegrees(float angle);

// Side of the rotation square: the diagonal of the destination rectangle, nearest, halves to
// even; 0 for a size below 1.
std::int64_t RotationSquareSide(std::int64_t destWidth, std::int64_t destHeight);

// Columns x..x+width-1 and memory rows y..y+height-1 (bottom-up) of the source.
struct RotationWindow {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Turns the window by `degrees` clockwise on screen, scaled to destWidth x destHeight, into the
// middle of `square` (RotationSquareSide of that size on each side, transparent). A point that
// falls outside the window leaves its square pixel as it is. Without `weighted` each pixel is an
// exact copy of a source pixel; with it, the two-by-two neighbours are weighted. False when the
// window does not lie in the source or a size is below 1; nothing is read or written outside
// the window and the square.
bool RotateIntoSquare(const PixelView& source, RotationWindow window, std::int64_t destWidth,
                      std::int64_t destHeight, int degrees, bool weighted, const PixelView& square);

} // namespace imaging
