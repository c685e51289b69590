// The real Ostrevi.exe started as a process: its window appears, it ends by itself when the
// window is told to close, its tray menu's exit ends it at once with the window hidden, and
// two copies share a log folder without losing a line.
#include "monitor/clsSysTrayIcon.h"
#include "monitor/core/DayLogText.h"
#include "tests/monitor/scan/Loopback.h"
#include "tests/support/RealInput.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace vantorel;
using namespace vantorel::ostrevi;

namespace {

struct Started {
    test::TempFolder folder;
    std::unique_ptr<test::Process> process;
    HWND window = nullptr;
    HWND hook = nullptr;

    explicit Started(const std::wstring& args, const std::string& settings = "")
    {
        std::wstring exe = folder / L"Ostrevi.exe";
        EXPECT_TRUE(CopyFileW((test::BuildDir() + L"\\bin\\Ostrevi.exe").c_str(), exe.c_str(), FALSE));
        test::WriteBytes(folder / L"Settings.ini", "[main]\r\nPort=3389\r\nTime=5\r\n" + settings);
        process = std::make_unique<test::Process>(exe, args, folder.Path());
        EXPECT_TRUE(process->Started());
        window = test::FindProcessWindow(process->Id(), L"Vantorel - Ostrevi", 20000);
        // The icon is the load's last window step: once it is there, the load has decided
        // whether the window shows.
        EXPECT_TRUE(test::WaitFor(
            [&] {
                hook = window ? FindWindowExW(window, nullptr, L"VantorelTrayHook", nullptr) : nullptr;
                return hook && test::TrayIconExists(hook);
            },
            20000, "the tray icon"));
    }
};

} // namespace

TEST(OstreviProcess, StartsWithItsWindowAndEndsWhenToldToExit)
{
    Started ostrevi(L"");
    ASSERT_NE(ostrevi.window, nullptr);
    EXPECT_TRUE(test::WaitFor([&] { return IsWindowVisible(ostrevi.window) != FALSE; }, 10000, "the window to show"));
    EXPECT_TRUE(test::WaitFor([&] { return test::FolderExists(ostrevi.folder / L"Logs"); }, 5000, "the Logs folder"));

    PostMessageW(ostrevi.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(ostrevi.process->WaitForExit(20000)) << "no termination call is needed";
    EXPECT_EQ(ostrevi.process->ExitCode(), 0u);
}

TEST(OstreviProcess, StoredLogFolderTooDeepToMakeStartsOnTheDefaultAndAnswers)
{
    const std::wstring deep = test::FolderOfLength(L"mine", 30000, 1);
    Started ostrevi(L"", "ChangeLogLocation=1\r\nLogLocation=" + test::Narrow(deep) + "\r\n");
    ASSERT_NE(ostrevi.hook, nullptr) << "the start-up reached its last step";
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(SendMessageTimeoutW(ostrevi.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 20000, &ignored));
    EXPECT_TRUE(test::FolderExists(ostrevi.folder / L"Logs"));
    EXPECT_FALSE(test::FolderExists(ostrevi.folder / L"mine")) << "a refused folder is not begun";
    PostMessageW(ostrevi.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(ostrevi.process->WaitForExit(20000));
    EXPECT_EQ(ostrevi.process->ExitCode(), 0u);
}

TEST(OstreviProcess, StartupSwitchKeepsTheWindowHidden)
{
    Started ostrevi(L"/STARTUP");
    ASSERT_NE(ostrevi.hook, nullptr);
    // Nothing pumps between the icon and the message loop: a sent message is handled only
    // after the form would have been shown.
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(SendMessageTimeoutW(ostrevi.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 20000, &ignored));
    EXPECT_FALSE(IsWindowVisible(ostrevi.window));
    PostMessageW(ostrevi.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(ostrevi.process->WaitForExit(20000));
}

TEST(OstreviProcess, TrayMenuExitRemovesTheIconAndEndsAtOnceWithoutShowingTheWindow)
{
    Started ostrevi(L"/startup");
    ASSERT_NE(ostrevi.hook, nullptr);
    PostMessageW(ostrevi.hook, clsSysTrayIcon::kCallbackMessage, 1, WM_RBUTTONUP);
    ASSERT_TRUE(test::WaitFor([&] { return test::VisibleMenuWindow(ostrevi.process->Id()) != nullptr; }, 10000,
                              "the tray menu"));
    // "Exit && Close Program" is the third command.
    for (int i = 0; i < 3; ++i)
        PostMessageW(ostrevi.window, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(ostrevi.window, WM_KEYDOWN, VK_RETURN, 0);
    const ULONGLONG chosen = GetTickCount64();

    // Watched closely: a window shown even briefly on the way out is seen.
    bool everVisible = false;
    while (WaitForSingleObject(ostrevi.process->Handle(), 1) == WAIT_TIMEOUT && GetTickCount64() - chosen < 20000)
        everVisible = everVisible || IsWindowVisible(ostrevi.window);
    const ULONGLONG ended = GetTickCount64();
    ASSERT_TRUE(ostrevi.process->WaitForExit(0)) << "still running 20 s after the exit command";
    EXPECT_EQ(ostrevi.process->ExitCode(), 0u);
    EXPECT_FALSE(everVisible) << "the window showed again on the way out";
    EXPECT_FALSE(test::TrayIconExists(ostrevi.hook));
    // Meant to end within a second; the bound leaves room for a loaded machine.
    EXPECT_LT(ended - chosen, 3000u) << "the process took " << ended - chosen << " ms to end";
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
    // Two scan intervals of both copies (1 s each): a copy that wrote the address again would
    // have done so by then. The wait is the intervals themselves, not a guess at a condition.
    test::PumpFor(2500);

    auto l = lines();
    ASSERT_FALSE(l.empty());
    EXPECT_EQ(l[0].rfind("Ip's Connected to ", 0), 0u) << "one header, first";
    std::sort(l.begin() + 1, l.end());
    EXPECT_EQ(std::vector<std::string>(l.begin() + 1, l.end()),
              (std::vector<std::string>{"127.0.0.3", "127.0.0.4", "127.0.0.6", "127.0.0.7", "127.0.0.8", "127.0.0.9"}))
        << test::ReadBytes(file);
}
