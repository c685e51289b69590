// The panel's drawing, region, collapse and bag on a real window (read back from its backing
// bitmap), at the DPI of the prefix the test runs in.
#include "runtime/Form.h"
#include "runtime/Handles.h"
#include "skin/PanelFx.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using skin::PanelFx;

namespace {

class PanelForm : public rt::Form {
public:
    PanelForm() : rt::Form(L"PanelForm", L"Panel host", 6000, 4500) {}
    PanelFx panel{L"PanelFx1"};

protected:
    void CreateControls() override { panel.Create(*this, hWnd(), {10, 40, 240, 120}); }
};

class Panel : public ::testing::Test {
protected:
    void SetUp() override { form.Load(); }
    void TearDown() override { form.Unload(); }
    int W() const { return form.panel.ScaleWidth(); }
    int H() const { return form.panel.ScaleHeight(); }
    int TH() const { return MulDiv(form.panel.TileHeight(), rt::DpiOf(form.hWnd()), 96); }
    COLORREF At(int x, int y) const { return GetPixel(form.panel.hdc(), x, y); }
    PanelForm form;
};

bool Near(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= 1 && std::abs(GetGValue(a) - GetGValue(b)) <= 1 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 1;
}

// A bitmap picture of w x h pixels, colour of (x, y) given.
skin::PicturePtr Bitmap(int w, int h, COLORREF (*colour)(int x, int y))
{
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetPixel(mem, x, y, colour(x, y));
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return skin::Picture::FromBitmap(bmp);
}

COLORREF Texel(int x, int y) { return RGB(40 + 80 * x, 60 + 120 * y, 7); }

// An icon whose every pixel is black and opaque: drawn on a black band it adds no ink.
HICON BlackIcon()
{
    BYTE andMask[32 * 4] = {};
    BYTE xorMask[32 * 4] = {};
    return CreateIcon(GetModuleHandleW(nullptr), 32, 32, 1, 1, andMask, xorMask);
}

} // namespace

TEST_F(Panel, RegionCornersFollowRoundEdge)
{
    struct Case {
        int edge;
        bool cornersIn;
    } cases[] = {{0, true}, {7, false}};
    for (const Case& c : cases) {
        form.panel.SetRoundEdge(c.edge);
        rt::Gdi<HRGN> rgn(CreateRectRgn(0, 0, 0, 0));
        // No region at all is the whole window.
        const bool any = GetWindowRgn(form.panel.hWnd(), rgn.get()) != ERROR;
        auto in = [&](int x, int y) { return !any || PtInRegion(rgn.get(), x, y) != FALSE; };
        for (POINT p : {POINT{0, 0}, POINT{W() - 1, 0}, POINT{0, H() - 1}, POINT{W() - 1, H() - 1}})
            EXPECT_EQ(in(p.x, p.y), c.cornersIn) << "edge " << c.edge << " at " << p.x << ',' << p.y;
        EXPECT_TRUE(in(W() / 2, 0) && in(0, H() / 2) && in(W() / 2, H() / 2)) << "edge " << c.edge;
    }
}

TEST_F(Panel, RegionIsSetOnlyWhenSizeOrCornerChanges)
{
    form.panel.SetRoundEdge(7);
    ASSERT_TRUE(test::PumpQueued());
    // A repaint that set the region again would invalidate the window once more, for ever.
    form.panel.SetTitleCaption(L"Again");
    ASSERT_TRUE(test::PumpQueued());
    EXPECT_FALSE(GetUpdateRect(form.panel.hWnd(), nullptr, FALSE)) << "the panel keeps asking to be painted";
}

