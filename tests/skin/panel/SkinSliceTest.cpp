// The panel and title bar as the forms use them.
#include "runtime/Form.h"
#include "skin/PanelFx.h"
#include "skin/TitelBar.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

class HostForm : public rt::Form {
public:
    HostForm() : rt::Form(L"HostForm", L"Skin host", 6000, 4500) {}
    skin::PanelFx panel{L"PanelFx1"};
    skin::TitelBar bar{L"TitelBar1", skin::TitelBar::CloseAction::UnloadForm};
    int unloads = 0;

protected:
    void CreateControls() override
    {
        rt::PropertyBag design;
        design.Set(L"TitleCaption", std::wstring(L"Today's Log"));
        panel.Create(*this, hWnd(), {10, 40, 200, 120}, &design);
        bar.Create(*this, hWnd(), {0, 0, 400, 28});
    }
    void Form_Unload() override { ++unloads; }
};

COLORREF PixelAt(HDC dc, int x, int y) { return GetPixel(dc, x, y); }

} // namespace

TEST(PanelFx, RoundEdgeShapesTheWindowAndTitleRepaints)
{
    HostForm form;
    form.Load();
    EXPECT_EQ(form.panel.TitleCaption(), L"Today's Log");
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(form.panel.hWnd(), rgn), ERROR) << "square until rounded";
    form.panel.SetRoundEdge(7);
    ASSERT_NE(GetWindowRgn(form.panel.hWnd(), rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_TRUE(PtInRegion(rgn, 100, 60));
    DeleteObject(rgn);

    // The title band is drawn behind the text; a repaint after a new title must keep it.
    COLORREF band = PixelAt(form.panel.BackDC(), 190, 11);
    form.panel.SetTitleCaption(L"Block IP History (3)");
    EXPECT_EQ(form.panel.TitleCaption(), L"Block IP History (3)");
    EXPECT_EQ(PixelAt(form.panel.BackDC(), 190, 11), band);
    EXPECT_EQ(form.panel.ChangedProperties().count(L"TitleCaption"), 1u);
    form.Unload();
}

TEST(TitelBar, WidthFollowsTheFormAndCloseUnloadsInThatVariant)
{
    HostForm form;
    form.Load();
    form.bar.SetWidth(form.Width());
    RECT r;
    GetClientRect(form.bar.hWnd(), &r);
    RECT formRect;
    GetWindowRect(form.hWnd(), &formRect);
    EXPECT_EQ(r.right, formRect.right - formRect.left);
    RECT close = form.bar.CloseBoxRect();
    EXPECT_EQ(close.right, r.right - 6) << "the close box moves with the new width";

    form.bar.SetCaption(L"Vantorel - Brennix");
    EXPECT_EQ(form.bar.Caption(), L"Vantorel - Brennix");

    SendMessageW(form.bar.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM((close.left + close.right) / 2, (close.top + close.bottom) / 2));
    EXPECT_TRUE(test::PumpUntil([&] { return !form.IsLoaded(); }, 3000));
    EXPECT_EQ(form.unloads, 1);
}
