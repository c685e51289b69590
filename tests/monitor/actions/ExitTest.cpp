// Exit through the tray icon's menu: in the middle of a running scan, and as a whole
// Ostrevi.exe process that must end with its icon gone.
#include "monitor/ModMain.h"
#include "monitor/clsSysTrayIcon.h"
#include "runtime/Runtime.h"
#include "tests/monitor/support/FormFixture.h"
#include "tests/support/RealInput.h"

using namespace vantorel;
using namespace vantorel::ostrevi;

namespace {

void PostTrayCallback(HWND hook, UINT mouseMessage)
{
    PostMessageW(hook, clsSysTrayIcon::kCallbackMessage, 1, static_cast<LPARAM>(mouseMessage));
}

using TrayExit = test::FormTest;

TEST_F(TrayExit, ExitDuringAScanRemovesTheIconAndUnloadsOnlyAfterTheScanReturns)
{
    HWND hook = form->SysTrayMain.hWnd();
    HWND window = form->hWnd();
    test::MenuDriver menus(window);
    menus.Choose(L"mMenu", 2); // "Exit && Close Program"

    bool scanned = false, windowLivedThroughScan = true;
    int iconOnceExiting = -1;
    form->Timer1.Tick.Connect([&] {
        if (scanned)
            return;
        scanned = true;
        // The user right-clicks the icon while the scan runs; the scan yields after each
        // step, like the row walk, and stops once the exit has begun.
        PostTrayCallback(hook, WM_RBUTTONUP);
        for (int step = 0; step < 400 && !form->State.IsExiting; ++step) {
            rt::YieldToOtherMessages();
            windowLivedThroughScan = windowLivedThroughScan && IsWindow(window);
            Sleep(5);
        }
        if (form->State.IsExiting)
            iconOnceExiting = test::TrayIconExists(hook) ? 1 : 0;
        windowLivedThroughScan = windowLivedThroughScan && IsWindow(window);
    });
    EXPECT_TRUE(test::PumpDeferredUntil([&] { return form->hWnd() == nullptr; }, 20000));
    EXPECT_TRUE(scanned);
    EXPECT_TRUE(form->State.IsExiting);
    EXPECT_EQ(iconOnceExiting, 0);
    EXPECT_TRUE(windowLivedThroughScan);
    EXPECT_FALSE(test::TrayIconExists(hook));
}

TEST(OstreviProcess, HiddenStartShowsTheIconWhichBringsTheWindowBackAndEndsTheProcess)
{
    test::InitControls();
    test::TempFolder folder;
    ASSERT_TRUE(CopyFileW((test::BuildDir() + L"\\bin\\Ostrevi.exe").c_str(), (folder / L"Ostrevi.exe").c_str(),
                          FALSE));
    test::Process ostrevi(folder / L"Ostrevi.exe", L"/startup", folder.Path());
    ASSERT_TRUE(ostrevi.Started());
    HWND window = test::FindProcessWindow(ostrevi.Id(), L"Vantorel - Ostrevi", 30000);
    ASSERT_TRUE(window);
    HWND hook = nullptr;
    ASSERT_TRUE(test::PumpUntil(
        [&] {
            hook = FindWindowExW(window, nullptr, L"VantorelTrayHook", nullptr);
            return hook && test::TrayIconExists(hook);
        },
        20000));
    // Started hidden: the icon is the way back.
    EXPECT_FALSE(IsWindowVisible(window));
    PostTrayCallback(hook, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(test::PumpUntil([&] { return IsWindowVisible(window) != FALSE; }, 10000));

    PostTrayCallback(hook, WM_RBUTTONUP);
    ASSERT_TRUE(test::PumpUntil([&] { return test::VisibleMenuWindow(ostrevi.Id()) != nullptr; }, 10000));
    test::PostMenuKeys(window, 2);
    EXPECT_TRUE(ostrevi.WaitForExit(20000));
    EXPECT_EQ(ostrevi.ExitCode(), 0u);
    EXPECT_FALSE(test::TrayIconExists(hook));
}

} // namespace
