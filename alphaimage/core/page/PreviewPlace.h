// Where the image source page shows its preview: the room the image may fill inside the
// frame, and the fitted image centred in the frame. The page lays out in twips; the image's
// sizes are pixels at the page's DPI.
#pragma once

namespace aic {

struct TwipsBox {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipsBox&) const = default;
};

struct PixelSize {
    int width = 0, height = 0;
    bool operator==(const PixelSize&) const = default;
};

// The frame in pixels less one on each side, so the image never covers the frame's line.
PixelSize PreviewRoom(const TwipsBox& frame, int dpiX, int dpiY);

// The place of an image of `image` pixels, fitted before into PreviewRoom: centred in the frame.
TwipsBox PreviewPlace(const TwipsBox& frame, PixelSize image, int dpiX, int dpiY);

} // namespace aic