TEST_F(Panel, FillsReachTheirEndColoursAndFramesUseTheBorderColour)
{
    // The band is short: its colours differ little, so its last row shows the end within 1.
    const COLORREF a = RGB(200, 40, 10), b = RGB(190, 50, 20), c = RGB(20, 120, 90), d = RGB(60, 90, 130);
    PanelFx& p = form.panel;
    p.SetgCTitleStart(a);
    p.SetgCTitleEnd(b);
    p.SetgCPanelStart(c);
    p.SetgCPanelEnd(d);
    p.SetPanelBorderColor(RGB(1, 2, 3));
    struct Case {
        skin::PanelGradientDir dir;
        POINT titleStart, titleEnd, bodyStart, bodyEnd;
    };
    const int w = W(), h = H(), th = TH();
    const Case cases[] = {
        // The outline covers the fills' last column and row.
        {skin::PanelGradientDir::Vertical, {w / 2, 1}, {w / 2, th - 2}, {w / 2, th}, {w / 2, h - 3}},
        {skin::PanelGradientDir::Horizontal, {1, th / 2}, {w - 3, th / 2}, {1, h / 2}, {w - 3, h / 2}},
    };
    p.SetBackGroundStyle(skin::PanelBackground::Gradient);
    for (const Case& k : cases) {
        p.SetgCTitleDir(k.dir);
        p.SetgCPanelDir(k.dir);
        const int dir = static_cast<int>(k.dir);
        EXPECT_TRUE(Near(At(k.titleStart.x, k.titleStart.y), a)) << dir << std::hex << ' ' << At(k.titleStart.x, k.titleStart.y);
        EXPECT_TRUE(Near(At(k.titleEnd.x, k.titleEnd.y), b)) << dir << std::hex << ' ' << At(k.titleEnd.x, k.titleEnd.y);
        EXPECT_TRUE(Near(At(k.bodyStart.x, k.bodyStart.y), c)) << dir << std::hex << ' ' << At(k.bodyStart.x, k.bodyStart.y);
        EXPECT_TRUE(Near(At(k.bodyEnd.x, k.bodyEnd.y), d)) << dir << std::hex << ' ' << At(k.bodyEnd.x, k.bodyEnd.y);
    }
    EXPECT_EQ(At(w / 2, th - 1), RGB(1, 2, 3)) << "the body's frame runs under the band";

    // Solid: system colours are translated; a value that names none shows yellow.
    p.SetBackGroundStyle(skin::PanelBackground::Solid);
    p.SetPanelBackColor(0x800000FF);
    EXPECT_EQ(At(w / 2, th / 2), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(At(w / 2, h / 2), RGB(255, 255, 0));
}

TEST_F(Panel, PatternTilesTheBitmapFromTheOrigin)
{
    PanelFx& p = form.panel;
    p.SetPanelBitmap(Bitmap(3, 2, Texel));
    p.SetTitleBitmap(Bitmap(3, 2, Texel));
    p.SetBackGroundStyle(skin::PanelBackground::Pattern);
    const int th = TH();
    for (POINT at : {POINT{1, th}, POINT{2, th + 1}, POINT{7, th + 5}, POINT{W() - 3, H() - 3}, POINT{W() - 4, th / 2}}) {
        skin::PanelTexel t = skin::PanelPatternTexel(at.x, at.y, 3, 2);
        EXPECT_EQ(At(at.x, at.y), Texel(t.x, t.y)) << at.x << ',' << at.y;
    }
}

TEST_F(Panel, CaptionSitsByAlignmentAndMakesRoomOnlyForADrawnIcon)
{
    PanelFx& p = form.panel;
    p.SetTileBackColor(0);
    p.SetTitleForeColor(0xFFFFFF);
    p.SetTitleCaption(L"IIII");
    const int dpi = rt::DpiOf(form.hWnd());
    auto s = [&](int v) { return MulDiv(v, dpi, 96); };
    HICON black = BlackIcon();
    ASSERT_NE(black, nullptr);
    // A handle destroyed behind the picture's back: the icon cannot be drawn.
    HICON gone = BlackIcon();
    auto broken = skin::Picture::FromIcon(gone);
    DestroyIcon(gone);

    // The caption's advance width in the panel's font (the ambient one), and the blank its
    // first glyph starts with, from the plain left caption.
    SIZE text{};
    {
        LOGFONTW lf = rt::MessageFontAt(dpi);
        rt::Gdi<HFONT> font(CreateFontIndirectW(&lf));
        rt::UniqueDC dc(CreateCompatibleDC(nullptr));
        rt::Selected use(dc.get(), font.get());
        GetTextExtentPoint32W(dc.get(), L"IIII", 4, &text);
    }
    const int w = W();
    auto firstInk = [&] {
        for (int x = 0; x < w; ++x)
            for (int y = 1; y < TH() - 1; ++y)
                if (GetRValue(At(x, y)) > 128)
                    return x;
        return -1;
    };
    p.SetTitleAlignment(skin::PanelAlignment::Left);
    const int bearing = firstInk() - s(4);
    ASSERT_TRUE(bearing >= 0 && bearing <= 3) << "no caption where a left one goes: " << firstInk();

    struct Case {
        const char* what;
        skin::PanelAlignment align;
        skin::PicturePtr icon;
        bool hide;
        int x; // where the caption starts
    };
    const Case cases[] = {
        {"left, icon", skin::PanelAlignment::Left, skin::Picture::FromIcon(black), false, s(4) + s(32)},
        {"left, hidden icon", skin::PanelAlignment::Left, skin::Picture::FromIcon(CopyIcon(black)), true, s(4)},
        {"left, icon not drawn", skin::PanelAlignment::Left, broken, false, s(4)},
        {"centre", skin::PanelAlignment::Centre, nullptr, false, (w - text.cx) / 2 - s(4)},
        {"right", skin::PanelAlignment::Right, nullptr, false, w - text.cx - s(4)},
    };
    for (const Case& c : cases) {
        p.SetTitleIcon(c.icon);
        p.SetHideTitleIcon(c.hide);
        p.SetTitleAlignment(c.align);
        EXPECT_LE(std::abs(firstInk() - bearing - c.x), 1) << c.what << ": first ink at " << firstInk();
    }
    DestroyIcon(black);
}

TEST_F(Panel, CollapseKeepsTheRealSizeWhateverTheOrderOfCalls)
{
    PanelFx& p = form.panel;
    const SIZE full{W(), H()};
    struct Step {
        bool canCollapse, collapse;
        int height; // 0: the full height, else the band's
    } steps[] = {{false, true, 0}, {true, false, 0}, {true, true, 1}, {true, true, 1}, {true, false, 0}, {true, false, 0}};
    for (const Step& s : steps) {
        p.SetCanCollapse(s.canCollapse);
        p.Collapse(s.collapse);
        EXPECT_EQ(W(), full.cx);
        EXPECT_EQ(H(), s.height ? TH() : full.cy) << "can " << s.canCollapse << " collapse " << s.collapse;
    }
    EXPECT_EQ(p.ChangedProperties().count(L"CanCollapse"), 1u);
}

TEST_F(Panel, BagValuesOutOfRangeTakeTheDefaultsAndGoodOnesRoundTrip)
{
    rt::PropertyBag bad;
    for (const wchar_t* key : {L"TileHeight", L"TitleIconWidth", L"TitleIconHeight", L"RoundEdge"})
        bad.Set(key, std::int64_t{-1});
    bad.Set(L"TitleAlignment", std::int64_t{3}).Set(L"BackGroundStyle", std::int64_t{3});
    bad.Set(L"gCTitleDir", std::int64_t{2}).Set(L"gCPanelDir", std::int64_t{-1});
    bad.Set(L"TitleIconXPos", std::int64_t{40000}).Set(L"PanelBorderColor", std::int64_t{0x100000000});
    bad.Set(L"Font", std::wstring(L"Tahoma;-3;1;0;0;0"));
    PanelFx fromBad{L"Bad"};
    fromBad.Create(form, form.hWnd(), {0, 0, 50, 50}, bad);
    rt::PropertyBag written;
    fromBad.WriteTo(written);
    for (const wchar_t* key : {L"TileHeight", L"TitleIconWidth", L"TitleIconHeight", L"RoundEdge", L"TitleAlignment",
                               L"BackGroundStyle", L"gCTitleDir", L"gCPanelDir", L"TitleIconXPos", L"PanelBorderColor",
                               L"Font"})
        EXPECT_FALSE(written.Has(key)) << test::Narrow(key) << " kept a bad value";
    EXPECT_EQ(fromBad.TitleCaption(), L"Panel");

    rt::PropertyBag good = skin::ProgramPanelDesign(L"Settings");
    good.Set(L"TitleIconXPos", std::int64_t{-4}).Set(L"AllowParentDraging", std::int64_t{1});
    PanelFx a{L"A"}, b{L"B"};
    a.Create(form, form.hWnd(), {0, 0, 50, 50}, good);
    rt::PropertyBag out;
    a.WriteTo(out);
    b.Create(form, form.hWnd(), {0, 0, 50, 50}, out);
    EXPECT_EQ(b.TileHeight(), 22);
    EXPECT_EQ(b.TitleIconXPos(), -4);
    EXPECT_TRUE(b.AllowParentDraging() && b.HideTitleIcon() && b.Font().bold);
    EXPECT_EQ(b.gCTitleEnd(), a.gCTitleEnd());
    EXPECT_EQ(b.BackGroundStyle(), skin::PanelBackground::Gradient);
}

TEST_F(Panel, TitleIconComesBackFromTheBagAsItWent)
{
    for (const skin::PicturePtr& icon : {Bitmap(3, 2, Texel), skin::Picture::FromIcon(BlackIcon())}) {
        form.panel.SetTitleIcon(icon);
        rt::PropertyBag saved, again;
        form.panel.WriteTo(saved);
        PanelFx back{L"Back"};
        back.Create(form, form.hWnd(), {0, 0, 50, 50}, saved);
        back.WriteTo(again);
        ASSERT_TRUE(back.TitleIcon() && saved.Has(L"TitleIcon")) << icon->Type();
        EXPECT_EQ(back.TitleIcon()->Type(), icon->Type());
        // The bytes are the system's reading of each picture's pixels and size.
        EXPECT_EQ(again.ReadBytes(L"TitleIcon"), saved.ReadBytes(L"TitleIcon")) << icon->Type();
    }
}
