// The picture's pixels over a container that only paints, read back from the control's bitmap:
// each effect against its blend rule, with and without the render cache; the shadow through a
// repaint of it alone; the hit region after the picture moves.
#include "runtime/Runtime.h"
#include "tests/alphaimage/ImageHost.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>

namespace {

constexpr COLORREF kA = RGB(200, 40, 40), kB = RGB(40, 200, 40), kC = RGB(40, 40, 200), kD = RGB(200, 200, 40);
constexpr COLORREF kGround = RGB(0x30, 0x60, 0x90), kShade = RGB(10, 20, 30);

// Left of 150 (at 96 DPI) kGround, right of it 3-pixel cells of white and green.
COLORREF Ground(int dpi, int x, int y)
{
    const int cell = rt::ScaleDesign(3, dpi);
    return x < rt::ScaleDesign(150, dpi) ? kGround : (x / cell + y / cell) % 2 ? RGB(0, 90, 0) : RGB(250, 250, 250);
}

// Paints in WM_PAINT alone, into the DC it is handed when there is one; no class brush.
LRESULT CALLBACK PaintOnly(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_ERASEBKGND)
        return 1;
    if (msg != WM_PAINT && msg != WM_PRINTCLIENT)
        return DefWindowProcW(hwnd, msg, wp, lp);
    PAINTSTRUCT ps{};
    HDC dc = wp ? reinterpret_cast<HDC>(wp) : BeginPaint(hwnd, &ps);
    RECT box{};
    GetClipBox(dc, &box);
    for (int y = box.top, dpi = rt::DpiOf(hwnd); y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            SetPixelV(dc, x, y, Ground(dpi, x, y));
    if (!wp)
        EndPaint(hwnd, &ps);
    return 0;
}

// Squares of kA top left, kB top right, kC bottom left, the bottom right clear (kD when opaque).
test::Bytes Quadrants(bool opaque)
{
    test::Bytes rows;
    for (int i = 0; i < 400; ++i) { // bottom row first
        const bool top = i / 20 >= 10, left = i % 20 < 10;
        const COLORREF c = top ? (left ? kA : kB) : (left ? kC : kD);
        const auto a = static_cast<std::uint8_t>(opaque || top || left ? 255 : 0);
        rows.insert(rows.end(), {static_cast<std::uint8_t>(GetBValue(c) & a), static_cast<std::uint8_t>(GetGValue(c) & a),
                                 static_cast<std::uint8_t>(GetRValue(c) & a), a});
    }
    imaging::c32bppDIB dib;
    dib.InitializeDIB(20, 20);
    dib.SetDIBbits(rows, true, true, true, true);
    test::Bytes bytes;
    dib.SaveToStream(bytes);
    return bytes;
}

class AlphaImagePaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::InitControls();
        host.Load();
        dpi = rt::DpiOf(host.hWnd());
        ASSERT_EQ(dpi, std::getenv("VANTOREL_DPI") ? std::atoi(std::getenv("VANTOREL_DPI")) : 96);
        const WNDCLASSW wc{0, PaintOnly, 0, 0, rt::Instance(), nullptr, nullptr, nullptr, nullptr, L"PaintOnly"};
        RegisterClassW(&wc);
        container = CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, Px(300), Px(200),
                                    host.hWnd(), nullptr, rt::Instance(), nullptr);
    }
    int Px(int designPixels) const { return rt::ScaleDesign(designPixels, dpi); }
    // `props`: 8 the cache, 0x80 the shadow (of depth 0), 0x100 rotation.
    aic::aicAlphaImage& Add(std::int64_t props, rt::Bounds at, bool opaque = false, int angle = 0, int hitTest = 0)
    {
        rt::PropertyBag design;
        design.Set(L"Image", Quadrants(opaque)).Set(L"Props", props).Set(L"Angle", std::int64_t{angle});
        design.Set(L"ShadowColor", std::int64_t{kShade}).Set(L"ShadowDepth", std::int64_t{0});
        return host.Add(&design.Set(L"HitTest", std::int64_t{hitTest}), true, container, at);
    }
    static COLORREF At(const aic::aicAlphaImage& image, int x, int y)
    {
        const auto* p = static_cast<const std::uint8_t*>(image.BackBits()) + (y * image.ScaleWidth() + x) * 4;
        return RGB(p[2], p[1], p[0]);
    }

    test::ImageHost host;
    int dpi = 96;
    HWND container = nullptr;
};

