#include "monitor/ModNetStats.h"
#include "monitor/core/DayLogText.h"
#include "runtime/Handles.h"
#include "tests/monitor/scan/ScanFixture.h"
#include "tests/support/RealInput.h"

#include <commctrl.h>

#include <winioctl.h>

#include <algorithm>
#include <set>

using namespace vantorel;
using namespace vantorel::ostrevi;

using test::Listener;
using test::ScanTest;

namespace {

// The list view's rows as "local|remote ip|remote port|state".
std::set<std::wstring> Rows(const rt::ListView& list)
{
    std::set<std::wstring> rows;
    for (int i = 0; i < list.ListCount(); ++i)
        rows.insert(list.ItemText(i, 0) + L"|" + list.ItemText(i, 1) + L"|" + list.ItemText(i, 2) + L"|" +
                    list.ItemText(i, 3));
    return rows;
}

std::wstring Row(std::uint16_t local, const wchar_t* ip, std::uint16_t remote)
{
    return std::to_wstring(local) + L"|" + ip + L"|" + std::to_wstring(remote) + L"|ESTABLISHED";
}

} // namespace

TEST_F(ScanTest, TimerListsRealConnectionsAndLogsEachAddressOnce)
{
    Listener server("127.0.0.2");
    std::uint16_t c3 = server.ConnectFrom("127.0.0.3");
    std::uint16_t c4 = server.ConnectFrom("127.0.0.4");
    ASSERT_NE(c3, 0);
    ASSERT_NE(c4, 0);
    ASSERT_NE(server.ConnectFrom("127.0.0.1"), 0) << "over 127.0.0.1: never listed";
    WriteSettings(std::to_wstring(server.Port()), L"1");

    FrmMain& f = StartForm(false);
    ASSERT_TRUE(f.Timer1.Enabled()) << "start-up starts the timer";
    ASSERT_TRUE(test::PumpUntil([&] { return f.ListViewNetstats.ListCount() >= 2; }, 5000));
    std::set<std::wstring> expected{Row(server.Port(), L"127.0.0.3", c3), Row(server.Port(), L"127.0.0.4", c4)};
    EXPECT_EQ(Rows(f.ListViewNetstats), expected);

    int ticks = 0;
    const int counting = f.Timer1.Tick.Connect([&] { ++ticks; });
    EXPECT_TRUE(test::WaitFor([&] { return ticks >= 3; }, 10000, "three more scans"));
    f.Timer1.Tick.Disconnect(counting);
    EXPECT_EQ(Rows(f.ListViewNetstats), expected);
    std::string log = LogFile();
    EXPECT_TRUE(log == Header(server.Port()) + "127.0.0.3\r\n127.0.0.4\r\n" ||
                log == Header(server.Port()) + "127.0.0.4\r\n127.0.0.3\r\n")
        << log;
    EXPECT_EQ(f.Label1.Caption(), L"Currently Connected IP's: 2");
    EXPECT_EQ(f.Label2.Caption(), L"IP's: 2");
    EXPECT_EQ(f.Label4.Caption(), L"12/7/2026");
    // Columns are sized to their widest entry or title.
    EXPECT_GT(f.ListViewNetstats.ColumnWidth(1), 0);
}

TEST_F(ScanTest, RestartLoadsTheDayFileAndWritesNothingTwice)
{
    Listener server("127.0.0.2");
    ASSERT_NE(server.ConnectFrom("127.0.0.3"), 0);
    WriteSettings(std::to_wstring(server.Port()), L"1");
    StartForm();
    Tick();
    ASSERT_EQ(LogFile(), Header(server.Port()) + "127.0.0.3\r\n");
    StopForm();

    // The file of an earlier run today, with a header, a blank line and a second address.
    test::WriteBytes(LogPath(), Header(server.Port()) + "\r\n127.0.0.3\r\n10.1.2.3\r\n");
    FrmMain& f = StartForm();
    EXPECT_EQ(DayItems(), (std::vector<std::wstring>{L"127.0.0.3", L"10.1.2.3"}));
    Tick(3);
    EXPECT_EQ(f.ListViewNetstats.ListCount(), 1);
    EXPECT_EQ(DayItems().size(), 2u);
    EXPECT_EQ(f.Label2.Caption(), L"IP's: 2");
    // Nothing new was seen, so the file is as it was.
    EXPECT_EQ(LogFile(), Header(server.Port()) + "\r\n127.0.0.3\r\n10.1.2.3\r\n");

    ASSERT_NE(server.ConnectFrom("127.0.0.4"), 0);
    Tick();
    EXPECT_EQ(LogFile(), Header(server.Port()) + "\r\n127.0.0.3\r\n10.1.2.3\r\n127.0.0.4\r\n")
        << "the new address is appended; the lines before stay as they were";
}

