// The settings panel on a real main form: number boxes, the log location and Settings.ini.
#include "tests/monitor/settings/SettingsFixture.h"

#include "monitor/ModMain.h"

using namespace vantorel;
using namespace vantorel::ostrevi;

namespace {

std::wstring EditText(HWND edit)
{
    wchar_t buf[256] = {};
    GetWindowTextW(edit, buf, 256);
    return buf;
}

using SettingsPanel = SettingsFixture;

TEST_F(SettingsPanel, PortBoxTakesDigitsOnlyAndSavesAtEachKeyRelease)
{
    FrmMain& f = Start();
    HWND port = f.TextPort.hWnd();
    // No settings file: the default is shown, and focusing selects it so typing replaces it.
    EXPECT_EQ(f.TextPort.Text(), L"3389");
    EXPECT_FALSE(IniHas(L"Port"));
    FocusOn(port);

    for (wchar_t ch : std::wstring(L"3a3.8-9 "))
        TypeChar(port, ch);
    EXPECT_EQ(f.TextPort.Text(), L"3389");
    EXPECT_EQ(Ini(L"Port"), L"3389");

    // The key is written at the release, not at the press.
    SendMessageW(port, WM_CHAR, 8, 1);
    EXPECT_EQ(f.TextPort.Text(), L"338");
    EXPECT_EQ(Ini(L"Port"), L"3389");
    SendMessageW(port, WM_KEYUP, VK_BACK, 0xC0000001);
    EXPECT_EQ(Ini(L"Port"), L"338");

    // Emptying the box writes an empty value.
    for (int i = 0; i < 3; ++i)
        PressAndRelease(port, VK_BACK, 8);
    EXPECT_EQ(f.TextPort.Text(), L"");
    EXPECT_TRUE(IniHas(L"Port"));
    EXPECT_EQ(Ini(L"Port"), L"");
}

TEST_F(SettingsPanel, KeyboardPasteIsDroppedWhileCutAndCopyReachTheBox)
{
    FrmMain& f = Start();
    // The same system edit control without the filter pastes on Ctrl+V's character.
    HWND plain = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20, f.hWnd(), nullptr, nullptr,
                                 nullptr);
    test::SetClipboardText(L"55");
    SendMessageW(plain, WM_CHAR, 22, 1);
    EXPECT_EQ(EditText(plain), L"55");
    DestroyWindow(plain);

    HWND time = f.TextTime.hWnd();
    f.TextTime.SetText(L"12");
    FocusOn(time);
    SendMessageW(time, EM_SETSEL, 2, 2);
    SendMessageW(time, WM_CHAR, 22, 1);
    EXPECT_EQ(f.TextTime.Text(), L"12");

    // Ctrl+X cuts the selection to the clipboard.
    SendMessageW(time, EM_SETSEL, 0, 1);
    SendMessageW(time, WM_CHAR, 24, 1);
    EXPECT_EQ(f.TextTime.Text(), L"2");
    EXPECT_EQ(test::ClipboardText(), L"1");
}

TEST_F(SettingsPanel, IntervalBoxSelectsAllOnFocusAndAnArrowReleaseRewritesTheKey)
{
    WriteSetting(L"Time", L"15");
    FrmMain& f = Start();
    EXPECT_EQ(f.TextTime.Text(), L"15");
    FocusOn(f.TextPort.hWnd());
    FocusOn(f.TextTime.hWnd());
    DWORD start = 99, end = 99;
    SendMessageW(f.TextTime.hWnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 2u);

    // The file is changed behind the program's back; an arrow key's release writes the box again.
    WriteSetting(L"Time", L"99");
    PressAndRelease(f.TextTime.hWnd(), VK_RIGHT);
    EXPECT_EQ(Ini(L"Time"), L"15");
}

