// The alpha image control on a real form: its picture drawn with alpha over the container,
// Click only for a press and release over a visible pixel, the hand pointer and tool tip.
#include "alphaimage/aicAlphaImage.h"
#include "assets/resource_ids.h"
#include "runtime/Form.h"
#include "runtime/Resources.h"
#include "runtime/Runtime.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class HostForm : public rt::Form {
public:
    HostForm() : rt::Form(L"HostForm", L"alpha image host", 3000, 2000) {}
    aic::aicAlphaImage Image{L"Image"};
    int hitTest = 3;

protected:
    void CreateControls() override
    {
        rt::PropertyBag bag;
        auto bytes = rt::ResourceBytes(IDP_LINK_WEB); // a disc on transparency, 44 by 44
        bag.Set(L"Image", rt::PropertyBag::Bytes(bytes.begin(), bytes.end()));
        bag.Set(L"HitTest", std::int64_t{hitTest});
        bag.Set(L"MPointer", std::int64_t{aic::aicAlphaImage::vbCustom});
        Image.Create(*this, hWnd(), {10, 10, 44, 44}, &bag);
    }
};

class AlphaImage : public ::testing::Test {
protected:
    void Load(int hitTest)
    {
        test::InitControls();
        form.hitTest = hitTest;
        form.Load();
        form.Show();
        form.Image.Click.Connect([this](int b) { clicks.push_back(b); });
        EXPECT_TRUE(test::PumpQueued());
        middle = {form.Image.ScaleWidth() / 2, form.Image.ScaleHeight() / 2};
        corner = {rt::ScaleDesign(1, rt::DpiOf(form.hWnd())), rt::ScaleDesign(1, rt::DpiOf(form.hWnd()))};
    }
    void Press(UINT down, UINT up, POINT at, POINT release)
    {
        HWND h = form.Image.hWnd();
        PostMessageW(h, down, 0, MAKELPARAM(at.x, at.y));
        PostMessageW(h, up, 0, MAKELPARAM(release.x, release.y));
        EXPECT_TRUE(test::PumpQueued());
    }
    HostForm form;
    std::vector<int> clicks;
    // The disc's centre and a clear corner pixel, in the control's pixels.
    POINT middle{}, corner{};
};

TEST_F(AlphaImage, ClickOnlyWhenPressedAndReleasedOverAVisiblePixel)
{
    Load(3);
    Press(WM_LBUTTONDOWN, WM_LBUTTONUP, corner, corner);
    EXPECT_TRUE(clicks.empty());
    Press(WM_LBUTTONDOWN, WM_LBUTTONUP, middle, corner); // released off the picture
    EXPECT_TRUE(clicks.empty());
    Press(WM_LBUTTONDOWN, WM_LBUTTONUP, corner, middle); // pressed off the picture
    EXPECT_TRUE(clicks.empty());
    Press(WM_LBUTTONDOWN, WM_LBUTTONUP, middle, middle);
    Press(WM_RBUTTONDOWN, WM_RBUTTONUP, middle, middle);
    Press(WM_MBUTTONDOWN, WM_MBUTTONUP, middle, middle);
    EXPECT_EQ(clicks, (std::vector<int>{1, 2, 4}));
}

TEST_F(AlphaImage, HitTestZeroTakesEveryPointOfTheControl)
{
    Load(0);
    Press(WM_LBUTTONDOWN, WM_LBUTTONUP, corner, corner);
    EXPECT_EQ(clicks, std::vector<int>{1});
}

TEST_F(AlphaImage, DrawsThePictureWithAlphaOverTheContainer)
{
    Load(3);
    HDC dc = form.Image.BackDC();
    ASSERT_TRUE(dc);
    // The disc's colour at the centre, the form's own background at a transparent corner.
    COLORREF centre = GetPixel(dc, middle.x, middle.y);
    EXPECT_NEAR(GetRValue(centre), 0x2e, 2);
    EXPECT_NEAR(GetGValue(centre), 0x8b, 2);
    EXPECT_NEAR(GetBValue(centre), 0x57, 2);
    EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNFACE));
    // On screen too.
    RECT r{};
    GetWindowRect(form.Image.hWnd(), &r);
    HDC screen = GetDC(nullptr);
    COLORREF shown = GetPixel(screen, r.left + middle.x, r.top + middle.y);
    ReleaseDC(nullptr, screen);
    EXPECT_NEAR(GetGValue(shown), 0x8b, 2);
}

TEST_F(AlphaImage, HandPointerOverThePictureOnly)
{
    Load(3);
    form.Image.SetMouseIcon(LoadCursorW(nullptr, IDC_HAND));
    RECT r{};
    GetWindowRect(form.Image.hWnd(), &r);
    auto cursorAt = [&](POINT p) {
        SetCursorPos(r.left + p.x, r.top + p.y);
        SendMessageW(form.Image.hWnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.Image.hWnd()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_EQ(cursorAt(middle), LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(cursorAt(corner), LoadCursorW(nullptr, IDC_ARROW));
}

// How many more GDI objects the process can make: Wine's handle table is fixed in size.
int FreeGdiHandles()
{
    std::vector<rt::Gdi<HBRUSH>> made;
    made.reserve(70000);
    for (;;) {
        rt::Gdi<HBRUSH> b(CreateSolidBrush(RGB(1, 2, 3)));
        if (!b || made.size() >= 70000)
            break;
        made.push_back(std::move(b));
    }
    return static_cast<int>(made.size());
}

// The same for USER objects (windows, menus, cursors, accelerator tables); Wine's count of them
// is always 0.
int FreeUserHandles()
{
    std::vector<HACCEL> made;
    ACCEL key{FVIRTKEY, 'A', 1};
    for (HACCEL table; made.size() < 70000 && (table = CreateAcceleratorTableW(&key, 1)) != nullptr;)
        made.push_back(table);
    for (HACCEL table : made)
        DestroyAcceleratorTable(table);
    return static_cast<int>(made.size());
}

TEST_F(AlphaImage, ThousandsOfRepaintsLeaveNoGdiObjectBehind)
{
    Load(3);
    auto& image = form.Image;
    const int side = image.ScaleWidth();
    const int before = FreeGdiHandles();
    const int userBefore = FreeUserHandles();
    for (int i = 0; i < 5000; ++i)
        image.Refresh();
    COLORREF centre = GetPixel(image.BackDC(), middle.x, middle.y);
    EXPECT_NEAR(GetGValue(centre), 0x8b, 2);
    // Every effect, the shadow kept and made on the fly, the cache on and off, and resizes.
    for (int i = 0; i < 240; ++i) {
        image.SetAutoRedraw(i % 2 == 0), image.SetShadowEnabled(i % 3 != 0), image.SetShadowDepth(i % 11);
        image.SetRotateEnabled(i % 4 < 2), image.SetRotation(i * 7 % 360), image.SetOpacity(40 + i % 60);
        image.SetGrayScale(i % 9), image.SetIntensityOffset(i % 5 * 20 - 40.f), image.SetMirror(i % 4);
        image.SetInversedImage(i % 5 == 0);
        const int grown = side + i % 3 * side / 2;
        SetWindowPos(image.hWnd(), nullptr, 0, 0, grown, grown, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        image.Refresh();
    }
    EXPECT_GE(FreeGdiHandles() + 16, before);
    EXPECT_GE(FreeUserHandles() + 8, userBefore);
}

} // namespace
