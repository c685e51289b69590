#include "skin/core/ButtonColors.h"

#include <cmath>
#include <cwctype>

namespace skin {

int RoundHalfEven(double value)
{
    // The default floating-point rounding mode rounds halves to even. rint, not nearbyint: the
    // latter saves and restores the floating-point environment on every call (MinGW), which
    // the gradients pay for every channel of every row.
    return static_cast<int>(std::rint(value));
}

Channels SplitRGB(Rgb colour)
{
    return Channels{colour & 255, (colour / 256) & 255, (colour / 65536) & 255};
}

Rgb MakeRGB(int red, int green, int blue) { return red + green * 256 + blue * 65536; }

Rgb ShiftColor(Rgb colour, float factor)
{
    Channels c = SplitRGB(colour);
    double delta = static_cast<double>(factor) * 255.0;
    int ch[3] = {RoundHalfEven(c.red + delta), RoundHalfEven(c.green + delta), RoundHalfEven(c.blue + delta)};
    for (int& v : ch) {
        if (factor > 0 && v > 255)
            v = 255;
        else if (factor <= 0 && v < 0)
            v = 0;
    }
    return MakeRGB(ch[0], ch[1], ch[2]);
}

Rgb BlendColors(Rgb colour1, Rgb colour2, float fraction)
{
    Channels a = SplitRGB(colour1);
    Channels b = SplitRGB(colour2);
    double f = fraction;
    return MakeRGB(RoundHalfEven(a.red + f * (b.red - a.red)), RoundHalfEven(a.green + f * (b.green - a.green)),
                   RoundHalfEven(a.blue + f * (b.blue - a.blue)));
}

float ClampValue(float value, long lower, long upper)
{
    if (value > static_cast<float>(upper))
        return static_cast<float>(upper);
    if (value < static_cast<float>(lower))
        return static_cast<float>(lower);
    return value;
}

void ComputeStyleColors(Rgb back, Rgb fore, Rgb mask, ButtonStyle style, ButtonColorSet& set)
{
    set.faceColor = back;
    set.textColor = fore;
    set.disabledTextColor = BlendColors(fore, kWhite, 0.6f);
    set.maskRGB = mask;
    set.lightColor = kWhite;
    switch (style) {
    case ButtonStyle::RoundedGradient:
    case ButtonStyle::FramedRoundedGradient:
        set.downColor = ShiftColor(back, style == ButtonStyle::RoundedGradient ? -0.05f : -0.1f);
        set.hotColor = 0xE4AD89;
        set.disabledColor = BlendColors(back, kWhite, 0.8f);
        set.hotLightColor = 0x30B3F8;
        break;
    case ButtonStyle::Capsule:
    case ButtonStyle::CapsuleWideShine:
        set.downColor = ShiftColor(back, -0.15f);
        set.hotLightColor = ShiftColor(back, 0.1f);
        set.faceColor = ShiftColor(back, -0.05f);
        set.disabledColor = ShiftColor(back, -0.05f);
        set.lightColor = style == ButtonStyle::Capsule ? kNoColor : kWhite;
        break;
    case ButtonStyle::RoundedTopShine:
        set.downColor = ShiftColor(back, -0.1f);
        set.disabledColor = back;
        set.hotLightColor = ShiftColor(back, 0.1f);
        set.lightColor = kNoColor;
        break;
    case ButtonStyle::FlatGradient:
        set.downColor = 0x4E91FE;
        set.hotColor = 0xCCF4FF;
        set.hotLightColor = 0x8BCFFF;
        break;
    case ButtonStyle::Flat:
        set.downColor = ShiftColor(back, -0.05f);
        set.hotColor = ShiftColor(back, -0.15f);
        set.disabledColor = back;
        set.hotLightColor = ShiftColor(back, 0.05f);
        break;
    case ButtonStyle::Bevelled:
        set.disabledColor = BlendColors(back, kWhite, 0.3f);
        set.hotLightColor = 0xE6FFFF;
        set.lightColor = ShiftColor(back, 0.1f);
        break;
    case ButtonStyle::Classic3D:
        set.downColor = back;
        set.hotColor = ShiftColor(fore, 0.5f);
        break;
    case ButtonStyle::RoundedGradientGreen:
        set.downColor = ShiftColor(back, -0.05f);
        set.hotColor = 0x54C190;
        set.disabledColor = BlendColors(back, kWhite, 0.8f);
        set.hotLightColor = 0x4F91E3;
        break;
    case ButtonStyle::SoftBevel:
        set.downColor = ShiftColor(0xF3F7F8, -0.05f);
        set.disabledColor = back;
        set.hotLightColor = 0xF3F7F8;
        break;
    case ButtonStyle::LightRounded:
        set.downColor = ShiftColor(back, -0.1f);
        set.hotColor = back;
        set.disabledColor = BlendColors(back, kWhite, 0.8f);
        set.hotLightColor = ShiftColor(back, 0.2f);
        break;
    default:
        break;
    }
}

SchemeColors SchemeOf(ButtonStyle style)
{
    switch (style) {
    case ButtonStyle::Capsule:
    case ButtonStyle::FlatGradient:
        return {true, 0xBA9EA0, false, 0};
    case ButtonStyle::RoundedTopShine:
        return {true, 0xFF9B48, false, 0};
    case ButtonStyle::CapsuleWideShine:
        return {true, 0xA19D9D, false, 0};
    case ButtonStyle::Bevelled:
        return {true, 0xD2CECF, false, 0};
    case ButtonStyle::RoundedGradientGreen:
        return {true, 0xE0F3F6, false, 0};
    case ButtonStyle::FramedRoundedGradient:
        return {true, 0xE4D1D2, false, 0};
    case ButtonStyle::LightRounded:
        return {true, 0, true, 0xFFFFFF};
    case ButtonStyle::RoundedGradient:
    case ButtonStyle::Flat:
    case ButtonStyle::Classic3D:
    case ButtonStyle::SoftBevel:
        return {true, 0x8000000F, false, 0};
    default:
        return {};
    }
}

std::wstring AccessKeyOf(const std::wstring& caption)
{
    const long n = static_cast<long>(caption.size());
    if (n < 2)
        return {};
    // Positions count from 1; a final '&' carries no key.
    long i = n - 1;
    while (i >= 1) {
        if (caption[i - 1] != L'&') {
            --i;
            continue;
        }
        wchar_t key = 0;
        if (i == 1)
            key = caption[1];
        else if (caption[i - 2] != L'&')
            key = caption[i];
        else {
            // A doubled '&' is a literal one: keep looking before it.
            if (i < 3)
                return {};
            i -= 2;
            continue;
        }
        return std::wstring(1, static_cast<wchar_t>(std::towlower(key)));
    }
    return {};
}

} // namespace skin
