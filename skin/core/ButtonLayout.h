// Geometry of the drawn command button: where caption and picture go, the vertical
// gradients' row colours, the capsule shine's rows, the outline of the rounded window and
// the per-pixel picture composition. No GDI here: the Win32 edge draws what these compute.
#pragma once

#include "skin/core/ButtonColors.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace skin {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Rect&) const = default;
};

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct ButtonLayout {
    Rect focusRect;
    Rect captionRect;
    Rect pictureRect;
};

struct LayoutInput {
    int width = 0;
    int height = 0;
    int marginY = 4;
    int marginX = 4;
    // The caption as measured, (0, 0, text width, text height); empty caption: all zero.
    bool hasCaption = false;
    Rect measuredCaption;
    bool hasPicture = false;
    int pictureW = 0;
    int pictureH = 0;
    long alignment = 4;
    // Kept when there is no picture.
    Rect previousPicture;
};

ButtonLayout LayoutCaptionAndPicture(const LayoutInput& in);

// Colours of rows top..bottom of a two-stage vertical gradient c1 -> mid -> c2 whose middle
// colour sits at `percent` of the height. `percent` receives the split row.
std::vector<Rgb> VerticalGradientRows(Rgb c1, Rgb c2, float& percent, int top, int bottom);

// Row colours of the capsule shine: from `top` to just short of `bottom` over `rows` rows.
std::vector<Rgb> ShineRows(Rgb top, Rgb bottom, int rows);

// The closed outline of a rounded window of w by h whose corner ellipse is ew by eh;
// `inside` tells whether a pixel lies in the window's region.
std::vector<Point> BuildOutline(int w, int h, int ew, int eh, long shape, const std::function<bool(int, int)>& inside);

// Composes a picture over its background, both 24-bit BGR rows of `stride` bytes: pixels
// of the key colour take the background, others become `solid` when given, else blend by
// `opacity`. Key and solid are kNoColor when not used.
void ComposePicture(std::uint8_t* picture, const std::uint8_t* background, int w, int h, int stride, Rgb key,
                    Rgb solid, float opacity);

// Back + (front - back) * opacity, one channel.
std::uint8_t BlendChannel(std::uint8_t back, std::uint8_t front, float opacity);

// Shape bits: which sides of the button keep square corners.
inline bool LeftSquare(long shape) { return shape == 1 || shape == 3; }
inline bool RightSquare(long shape) { return shape == 2 || shape == 3; }

} // namespace skin