TEST_F(SettingsPanel, EachSettingIsSavedWhenChangedAndReadBackAtTheNextStart)
{
    const std::wstring custom = app / L"My Logs";
    FrmMain& f = Start();
    FocusOn(f.TextPort.hWnd());
    for (wchar_t ch : std::wstring(L"3390"))
        TypeChar(f.TextPort.hWnd(), ch);
    FocusOn(f.TextTime.hWnd());
    TypeChar(f.TextTime.hWnd(), L'7');

    EXPECT_FALSE(IniHas(L"ChangeLogLocation"));
    Click(f.CheckChangeLogLocation.hWnd());
    EXPECT_EQ(Ini(L"ChangeLogLocation"), L"1");
    EXPECT_TRUE(f.TextLogPath.Enabled());
    EXPECT_TRUE(f.ButtonBrowse.Enabled());

    FocusOn(f.TextLogPath.hWnd());
    f.TextLogPath.SetText(custom);
    EXPECT_FALSE(IniHas(L"LogLocation"));
    // The location is saved when the box loses the focus, with the final backslash.
    FocusOn(f.TextPort.hWnd());
    EXPECT_EQ(f.TextLogPath.Text(), custom + L"\\");
    EXPECT_EQ(Ini(L"LogLocation"), custom + L"\\");

    FrmMain& again = Start();
    EXPECT_EQ(again.TextPort.Text(), L"3390");
    EXPECT_EQ(again.TextTime.Text(), L"7");
    EXPECT_EQ(again.CheckChangeLogLocation.Value(), 1);
    EXPECT_TRUE(again.TextLogPath.Enabled());
    EXPECT_EQ(again.TextLogPath.Text(), custom + L"\\");
    EXPECT_EQ(f.State.LogFolder, custom + L"\\");
    EXPECT_EQ(again.Check1.Value(), 0);
}

TEST_F(SettingsPanel, SwitchingTheLogLocationTakesEffectAtOnceAndCreatesTheFolder)
{
    const std::wstring elsewhere = app / L"elsewhere";
    WriteSetting(L"ChangeLogLocation", L"0");
    WriteSetting(L"LogLocation", elsewhere);
    FrmMain& f = Start();
    // Unchecked: the stored location stays in the box but the default folder is used.
    EXPECT_EQ(f.TextLogPath.Text(), elsewhere);
    EXPECT_EQ(f.State.LogFolder, DefaultLogFolder());
    EXPECT_FALSE(test::FolderExists(elsewhere));

    Click(f.CheckChangeLogLocation.hWnd());
    EXPECT_EQ(f.State.LogFolder, elsewhere + L"\\");
    EXPECT_FALSE(test::FolderExists(elsewhere)) << "created by the first save that needs it";
    EXPECT_EQ(f.TextLogPath.Text(), elsewhere + L"\\");

    // A new location typed in is used the moment the box is left, and created by the next save.
    const std::wstring deeper = app / L"a\\b\\c";
    FocusOn(f.TextLogPath.hWnd());
    f.TextLogPath.SetText(deeper);
    FocusOn(f.TextTime.hWnd());
    EXPECT_EQ(f.State.LogFolder, deeper + L"\\");
    EXPECT_FALSE(test::FolderExists(app / L"a")) << "no stray folders on leaving the box";
    EXPECT_EQ(Ini(L"LogLocation"), deeper + L"\\");
    // The next save of the day's log lands in the new folder.
    f.AddToLog(L"203.0.113.77");
    const std::wstring dayFile = f.DayLogPath();
    EXPECT_EQ(dayFile.rfind(deeper + L"\\", 0), 0u) << test::Narrow(dayFile);
    EXPECT_NE(test::ReadBytes(dayFile).find("203.0.113.77\r\n"), std::string::npos);

    // Unchecking goes back to the default folder; the box and the stored location stay.
    test::RemoveTree(DefaultLogFolder());
    Click(f.CheckChangeLogLocation.hWnd());
    EXPECT_EQ(Ini(L"ChangeLogLocation"), L"0");
    EXPECT_EQ(f.State.LogFolder, DefaultLogFolder());
    EXPECT_EQ(f.TextLogPath.Text(), deeper + L"\\");
    EXPECT_EQ(Ini(L"LogLocation"), deeper + L"\\");
    EXPECT_FALSE(f.TextLogPath.Enabled());
    EXPECT_FALSE(f.ButtonBrowse.Enabled());
}

