// Both programs' panels as their forms design them, at the DPI of the prefix the test runs in
// (96 in the shared prefix, 144 through tools/with-dpi): the band's height scales, the caption
// fits in it, and the labels and check boxes on a panel show the panel's body colour.
#include "blocker/FrmMain.h"
#include "monitor/FrmMain.h"
#include "common/ModCommon.h"
#include "runtime/Handles.h"
#include "runtime/Runtime.h"
#include "tests/support/ProgramFormsTest.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr COLORREF kBody = RGB(244, 246, 250);

class ProgramPanels : public test::ProgramFormsTest {
protected:
    void Check(rt::Form& form, int panels)
    {
        const char* env = std::getenv("VANTOREL_DPI");
        const int dpi = rt::DpiOf(form.hWnd());
        ASSERT_EQ(dpi, env ? std::atoi(env) : 96) << "the prefix's DPI did not reach the form";
        int seen = 0, children = 0;
        for (rt::Control* c : form.Controls()) {
            auto* panel = dynamic_cast<skin::PanelFx*>(c);
            if (!panel)
                continue;
            ++seen;
            const std::string name = test::Narrow(panel->Name());
            HDC dc = panel->hdc();
            const int w = panel->ScaleWidth(), th = MulDiv(22, dpi, 96);
            EXPECT_EQ(GetPixel(dc, w / 2, th), kBody) << name << ": the body starts below a band of " << th;
            EXPECT_NE(GetPixel(dc, w / 2, th - 2), kBody) << name << ": the band ends at " << th;
            bool caption = false;
            for (int y = 1; y < th - 1 && !caption; ++y)
                for (int x = 0; x < w / 2 && !caption; ++x)
                    caption = GetPixel(dc, x, y) == RGB(255, 255, 255);
            EXPECT_TRUE(caption) << name << ": no caption in the band";

            for (HWND child = GetWindow(panel->hWnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                wchar_t cls[32] = {};
                GetClassNameW(child, cls, 32);
                const bool box = lstrcmpiW(cls, L"Button") == 0 &&
                                 (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
                if (lstrcmpiW(cls, L"Static") != 0 && !box)
                    continue;
                ++children;
                // The child paints itself into a bitmap as on screen, asking the panel for its
                // background; the corner past its text shows that background.
                RECT r{};
                GetClientRect(child, &r);
                rt::UniqueDC mem(CreateCompatibleDC(dc));
                rt::Gdi<HBITMAP> bmp(CreateCompatibleBitmap(dc, r.right, r.bottom));
                rt::Selected use(mem.get(), bmp.get());
                SendMessageW(child, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem.get()), PRF_CLIENT | PRF_ERASEBKGND);
                EXPECT_EQ(GetPixel(mem.get(), r.right - 2, r.bottom - 2), kBody)
                    << name << ' ' << test::Narrow(rt::WindowText(child));
            }
        }
        EXPECT_EQ(seen, panels);
        EXPECT_GT(children, 0);
    }
};

TEST_F(ProgramPanels, OstreviPanelsScaleAndTheirLabelsShowTheBody)
{
    test::WriteBytes(folder / L"Settings.ini", "[main]\r\nPort=3389\r\nTime=5\r\n");
    auto form = std::make_unique<vantorel::ostrevi::FrmMain>(vantorel::Seams{.commandLine = L""});
    form->Load();
    form->ShowAfterLoad();
    Check(*form, 3);
}

TEST_F(ProgramPanels, BrennixPanelsScaleAndTheirLabelsShowTheBody)
{
    auto form = std::make_unique<vantorel::brennix::FrmMain>(vantorel::Seams{.commandLine = L""});
    form->Load();
    form->ShowAfterLoad();
    Check(*form, 2);
    form->Unload();
}

} // namespace
