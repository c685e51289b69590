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

// Which corners of the button are square; any other stored number rounds all four.
enum class ButtonShape : std::int32_t { AllRound = 0, LeftSquare = 1, RightSquare = 2, AllSquare = 3 };

// Where the picture goes, alone or beside the caption. Any other number leaves it at the
// top left.
enum class PictureAlignment : std::int32_t {
    Centre = 0,         // centred, the caption centred over it
    Bottom = 1,         // at the bottom margin, the caption above it
    BelowCaption = 2,   // under the caption, the two centred together
    Left = 3,           // at the left margin, the caption right of it
    LeftOfCaption = 4,  // left of the caption, the two centred together
    Right = 5,          // at the right margin, the caption left of it
    RightOfCaption = 6, // right of the caption, the two centred together
    Top = 7,            // at the top margin, the caption below it
    AboveCaption = 8,   // above the caption, the two centred together
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
    PictureAlignment alignment = PictureAlignment::LeftOfCaption;
    // Kept when there is no picture.
    Rect previousPicture;
};

ButtonLayout LayoutCaptionAndPicture(const LayoutInput& input);

// Colours of rows top..bottom of a two-stage vertical gradient c1 -> mid -> c2 whose middle
// colour sits at `percent` of the height. `percent` receives the split row.
std::vector<Rgb> VerticalGradientRows(Rgb c1, Rgb c2, float& percent, int top, int bottom);

// Row colours of the capsule shine: from `top` to just short of `bottom` over `rows` rows.
std::vector<Rgb> ShineRows(Rgb top, Rgb bottom, int rows);

// The closed outline of a rounded window of w by h whose corner ellipse is ew by eh;
// `inside` tells whether a pixel lies in the window's region.
std::vector<Point> BuildOutline(int w, int h, int ew, int eh, ButtonShape shape,
                                const std::function<bool(int, int)>& inside);

// Composes a picture over its background, both 24-bit BGR rows of `stride` bytes: pixels
// of the key colour take the background, others become `solid` when given, else blend by
// `opacity`. Key and solid are kNoColor when not used.
void ComposePicture(std::uint8_t* picture, const std::uint8_t* background, int w, int h, int stride, Rgb key,
                    Rgb solid, float opacity);

// Back + (front - back) * opacity, one channel.
std::uint8_t BlendChannel(std::uint8_t back, std::uint8_t front, float opacity);

// Which sides of the button keep square corners.
inline bool SquareOnLeft(ButtonShape shape)
{
    return shape == ButtonShape::LeftSquare || shape == ButtonShape::AllSquare;
}
inline bool SquareOnRight(ButtonShape shape)
{
    return shape == ButtonShape::RightSquare || shape == ButtonShape::AllSquare;
}

} // namespace skin
