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

void ComputeStyleColors(Rgb back, Rgb fore, Rgb mask, long style, ButtonColorSet& s)
{
    const Rgb b = back;
    s.faceColor = b;
    s.textColor = fore;
    s.disabledTextColor = BlendColors(fore, kWhite, 0.6f);
    s.maskRGB = mask;
    s.lightColor = kWhite;
    switch (style) {
    case 0:
    case 9:
        s.downColor = ShiftColor(b, style == 0 ? -0.05f : -0.1f);
        s.hotColor = 0xE4AD89;
        s.disabledColor = BlendColors(b, kWhite, 0.8f);
        s.hotLightColor = 0x30B3F8;
        break;
    case 1:
    case 3:
        s.downColor = ShiftColor(b, -0.15f);
        s.hotLightColor = ShiftColor(b, 0.1f);
        s.faceColor = ShiftColor(b, -0.05f);
        s.disabledColor = ShiftColor(b, -0.05f);
        s.lightColor = style == 1 ? kNoColor : kWhite;
        break;
    case 2:
        s.downColor = ShiftColor(b, -0.1f);
        s.disabledColor = b;
        s.hotLightColor = ShiftColor(b, 0.1f);
        s.lightColor = kNoColor;
        break;
    case 4:
        s.downColor = 0x4E91FE;
        s.hotColor = 0xCCF4FF;
        s.hotLightColor = 0x8BCFFF;
        break;
    case 5:
        s.downColor = ShiftColor(b, -0.05f);
        s.hotColor = ShiftColor(b, -0.15f);
        s.disabledColor = b;
        s.hotLightColor = ShiftColor(b, 0.05f);
        break;
    case 6:
        s.disabledColor = BlendColors(b, kWhite, 0.3f);
        s.hotLightColor = 0xE6FFFF;
        s.lightColor = ShiftColor(b, 0.1f);
        break;
    case 7:
        s.downColor = b;
        s.hotColor = ShiftColor(fore, 0.5f);
        break;
    case 8:
        s.downColor = ShiftColor(b, -0.05f);
        s.hotColor = 0x54C190;
        s.disabledColor = BlendColors(b, kWhite, 0.8f);
        s.hotLightColor = 0x4F91E3;
        break;
    case 10:
        s.downColor = ShiftColor(0xF3F7F8, -0.05f);
        s.disabledColor = b;
        s.hotLightColor = 0xF3F7F8;
        break;
    case 11:
        s.downColor = ShiftColor(b, -0.1f);
        s.hotColor = b;
        s.disabledColor = BlendColors(b, kWhite, 0.8f);
        s.hotLightColor = ShiftColor(b, 0.2f);
        break;
    default:
        break;
    }
}

SchemeColors SchemeOf(long style)
{
    switch (style) {
    case 1:
    case 4:
        return {true, 0xBA9EA0, false, 0};
    case 2:
        return {true, 0xFF9B48, false, 0};
    case 3:
        return {true, 0xA19D9D, false, 0};
    case 6:
        return {true, 0xD2CECF, false, 0};
    case 8:
        return {true, 0xE0F3F6, false, 0};
    case 9:
        return {true, 0xE4D1D2, false, 0};
    case 11:
        return {true, 0, true, 0xFFFFFF};
    case 0:
    case 5:
    case 7:
    case 10:
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
