// The block button: the batch file on disk, the console that runs it, and everything that
// must never reach either.
#include "blocker/BatchFile.h"
#include "blocker/ModMain.h"
#include "blocker/core/BatchText.h"
#include "tests/blocker/BrennixFixture.h"
#include "tests/blocker/core/HostileAddresses.h"

#include <algorithm>
#include <utility>

using namespace vantorel;

using namespace vantorel::brennix;
using namespace vantorel::brennix::test;

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
    f.State.OSVersion = L"10.0";
    f.TextIP.SetText(L"010.1.1.1");
    HANDLE before = LastBatchProcess();
    ClickBlock(true);

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
    f.State.OSVersion = L"10.0";
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
    f.State.OSVersion = L"10.0";
    SetTempPath(L""); // GetTempPathW fails
    f.TextIP.SetText(L"198.51.100.2");
    ClickBlock();
    EXPECT_EQ(BatchFiles(folder.Path()).size(), 1u);
    EXPECT_TRUE(BatchFiles(temp).empty());
    EXPECT_EQ(f.List1.ListCount(), 1);
}

TEST_F(BrennixTest, TemporaryFolderThatCmdWouldExpandStillBlocksTheAddress)
{
    // ipseccmd.exe is looked for beside the program; its stand-in records that the console
    // ran the batch file, found under its exact name.
    ASSERT_TRUE(CopyFileW((::test::BuildDir() + L"\\tests\\blocker\\ipseccmd.exe").c_str(),
                          (folder / L"ipseccmd.exe").c_str(), FALSE));
    const std::wstring odd = folder / L"t%OS%x";
    ASSERT_TRUE(CreateDirectoryW(odd.c_str(), nullptr));
    SetTempPath(odd + L"\\");
    FrmMain& f = Start();
    f.State.OSVersion = L"5.1";
    f.TextIP.SetText(L"198.51.100.7");
    ClickBlock();
    EXPECT_TRUE(BatchFiles(odd).empty());
    EXPECT_EQ(BatchFiles(folder.Path()).size(), 1u) << "written beside the program instead";
    const std::wstring args = folder / L"ipseccmd-args.txt";
    EXPECT_TRUE(::test::PumpUntil([&] { return ::test::FileExists(args); }, 30000)) << "the batch file never ran";
    EXPECT_EQ(::test::ReadBytes(args),
              "-w REG -p \"Blocked IP's By Vantorel - Brennix\" -r \"Blocked IP 198.51.100.7\" -f 0=198.51.100.7 "
              "-n BLOCK -x");
    ASSERT_EQ(f.List1.ListCount(), 1);
    EXPECT_EQ(f.List1.List(0), L"198.51.100.7");
}

namespace {
std::wstring g_change;
HANDLE g_other = INVALID_HANDLE_VALUE;
// What another process of the user could do between the writing and the check.
void AppendCommand(const std::wstring& path)
{
    HANDLE h = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD written = 0;
    g_change = WriteFile(h, "calc\r\n", 6, &written, nullptr) && written == 6 ? L"appended" : L"";
    CloseHandle(h);
}
void KeepOpenForWriting(const std::wstring& path)
{
    g_other = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, 0, nullptr);
    g_change = g_other != INVALID_HANDLE_VALUE ? L"held" : L"";
}
void ReplaceWithSameSizeText(const std::wstring& path)
{
    std::string text = ::test::ReadBytes(path);
    std::fill(text.begin(), text.end(), 'x');
    if (DeleteFileW(path.c_str())) {
        ::test::WriteBytes(path, text);
        g_change = L"replaced";
    }
}
} // namespace

TEST_F(BrennixTest, BatchFileChangedBeforeItsCheckIsNotRunNorRecorded)
{
    FrmMain& f = Start();
    f.State.OSVersion = L"10.0";
    for (BatchWrittenHook change : {&AppendCommand, &KeepOpenForWriting, &ReplaceWithSameSizeText}) {
        g_change.clear();
        f.BatchWritten = change;
        HANDLE console = LastBatchProcess();
        f.TextIP.SetText(L"203.0.113.9");
        ClickBlock();
        EXPECT_FALSE(g_change.empty()) << "the change was made";
        EXPECT_EQ(LastBatchProcess(), console) << ::test::Narrow(g_change) << ": no console was started";
        EXPECT_EQ(f.List1.ListCount(), 0) << ::test::Narrow(g_change);
        EXPECT_TRUE(f.TextIP.Enabled());
        EXPECT_TRUE(f.ButtonBrennix.Enabled());
        if (g_other != INVALID_HANDLE_VALUE)
            CloseHandle(std::exchange(g_other, INVALID_HANDLE_VALUE));
    }
    EXPECT_FALSE(::test::FileExists(HistoryFile()));
}

