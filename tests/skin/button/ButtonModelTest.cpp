// Properties of the button: normalisation, persistence with its bag keys and defaults,
// colour schemes and overrides, pictures and sizes, and the minimum size.
#include <gtest/gtest.h>

#include "ButtonFixture.h"
#include "tests/support/TestSupport.h"

using namespace test;

namespace {
skin::PicturePtr Bitmap(int w, int h, COLORREF colour = RGB(255, 0, 0))
{
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT r{0, 0, w, h};
    FillRect(mem, &r, brush);
    DeleteObject(brush);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return skin::Picture::FromBitmap(bmp);
}
} // namespace

TEST(ButtonModel, NewInstanceDefaultsAndWhatAnEmptyBagWrites)
{
    Placed p;
    auto& b = p.buttons.emplace_back(std::make_unique<skin::dcButton>(L"Command1"));
    b->Create(p.form, p.form.hWnd(), {10, 10, 80, 24});
    EXPECT_EQ(b->Caption(), L"Command1");
    EXPECT_EQ(b->BackColor(), 0x8000000Fu);
    EXPECT_EQ(b->ForeColor(), 0x80000012u);
    EXPECT_EQ(b->MaskColor(), 0xC0C0C0u);
    EXPECT_EQ(b->PictureAlignment(), skin::PictureAlignment::LeftOfCaption);
    EXPECT_TRUE(b->UseMaskColor());
    EXPECT_TRUE(b->Enabled());
    EXPECT_EQ(b->ColorSet().faceColor, static_cast<skin::Rgb>(GetSysColor(COLOR_BTNFACE)));
    rt::PropertyBag bag;
    b->WriteTo(bag);
    for (const wchar_t* key : {L"BackColor", L"ButtonStyle", L"Caption", L"Enabled", L"ForeColor", L"MaskColor",
                               L"PicAlign", L"PicOpacity", L"UseMask", L"Value", L"State", L"Font"})
        EXPECT_FALSE(bag.Has(key)) << test::Narrow(key) << " equals its default and is not stored";
}

TEST(ButtonModel, PropertiesSurviveTheBagAndOutOfRangeValuesAreIgnored)
{
    Placed p;
    rt::PropertyBag design = StyleBag(9, L"Save && &Exit", 0x123456, 0x00FF00);
    design.Set(L"ButtonShape", std::int64_t{2});
    design.Set(L"CheckBox", std::int64_t{-1});
    design.Set(L"Value", std::int64_t{-1});
    design.Set(L"Effects", std::int64_t{3});
    design.Set(L"PicAlign", std::int64_t{7});
    design.Set(L"PicOpacity", 0.55);
    design.Set(L"HandPointer", std::int64_t{-1});
    design.Set(L"Font", std::wstring(L"Tahoma;9;0;1;0;0"));
    skin::dcButton& a = p.Add(L"A", {10, 10, 90, 24}, design);
    EXPECT_EQ(a.AccessKeys(), L"e");
    EXPECT_TRUE(a.HandPointer()) << "the system hand cursor loads";
    rt::PropertyBag saved;
    a.WriteTo(saved);
    skin::dcButton& b = p.Add(L"B", {10, 40, 90, 24}, saved);
    EXPECT_EQ(b.ButtonStyle(), skin::ButtonStyle::FramedRoundedGradient);
    EXPECT_EQ(b.Caption(), L"Save && &Exit");
    EXPECT_EQ(b.BackColor(), 0x123456u);
    EXPECT_EQ(b.ForeColor(), 0x00FF00u);
    EXPECT_EQ(b.ButtonShape(), skin::ButtonShape::RightSquare);
    EXPECT_TRUE(b.CheckBoxMode());
    EXPECT_TRUE(b.Value());
    EXPECT_EQ(b.SpecialEffect(), skin::SpecialEffect::Shadow);
    EXPECT_EQ(b.PictureAlignment(), skin::PictureAlignment::Top);
    EXPECT_EQ(b.PictureOpacity(), 55);
    EXPECT_EQ(b.FontName(), L"Tahoma");
    EXPECT_FALSE(b.FontBold());
    EXPECT_TRUE(b.FontItalic());

    rt::PropertyBag bad;
    bad.Set(L"ButtonStyle", std::int64_t{99});
    bad.Set(L"State", std::int64_t{7});
    bad.Set(L"PicOpacity", 5.0);
    bad.Set(L"PicAlign", std::int64_t{-3});
    bad.Set(L"Effects", std::int64_t{4});
    bad.Set(L"Font", std::wstring(L";;;"));
    skin::dcButton& c = p.Add(L"C", {10, 70, 90, 24}, bad);
    EXPECT_EQ(c.ButtonStyle(), skin::ButtonStyle::RoundedGradient);
    EXPECT_EQ(c.DrawState(), skin::ButtonState::Normal);
    EXPECT_EQ(c.PictureOpacity(), 100);
    EXPECT_EQ(c.PictureAlignment(), skin::PictureAlignment::LeftOfCaption);
    EXPECT_EQ(c.SpecialEffect(), skin::SpecialEffect::None);
    EXPECT_EQ(c.FontName(), L"Verdana");

    rt::PropertyBag disabled;
    disabled.Set(L"State", std::int64_t{3});
    disabled.Set(L"Enabled", std::int64_t{0});
    skin::dcButton& d = p.Add(L"D", {10, 100, 90, 24}, disabled);
    EXPECT_EQ(d.DrawState(), skin::ButtonState::Disabled) << "saved disabled, drawn disabled at once";
    EXPECT_FALSE(IsWindowEnabled(d.hWnd()));
}

