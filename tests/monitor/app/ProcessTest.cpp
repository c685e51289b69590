// The real Ostrevi.exe started as a process: its window appears, and it ends by itself when
// the window is told to close.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(OstreviProcess, StartsWithItsWindowAndEndsWhenToldToExit)
{
    test::TempFolder folder;
    std::wstring exe = folder / L"Ostrevi.exe";
    ASSERT_TRUE(CopyFileW((test::BuildDir() + L"\\bin\\Ostrevi.exe").c_str(), exe.c_str(), FALSE));
    test::WriteBytes(folder / L"Settings.ini", "[main]\r\nPort=3389\r\nTime=5\r\n");

    test::Process ostrevi(exe, L"", folder.Path());
    ASSERT_TRUE(ostrevi.Started());
    HWND window = test::FindProcessWindow(ostrevi.Id(), L"Vantorel - Ostrevi", 20000);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(test::PumpUntil([&] { return IsWindowVisible(window) != FALSE; }, 10000));
    EXPECT_TRUE(test::PumpUntil([&] { return test::FolderExists(folder / L"Logs"); }, 5000));

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(ostrevi.WaitForExit(20000)) << "no termination call is needed";
    EXPECT_EQ(ostrevi.ExitCode(), 0u);
}

TEST(OstreviProcess, StartupSwitchKeepsTheWindowHidden)
{
    test::TempFolder folder;
    std::wstring exe = folder / L"Ostrevi.exe";
    ASSERT_TRUE(CopyFileW((test::BuildDir() + L"\\bin\\Ostrevi.exe").c_str(), exe.c_str(), FALSE));
    test::Process ostrevi(exe, L"/STARTUP", folder.Path());
    ASSERT_TRUE(ostrevi.Started());
    HWND window = test::FindProcessWindow(ostrevi.Id(), L"Vantorel - Ostrevi", 20000);
    ASSERT_NE(window, nullptr);
    test::PumpFor(300);
    EXPECT_FALSE(IsWindowVisible(window));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(ostrevi.WaitForExit(20000));
}
