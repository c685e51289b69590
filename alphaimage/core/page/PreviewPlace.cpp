#include "alphaimage/core/page/PreviewPlace.h"

#include <cmath>

namespace aic {

namespace {

// Whole units, an exact half to the even neighbour, as every conversion here rounds.
int Round(double v) { return static_cast<int>(std::nearbyint(v)); }

int PixelsFromTwips(int twips, int dpi) { return dpi > 0 ? Round(twips * static_cast<double>(dpi) / 1440.0) : 0; }
int TwipsFromPixels(int pixels, int dpi) { return dpi > 0 ? Round(pixels * 1440.0 / dpi) : 0; }

} // namespace

PixelSize PreviewRoom(const TwipsBox& frame, int dpiX, int dpiY)
{
    return {PixelsFromTwips(frame.width, dpiX) - 2, PixelsFromTwips(frame.height, dpiY) - 2};
}

TwipsBox PreviewPlace(const TwipsBox& frame, PixelSize image, int dpiX, int dpiY)
{
    const int w = TwipsFromPixels(image.width, dpiX);
    const int h = TwipsFromPixels(image.height, dpiY);
    // The integer division truncates, as the page's own arithmetic does.
    return {frame.left + (frame.width - w) / 2, frame.top + (frame.height - h) / 2, w, h};
}

} // namespace aic