bool Near(COLORREF got, COLORREF want, int tolerance = 2)
{
    for (int s : {0, 8, 16})
        if (std::abs(static_cast<int>((got >> s) & 0xFF) - static_cast<int>((want >> s) & 0xFF)) > tolerance)
            return false;
    return true;
}

// `top` at `percent` over `under`.
COLORREF Mix(COLORREF top, COLORREF under, int percent)
{
    auto m = [&](int s) {
        return std::lround((((top >> s) & 0xFF) * percent + ((under >> s) & 0xFF) * (100 - percent)) / 100.0) << s;
    };
    return static_cast<COLORREF>(m(0) | m(8) | m(16));
}

TEST_F(AlphaImagePaint, EveryEffectBlendsAsItsRuleSays)
{
    const COLORREF shadowed = Mix(kShade, kGround, 50 * 60 / 100);
    const auto shadowQuarterDown = [](aic::aicAlphaImage& i) {
        i.SetOpacity(60), i.SetShadowOffsetX(0), i.SetShadowOffsetY(i.ScaleHeight() / 4);
    };
    const struct {
        const char* name;
        std::int64_t props; // and 0x200 for an opaque picture
        int angle;
        std::function<void(aic::aicAlphaImage&)> set;
        std::vector<std::tuple<int, int, COLORREF>> probes; // at 96 DPI
    } rows[] = {
        {"opacity 60", 1, 0, [](auto& i) { i.SetOpacity(60); },
         {{10, 10, Mix(kA, kGround, 60)}, {30, 10, Mix(kB, kGround, 60)}, {10, 30, Mix(kC, kGround, 60)}, {30, 30, kGround}}},
        // Clockwise, inside the square that holds the picture at any angle.
        {"rotation 90", 0x101, 90, {}, {{15, 15, kC}, {25, 15, kA}, {25, 25, kB}, {15, 25, kGround}, {0, 0, kGround}}},
        {"rotation 45", 0x101, 45, {},
         {{20, 10, kA}, {30, 20, kB}, {20, 30, kGround}, {10, 20, kC}, {5, 20, kC}, {5, 5, kGround}, {35, 35, kGround}}},
        {"rotation 45, size held", 0x101, 45, [](auto& i) { i.SetScaleMethod(4); }, {{3, 20, kC}, {20, 3, kA}}},
        {"mirror X", 1, 0, [](auto& i) { i.SetMirror(1); }, {{10, 10, kB}, {30, 10, kA}, {10, 30, kGround}, {30, 30, kC}}},
        {"mirror Y", 1, 0, [](auto& i) { i.SetMirror(2); }, {{10, 10, kC}, {30, 10, kGround}, {10, 30, kA}, {30, 30, kB}}},
        // 0.299 red + 0.587 green + 0.114 blue.
        {"grey", 1, 0, [](auto& i) { i.SetGrayScale(1); }, {{10, 10, RGB(88, 88, 88)}, {30, 10, RGB(134, 134, 134)}}},
        // Each colour moved by half of 255, kept within 0..255.
        {"lighter", 1, 0, [](auto& i) { i.SetIntensityOffset(50); }, {{10, 10, RGB(255, 167, 167)}, {30, 30, kGround}}},
        {"darker", 1, 0, [](auto& i) { i.SetIntensityOffset(-50); }, {{10, 10, RGB(73, 0, 0)}, {30, 30, kGround}}},
        {"mask", 0x201, 0, [](auto& i) { i.SetMaskColor(kA), i.SetMaskUsed(1); },
         {{10, 10, kGround}, {30, 10, kB}, {30, 30, kD}}},
        {"inversion", 1, 0, [](auto& i) { i.SetInversedImage(true); },
         {{10, 10, kA ^ 0xFFFFFF}, {10, 30, kC ^ 0xFFFFFF}, {30, 30, kGround}}},
        // The shadow at ShadowOpacity x Opacity / 100, under the picture.
        {"shadow", 0x81, 0, shadowQuarterDown,
         {{30, 25, shadowed}, {30, 35, kGround}, {10, 5, Mix(kA, kGround, 60)}, {10, 15, Mix(kA, shadowed, 60)}}},
        // The shadow of the picture as it is drawn, turned once.
        {"rotated shadow", 0x181, 90, shadowQuarterDown, {{15, 25, shadowed}, {25, 15, Mix(kA, kGround, 60)}}},
        // The control takes the picture's own 20 pixels, whatever the DPI.
        {"sized to the picture", 5, 0, [](auto& i) { i.SetScaleMethod(3); },
         {{3, 3, kA}, {12, 3, kB}, {3, 12, kC}, {12, 12, kGround}}},
    };
    for (const auto& row : rows)
        for (const std::int64_t cache : {0, 8}) { // the same pixels either way
            SCOPED_TRACE(std::string(row.name) + (cache ? ", cache" : ""));
            auto& image = Add((row.props & 0x1FF) | cache, {13, 7, 40, 40}, row.props & 0x200, row.angle);
            if (row.set)
                row.set(image); // each let repaints
            for (const auto& [x, y, want] : row.probes) {
                const COLORREF got = At(image, Px(x), Px(y));
                EXPECT_TRUE(Near(got, want)) << x << ", " << y << std::hex << ": " << got << " for " << want;
            }
        }
}

