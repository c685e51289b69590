// The title bar's face: caption layers, outline, box pictures and their places, and that
// repaints give back every GDI object.
#include "TitelBarFixture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <set>

using namespace test;
using skin::BoxState;
using skin::TitelBar;
using skin::TitleBox;

namespace {

constexpr std::uint32_t kBlack = 0;

struct Shown {
    BarForm form;
    explicit Shown(rt::PropertyBag bag, TitelBar::CloseAction a = TitelBar::CloseAction::HideForm) : form(std::move(bag), a)
    {
        form.Load();
        form.ShowAfterLoad();
    }
    ~Shown()
    {
        if (form.IsLoaded())
            form.Unload();
    }
    TitelBar& bar() { return form.bar; }
};

// Colours of the inked pixels in column x (or row y when `row`) of the caption's area.
std::set<std::uint32_t> InkAt(const TitelBar& b, int at, bool row)
{
    std::set<std::uint32_t> out;
    const int n = row ? 200 : b.ScaleHeight();
    for (int i = 0; i < n; ++i) {
        std::uint32_t p = row ? BarPixel(b, i, at) : BarPixel(b, at, i);
        if (p != kBlack)
            out.insert(p);
    }
    return out;
}

// The last column (or row) of the caption's area that holds ink.
int LastInk(const TitelBar& b, bool row)
{
    const int n = row ? b.ScaleHeight() : 200;
    for (int i = n - 1; i >= 0; --i)
        if (!InkAt(b, i, row).empty())
            return i;
    return -1;
}

bool Holds(const TitelBar& b, std::uint32_t colour)
{
    for (int y = 0; y < b.ScaleHeight(); ++y)
        for (int x = 0; x < 200; ++x)
            if (BarPixel(b, x, y) == colour)
                return true;
    return false;
}

void LParamAt(HWND h, UINT msg, WPARAM wp, int x, int y) { SendMessageW(h, msg, wp, MAKELPARAM(x, y)); }

POINT Centre(RECT r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// The bar shows picture `state` of `box` wherever the picture is opaque.
::testing::AssertionResult ShowsPicture(const TitelBar& b, TitleBox box, BoxState state)
{
    const skin::BoxPicture p = skin::DrawBoxPicture(box, b.IconStyle(), state, rt::DpiOf(b.hWnd()));
    const RECT r = b.BoxRect(box);
    if (r.right - r.left != p.width || r.bottom - r.top != p.height)
        return ::testing::AssertionFailure() << "box is " << r.right - r.left << "x" << r.bottom - r.top;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const auto k = static_cast<std::size_t>(y) * p.width + x;
            if (p.opaque[k] && BarPixel(b, r.left + x, r.top + y) != p.pixels[k])
                return ::testing::AssertionFailure() << "differs at (" << x << ", " << y << ")";
        }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(TitelBarPaint, ExtrusionLayersBlendFromBackToShadowColour)
{
    struct Case {
        bool right, bottom;
    } cases[] = {{true, false}, {false, true}};
    for (const Case& c : cases) {
        rt::PropertyBag bag = FlatDesign();
        bag.Set(L"Caption", std::wstring(L"HIH"))
            .Set(L"Font", std::wstring(L"Tahoma;12;0"))
            .Set(L"Caption3DWidth", std::int64_t{2})
            .Set(L"CaptionColorBack", std::int64_t{RGB(255, 0, 0)})
            .Set(L"CaptionShadowColor", std::int64_t{RGB(0, 0, 255)})
            .Set(L"Caption3DRight", c.right ? std::int64_t{-1} : std::int64_t{0})
            .Set(L"Caption3DBottom", c.bottom ? std::int64_t{-1} : std::int64_t{0});
        Shown s{bag};
        const std::set<std::uint32_t> outer = InkAt(s.bar(), LastInk(s.bar(), c.bottom), c.bottom);
        EXPECT_EQ(outer, (std::set<std::uint32_t>{Rgb(255, 0, 0)})) << "the outermost layer is the back colour";
        EXPECT_TRUE(Holds(s.bar(), Rgb(128, 0, 128))) << "the inner layer lies halfway";
        EXPECT_TRUE(Holds(s.bar(), Rgb(255, 255, 255))) << "the caption on top";
    }
}

TEST(TitelBarPaint, OutlineAndCaptionColoursAreTranslated)
{
    rt::PropertyBag bag = FlatDesign();
    bag.Set(L"Caption", std::wstring(L"HIH"))
        .Set(L"CaptionBorder", std::int64_t{-1})
        .Set(L"CaptionBorderColor", std::int64_t{0x80000012})
        .Set(L"CaptionColor", std::int64_t{0x80000005});
    Shown s{bag};
    const COLORREF outline = GetSysColor(COLOR_BTNTEXT) | 0x10000, text = GetSysColor(COLOR_WINDOW);
    EXPECT_TRUE(Holds(s.bar(), Rgb(GetRValue(outline), GetGValue(outline), GetBValue(outline))));
    EXPECT_TRUE(Holds(s.bar(), Rgb(GetRValue(text), GetGValue(text), GetBValue(text))));
}

TEST(TitelBarPaint, BoxesLieFromTheRightEdgeAndShowTheirStates)
{
    Shown s{FlatDesign()};
    TitelBar& b = s.bar();
    const int dpi = rt::DpiOf(b.hWnd()), box = MulDiv(16, dpi, 96), gap = MulDiv(6, dpi, 96);
    const int top = (b.ScaleHeight() - box) / 2;
    EXPECT_EQ(b.CloseBoxRect().left, b.ScaleWidth() - gap - box);
    EXPECT_EQ(b.CloseBoxRect().top, top);
    EXPECT_EQ(b.MinBoxRect().left, b.CloseBoxRect().left - gap - box);
    EXPECT_TRUE(ShowsPicture(b, TitleBox::Close, BoxState::Normal));
    EXPECT_TRUE(ShowsPicture(b, TitleBox::Min, BoxState::Normal));

    const POINT close = Centre(b.CloseBoxRect());
    LParamAt(b.hWnd(), WM_MOUSEMOVE, 0, close.x, close.y);
    EXPECT_TRUE(ShowsPicture(b, TitleBox::Close, BoxState::Hover));
    LParamAt(b.hWnd(), WM_MOUSEMOVE, 0, 3, 3);
    EXPECT_TRUE(ShowsPicture(b, TitleBox::Close, BoxState::Normal)) << "the surface resets the hover picture";

    b.SetIconStyle(1);
    EXPECT_TRUE(ShowsPicture(b, TitleBox::Close, BoxState::Normal)) << "the wide set";
    b.SetShowCloseEnabled(false);
    EXPECT_TRUE(ShowsPicture(b, TitleBox::Close, BoxState::Disabled));
    LParamAt(b.hWnd(), WM_MOUSEMOVE, 0, Centre(b.CloseBoxRect()).x, Centre(b.CloseBoxRect()).y);
    EXPECT_EQ(b.BoxShows(TitleBox::Close), BoxState::Disabled) << "no hover on a disabled box";
    LParamAt(b.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, Centre(b.CloseBoxRect()).x, Centre(b.CloseBoxRect()).y);
    LParamAt(b.hWnd(), WM_LBUTTONUP, 0, Centre(b.CloseBoxRect()).x, Centre(b.CloseBoxRect()).y);
    EXPECT_TRUE(PumpQueued());
    EXPECT_TRUE(IsWindowVisible(s.form.hWnd())) << "a disabled close box does nothing";
}

TEST(TitelBarPaint, ClearedFaceAndRedrawnIconOutlastABoxChange)
{
    Shown s{FlatDesign()};
    TitelBar& b = s.bar();
    b.SetPictureButton(SolidPicture(8, 8, RGB(255, 0, 0)));
    b.SetPicturePosX(150);
    ASSERT_TRUE(Holds(b, Rgb(255, 255, 255))) << "the caption is painted";
    b.Cls();
    b.SetPicture(nullptr);
    // The close box's hover picture goes on over the face as it now is.
    const POINT close = Centre(b.CloseBoxRect());
    LParamAt(b.hWnd(), WM_MOUSEMOVE, 0, close.x, close.y);
    ASSERT_TRUE(ShowsPicture(b, TitleBox::Close, BoxState::Hover));
    EXPECT_FALSE(Holds(b, Rgb(255, 255, 255))) << "the cleared caption came back";
    EXPECT_TRUE(Holds(b, Rgb(255, 0, 0))) << "the icon drawn after clearing is gone";
}

TEST(TitelBarPaint, HiddenMaximiseBoxLeavesNoDeadSpot)
{
    Shown s{FlatDesign()};
    int downs = 0;
    s.bar().MouseDown.Connect([&](int&, int&, float&, float&) { ++downs; });
    // The maximise box's design place, where a hidden box used to swallow the mouse.
    LParamAt(s.bar().hWnd(), WM_RBUTTONDOWN, MK_RBUTTON, 275, 14);
    LParamAt(s.bar().hWnd(), WM_RBUTTONUP, 0, 275, 14);
    EXPECT_EQ(downs, 1);
    EXPECT_NE(GetCapture(), s.bar().hWnd()) << "the release gives the capture back";
}

TEST(TitelBarPaint, HoverTracksWithoutTheCaptureUntilTheCursorLeaves)
{
    Shown s{FlatDesign()};
    HWND bar = s.bar().hWnd();
    ASSERT_TRUE(MoveMouseTo(bar, 20, 10));
    EXPECT_TRUE(s.bar().Tracking());
    EXPECT_NE(GetCapture(), bar) << "the images on the bar must see the mouse";
    POINT out{20, 210};
    ClientToScreen(bar, &out);
    ASSERT_TRUE(SetCursorPos(out.x, out.y));
    EXPECT_TRUE(WaitFor([&] { return !s.bar().Tracking(); }, 5000, "the cursor seen leaving"));
}

TEST(TitelBarPaint, CloseBoxHidesOrUnloadsOnceThePressReturned)
{
    for (auto action : {TitelBar::CloseAction::HideForm, TitelBar::CloseAction::UnloadForm}) {
        Shown s{FlatDesign(), action};
        const POINT c = Centre(s.bar().CloseBoxRect());
        LParamAt(s.bar().hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, c.x, c.y);
        EXPECT_TRUE(s.form.IsLoaded() && IsWindowVisible(s.form.hWnd())) << "nothing happens inside the press";
        if (action == TitelBar::CloseAction::HideForm) {
            EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(s.form.hWnd()); }, 5000, "the form hidden"));
            EXPECT_TRUE(s.form.IsLoaded());
        } else {
            EXPECT_TRUE(WaitFor([&] { return !s.form.IsLoaded(); }, 5000, "the form unloaded"));
            EXPECT_EQ(s.form.unloads, 1);
        }
    }
}

// Wine's GDI table holds about 65,000 objects: a leak of one a repaint fails the last ones.
TEST(TitelBarGdi, SeventyThousandRepaintsLeakNothing)
{
    rt::PropertyBag bag = FlatDesign();
    bag.Set(L"DashBack", std::int64_t{-1}).Set(L"CaptionBorder", std::int64_t{-1}).Set(L"Caption3DWidth", std::int64_t{2});
    BarForm form(bag, TitelBar::CloseAction::HideForm, 120);
    form.Load();
    TitelBar& b = form.bar;
    for (int i = 0; i < 70000; ++i) {
        b.SetStyle(i % 16);
        if (i % 5000 == 0) {
            ASSERT_TRUE(PumpQueued());
        }
    }
    rt::Gdi<HBRUSH> probe(CreateSolidBrush(RGB(1, 2, 3)));
    EXPECT_TRUE(probe) << "GDI objects left after the run";
    b.SetStyle(0);
    EXPECT_EQ(BarPixel(b, 2, 2), 0u) << "the last repaint still paints";
    form.Unload();
}