TEST_F(SettingsPanel, StartUpWithAChosenLocationCreatesThatFolderOnly)
{
    const std::wstring chosen = app / L"chosen";
    WriteSetting(L"ChangeLogLocation", L"1");
    WriteSetting(L"LogLocation", chosen);
    FrmMain& f = Start();
    EXPECT_EQ(f.State.LogFolder, chosen + L"\\");
    EXPECT_TRUE(test::FolderExists(chosen));
    EXPECT_FALSE(test::FolderExists(DefaultLogFolder()));
}

TEST_F(SettingsPanel, TypedLogFolderIsTakenAtAnyUsableLengthAndAnUnusableOneIsRefused)
{
    test::WriteBytes(app / L"a-file", "x");
    const std::wstring nonAnsi = app / L"\u0416\u0443\u0440\u043d\u0430\u043b \u65e5\u5fd7";
    struct Case {
        std::wstring folder;
        bool usable;
    } cases[] = {
        {test::FolderOfLength(app.Path(), 250, 60), true},
        {test::FolderOfLength(app.Path(), 300, 60), true},
        {test::FolderOfLength(app.Path(), 1000, 60), true},
        {test::FolderOfLength(app.Path(), 300, 2), true},
        {test::FolderOfLength(app.Path(), 600, 2), false},
        {test::FolderOfLength(app.Path(), 5000, 8), false},
        {test::FolderOfLength(app.Path(), 30000, 1), false},
        {test::FolderOfLength(app.Path(), 200000, 60), false},
        {nonAnsi, true},
        {app.Path() + L"\\" + std::wstring(300, L'n'), false},
        {app / L"a-file", false},
        {test::MissingDrive() + L"\\logs", false},
        {test::ReadOnlyFolder(), false},
    };
    WriteSetting(L"ChangeLogLocation", L"1");
    FrmMain& f = Start();
    std::wstring inUse = f.State.LogFolder;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.folder.size() << " characters: " << test::Narrow(c.folder.substr(0, 80)));
        const std::wstring storedBefore = Ini(L"LogLocation");
        FocusOn(f.TextLogPath.hWnd());
        f.TextLogPath.SetText(c.folder);
        FocusOn(f.TextPort.hWnd());
        if (c.usable)
            inUse = c.folder + L"\\";
        EXPECT_EQ(f.State.LogFolder, inUse);
        EXPECT_EQ(f.TextLogPath.Text(), inUse) << "a refused folder puts the box back";
        EXPECT_EQ(Ini(L"LogLocation"), c.usable ? inUse : storedBefore);
    }
    // The last folder taken survives a restart and gets today's file at the next save.
    ASSERT_EQ(inUse, nonAnsi + L"\\");
    FrmMain& again = Start();
    EXPECT_EQ(again.TextLogPath.Text(), inUse);
    EXPECT_EQ(f.State.LogFolder, inUse);
    again.AddToLog(L"192.0.2.1");
    EXPECT_EQ(again.DayLogPath().rfind(inUse, 0), 0u);
    EXPECT_NE(test::ReadBytes(again.DayLogPath()).find("192.0.2.1\r\n"), std::string::npos);
}

TEST_F(SettingsPanel, LeavingAnEmptyLogLocationFillsInTheDefaultFolder)
{
    WriteSetting(L"ChangeLogLocation", L"1");
    FrmMain& f = Start();
    FocusOn(f.TextLogPath.hWnd());
    f.TextLogPath.SetText(L"   ");
    FocusOn(f.TextPort.hWnd());
    EXPECT_EQ(f.TextLogPath.Text(), DefaultLogFolder());
    EXPECT_EQ(Ini(L"LogLocation"), DefaultLogFolder());
    EXPECT_EQ(f.State.LogFolder, DefaultLogFolder());
}

} // namespace
