// Whole renders against checked reference PNGs, and pixels at chosen points of each style
// and state: face, edge, focus ring and disabled text.
#include <gtest/gtest.h>

#include "ButtonFixture.h"
#include "skin/core/ButtonColors.h"
#include "tests/support/TestSupport.h"

using namespace test;
using skin::BlendColors;
using skin::ShiftColor;

namespace {
constexpr int kW = 84, kH = 26;

struct RenderForm {
    Placed placed;
    ButtonForm& form = placed.form;
    skin::dcButton* button = nullptr;
    skin::dcButton* other = nullptr;
    RenderForm(rt::PropertyBag bag)
    {
        other = &placed.Add(L"Other", {200, 10, kW, kH}, StyleBag(0, L"Other"));
        button = &placed.Add(L"Subject", {10, 10, kW, kH}, std::move(bag));
        other->SetFocus();
        EXPECT_TRUE(PumpQueued());
    }
};

bool HasColour(const skin::dcButton& b, std::uint32_t rgb)
{
    for (int y = 0; y < b.ScaleHeight(); ++y)
        for (int x = 0; x < b.ScaleWidth(); ++x)
            if (PixelRgb(b, x, y) == rgb)
                return true;
    return false;
}

// A 16 by 16 bitmap: a light-grey (mask colour) ring around a red square with a blue diagonal.
skin::PicturePtr TestPicture()
{
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 16);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            COLORREF c = (x < 2 || y < 2 || x > 13 || y > 13) ? RGB(192, 192, 192) : (x == y ? RGB(0, 0, 255) : RGB(255, 0, 0));
            SetPixelV(mem, x, y, c);
        }
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return skin::Picture::FromBitmap(bmp);
}
} // namespace

// Six looks of every style side by side: normal, hot, pressed, disabled, focused, checked.
TEST(ButtonRender, EveryStyleAndStateMatchesItsReference)
{
    for (long style = 0; style <= 11; ++style) {
        skin::SchemeColors scheme = skin::SchemeOf(static_cast<skin::ButtonStyle>(style));
        RenderForm f(StyleBag(style, L"&Block", scheme.backColor, scheme.setsForeColor ? scheme.foreColor : 0x80000012));
        skin::dcButton& b = *f.button;
        std::vector<Image> looks;
        for (long state : {0, 1, 2}) {
            b.Redraw(state, true);
            looks.push_back(Capture(b));
        }
        b.SetEnabled(false);
        looks.push_back(Capture(b));
        b.SetEnabled(true);
        b.SetFocus();
        EXPECT_TRUE(PumpQueued());
        b.Redraw(0, true);
        looks.push_back(Capture(b));
        f.other->SetFocus();
        b.SetCheckBoxMode(true);
        b.SetValue(true);
        b.Redraw(0, true);
        looks.push_back(Capture(b));
        EXPECT_TRUE(MatchesReference(Beside(looks), L"style" + std::to_wstring(style))) << style;
    }
}

TEST(ButtonRender, PicturesAlignmentsEffectsAndDisabledOpacityMatchTheReference)
{
    std::vector<Image> looks;
    for (long align = 0; align <= 8; ++align) {
        rt::PropertyBag bag = StyleBag(5, align % 2 ? L"Go" : L"", 0xE0E0E0);
        bag.Set(L"PicAlign", std::int64_t{align});
        RenderForm f(bag);
        f.button->SetPictureNormal(TestPicture());
        f.button->Redraw(0, true);
        looks.push_back(Capture(*f.button));
    }
    EXPECT_TRUE(MatchesReference(Beside(looks), L"pictures-alignment"));

    looks.clear();
    for (long effect = 0; effect <= 3; ++effect) {
        rt::PropertyBag bag = StyleBag(0, L"Fx", 0xC0C0C0);
        bag.Set(L"Effects", std::int64_t{effect});
        RenderForm f(bag);
        f.button->SetPictureNormal(TestPicture());
        f.button->Redraw(0, true);
        looks.push_back(Capture(*f.button));
        if (effect == 3) {
            f.button->SetPictureOpacity(50);
            looks.push_back(Capture(*f.button));
            f.button->SetUseMaskColor(false);
            looks.push_back(Capture(*f.button));
            f.button->SetUseMaskColor(true);
            f.button->SetEnabled(false);
            looks.push_back(Capture(*f.button));
            EXPECT_EQ(f.button->PictureOpacity(), 50) << "the disabled look must not keep its opacity";
        }
    }
    EXPECT_TRUE(MatchesReference(Beside(looks), L"pictures-effects"));
}

TEST(ButtonRender, FlatStyleFaceAndFrameFollowTheState)
{
    RenderForm f(StyleBag(5, L"Go", 0xC0C0C0, 0x000000));
    skin::dcButton& b = *f.button;
    b.Redraw(0, true);
    EXPECT_EQ(PixelRgb(b, 2, kH / 2), 0xC0C0C0u);
    EXPECT_EQ(PixelRgb(b, 0, kH / 2), 0xC0C0C0u) << "no frame in the normal state";
    b.Redraw(1, true);
    EXPECT_EQ(PixelRgb(b, 2, kH / 2), 0xCDCDCDu) << "hot face";
    EXPECT_EQ(PixelRgb(b, 0, kH / 2), 0x9A9A9Au) << "hot frame";
    b.Redraw(2, true);
    EXPECT_EQ(PixelRgb(b, 2, kH / 2), 0xB3B3B3u) << "pressed face";
    b.SetEnabled(false);
    EXPECT_EQ(b.DrawState(), skin::ButtonState::Disabled);
    EXPECT_EQ(PixelRgb(b, 0, kH / 2), 0xC0C0C0u) << "no frame when disabled";
    EXPECT_TRUE(HasColour(b, 0x999999)) << "disabled text colour";
    EXPECT_FALSE(HasColour(b, 0x000000)) << "no enabled text colour";
}

