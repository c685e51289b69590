// A vertical colour band: row 0 has the begin colour, row `steps` the end colour, each channel
// stepping by a 32-bit float and rounded to the nearest integer (a half to the even one).
// The title bar's background and the panel's title band are made of these.
#pragma once

#include "skin/core/Canvas.h"

namespace skin {

class Gradient {
public:
    // `steps` below 1 is taken as 1. `divisor` widens the run (the title bar's frame band
    // spreads its two colours over twice the rows).
    Gradient(RgbChannels begin, RgbChannels end, int steps, int divisor = 1);
    // Channels clamped to 0..255: rows outside 0..steps would overshoot.
    RgbChannels At(int row) const;
    Pixel PixelAt(int row) const { return ToPixel(At(row)); }

private:
    RgbChannels begin_;
    float sr_, sg_, sb_;
};

// Rounds to the nearest integer, an exact half to the even neighbour.
int Nearest(double v);

// Fills rows [top, bottom) between columns [left, right) with the band from `begin` at `top`
// to `end` at `bottom - 1`.
void FillVertical(Canvas& canvas, int left, int top, int right, int bottom, RgbChannels begin, RgbChannels end);

} // namespace skin
