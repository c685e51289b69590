// The window, the hand-over of an address on the command line, the address box's filter
// under real typing, and the guide button.
#include "blocker/ModMain.h"
#include "common/PageOpen.h"
#include "runtime/Runtime.h"
#include "tests/blocker/BrennixFixture.h"
#include "tests/blocker/Pixels.h"
#include "tests/support/LinkImageRun.h"

#include <algorithm>

using namespace vantorel;

using namespace vantorel::brennix;
using namespace vantorel::brennix::test;

namespace {
std::wstring g_opened;
HINSTANCE WINAPI RecordPage(HWND, LPCWSTR, LPCWSTR file, LPCWSTR, LPCWSTR, INT)
{
    g_opened = file;
    return reinterpret_cast<HINSTANCE>(33);
}
} // namespace

TEST_F(BrennixTest, WindowHasItsDesignSizeAndTitle)
{
    FrmMain& f = Start();
    EXPECT_EQ(f.Width(), FrmMain::kWidthTwips);
    EXPECT_EQ(f.Height(), FrmMain::kHeightTwips);
    EXPECT_EQ(f.TitelBar1.Caption(), L"Vantorel - Brennix");
    EXPECT_EQ(f.TitelBar1.Width(), f.Width());
    EXPECT_EQ(f.ButtonBrennix.Caption(), L"Block IP");
    EXPECT_EQ(f.dcButton1.Caption(), L"Open Guide");
    EXPECT_EQ(f.PanelFx1.TitleCaption(), L"Block IP");
    EXPECT_EQ(f.PanelFx1.RoundEdge(), 7);
    EXPECT_EQ(f.PanelFx2.RoundEdge(), 7);
    EXPECT_EQ(GetWindowLongPtrW(f.hWnd(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
}

TEST_F(BrennixTest, HandedOverTextFillsTheBoxUnchangedAndBlocksNothing)
{
    struct Case {
        const wchar_t* args;
        const wchar_t* box;
    } cases[] = {
        {L"192.0.2.1", L"192.0.2.1"},
        {L"  192.0.2.1  ", L"  192.0.2.1  "},
        {L"   ", L""},
        {L"1.2.3.4 & calc", L"1.2.3.4 & calc"},
    };
    for (const auto& c : cases) {
        seams.commandLine = c.args;
        FrmMain& f = Start();
        EXPECT_EQ(f.TextIP.Text(), c.box);
        EXPECT_EQ(f.List1.ListCount(), 0);
        f.Unload();
        form.reset();
    }
    EXPECT_TRUE(BatchFiles(temp).empty());
    EXPECT_FALSE(::test::FileExists(HistoryFile()));
}

TEST_F(BrennixTest, TypingIsFilteredKeyByKey)
{
    FrmMain& f = Start();
    f.TextIP.SetText(L"10.0.0.1");
    ClickCentre(f.TextIP.hWnd());
    EXPECT_TRUE(::test::PumpUntil([&] { return GetFocus() == f.TextIP.hWnd(); })) << "the click focuses the box";
    f.TextIP.SetFocus();
    DWORD start = 1, end = 0;
    EXPECT_TRUE(::test::PumpUntil([&] {
        SendMessageW(f.TextIP.hWnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return start == 0 && end == 8;
    })) << "focus selects the whole text: " << start << ".." << end;
    const std::wstring keys = L"1x9 2.168.0.2565.8";
    std::size_t handled = 0;
    const int id = f.TextIP.KeyPress.Connect([&handled](int&) { ++handled; });
    TypeText(keys);
    EXPECT_TRUE(::test::PumpUntil([&] { return handled == keys.size(); })) << handled << " keys reached the box";
    f.TextIP.KeyPress.Disconnect(id);
    EXPECT_EQ(f.TextIP.Text(), L"192.168.0.255");
}

TEST_F(BrennixTest, OpenGuideOpensTheGuidePage)
{
    g_opened.clear();
    seams.pageOpener = &RecordPage; // no browser here
    FrmMain& f = Start();
    ClickCentre(f.dcButton1.hWnd());
    EXPECT_TRUE(::test::PumpUntil([] { return !g_opened.empty(); }));
    EXPECT_EQ(g_opened, kGuidePage);
}

TEST_F(BrennixTest, LinkImagesOpenTheMakersPagesOnTheirPicture)
{
    g_opened.clear();
    seams.pageOpener = &RecordPage; // no browser here
    FrmMain& f = Start();
    struct Link {
        aic::aicAlphaImage& image;
        const wchar_t* page;
    };
    const Link links[] = {{f.aicAlphaImage4, kMakerHomePage},
                          {f.aicAlphaImage5, kMakerIpSecGuidePage},
                          {f.aicAlphaImage6, kMakerHelpPage},
                          {f.ImageDonate, kMakerDonatePage}};
    for (const Link& l : links) {
        RECT r{};
        GetClientRect(l.image.hWnd(), &r);
        g_opened.clear();
        PostMessageW(l.image.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 2, r.bottom / 2));
        PostMessageW(l.image.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(r.right / 2, r.bottom / 2));
        EXPECT_TRUE(::test::PumpUntil([] { return !g_opened.empty(); }, 2000));
        EXPECT_EQ(g_opened, l.page);
    }
    EXPECT_EQ(f.aicAlphaImage4.ToolTipText(), L"Click Once To Open");
}

TEST_F(BrennixTest, LinkImageUnderTheHandHoversOpensAndLetsItsClearCornerThroughToTheBar)
{
    ::test::OpenedPages().clear();
    seams.pageOpener = &::test::RecordPage;
    FrmMain& f = Start();
    const ::test::LinkImage links[] = {
        {f.aicAlphaImage4, kMakerHomePage}, {f.aicAlphaImage5, kMakerIpSecGuidePage}, {f.aicAlphaImage6, kMakerHelpPage}};
    ::test::RunTheHandOverLinks(f.TitelBar1, f.aicAlphaImage1, links);
}

TEST_F(BrennixTest, GuideButtonShowsItsDesignColours)
{
    FrmMain& f = Start();
    // Away from the button, which shows another face under the cursor.
    POINT away{4, 100};
    ClientToScreen(f.hWnd(), &away);
    SetCursorPos(away.x, away.y);
    // The face runs from white at the top down to the back colour, &H404040, at the bottom,
    // its darkest grey; below mid-height only the caption is white.
    ::test::Pixels button;
    int darkest = 0x100;
    EXPECT_TRUE(::test::PumpUntil([&] {
        button = ::test::Pixels::Of(f.dcButton1.hWnd());
        darkest = 0x100;
        for (std::uint32_t c : button.rgb)
            if ((c & 0xFF) == ((c >> 8) & 0xFF) && (c & 0xFF) == (c >> 16))
                darkest = std::min(darkest, static_cast<int>(c & 0xFF));
        return darkest >= 0x40 && darkest <= 0x4C;
    })) << "darkest grey " << std::hex << darkest;
    int white = 0;
    for (int y = button.h / 2 + 1; y < button.h - 2; ++y)
        for (int x = 0; x < button.w; ++x)
            white += ::test::IsWhite(button.At(x, y));
    EXPECT_GT(white, 10) << "white caption text";
}