TEST(ButtonModel, PicturesCarryTheirBytesThroughTheBag)
{
    Placed p;
    skin::dcButton& a = p.Add(L"A", {10, 10, 90, 30}, StyleBag(5, L"Pic"));
    a.SetPictureNormal(Bitmap(12, 10, RGB(10, 200, 30)));
    rt::PropertyBag saved;
    a.WriteTo(saved);
    skin::dcButton& b = p.Add(L"B", {10, 50, 90, 30}, saved);
    ASSERT_TRUE(b.PictureNormal());
    EXPECT_EQ(b.PictureNormal()->Width(), 12);
    EXPECT_EQ(b.PictureNormal()->Height(), 10);
    EXPECT_EQ(b.PictureSizeW(), 12);
    EXPECT_EQ(Capture(a).rgba, Capture(b).rgba);

    rt::PropertyBag broken;
    broken.Set(L"PicNormal", rt::PropertyBag::Bytes{'B', 'M', 1, 2, 3});
    skin::dcButton& c = p.Add(L"C", {10, 90, 90, 30}, broken);
    EXPECT_FALSE(c.PictureNormal());
}

TEST(ButtonModel, PictureSettersAndSizes)
{
    Placed p;
    skin::dcButton& b = p.Add(L"A", {10, 10, 90, 30}, StyleBag(5, L"Pic"));
    b.SetPictureOpacity(5);
    EXPECT_EQ(b.PictureOpacity(), 10);
    b.SetPictureOpacity(150);
    EXPECT_EQ(b.PictureOpacity(), 100);
    b.SetPictureOpacity(55);
    EXPECT_EQ(b.PictureOpacity(), 55);

    b.SetPictureSize(skin::PictureSize::Px32);
    EXPECT_EQ(b.PictureSize(), skin::PictureSize::Own) << "no picture, no size";
    EXPECT_EQ(b.PictureSizeH(), 0);

    b.SetPictureDown(Bitmap(16, 16));
    EXPECT_TRUE(b.PictureNormal()) << "a down picture without a normal one becomes the normal one";
    EXPECT_FALSE(b.PictureDown());
    EXPECT_EQ(b.PictureSizeW(), 16);

    b.SetPictureHot(Bitmap(20, 20));
    EXPECT_EQ(b.PictureSize(), skin::PictureSize::Custom) << "a hot picture of another size makes the size custom";
    EXPECT_EQ(b.PictureSizeW(), 16);
    EXPECT_TRUE(b.PictureHot());

    b.SetPictureSize(skin::PictureSize::Px32);
    EXPECT_EQ(b.PictureSizeW(), 32);
    b.SetPictureSizeW(20);
    EXPECT_EQ(b.PictureSize(), skin::PictureSize::Custom);
    EXPECT_EQ(b.PictureSizeW(), 20);

    b.SetPictureNormal(nullptr);
    EXPECT_FALSE(b.PictureHot());
    EXPECT_FALSE(b.PictureDown());
    EXPECT_EQ(b.PictureOpacity(), 0);
    EXPECT_EQ(b.PictureSize(), skin::PictureSize::Own);
    b.SetPictureNormal(Bitmap(8, 8));
    EXPECT_EQ(b.PictureOpacity(), 100);
}