TEST(ButtonRender, RoundedGradientEdgeFocusRingAndDisabledLook)
{
    RenderForm f(StyleBag(0, L"Go", 0xC0C0C0, 0x000000));
    skin::dcButton& b = *f.button;
    b.Redraw(0, true);
    float p = 50;
    auto rows = skin::VerticalGradientRows(0xFFFFFF, 0xC0C0C0, p, 0, kH - 1);
    EXPECT_EQ(PixelRgb(b, 3, 6), static_cast<std::uint32_t>(rows[6]));
    EXPECT_EQ(PixelRgb(b, 3, kH - 4), static_cast<std::uint32_t>(rows[kH - 4]));
    EXPECT_EQ(PixelRgb(b, 0, kH / 2), 0x725644u) << "edge: hot colour half way to black";
    EXPECT_EQ(PixelRgb(b, 1, 1), 0x725644u) << "rounding corner pixel";
    EXPECT_EQ(PixelRgb(b, kW / 2, 2), static_cast<std::uint32_t>(rows[2])) << "no ring without focus";

    b.SetFocus();
    EXPECT_TRUE(PumpQueued());
    EXPECT_EQ(PixelRgb(b, kW / 2, 2), 0xEFCEB8u) << "focus ring in an active form";
    EXPECT_EQ(PixelRgb(b, kW / 2, kH - 3), 0xE4AD89u);

    b.SetEnabled(false);
    EXPECT_EQ(PixelRgb(b, 3, kH / 2), 0xF2F2F2u) << "disabled face";
    EXPECT_EQ(PixelRgb(b, 0, kH / 2), 0x999999u) << "disabled edge";
    EXPECT_TRUE(HasColour(b, 0x999999));
}

TEST(ButtonRender, DefaultButtonLookWithoutFocus)
{
    RenderForm f(StyleBag(7, L"Go", 0xC0C0C0, 0x000000));
    skin::dcButton& b = *f.button;
    b.Redraw(0, true);
    EXPECT_NE(PixelRgb(b, 0, kH / 2), 0u);
    f.form.SetDefaultControl(&b);
    b.Redraw(0, true);
    EXPECT_EQ(PixelRgb(b, 0, kH / 2), 0u) << "the default button's black frame";
    f.form.SetDefaultControl(nullptr);
    b.Redraw(0, true);
    EXPECT_NE(PixelRgb(b, 0, kH / 2), 0u);
}

TEST(ButtonRender, RedrawSkipsUnchangedStatesAndHiddenButtons)
{
    RenderForm f(StyleBag(5, L"Go", 0xC0C0C0));
    skin::dcButton& b = *f.button;
    b.Redraw(0, true);
    SetPixelV(b.BackDC(), 5, 5, RGB(1, 2, 3));
    b.Redraw(-1, false);
    EXPECT_EQ(PixelRgb(b, 5, 5), 0x030201u) << "nothing changed: no repaint";
    b.Redraw(-1, true);
    EXPECT_EQ(PixelRgb(b, 5, 5), 0xC0C0C0u);
    b.SetVisible(false);
    SetPixelV(b.BackDC(), 5, 5, RGB(1, 2, 3));
    b.Redraw(1, true);
    EXPECT_EQ(PixelRgb(b, 5, 5), 0x030201u) << "hidden: no repaint";
    b.SetVisible(true);
    b.Redraw(1, true);
    EXPECT_EQ(PixelRgb(b, 5, 5), 0xCDCDCDu);
}

TEST(ButtonRender, WindowShowsTheBackingBitmapInsideItsRoundedRegion)
{
    RenderForm f(StyleBag(5, L"Go", 0x3060C0));
    skin::dcButton& b = *f.button;
    b.SetButtonShape(skin::ButtonShape::AllRound);
    b.SetButtonStyle(skin::ButtonStyle::RoundedGradient);
    UpdateWindow(b.hWnd());
    RECT box{};
    EXPECT_NE(GetWindowRgnBox(b.hWnd(), &box), ERROR);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(b.hWnd(), rgn);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0)) << "rounded corner";
    EXPECT_TRUE(PtInRegion(rgn, kW / 2, 0));
    b.SetButtonShape(skin::ButtonShape::AllSquare);
    GetWindowRgn(b.hWnd(), rgn);
    EXPECT_TRUE(PtInRegion(rgn, 0, 0)) << "square corners";
    DeleteObject(rgn);
    HDC wdc = GetDC(b.hWnd());
    EXPECT_EQ(GetPixel(wdc, 0, kH / 2) & 0xFFFFFF, PixelRgb(b, 0, kH / 2));
    ReleaseDC(b.hWnd(), wdc);
}
