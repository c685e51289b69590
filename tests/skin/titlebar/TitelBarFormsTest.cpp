// Both programs' title bars at the DPI of the prefix they run in (96 in the shared one, 144
// through tools/with-dpi): the band, the caption's start and the boxes, all scaled.
#include "blocker/FrmMain.h"
#include "monitor/FrmMain.h"
#include "common/ModCommon.h"
#include "common/PageOpen.h"
#include "runtime/Runtime.h"
#include "TitelBarFixture.h"
#include "tests/support/ProgramFormsTest.h"
#include "tests/support/RealInput.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::uint32_t At(const skin::TitelBar& b, int x, int y)
{
    GdiFlush();
    return static_cast<const std::uint32_t*>(b.BackBits())[static_cast<std::size_t>(y) * b.ScaleWidth() + x] & 0xFFFFFF;
}

std::vector<std::wstring> g_opened;

HINSTANCE WINAPI RecordPage(HWND, LPCWSTR, LPCWSTR file, LPCWSTR, LPCWSTR, INT)
{
    g_opened.emplace_back(file ? file : L"");
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
}

struct Link {
    aic::aicAlphaImage& image;
    const wchar_t* page;
    bool hand = true; // the donation image is a plain image, with the plain pointer
};

RECT WindowRect(HWND h)
{
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}

POINT CentreOf(HWND h)
{
    RECT r{};
    GetClientRect(h, &r);
    return POINT{r.right / 2, r.bottom / 2};
}

class TitelBarForms : public test::ProgramFormsTest {
protected:
    void SetUp() override
    {
        test::ProgramFormsTest::SetUp();
        g_opened.clear();
    }
    // A hand's clicks: from the bar's left end, across the bar (and what lies below it) onto
    // each link; the page opens, the hand pointer shows, and the form stays where it was.
    // Both programs' forms hold the same images under the same names.
    template <typename ProgramForm>
    void ClickLinks(ProgramForm& f)
    {
        ClickLinks(f.hWnd(), f.TitelBar1,
                   {{f.aicAlphaImage4, vantorel::kMakerHomePage},
                    {f.aicAlphaImage5, vantorel::kMakerIpSecGuidePage},
                    {f.aicAlphaImage6, vantorel::kMakerHelpPage},
                    {f.ImageDonate, vantorel::kMakerDonatePage, false}},
                   f.aicAlphaImage1);
    }
    void ClickLinks(HWND form, const skin::TitelBar& bar, const std::vector<Link>& links, const aic::aicAlphaImage& logo)
    {
        ASSERT_EQ(test::BringToForeground(form), "");
        const RECT before = WindowRect(form);
        for (const Link& l : links) {
            g_opened.clear();
            ASSERT_TRUE(test::MoveMouseTo(bar.hWnd(), 2, bar.ScaleHeight() / 2));
            ASSERT_EQ(test::ClickAt(l.image.hWnd(), CentreOf(l.image.hWnd()), MOUSEEVENTF_LEFTDOWN), "");
            EXPECT_TRUE(test::WaitFor([] { return !g_opened.empty(); }, 5000, "the page to open"))
                << test::Narrow(l.image.Name());
            EXPECT_TRUE(test::PumpQueued());
            EXPECT_EQ(g_opened, std::vector<std::wstring>{l.page});
            CURSORINFO shown{};
            shown.cbSize = sizeof(shown);
            EXPECT_TRUE(GetCursorInfo(&shown));
            EXPECT_EQ(shown.hCursor == LoadCursorW(nullptr, IDC_HAND), l.hand) << test::Narrow(l.image.Name());
        }
        // A double click is one click.
        g_opened.clear();
        test::PassDoubleClickTime();
        const Link& first = links.front();
        ASSERT_EQ(test::ClickAt(first.image.hWnd(), CentreOf(first.image.hWnd()), MOUSEEVENTF_LEFTDOWN, 2), "");
        EXPECT_TRUE(test::WaitFor([] { return !g_opened.empty(); }, 5000, "the page to open"));
        EXPECT_TRUE(test::PumpQueued());
        EXPECT_EQ(g_opened.size(), 1u);
        g_opened.clear();
        ASSERT_EQ(test::ClickAt(logo.hWnd(), CentreOf(logo.hWnd()), MOUSEEVENTF_LEFTDOWN), "");
        EXPECT_TRUE(test::PumpQueued());
        EXPECT_TRUE(g_opened.empty()) << "the logo is no link";
        const RECT after = WindowRect(form);
        EXPECT_TRUE(EqualRect(&before, &after)) << "the form moved by " << after.left - before.left << ", "
                                                << after.top - before.top;
    }