TEST_F(ScanTest, LoadTakesOnlyDottedAddressLines)
{
    WriteSettings(L"", L"1");
    CreateDirectoryW((folder / L"Logs").c_str(), nullptr);
    test::WriteBytes(LogPath(), "Ip's Connected to 3389 Date: 12/7/2026\r\nIP second header\r\n 10.0.0.5 \r\n"
                                "10.0.0.6 & calc.exe\r\n--help\r\n\"10.0.0.7\"\r\n10.0.0.5\r\n10.0.0.8");
    StartForm();
    EXPECT_EQ(DayItems(), (std::vector<std::wstring>{L"10.0.0.5", L"10.0.0.8"}));
}

TEST_F(ScanTest, ReadOnlyDayFileKeepsAddressAndOldFileUntilASaveSucceeds)
{
    Listener server("127.0.0.2");
    ASSERT_NE(server.ConnectFrom("127.0.0.3"), 0);
    WriteSettings(std::to_wstring(server.Port()), L"1");
    StartForm();
    Tick();
    const std::string before = LogFile();
    ASSERT_EQ(before, Header(server.Port()) + "127.0.0.3\r\n");

    ASSERT_TRUE(SetFileAttributesW(LogPath().c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_NE(server.ConnectFrom("127.0.0.4"), 0);
    Tick(2);
    EXPECT_EQ(DayItems(), (std::vector<std::wstring>{L"127.0.0.3", L"127.0.0.4"}));
    EXPECT_EQ(LogFile(), before) << "the old file stays intact";

    ASSERT_TRUE(SetFileAttributesW(LogPath().c_str(), FILE_ATTRIBUTE_NORMAL));
    Tick(); // no new address: the pending save is what writes it
    EXPECT_EQ(LogFile(), Header(server.Port()) + "127.0.0.3\r\n127.0.0.4\r\n");

    // Read-only until the program exits: the exit's last save writes it.
    ASSERT_TRUE(SetFileAttributesW(LogPath().c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_NE(server.ConnectFrom("127.0.0.5"), 0);
    Tick();
    ASSERT_EQ(LogFile(), Header(server.Port()) + "127.0.0.3\r\n127.0.0.4\r\n");
    ASSERT_TRUE(SetFileAttributesW(LogPath().c_str(), FILE_ATTRIBUTE_NORMAL));
    StopForm();
    EXPECT_EQ(LogFile(), Header(server.Port()) + "127.0.0.3\r\n127.0.0.4\r\n127.0.0.5\r\n");
}

TEST_F(ScanTest, SaveKeepsEveryByteOfTheDaysFileAndAppendsTheNewAddressAtItsEnd)
{
    Listener server("127.0.0.2");
    ASSERT_NE(server.ConnectFrom("127.0.0.3"), 0);
    WriteSettings(std::to_wstring(server.Port()), L"1");
    CreateDirectoryW((folder / L"Logs").c_str(), nullptr);
    // Notes, garbage, NULs, an address with a note, a 10 MB line, and no line end at the end.
    const std::string before = Header(server.Port()) + "10.0.0.5\r\n" + "5.6.7.8 # note\r\n" +
                               std::string("\0\0\xFF\xFEgarbage\0 10.0.0.6\r\n", 20) + std::string(10 << 20, 'x') +
                               "\r\nlast note 10.0.0.9";
    test::WriteBytes(LogPath(), before);
    FrmMain& f = StartForm();
    EXPECT_EQ(DayItems(), (std::vector<std::wstring>{L"10.0.0.5"})) << "the list shows the addresses only";
    Tick();
    EXPECT_EQ(LogFile(), before + "\r\n127.0.0.3\r\n");
    EXPECT_EQ(f.Label2.Caption(), L"IP's: 2");
}

TEST_F(ScanTest, DaysFileTooLargeToLoadIsAppendedToNotReplaced)
{
    Listener server("127.0.0.2");
    ASSERT_NE(server.ConnectFrom("127.0.0.3"), 0);
    WriteSettings(std::to_wstring(server.Port()), L"1");
    CreateDirectoryW((folder / L"Logs").c_str(), nullptr);
    const std::string head = Header(server.Port()) + "10.0.0.5\r\n";
    const std::string tail = "\r\n10.0.0.8\r\n";
    const LONGLONG size = 1100LL << 20;
    {
        // Sparse, so the 1.1 GB cost nothing: only its first and last bytes are written.
        rt::UniqueFile file(CreateFileW(LogPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(file);
        DWORD done = 0;
        DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &done, nullptr);
        ASSERT_TRUE(WriteFile(file.get(), head.data(), static_cast<DWORD>(head.size()), &done, nullptr));
        LARGE_INTEGER at{};
        at.QuadPart = size - static_cast<LONGLONG>(tail.size());
        ASSERT_TRUE(SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN));
        ASSERT_TRUE(WriteFile(file.get(), tail.data(), static_cast<DWORD>(tail.size()), &done, nullptr));
    }
    StartForm();
    EXPECT_EQ(DayItems(), (std::vector<std::wstring>{L"10.0.0.5"})) << "what could be read";
    Tick();
    rt::UniqueFile file(CreateFileW(LogPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    const std::string added = "127.0.0.3\r\n";
    LARGE_INTEGER now{};
    GetFileSizeEx(file.get(), &now);
    EXPECT_EQ(now.QuadPart, size + static_cast<LONGLONG>(added.size()));
    std::string first(head.size(), '\0'), last(tail.size() + added.size(), '\0');
    DWORD got = 0;
    ReadFile(file.get(), first.data(), static_cast<DWORD>(first.size()), &got, nullptr);
    LARGE_INTEGER at{};
    at.QuadPart = size - static_cast<LONGLONG>(tail.size());
    SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN);
    ReadFile(file.get(), last.data(), static_cast<DWORD>(last.size()), &got, nullptr);
    EXPECT_EQ(first, head);
    EXPECT_EQ(last, tail + added);
}

TEST_F(ScanTest, UnsavedAddressesReachTheirDaysFileAtMidnight)
{
    Listener server("127.0.0.2");
    ASSERT_NE(server.ConnectFrom("127.0.0.3"), 0);
    WriteSettings(std::to_wstring(server.Port()), L"1");
    FrmMain& f = StartForm();
    Tick();
    ASSERT_TRUE(SetFileAttributesW(LogPath().c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_NE(server.ConnectFrom("127.0.0.4"), 0);
    Tick();
    ASSERT_EQ(LogFile(), Header(server.Port()) + "127.0.0.3\r\n");

    ASSERT_TRUE(SetFileAttributesW(LogPath().c_str(), FILE_ATTRIBUTE_NORMAL));
    f.TextPort.SetText(L"0"); // no scan: only the day change can write the old day's file
    test::g_today = L"12/8/2026";
    Tick();
    EXPECT_EQ(LogFile(), Header(server.Port()) + "127.0.0.3\r\n127.0.0.4\r\n") << "the header stays as written";
    EXPECT_TRUE(DayItems().empty());
}

TEST_F(ScanTest, RemovedLogFolderIsCreatedAgain)
{
    Listener server("127.0.0.2");
    ASSERT_NE(server.ConnectFrom("127.0.0.3"), 0);
    WriteSettings(std::to_wstring(server.Port()), L"1");
    StartForm();
    Tick();
    ASSERT_TRUE(test::FileExists(LogPath()));

    test::RemoveTree(folder / L"Logs");
    ASSERT_FALSE(test::FolderExists(folder / L"Logs"));
    ASSERT_NE(server.ConnectFrom("127.0.0.4"), 0);
    Tick();
    EXPECT_EQ(LogFile(), Header(server.Port()) + "127.0.0.3\r\n127.0.0.4\r\n");
}

TEST_F(ScanTest, DayChangeKeepsTheNewDaysExistingFile)
{
    Listener server("127.0.0.2");
    ASSERT_NE(server.ConnectFrom("127.0.0.3"), 0);
    WriteSettings(std::to_wstring(server.Port()), L"1");
    FrmMain& f = StartForm();
    Tick();
    ASSERT_EQ(DayItems(), (std::vector<std::wstring>{L"127.0.0.3"}));

    // Another copy of the program has already written the new day's file.
    test::WriteBytes(LogPath(L"12.8.2026.txt"), Header(server.Port(), "12/8/2026") + "10.9.9.9\r\n");
    test::g_today = L"12/8/2026";
    Tick();
    EXPECT_EQ(f.Label4.Caption(), L"12/8/2026");
    EXPECT_EQ(DayItems(), (std::vector<std::wstring>{L"10.9.9.9", L"127.0.0.3"}));
    EXPECT_EQ(LogFile(L"12.8.2026.txt"), Header(server.Port(), "12/8/2026") + "10.9.9.9\r\n127.0.0.3\r\n");
    EXPECT_EQ(LogFile(), Header(server.Port()) + "127.0.0.3\r\n") << "the old day's file is left alone";

    // A new day without a file starts empty.
    test::g_today = L"12/9/2026";
    f.TextPort.SetText(L"0");
    Tick();
    EXPECT_TRUE(DayItems().empty());
    EXPECT_EQ(f.Label2.Caption(), L"IP's: 0");
}

TEST_F(ScanTest, PortBoxThatRefusesKeepsThePreviousRows)
{
    Listener server("127.0.0.2");
    ASSERT_NE(server.ConnectFrom("127.0.0.3"), 0);
    WriteSettings(std::to_wstring(server.Port()), L"1");
    FrmMain& f = StartForm();
    Tick();
    ASSERT_EQ(f.ListViewNetstats.ListCount(), 1);
    ASSERT_NE(server.ConnectFrom("127.0.0.4"), 0);

    for (const wchar_t* port : {L"0", L"   ", L""}) {
        f.TextPort.SetText(port);
        f.TickCounter = 0;
        Tick();
        EXPECT_EQ(f.ListViewNetstats.ListCount(), 1) << "no scan for port box " << testing::PrintToString(std::wstring(port));
        EXPECT_EQ(f.TickCounter, 0) << "the counter is reset all the same";
        EXPECT_EQ(f.Label1.Caption(), L"Currently Connected IP's: 1");
    }
    EXPECT_EQ(DayItems().size(), 1u);

    f.TextPort.SetText(L" " + std::to_wstring(server.Port()) + L" ");
    Tick();
    EXPECT_EQ(f.ListViewNetstats.ListCount(), 2) << "blanks around the number still select the port";

    f.TextPort.SetText(L"port");
    Tick();
    EXPECT_EQ(f.ListViewNetstats.ListCount(), 0) << "a port text that is not a number empties the list";
    EXPECT_EQ(f.Label1.Caption(), L"Currently Connected IP's: 0");
    EXPECT_EQ(DayItems().size(), 2u);
}

TEST_F(ScanTest, IntervalBoxDecidesWhichTicksScan)
{
    Listener server("127.0.0.2");
    WriteSettings(std::to_wstring(server.Port()), L"5");
    FrmMain& f = StartForm();
    ASSERT_NE(server.ConnectFrom("127.0.0.3"), 0);
    Tick(4);
    EXPECT_EQ(f.ListViewNetstats.ListCount(), 0) << "interval 5: no scan on ticks 1 to 4";
    EXPECT_EQ(f.TickCounter, 4);
    Tick();
    EXPECT_EQ(f.ListViewNetstats.ListCount(), 1) << "the fifth tick scans";
    EXPECT_EQ(f.TickCounter, 0);

    for (const wchar_t* interval : {L"0", L"1", L"", L"often"}) {
        f.TextTime.SetText(interval);
        ASSERT_NE(server.ConnectFrom("127.0.0.4"), 0);
        int before = f.ListViewNetstats.ListCount();
        Tick();
        EXPECT_EQ(f.ListViewNetstats.ListCount(), before + 1)
            << "interval " << testing::PrintToString(std::wstring(interval)) << " scans on every tick";
        EXPECT_EQ(f.TickCounter, 0);
    }
}

TEST_F(ScanTest, TickAfterExitBeganChangesNothing)
{
    Listener server("127.0.0.2");
    ASSERT_NE(server.ConnectFrom("127.0.0.3"), 0);
    WriteSettings(std::to_wstring(server.Port()), L"1");
    FrmMain& f = StartForm();
    f.State.IsExiting = true;
    Tick();
    EXPECT_EQ(f.ListViewNetstats.ListCount(), 0);
    EXPECT_EQ(f.TickCounter, 0);
    EXPECT_FALSE(test::FileExists(LogPath()));
}

TEST_F(ScanTest, ProgramLogsTodaysConnectionsInItsOwnFolder)
{
    Listener server("127.0.0.2");
    ASSERT_NE(server.ConnectFrom("127.0.0.4"), 0);
    std::wstring exe = folder / L"Ostrevi.exe";
    ASSERT_TRUE(CopyFileW((test::BuildDir() + L"\\bin\\Ostrevi.exe").c_str(), exe.c_str(), FALSE));
    WriteSettings(std::to_wstring(server.Port()), L"1");

    wchar_t date[128] = {}, sep[8] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 128);
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, sep, 8);
    std::wstring file = LogPath(DayLogFileName(date, sep));

    test::Process program(exe, L"/startup", folder.Path());
    ASSERT_TRUE(program.Started());
    std::string expected = "Ip's Connected to " + std::to_string(server.Port()) + " Date: " + test::Narrow(date) +
                           "\r\n127.0.0.4\r\n";
    EXPECT_TRUE(test::PumpUntil([&] { return test::ReadBytes(file) == expected; }, 15000)) << test::ReadBytes(file);
}

TEST_F(ScanTest, UnloadWhileTheTableIsReadGoesOnAtOnceAndTheNextFormScans)
{
    Listener server("127.0.0.2");
    ASSERT_NE(server.ConnectFrom("127.0.0.3"), 0);
    WriteSettings(std::to_wstring(server.Port()), L"1");
    FrmMain& f = StartForm();
    f.Timer1.Tick.Raise();
    ASSERT_TRUE(f.ScanRunning()) << "the read's result waits for the message loop";
    StopForm(); // the reading thread is not waited for; its late result goes nowhere

    FrmMain& g = StartForm();
    Tick();
    EXPECT_EQ(g.ListViewNetstats.ListCount(), 1);
    EXPECT_EQ(g.Label1.Caption(), L"Currently Connected IP's: 1");
}

// Whether `title`, drawn in the header's font, shows in screen rectangle `item`: at its best
// placement the dark pixels differ in at most a tenth of the pixels the title darkens.
bool ShowsTitle(HWND header, RECT item, const std::wstring& title)
{
    const test::ScreenPixels shown = test::CaptureScreen(item);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(header, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &size);
    HBITMAP bmp = CreateCompatibleBitmap(screen, size.cx, size.cy);
    HGDIOBJ old = SelectObject(dc, bmp);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, nullptr, title.c_str(), static_cast<UINT>(title.size()), nullptr);
    auto dark = [](COLORREF c) { return (c & 0xFF) + (c >> 8 & 0xFF) + (c >> 16 & 0xFF) < 384; };
    std::vector<bool> ink(static_cast<std::size_t>(size.cx * size.cy));
    for (int i = 0; i < size.cx * size.cy; ++i)
        ink[static_cast<std::size_t>(i)] = dark(GetPixel(dc, i % size.cx, i / size.cx));
    SelectObject(dc, old);
    SelectObject(dc, font);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    const long inked = std::count(ink.begin(), ink.end(), true);
    for (int dy = 0; dy + size.cy <= shown.height; ++dy) {
        for (int dx = 0; dx + size.cx <= shown.width; ++dx) {
            long misses = 0;
            for (int i = 0; i < size.cx * size.cy; ++i) {
                const auto at = static_cast<std::size_t>((dy + i / size.cx) * shown.width + dx + i % size.cx);
                misses += ink[static_cast<std::size_t>(i)] != dark(shown.pixels[at]);
            }
            if (inked > 0 && misses * 10 <= inked)
                return true;
        }
    }
    return false;
}

TEST_F(ScanTest, HeadingsStayOnScreenWhileScansListRows)
{
    Listener server("127.0.0.2");
    WriteSettings(std::to_wstring(server.Port()), L"1");
    FrmMain& f = StartForm();
    f.ShowAfterLoad();
    ASSERT_EQ(test::BringToForeground(f.hWnd()), "");
    HWND header = reinterpret_cast<HWND>(SendMessageW(f.ListViewNetstats.hWnd(), LVM_GETHEADER, 0, 0));
    auto missing = [&] {
        std::string gone;
        for (int i = 0; i < 4; ++i) {
            const wchar_t* titles[] = {L"Local Port", L"Remote IP", L"Remote Port", L"Status"};
            RECT item{};
            SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            MapWindowPoints(header, HWND_DESKTOP, reinterpret_cast<POINT*>(&item), 2);
            if (!ShowsTitle(header, item, titles[i]))
                gone += " \"" + test::Narrow(titles[i]) + "\"";
        }
        return gone;
    };
    // Before any scan, after scans that list one more connection each, after one of the same rows.
    for (const char* from : {"", "127.0.0.3", "127.0.0.4", "127.0.0.5", "same"}) {
        if (*from) {
            if (from[0] == '1') {
                ASSERT_NE(server.ConnectFrom(from), 0);
            }
            Tick();
        }
        test::PumpUntil([&] { return missing().empty(); }, 3000);
        EXPECT_EQ(missing(), "") << f.ListViewNetstats.ListCount() << " rows listed";
    }
}
