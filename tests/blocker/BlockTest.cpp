// The block button: the batch file on disk, the console that runs it, and everything that
// must never reach either.
#include "blocker/BatchFile.h"
#include "blocker/ModMain.h"
#include "blocker/core/BatchText.h"
#include "tests/blocker/BrennixFixture.h"
#include "tests/blocker/core/HostileAddresses.h"

using namespace brennix;
using namespace brennix::test;

namespace {

const std::string kHeader = "@echo on\r\nset path=%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\System32\\Wbem\r\n";

std::string NetshLines(const std::string& a)
{
    const std::string p = "\"Blocked IP's By Vantorel - Brennix\"";
    return "netsh ipsec static add filteraction name=\"Blocked IP\" description=\"Blocked IP\" action=block\r\n"
           "netsh ipsec static add filter filterlist=" + p + " srcaddr=" + a + " dstaddr=any description=\"Blocked " + a +
           "\"\r\n"
           "netsh ipsec static add policy name=" + p + " description=" + p + " assign=yes activatedefaultrule=no\r\n"
           "netsh ipsec static add rule name=" + p + " policy=" + p + " filterlist=" + p +
           " filteraction=\"Blocked IP\" activate=yes\r\n"
           "netsh ipsec static set policy name=" + p + " assign=yes\r\n";
}

std::wstring ImageOf(HANDLE process)
{
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    return QueryFullProcessImageNameW(process, 0, path, &size) ? std::wstring(path, size) : std::wstring();
}

} // namespace

TEST_F(BrennixTest, ClickWritesTheNetshBatchAndStartsTheSystemConsole)
{
    FrmMain& f = Start();
    OSVersion = L"10.0";
    f.TextIP.SetText(L"010.1.1.1");
    HANDLE before = LastBatchProcess();
    ClickBlock();

    auto files = BatchFiles(temp);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(::test::ReadBytes(temp + L"\\" + files[0]), kHeader + NetshLines("10.1.1.1"))
        << "canonical address, CR LF, seven lines";

    HANDLE console = LastBatchProcess();
    ASSERT_NE(console, nullptr);
    ASSERT_NE(console, before);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(_wcsicmp(ImageOf(console).c_str(), (std::wstring(system) + L"\\cmd.exe").c_str()), 0) << ImageOf(console);
    EXPECT_EQ(WaitForSingleObject(console, 30000), WAIT_OBJECT_0) << "the console runs the batch and exits";

    ASSERT_EQ(f.List1.ListCount(), 1);
    EXPECT_EQ(f.List1.List(0), L"10.1.1.1");
    EXPECT_EQ(f.PanelFx2.TitleCaption(), L"Block IP History (1)");
    EXPECT_EQ(::test::ReadBytes(HistoryFile()), "10.1.1.1\r\n");
    EXPECT_TRUE(f.TextIP.Enabled());
    EXPECT_TRUE(f.ButtonBrennix.Enabled());
}

TEST_F(BrennixTest, HostileTextsWriteRunAndRecordNothing)
{
    FrmMain& f = Start();
    OSVersion = L"10.0";
    ::test::WriteBytes(HistoryFile(), "192.0.2.1\r\n");
    HANDLE console = LastBatchProcess();
    int tried = 0;
    for (const auto& text : HostileAddresses()) {
        if (text.find(L'\0') != std::wstring::npos)
            continue; // a text box cannot hold a NUL
        f.TextIP.SetText(text);
        ASSERT_EQ(f.TextIP.Text(), text) << "the box holds the text as given";
        f.ButtonBrennix_Click();
        ++tried;
        EXPECT_TRUE(BatchFiles(temp).empty()) << ::test::Narrow(text);
        EXPECT_TRUE(BatchFiles(folder.Path()).empty()) << ::test::Narrow(text);
        EXPECT_EQ(f.TextIP.Text(), text);
        EXPECT_TRUE(f.TextIP.Enabled());
        EXPECT_TRUE(f.ButtonBrennix.Enabled());
    }
    EXPECT_GE(tried, 30);
    EXPECT_EQ(LastBatchProcess(), console) << "no console was started";
    EXPECT_EQ(f.List1.ListCount(), 0);
    EXPECT_EQ(::test::ReadBytes(HistoryFile()), "192.0.2.1\r\n");
}

TEST_F(BrennixTest, TemporaryFolderFallsBackToTheProgramFolder)
{
    FrmMain& f = Start();
    SetTempPath(L""); // GetTempPathW fails
    f.TextIP.SetText(L"198.51.100.2");
    ClickCentre(f.ButtonBrennix.hWnd());
    EXPECT_TRUE(::test::PumpUntil([&] { return BatchFiles(folder.Path()).size() == 1; }));
    EXPECT_TRUE(BatchFiles(temp).empty());
    EXPECT_TRUE(::test::PumpUntil([&] { return f.List1.ListCount() == 1; }));
}

TEST_F(BrennixTest, BatchFileThatCannotBeWrittenIsNotRunNorRecorded)
{
    FrmMain& f = Start();
    SetTempPath(folder / L"no such folder\\");
    HANDLE console = LastBatchProcess();
    f.TextIP.SetText(L"198.51.100.2");
    ClickBlock(false);
    EXPECT_EQ(LastBatchProcess(), console);
    EXPECT_EQ(f.List1.ListCount(), 0);
    EXPECT_FALSE(::test::FileExists(HistoryFile()));
    EXPECT_TRUE(f.ButtonBrennix.Enabled());
    EXPECT_TRUE(f.TextIP.Enabled());
}

TEST_F(BrennixTest, EachBlockHasItsOwnBatchFileAndOldOnesGo)
{
    FrmMain& f = Start();
    const std::wstring old = temp + L"\\Brennix-1-1.bat";
    const std::wstring recent = temp + L"\\Brennix-2-2.bat";
    ::test::WriteBytes(old, "old");
    ::test::WriteBytes(recent, "recent");
    {
        HANDLE h = CreateFileW(old.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        FILETIME ft{};
        GetSystemTimeAsFileTime(&ft);
        ULARGE_INTEGER t{{ft.dwLowDateTime, ft.dwHighDateTime}};
        t.QuadPart -= 3600ULL * 10'000'000ULL; // an hour ago
        ft = {t.LowPart, t.HighPart};
        SetFileTime(h, nullptr, nullptr, &ft);
        CloseHandle(h);
    }
    f.TextIP.SetText(L"203.0.113.5");
    ClickBlock();
    WaitForSingleObject(LastBatchProcess(), 20000);
    ClickBlock();
    EXPECT_FALSE(::test::FileExists(old)) << "an hour-old batch file is removed";
    EXPECT_TRUE(::test::FileExists(recent)) << "a recent one may still be read by its console";
    EXPECT_EQ(BatchFiles(temp).size(), 3u) << "two blocks, two files, and the recent one";
}

TEST(BrennixBatchRun, ConsoleRunsABatchFileInAFolderWithBlanksAndAmpersand)
{
    ::test::TempFolder root;
    const std::wstring dir = root / L"a b & c";
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    const std::wstring batch = dir + L"\\run me.bat";
    ::test::WriteBytes(batch, "@echo off\r\necho ran> \"%~dp0marker.txt\"\r\n");
    ASSERT_TRUE(RunBatchFile(batch));
    HANDLE console = LastBatchProcess();
    ASSERT_NE(console, nullptr);
    EXPECT_EQ(WaitForSingleObject(console, 30000), WAIT_OBJECT_0) << "\"& exit\" ends the console";
    EXPECT_EQ(::test::ReadBytes(dir + L"\\marker.txt"), "ran\r\n");
}
