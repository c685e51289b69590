// Colour arithmetic of the drawn command button: channel splitting, lightening, blending,
// the per-style colour set and the colour schemes. Colours are 0x00BBGGRR, red low.
#pragma once

#include <cstdint>
#include <string>

namespace skin {

using Rgb = std::int32_t;
constexpr Rgb kNoColor = -1;
constexpr Rgb kWhite = 0xFFFFFF;

// Nearest integer, an exact half to the even neighbour.
int RoundHalfEven(double value);

struct Channels {
    int red = 0;
    int green = 0;
    int blue = 0;
};
Channels SplitRGB(Rgb colour);
Rgb MakeRGB(int red, int green, int blue);

// Moves every channel by factor * 255; clamps only on the side the factor moves towards.
Rgb ShiftColor(Rgb colour, float factor);
// colour1 + (colour2 - colour1) * fraction per channel.
Rgb BlendColors(Rgb colour1, Rgb colour2, float fraction);
float ClampValue(float value, long lower, long upper);

// The twelve drawing styles, each named by what it draws; the number is the stored
// property's. Any other number is kept and stored too, but no painter draws it.
enum class ButtonStyle : std::int32_t {
    RoundedGradient = 0,      // rounded gradient face, blue focus ring, orange hot ring
    Capsule = 1,              // capsule with an inset shine, light end from the state colour
    RoundedTopShine = 2,      // 13-pixel rounded corners, a shine over the top rows
    CapsuleWideShine = 3,     // capsule with a shine across its whole upper half
    FlatGradient = 4,         // square gradient face
    Flat = 5,                 // square solid face
    Bevelled = 6,             // square gradient face with a one-pixel bevel
    Classic3D = 7,            // the system's raised and sunken edges
    RoundedGradientGreen = 8, // the rounded gradient with a green focus ring
    FramedRoundedGradient = 9, // the rounded gradient inside a light frame, pressed as a gradient
    SoftBevel = 10,           // solid face, soft raised or sunken bevel on hover and press
    LightRounded = 11,        // rounded face fading from the light colour, for dark schemes
};

// The derived colours the painters read. LightColor may be kNoColor.
struct ButtonColorSet {
    Rgb faceColor = 0;
    Rgb downColor = 0;
    Rgb hotColor = 0;
    Rgb textColor = 0;
    Rgb disabledColor = 0;
    Rgb disabledTextColor = 0;
    Rgb hotLightColor = 0;
    Rgb maskRGB = 0;
    Rgb lightColor = 0;
};

// Rebuilds `set` from the translated back, fore and mask colours for `style`. Entries a
// style does not assign keep their earlier values.
void ComputeStyleColors(Rgb back, Rgb fore, Rgb mask, ButtonStyle style, ButtonColorSet& set);

// The default OLE colours of a style's scheme; `known` is false for a style without one.
struct SchemeColors {
    bool known = false;
    std::uint32_t backColor = 0;
    bool setsForeColor = false;
    std::uint32_t foreColor = 0;
};
SchemeColors SchemeOf(ButtonStyle style);

// The access key of a caption, lower-cased: one character, or empty.
std::wstring AccessKeyOf(const std::wstring& caption);

} // namespace skin
