#include "skin/core/ButtonColors.h"

#include <gtest/gtest.h>

using namespace skin;

TEST(ButtonColors, ShiftColorMovesChannelsAndClampsTowardsTheFactor)
{
    struct Case {
        Rgb in;
        float f;
        Rgb out;
    } cases[] = {
        {0x010101, 0.5f, 0x808080}, {0x000000, 0.5f, 0x808080}, {0xC0C0C0, -0.1f, 0xA6A6A6},
        {0xFFFFFF, 0.1f, 0xFFFFFF}, {0x000000, -0.05f, 0x000000}, {0xC0C0C0, -0.15f, 0x9A9A9A},
        {0x0000FF, 0.2f, 0x3333FF},
    };
    for (auto& c : cases)
        EXPECT_EQ(ShiftColor(c.in, c.f), c.out) << std::hex << c.in << " " << c.f;
}

TEST(ButtonColors, BlendColorsUsesTheFloatFractions)
{
    EXPECT_EQ(BlendColors(0x000000, 0xFFFFFF, 0.3f), 0x4D4D4D);
    EXPECT_EQ(BlendColors(0x000000, 0xFFFFFF, 0.6f), 0x999999);
    EXPECT_EQ(BlendColors(0x404040, 0xFFFFFF, 0.8f), 0xD9D9D9);
    EXPECT_EQ(BlendColors(0x0000FF, 0xFF0000, 0.5f), 0x800080);
}

TEST(ButtonColors, RoundingAndClamping)
{
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(ClampValue(5, 10, 100), 10);
    EXPECT_EQ(ClampValue(150, 10, 100), 100);
    EXPECT_EQ(ClampValue(55, 10, 100), 55);
    Channels c = SplitRGB(0x123456);
    EXPECT_EQ(c.red, 0x56);
    EXPECT_EQ(c.green, 0x34);
    EXPECT_EQ(c.blue, 0x12);
    EXPECT_EQ(MakeRGB(0x56, 0x34, 0x12), 0x123456);
}

TEST(ButtonColors, StyleElevenColourSet)
{
    ButtonColorSet s;
    ComputeStyleColors(0x404040, 0xFFFFFF, 0xC0C0C0, ButtonStyle::LightRounded, s);
    EXPECT_EQ(s.faceColor, 0x404040);
    EXPECT_EQ(s.downColor, 0x262626);
    EXPECT_EQ(s.hotColor, 0x404040);
    EXPECT_EQ(s.disabledColor, 0xD9D9D9);
    EXPECT_EQ(s.hotLightColor, 0x737373);
    EXPECT_EQ(s.textColor, 0xFFFFFF);
    EXPECT_EQ(s.disabledTextColor, 0xFFFFFF);
    EXPECT_EQ(s.lightColor, 0xFFFFFF);
    EXPECT_EQ(s.maskRGB, 0xC0C0C0);
}

TEST(ButtonColors, StyleOneDerivesFromTheUntouchedFaceAndKeepsHotColor)
{
    ButtonColorSet s;
    s.hotColor = 0x123456;
    ComputeStyleColors(0xC0C0C0, 0, 0, ButtonStyle::Capsule, s);
    EXPECT_EQ(s.faceColor, 0xB3B3B3);
    EXPECT_EQ(s.downColor, 0x9A9A9A);
    EXPECT_EQ(s.disabledColor, 0xB3B3B3);
    EXPECT_EQ(s.hotLightColor, 0xDADADA);
    EXPECT_EQ(s.lightColor, kNoColor);
    EXPECT_EQ(s.hotColor, 0x123456);
}

TEST(ButtonColors, FixedAndUnassignedEntriesPerStyle)
{
    ButtonColorSet s;
    ComputeStyleColors(0x112233, 0, 0, ButtonStyle::SoftBevel, s);
    EXPECT_EQ(s.downColor, 0xE6EAEB);
    ComputeStyleColors(0x445566, 0, 0, ButtonStyle::SoftBevel, s);
    EXPECT_EQ(s.downColor, 0xE6EAEB);

    ComputeStyleColors(0x808080, 0x000000, 0, ButtonStyle::RoundedGradient, s);
    EXPECT_EQ(s.hotColor, 0xE4AD89);
    EXPECT_EQ(s.hotLightColor, 0x30B3F8);
    EXPECT_EQ(s.disabledTextColor, 0x999999);
    // Style 12 assigns only face, text, disabled text, mask and light: the rest stays.
    ComputeStyleColors(0x101010, 0, 0, ButtonStyle{12}, s);
    EXPECT_EQ(s.faceColor, 0x101010);
    EXPECT_EQ(s.hotColor, 0xE4AD89);
    EXPECT_EQ(s.lightColor, kWhite);
    ComputeStyleColors(0x808080, 0x000000, 0, ButtonStyle::Classic3D, s);
    EXPECT_EQ(s.downColor, 0x808080);
    EXPECT_EQ(s.hotColor, 0x808080);
}

TEST(ButtonColors, SchemesOfTheStyles)
{
    EXPECT_EQ(SchemeOf(ButtonStyle::Capsule).backColor, 0xBA9EA0u);
    EXPECT_EQ(SchemeOf(ButtonStyle::FlatGradient).backColor, 0xBA9EA0u);
    EXPECT_EQ(SchemeOf(ButtonStyle::RoundedTopShine).backColor, 0xFF9B48u);
    EXPECT_EQ(SchemeOf(ButtonStyle::SoftBevel).backColor, 0x8000000Fu);
    EXPECT_TRUE(SchemeOf(ButtonStyle::LightRounded).setsForeColor);
    EXPECT_EQ(SchemeOf(ButtonStyle::LightRounded).foreColor, 0xFFFFFFu);
    EXPECT_FALSE(SchemeOf(ButtonStyle{12}).known);
    EXPECT_FALSE(SchemeOf(ButtonStyle{-2}).known);
}

TEST(ButtonColors, AccessKeyOfCaptions)
{
    struct Case {
        const wchar_t* caption;
        const wchar_t* key;
    } cases[] = {
        {L"Save && &Exit", L"e"}, {L"A&&B", L""}, {L"&x", L"x"}, {L"x&", L""}, {L"&&x&y", L"y"},
        {L"", L""},  {L"&", L""},  {L"&Browse", L"b"},
    };
    for (auto& c : cases)
        EXPECT_EQ(AccessKeyOf(c.caption), std::wstring(c.key)) << static_cast<const void*>(c.caption);
}
