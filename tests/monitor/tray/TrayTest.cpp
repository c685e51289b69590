// The notification-area icon under Wine's shell: added and removed as the program starts
// and ends, its callbacks decoded, the hover text with the counts, and the re-add after the
// taskbar is rebuilt. The shell is judged by the results of Shell_NotifyIconW.
#include "monitor/ModMain.h"
#include "monitor/clsSysTrayIcon.h"
#include "monitor/modSysTrayIcon.h"
#include "runtime/Runtime.h"
#include "tests/monitor/support/FormFixture.h"

#include <commctrl.h>

#include <tuple>
#include <vector>

using namespace vantorel;
using namespace vantorel::ostrevi;

namespace {

using Call = std::tuple<std::string, int>;

struct Recorder {
    std::vector<Call> calls;
    void Attach(ctlSysTray& tray)
    {
        tray.Click.Connect([this](int b, int, int, int) { calls.emplace_back("Click", b); });
        tray.DblClick.Connect([this](int b, int, int, int) { calls.emplace_back("DblClick", b); });
        tray.MouseDown.Connect([this](int b, int, int, int) { calls.emplace_back("MouseDown", b); });
        tray.MouseUp.Connect([this](int b, int, int, int) { calls.emplace_back("MouseUp", b); });
        tray.TaskbarCreated.Connect([this] { calls.emplace_back("TaskbarCreated", 0); });
    }
};

void PostCallback(HWND hook, UINT mouseMessage)
{
    PostMessageW(hook, clsSysTrayIcon::kCallbackMessage, 1, static_cast<LPARAM>(mouseMessage));
}

std::wstring ClassOf(HWND hwnd)
{
    wchar_t name[128] = {};
    GetClassNameW(hwnd, name, 128);
    return name;
}

TEST(SysTrayIcon, AddsOnlyWithPictureBoxAndIconAndOwnsATopLevelHiddenWindow)
{
    HWND box = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(box);
    {
        clsSysTrayIcon icon;
        icon.ShowIcon();
        EXPECT_FALSE(icon.IconDisplayed());
        icon.SetPictureBox(box);
        icon.ShowIcon();
        EXPECT_FALSE(icon.IconDisplayed());
        EXPECT_EQ(icon.HiddenWindow(), nullptr);
        EXPECT_FALSE(test::TrayIconExists(box));

        icon.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
        icon.ShowIcon();
        ASSERT_TRUE(icon.IconDisplayed());
        EXPECT_TRUE(test::TrayIconExists(box));
        HWND hidden = icon.HiddenWindow();
        ASSERT_TRUE(IsWindow(hidden));
        // Top-level, so that broadcasts reach it; never visible.
        EXPECT_EQ(GetAncestor(hidden, GA_PARENT), GetDesktopWindow());
        EXPECT_FALSE(IsWindowVisible(hidden));
        EXPECT_EQ(ClassOf(hidden), L"System Tray Icon Class");
        EXPECT_EQ(rt::WindowText(hidden), L"SystemTrayIcon Windows Hiddenn Window");
        EXPECT_EQ(GetWindowLongPtrW(hidden, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&icon));

        // A hover text longer than the field is cut to fit, not refused.
        icon.SetToolTip(std::wstring(300, L'x'));
        EXPECT_TRUE(test::TrayIconExists(box));

        icon.UnloadIcon();
        EXPECT_FALSE(icon.IconDisplayed());
        EXPECT_FALSE(test::TrayIconExists(box));
        EXPECT_FALSE(IsWindow(hidden));

        // Deleting again sends nothing and keeps the state.
        icon.UnloadIcon();
        EXPECT_FALSE(icon.IconDisplayed());
        icon.ShowIcon();
        EXPECT_TRUE(test::TrayIconExists(box));
    }
    // The object deletes its icon when it goes.
    EXPECT_FALSE(test::TrayIconExists(box));
    DestroyWindow(box);
}

TEST(SysTrayIcon, TaskbarEventOnlyForItsOwnText)
{
    clsSysTrayIcon icon;
    int raised = 0;
    icon.TaskbarCreated.Connect([&] { ++raised; });
    icon.TriggerTaskbarEvent(L"modSysTrayIconX");
    icon.TriggerTaskbarEvent(L"");
    EXPECT_EQ(raised, 0);
    icon.TriggerTaskbarEvent(L"modSysTrayIcon");
    EXPECT_EQ(raised, 1);
}

using FrmMainTray = test::FormTest;

TEST_F(FrmMainTray, IconShownFromLoadAndRemovedBeforeTheWindowHidesAtExit)
{
    HWND hook = form->SysTrayMain.hWnd();
    ASSERT_TRUE(hook);
    EXPECT_FALSE(IsWindowVisible(hook));
    EXPECT_TRUE(test::PumpUntil([&] { return form->SysTrayMain.IconDisplayed(); }))
        << "the icon comes once the window has painted";
    EXPECT_TRUE(test::TrayIconExists(hook));

    // Watch the moment the main window hides: the icon must already be gone.
    struct Watch {
        HWND hook;
        int iconWhenHidden = -1;
    } watched{hook};
    auto watch = [](HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) -> LRESULT {
        auto* w = reinterpret_cast<Watch*>(data);
        if (msg == WM_SHOWWINDOW && !wp && w->iconWhenHidden < 0)
            w->iconWhenHidden = test::TrayIconExists(w->hook) ? 1 : 0;
        return DefSubclassProc(h, msg, wp, lp);
    };
    SetWindowSubclass(form->hWnd(), watch, 1, reinterpret_cast<DWORD_PTR>(&watched));
    ExitProgram(*form);
    EXPECT_TRUE(test::PumpDeferredUntil([&] { return form->hWnd() == nullptr; }));
    EXPECT_EQ(watched.iconWhenHidden, 0);
    EXPECT_FALSE(test::TrayIconExists(hook));
}

TEST_F(FrmMainTray, CallbacksDecodeIntoMouseEventsAndARightClickOpensTheTrayMenu)
{
    Recorder rec;
    rec.Attach(form->SysTrayMain);
    test::MenuDriver menus(form->hWnd());
    menus.Choose(L"mMenu", -1);
    HWND hook = form->SysTrayMain.hWnd();
    PostCallback(hook, WM_RBUTTONDOWN);
    PostCallback(hook, WM_RBUTTONUP);
    ASSERT_TRUE(test::WaitFor([&] { return rec.calls.size() >= 3; }, 5000, "the three events"));
    EXPECT_TRUE(test::PumpQueued());
    EXPECT_EQ(rec.calls, (std::vector<Call>{{"MouseDown", 2}, {"MouseUp", 2}, {"Click", 2}}));
    EXPECT_EQ(menus.Opened(), std::vector<std::wstring>{L"mMenu"});

    // Callbacks forwarded to the hidden window raise no Click.
    rec.calls.clear();
    SendMessageW(form->SysTrayMain.HiddenWindow(), modSysTrayIcon::kForwardedCallback, 1, WM_MBUTTONUP);
    EXPECT_EQ(rec.calls, (std::vector<Call>{{"MouseUp", 4}}));

    // The coordinates are the cursor's screen position. Only tests that run alone move the
    // cursor, so it stays where it is.
    int gotX = -1, gotY = -1;
    form->SysTrayMain.MouseMove.Connect([&](int, int, int x, int y) { gotX = x, gotY = y; });
    POINT pt{};
    GetCursorPos(&pt);
    PostCallback(hook, WM_MOUSEMOVE);
    ASSERT_TRUE(test::PumpUntil([&] { return gotX >= 0; }));
    EXPECT_EQ(gotX, pt.x);
    EXPECT_EQ(gotY, pt.y);
}

TEST_F(FrmMainTray, HoverTextHoldsTheTitleAndTheCounts)
{
    form->Label1.SetCaption(L"Currently Connected IP's: 3");
    form->Label2.SetCaption(L"IP's: 5");
    PostCallback(form->SysTrayMain.hWnd(), WM_MOUSEMOVE);
    const std::wstring expected = L"Vantorel - Ostrevi\r\nCurrently Connected IP's: 3\r\nLogged IP's: 5";
    EXPECT_TRUE(test::PumpUntil([&] { return form->SysTrayMain.ToolTip() == expected; }))
        << test::Narrow(form->SysTrayMain.ToolTip());
    EXPECT_TRUE(test::TrayIconExists(form->SysTrayMain.hWnd()));
}

TEST_F(FrmMainTray, LeftDoubleClickShowsTheHiddenWindowASingleClickDoesNot)
{
    test::MenuDriver menus(form->hWnd());
    menus.Choose(L"mMenu", -1);
    form->Hide();
    HWND hook = form->SysTrayMain.hWnd();
    PostCallback(hook, WM_LBUTTONDOWN);
    PostCallback(hook, WM_LBUTTONUP);
    ASSERT_TRUE(test::PumpQueued());
    EXPECT_FALSE(form->Visible());
    EXPECT_TRUE(menus.Opened().empty()) << "no menu on a left-button release";
    PostCallback(hook, WM_RBUTTONDBLCLK);
    ASSERT_TRUE(test::PumpQueued());
    EXPECT_FALSE(form->Visible());
    PostCallback(hook, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(test::PumpUntil([&] { return form->Visible(); }));
}

TEST_F(FrmMainTray, TaskbarCreatedBroadcastAddsTheIconAgain)
{
    Recorder rec;
    rec.Attach(form->SysTrayMain);
    HWND hook = form->SysTrayMain.hWnd();
    UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");

    test::DropTrayIcon(hook);
    ASSERT_FALSE(test::TrayIconExists(hook));
    PostMessageW(HWND_BROADCAST, taskbarCreated, 0, 0);
    EXPECT_TRUE(test::PumpDeferredUntil([&] { return test::TrayIconExists(hook); }));
    test::PumpDeferredUntil([&] { return !rec.calls.empty(); });
    EXPECT_EQ(rec.calls, (std::vector<Call>{{"TaskbarCreated", 0}}));
    EXPECT_TRUE(form->SysTrayMain.IconDisplayed());

    // Without AutoReload the event still comes, the icon stays away.
    form->SysTrayMain.SetAutoReload(false);
    test::DropTrayIcon(hook);
    rec.calls.clear();
    PostMessageW(HWND_BROADCAST, taskbarCreated, 0, 0);
    test::PumpDeferredUntil([&] { return !rec.calls.empty(); });
    EXPECT_EQ(rec.calls, (std::vector<Call>{{"TaskbarCreated", 0}}));
    EXPECT_FALSE(test::TrayIconExists(hook));
}

} // namespace
