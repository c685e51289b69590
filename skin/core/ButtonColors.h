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
void ComputeStyleColors(Rgb back, Rgb fore, Rgb mask, long style, ButtonColorSet& set);

// The default OLE colours of a style's scheme; `known` is false for a style without one.
struct SchemeColors {
    bool known = false;
    std::uint32_t backColor = 0;
    bool setsForeColor = false;
    std::uint32_t foreColor = 0;
};
SchemeColors SchemeOf(long style);

// The access key of a caption, lower-cased: one character, or empty.
std::wstring AccessKeyOf(const std::wstring& caption);

} // namespace skin