    void Check(skin::TitelBar& b)
    {
        const int dpi = rt::DpiOf(b.hWnd());
        auto scaled = [dpi](int v) { return MulDiv(v, dpi, 96); };
        // The shown form's pending size messages settle first.
        EXPECT_TRUE(test::WaitFor([&] { return b.ScaleHeight() == scaled(28); }, 5000, "the bar's scaled height"))
            << b.ScaleHeight();
        EXPECT_EQ(At(b, 1, 0), 0x4668A0u) << "the band starts at RGB(70, 104, 160)";
        EXPECT_LT(At(b, 1, b.ScaleHeight() - 1) >> 16, 70u) << "and darkens downwards";
        const RECT close = b.CloseBoxRect(), min = b.MinBoxRect();
        EXPECT_EQ(close.right - close.left, scaled(16));
        EXPECT_EQ(close.right, b.ScaleWidth() - scaled(6));
        EXPECT_EQ(min.right, close.left - scaled(6));
        int firstInk = -1;
        for (int x = 0; x < scaled(60) && firstInk < 0; ++x)
            for (int y = 0; y < b.ScaleHeight(); ++y)
                if (At(b, x, y) == 0xFFFFFFu) {
                    firstInk = x;
                    break;
                }
        EXPECT_GE(firstInk, scaled(6)) << "the caption starts 6 design pixels in";
        EXPECT_LE(firstInk, scaled(6) + scaled(3));
        // The icon is drawn at its own size scaled like the rest of the bar.
        b.SetPictureButton(test::SolidPicture(8, 8, RGB(255, 0, 0)));
        int across = 0, down = 0;
        for (int x = 0; x < b.ScaleWidth(); ++x)
            across += At(b, x, scaled(4) + 1) == 0xFF0000u;
        for (int y = 0; y < b.ScaleHeight(); ++y)
            down += At(b, scaled(6) + 1, y) == 0xFF0000u;
        EXPECT_EQ(across, scaled(8));
        EXPECT_EQ(down, scaled(8));
    }
};

} // namespace

TEST_F(TitelBarForms, OstreviBarScalesWithTheDpi)
{
    test::WriteBytes(folder / L"Settings.ini", "[main]\r\nPort=3389\r\nTime=5\r\n");
    auto form = std::make_unique<vantorel::ostrevi::FrmMain>(vantorel::Seams{.commandLine = L""});
    form->Load();
    form->ShowAfterLoad();
    Check(form->TitelBar1);
}

TEST_F(TitelBarForms, OstreviLinksOpenTheirPagesUnderAHand)
{
    test::WriteBytes(folder / L"Settings.ini", "[main]\r\nPort=3389\r\nTime=5\r\n");
    auto form = std::make_unique<vantorel::ostrevi::FrmMain>(
        vantorel::Seams{.pageOpener = &RecordPage, .commandLine = L""});
    form->Load();
    form->ShowAfterLoad();
    ClickLinks(*form);
}

TEST_F(TitelBarForms, BrennixLinksOpenTheirPagesUnderAHand)
{
    auto form = std::make_unique<vantorel::brennix::FrmMain>(vantorel::Seams{.pageOpener = &RecordPage, .commandLine = L""});
    form->Load();
    form->ShowAfterLoad();
    ClickLinks(*form);
    form->Unload();
}

TEST_F(TitelBarForms, BrennixBarScalesWithTheDpi)
{
    auto form = std::make_unique<vantorel::brennix::FrmMain>(vantorel::Seams{.commandLine = L""});
    form->Load();
    form->ShowAfterLoad();
    Check(form->TitelBar1);
    form->Unload();
}