TEST_F(AlphaImagePaint, AutoRedrawSwitchedOnKeepsTheCacheThatAHitRegionMade)
{
    // What the cache holds is what a repaint shows, so a change made to the picture object
    // behind the control's back shows only when there is no cache.
    const std::function<void(aic::aicAlphaImage&)> rebuilds[] = {
        [](auto& i) { i.SetAutoRedraw(true), i.SetHitTest(1); },
        [](auto& i) { i.SetEnabled(false), i.SetAutoRedraw(true), i.SetEnabled(true); },
        [](auto& i) { int x = 0, y = 0, sx = 0, sy = 0; i.SetAutoRedraw(true), i.OffsetImage(true, x, y, sx, sy); },
    };
    for (const auto& rebuild : rebuilds) {
        auto& image = Add(1, {13, 7, 40, 40}, false, 0, 3);
        rebuild(image);
        image.SourceDIB()->MakeImageInverse();
        image.Refresh();
        EXPECT_TRUE(Near(At(image, Px(10), Px(10)), kA)) << std::hex << At(image, Px(10), Px(10));
    }
}

TEST_F(AlphaImagePaint, ClearPixelsShowTheContainerAsItPaintsItself)
{
    auto& image = Add(1, {170, 7, 40, 40});
    const int side = image.ScaleWidth();
    int wrong = 0;
    for (int y = side / 2 + Px(2); y < side - 1; ++y) // the clear square, away from blended edges
        for (int x = side / 2 + Px(2); x < side - 1; ++x) {
            POINT p{x, y};
            MapWindowPoints(image.hWnd(), container, &p, 1);
            wrong += Near(At(image, x, y), Ground(dpi, p.x, p.y), 0) ? 0 : 1;
        }
    EXPECT_EQ(wrong, 0);
}

TEST_F(AlphaImagePaint, RepaintOfTheShadowAloneKeepsIt)
{
    auto& image = Add(0x81, {13, 7, 60, 40});
    const int sw = image.ScaleWidth(), sh = image.ScaleHeight(), right = (sw + sh) / 2;
    image.SetShadowOpacity(100), image.SetShadowOffsetX(sw / 6), image.SetShadowOffsetY(0);
    IntersectClipRect(image.BackDC(), right, 0, sw, sh); // beside the picture
    image.Refresh();
    SelectClipRgn(image.BackDC(), nullptr);
    EXPECT_TRUE(Near(At(image, right + sw / 12, sh / 4), kShade));
}

TEST_F(AlphaImagePaint, HitRegionFollowsThePictureAsItMoves)
{
    auto& image = Add(1, {13, 7, 60, 40}, false, 0, 3);
    const int sw = image.ScaleWidth(), sh = image.ScaleHeight(), gap = Px(2);
    int x = Px(3), y = 0, shadowX = 0, shadowY = 0;
    image.OffsetImage(true, x, y, shadowX, shadowY);
    image.OffsetImage(true, x = Px(5), y, shadowX, shadowY);
    const int left = (sw - sh) / 2 + x, right = (sw + sh) / 2 + x;
    const std::pair<int, COLORREF> probes[] = {{left - gap, kGround}, {left + gap, kA}, {right - gap, kB}, {right + gap, kGround}};
    for (const auto& [at, drawn] : probes) { // hit where the picture is drawn
        POINT p{at, sh / 4};
        ClientToScreen(image.hWnd(), &p);
        EXPECT_EQ(SendMessageW(image.hWnd(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)) == HTCLIENT, drawn != kGround) << at;
        EXPECT_TRUE(Near(At(image, at, sh / 4), drawn)) << at;
    }
}

} // namespace
