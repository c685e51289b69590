// The real Ostrevi.exe started as a process: its window appears, it ends by itself when the
// window is told to close, and two copies share a log folder without losing a line.
#include "monitor/core/DayLogText.h"
#include "tests/monitor/scan/Loopback.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

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

TEST(OstreviProcess, TwoCopiesLoggingToOneFolderWriteEveryAddressOnce)
{
    test::Winsock winsock;
    test::TempFolder folder;
    const std::wstring logs = folder / L"shared logs";
    // Each copy watches its own port, where its own connections arrive; both log to one folder.
    test::Listener servers[] = {test::Listener("127.0.0.2"), test::Listener("127.0.0.5")};
    std::vector<std::unique_ptr<test::Process>> copies;
    for (int i = 0; i < 2; ++i) {
        const std::wstring dir = folder / (L"copy" + std::to_wstring(i));
        ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
        ASSERT_TRUE(CopyFileW((test::BuildDir() + L"\\bin\\Ostrevi.exe").c_str(), (dir + L"\\Ostrevi.exe").c_str(), FALSE));
        test::WriteBytes(dir + L"\\Settings.ini", "[main]\r\nPort=" + std::to_string(servers[i].Port()) +
                                                      "\r\nTime=1\r\nChangeLogLocation=1\r\nLogLocation=" +
                                                      test::Narrow(logs) + "\r\n");
    }
    for (const char* from : {"127.0.0.3", "127.0.0.4", "127.0.0.9"})
        ASSERT_NE(servers[0].ConnectFrom(from), 0);
    for (const char* from : {"127.0.0.6", "127.0.0.7", "127.0.0.9"})
        ASSERT_NE(servers[1].ConnectFrom(from), 0);
    for (int i = 0; i < 2; ++i) {
        const std::wstring dir = folder / (L"copy" + std::to_wstring(i));
        copies.push_back(std::make_unique<test::Process>(dir + L"\\Ostrevi.exe", L"/startup", dir));
        ASSERT_TRUE(copies.back()->Started());
    }

    wchar_t date[128] = {}, sep[8] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 128);
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, sep, 8);
    const std::wstring file = logs + L"\\" + DayLogFileName(date, sep);
    auto lines = [&] {
        std::vector<std::string> out;
        std::string bytes = test::ReadBytes(file);
        for (std::size_t start = 0, end; start < bytes.size(); start = end + 2) {
            end = bytes.find("\r\n", start);
            if (end == std::string::npos)
                end = bytes.size();
            out.push_back(bytes.substr(start, end - start));
        }
        return out;
    };
    auto holdsAll = [&](std::initializer_list<const char*> addresses) {
        auto l = lines();
        for (const char* a : addresses) {
            if (std::count(l.begin(), l.end(), a) == 0)
                return false;
        }
        return true;
    };
    ASSERT_TRUE(test::PumpUntil([&] { return holdsAll({"127.0.0.3", "127.0.0.4", "127.0.0.6", "127.0.0.7", "127.0.0.9"}); },
                                20000))
        << test::ReadBytes(file);
    // A new address that both copies see in the same second.
    ASSERT_NE(servers[0].ConnectFrom("127.0.0.8"), 0);
    ASSERT_NE(servers[1].ConnectFrom("127.0.0.8"), 0);
    ASSERT_TRUE(test::PumpUntil([&] { return holdsAll({"127.0.0.8"}); }, 20000)) << test::ReadBytes(file);
    test::PumpFor(2500); // both copies scan again: nothing more may be written

    auto l = lines();
    ASSERT_FALSE(l.empty());
    EXPECT_EQ(l[0].rfind("Ip's Connected to ", 0), 0u) << "one header, first";
    std::sort(l.begin() + 1, l.end());
    EXPECT_EQ(std::vector<std::string>(l.begin() + 1, l.end()),
              (std::vector<std::string>{"127.0.0.3", "127.0.0.4", "127.0.0.6", "127.0.0.7", "127.0.0.8", "127.0.0.9"}))
        << test::ReadBytes(file);
}
