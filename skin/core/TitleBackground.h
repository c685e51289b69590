// The title bar's background: fifteen gradient layouts of two bands, the frame, and the
// recessed pill cut behind the caption. Pure pixel code over a Canvas.
#pragma once

#include "skin/core/Canvas.h"

#include <cstdint>

namespace skin {

// The background layouts, by their stored numbers. Any other number paints nothing.
enum class BarStyle : std::int16_t {
    Plain = 0,
    Falling = 1,
    FallingStriped = 2,
    FallingInset = 3,
    FallingInsetStriped = 4,
    Rising = 5,
    RisingStriped = 6,
    RisingInset = 7,
    RisingInsetStriped = 8,
    Curve = 9,
    CurveInset2 = 10,
    CurveInset5 = 11,
    CurveInset7 = 12,
    Plate = 13,
    Stacked = 14,
};

// A caption box as placed on the bar, in the bar's pixels.
struct BoxPlace {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool operator==(const BoxPlace&) const = default;
};

struct BackgroundDesign {
    BarStyle style = BarStyle::RisingInsetStriped;
    float cover = 0;  // split column in tenths of the width
    int border = 0;   // frame size in pixels, already scaled
    RgbChannels v1Begin, v1End, v2Begin, v2End, high, dark;
    bool showClose = true;
    bool showMin = true;
    BoxPlace minBox, closeBox;
    int dpi = 96;
};

// Fills the whole canvas by `design.style`; the canvas holds the cleared back colour before.
void PaintBackground(Canvas& canvas, const BackgroundDesign& design);

// The raised one-pixel frame: top and left in `high`, bottom and right in `dark`.
void DrawFrame(Canvas& canvas, RgbChannels high, RgbChannels dark);

// The pill behind a caption `captionWidth` pixels wide: column 3 of the painted face, turned
// upside down and stretched, with bevelled ends.
void CutPill(Canvas& canvas, int captionWidth, int border, int dpi);

} // namespace skin