TEST_F(BrennixTest, VersionWithoutBlockCommandsWritesRunsAndRecordsNothing)
{
    FrmMain& f = Start();
    HANDLE console = LastBatchProcess();
    // An empty version is one not read yet: the block reads it first.
    for (const wchar_t* version : {L"5.0", L"0.0"}) {
        f.State.OSVersion = version;
        f.TextIP.SetText(L"192.0.2.4");
        ClickBlock();
        EXPECT_TRUE(BatchFiles(temp).empty()) << ::test::Narrow(version);
    }
    EXPECT_EQ(LastBatchProcess(), console);
    EXPECT_EQ(f.List1.ListCount(), 0);
    EXPECT_TRUE(f.ButtonBrennix.Enabled());
}

TEST_F(BrennixTest, VersionFallsBackToTheKernelsWhenWmiGivesNone)
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto rtl = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(rtl, nullptr);
    ASSERT_EQ(rtl(&info), 0);
    const std::wstring kernel = std::to_wstring(info.dwMajorVersion) + L"." + std::to_wstring(info.dwMinorVersion);
    for (VersionQuery query : {+[] { return std::wstring(); }, +[] { return std::wstring(L"10"); },
                               +[] { return std::wstring(L"x.y"); }}) {
        EXPECT_EQ(GetOSVersion(query), kernel);
    }
    EXPECT_EQ(GetOSVersion(+[] { return std::wstring(L"6.1.7601"); }), L"6.1")
        << "WMI's version is taken when it gives one";
}

TEST_F(BrennixTest, BatchFileThatCannotBeWrittenIsNotRunNorRecorded)
{
    FrmMain& f = Start();
    f.State.OSVersion = L"10.0";
    SetTempPath(folder / L"no such folder\\");
    HANDLE console = LastBatchProcess();
    f.TextIP.SetText(L"198.51.100.2");
    ClickBlock();
    EXPECT_EQ(LastBatchProcess(), console);
    EXPECT_EQ(f.List1.ListCount(), 0);
    EXPECT_FALSE(::test::FileExists(HistoryFile()));
    EXPECT_TRUE(f.ButtonBrennix.Enabled());
    EXPECT_TRUE(f.TextIP.Enabled());
}

TEST_F(BrennixTest, EachBlockHasItsOwnBatchFileAndOnlyOldOnesOfItsOwnGo)
{
    FrmMain& f = Start();
    f.State.OSVersion = L"10.0";
    const std::wstring old = temp + L"\\Brennix-1-1.bat";
    const std::wstring recent = temp + L"\\Brennix-2-2.bat";
    const std::wstring users = temp + L"\\Brennix-mynotes.bat";
    ::test::WriteBytes(old, "old");
    ::test::WriteBytes(recent, "recent");
    ::test::WriteBytes(users, "notes");
    for (const std::wstring& path : {old, users}) {
        HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
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
    ClickBlock();
    EXPECT_FALSE(::test::FileExists(old)) << "an hour-old batch file is removed";
    EXPECT_TRUE(::test::FileExists(recent)) << "a recent one may still be read by its console";
    EXPECT_EQ(::test::ReadBytes(users), "notes") << "a name the program never writes is the user's";
    EXPECT_EQ(BatchFiles(temp).size(), 4u) << "two blocks, two files, the recent one and the user's";
}

TEST(BrennixBatchRun, HeldBatchFileCannotBeChangedUntilItsConsoleEnds)
{
    ::test::TempFolder root;
    const std::wstring dir = root / L"a b & c";
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    const std::wstring go = dir + L"\\go", ran = dir + L"\\ran.txt";
    // The console waits for the test's word, then leaves a mark.
    auto batch = WriteBatchFile(dir, L"@echo off\r\n:wait\r\nif not exist \"" + go + L"\" goto wait\r\necho ran> \"" +
                                         ran + L"\"\r\n");
    ASSERT_TRUE(batch.has_value());
    EXPECT_FALSE(DeleteFileW(batch->path.c_str())) << "held from the check on";
    ASSERT_TRUE(RunBatchFile(*batch));
    HANDLE console = LastBatchProcess();
    batch->guard.reset(); // from here on only the console's copy holds the file
    const std::wstring path = batch->path, moved = dir + L"\\moved.bat";

    HANDLE w = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(w, INVALID_HANDLE_VALUE) << "opened for writing";
    if (w != INVALID_HANDLE_VALUE)
        CloseHandle(w);
    EXPECT_FALSE(DeleteFileW(path.c_str())) << "deleted";
    EXPECT_FALSE(MoveFileExW(path.c_str(), moved.c_str(), 0)) << "renamed";
    EXPECT_FALSE(MoveFileExW(moved.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) << "replaced";
    EXPECT_EQ(WaitForSingleObject(console, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the console was still running";

    ::test::WriteBytes(go, "");
    ASSERT_EQ(WaitForSingleObject(console, 30000), WAIT_OBJECT_0) << "\"& exit\" ends the console";
    EXPECT_EQ(::test::ReadBytes(ran), "ran\r\n") << "the batch file ran from a folder with blanks and \"&\"";
    EXPECT_TRUE(DeleteFileW(path.c_str())) << "the console's end frees the file";
}