TEST(ButtonModel, MouseIconAndPointer)
{
    Placed p;
    rt::PropertyBag bag = StyleBag(0, L"x");
    bag.Set(L"HandPointer", std::int64_t{-1});
    skin::dcButton& b = p.Add(L"A", {10, 10, 90, 30}, bag);
    b.SetMouseIcon(skin::Picture::FromIcon(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION))));
    EXPECT_EQ(b.MousePointer(), 99);
    EXPECT_TRUE(b.HandPointer());
    b.SetMouseIcon(nullptr);
    EXPECT_EQ(b.MousePointer(), 0);
    EXPECT_FALSE(b.HandPointer());
}

TEST(ButtonModel, SchemesOverridesAndTheirLifetime)
{
    Placed p;
    skin::dcButton& b = p.Add(L"A", {10, 10, 90, 30}, StyleBag(11, L"x", 0x404040, 0xFFFFFF));
    EXPECT_EQ(b.ColorSet().downColor, 0x262626);
    long style = -1;
    b.ColorScheme(style);
    EXPECT_EQ(style, 11);
    EXPECT_EQ(b.BackColor(), 0u);
    EXPECT_EQ(b.ForeColor(), 0xFFFFFFu);
    b.SetBackColor(0x202020);
    long twelve = 12;
    b.ColorScheme(twelve);
    EXPECT_EQ(b.BackColor(), 0x202020u);

    EXPECT_FALSE(b.OverrideColor(6, 0x0000FF));
    EXPECT_FALSE(b.OverrideColor(-1, 0x0000FF));
    EXPECT_TRUE(b.OverrideColor(0, 0x0000FF));
    EXPECT_EQ(b.ColorSet().downColor, 0x0000FF);
    skin::dcButton& flat = p.Add(L"Flat", {10, 50, 90, 30}, StyleBag(5, L"x", 0x404040));
    flat.OverrideColor(0, 0x0000FF);
    flat.Redraw(2, true);
    EXPECT_EQ(PixelRgb(flat, 2, 15), 0x0000FFu) << "the pressed face drawn from the override";
    b.SetBackColor(0x404040);
    EXPECT_EQ(b.ColorSet().downColor, 0x262626) << "a recomputation drops the override";

    b.SetEnabled(false);
    b.SetForeColor(0x00FF00);
    EXPECT_EQ(b.ForeColor(), 0x00FF00u);
    EXPECT_EQ(b.ColorSet().textColor, 0xFFFFFF) << "kept while disabled";
    b.SetEnabled(true);
    EXPECT_EQ(b.ColorSet().textColor, 0xFFFFFF);

    b.SetButtonStyle(skin::ButtonStyle::FlatGradient);
    EXPECT_EQ(b.BackColor(), 0x404040u) << "at run time the style keeps the back colour";
    EXPECT_EQ(b.ColorSet().downColor, 0x4E91FE);
}

TEST(ButtonModel, ValueClicksOutsideCheckBoxModeAndTogglesInside)
{
    Placed p;
    skin::dcButton& b = p.Add(L"A", {10, 10, 90, 30}, StyleBag(0, L"x"));
    int clicks = 0;
    bool valueDuringClick = false;
    b.Click.Connect([&] {
        ++clicks;
        valueDuringClick = b.Value();
    });
    b.SetValue(true);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(valueDuringClick);
    EXPECT_FALSE(b.Value());

    b.SetCheckBoxMode(true);
    b.SetValue(true);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(b.Value());
    b.SetCheckBoxMode(false);
    EXPECT_FALSE(b.Value());
    EXPECT_TRUE(b.ChangedProperties().count(L"Value"));
    EXPECT_TRUE(b.ChangedProperties().count(L"CheckBox"));

    b.SetEnabled(false);
    b.SetValue(true);
    EXPECT_EQ(clicks, 1) << "no Click while disabled";
}

TEST(ButtonModel, TooSmallButtonsGrowToFifteenPixels)
{
    Placed p;
    skin::dcButton& a = p.Add(L"A", {10, 10, 40, 10}, StyleBag(0, L"x"));
    EXPECT_EQ(a.ScaleWidth(), 40);
    EXPECT_EQ(a.ScaleHeight(), 15);
    skin::dcButton& b = p.Add(L"B", {10, 40, 10, 40}, StyleBag(0, L"x"));
    EXPECT_EQ(b.ScaleWidth(), 15);
    EXPECT_EQ(b.ScaleHeight(), 40);
}
