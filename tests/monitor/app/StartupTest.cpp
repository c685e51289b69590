// Ostrevi's start-up and exit, driven in-process against a real Settings.ini in a fresh
// temporary program folder.
#include "monitor/FrmMain.h"
#include "monitor/ModMain.h"
#include "common/ModCommon.h"
#include "common/core/TextHandling.h"
#include "ostrevi_version.h"
#include "runtime/Runtime.h"
#include "tests/support/TestSupport.h"

#include <commctrl.h>

#include <gtest/gtest.h>

using namespace vantorel;
using namespace vantorel::ostrevi;

namespace {

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::InitControls();
        rt::SetAppPath(folder.Path());
        seams.commandLine = L"";
    }
    void TearDown() override
    {
        if (form && form->IsLoaded())
            form->Unload();
        form.reset();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    void WriteSettings(const std::string& body) { test::WriteBytes(folder / L"Settings.ini", "[main]\r\n" + body); }
    FrmMain& Start()
    {
        form = std::make_unique<FrmMain>(seams);
        form->Load();
        form->ShowAfterLoad();
        return *form;
    }
    std::wstring Defaults() const { return folder.Path() + L"\\Logs\\"; }

    test::TempFolder folder;
    Seams seams;
    std::unique_ptr<FrmMain> form;
};

} // namespace

TEST_F(StartupTest, NoSettingsFileShowsTheDefaultsAndLogsBesideTheProgram)
{
    FrmMain& f = Start();
    EXPECT_EQ(f.TextPort.Text(), L"3389") << "a missing key shows the default, so the port is watched";
    EXPECT_EQ(f.TextTime.Text(), L"5");
    EXPECT_EQ(f.Check1.Value(), 0);
    EXPECT_EQ(f.CheckChangeLogLocation.Value(), 0);
    EXPECT_EQ(f.State.LogFolder, Defaults());
    EXPECT_EQ(f.TextLogPath.Text(), Defaults());
    EXPECT_TRUE(test::FolderExists(Defaults()));
    EXPECT_FALSE(test::FileExists(folder / L"Settings.ini")) << "no defaults are written";
}

TEST_F(StartupTest, StoredLocationUsedWhenSwitchedOnWithParentsCreated)
{
    std::wstring custom = folder.Path() + L"\\deep\\er\\logs";
    WriteSettings("ChangeLogLocation=1\r\nLogLocation=" + test::Narrow(custom) + "\r\nPort= 3390 \r\nTime=7\r\n");
    FrmMain& f = Start();
    EXPECT_EQ(f.State.LogFolder, custom + L"\\");
    EXPECT_EQ(f.TextLogPath.Text(), custom + L"\\");
    EXPECT_TRUE(test::FolderExists(custom)) << "the log folder is created with its parents";
    EXPECT_EQ(f.CheckChangeLogLocation.Value(), 1);
    EXPECT_TRUE(f.TextLogPath.Enabled());
    EXPECT_TRUE(f.ButtonBrowse.Enabled());
    EXPECT_EQ(f.TextPort.Text(), L"3390") << "the profile functions drop the blanks around a value";
    EXPECT_EQ(f.TextTime.Text(), L"7");
}

TEST_F(StartupTest, StoredLocationIgnoredWhenSwitchedOff)
{
    WriteSettings("ChangeLogLocation=0\r\nLogLocation=C:\\elsewhere\\logs\r\n");
    FrmMain& f = Start();
    EXPECT_EQ(f.TextLogPath.Text(), L"C:\\elsewhere\\logs");
    EXPECT_EQ(f.State.LogFolder, Defaults());
    EXPECT_FALSE(f.TextLogPath.Enabled());
}

TEST_F(StartupTest, MissingOrOverlongKeysShowTheDefaultsAndKeysStoredEmptyStayEmpty)
{
    WriteSettings("Port=\r\nOther=1\r\nTime=" + std::string(5000, '7') + "\r\n");
    const std::string before = test::ReadBytes(folder / L"Settings.ini");
    FrmMain& f = Start();
    EXPECT_EQ(f.TextPort.Text(), L"") << "stored empty: no scans";
    EXPECT_EQ(f.TextTime.Text(), L"5") << "a number cut short would be another number";
    EXPECT_EQ(test::ReadBytes(folder / L"Settings.ini"), before) << "nothing is written";
}

TEST_F(StartupTest, StoredLogFolderOfAnyUsableLengthWorksAndAnUnusableOneFallsBackToTheDefault)
{
    test::WriteBytes(folder / L"a-file", "x");
    const std::wstring tooLongName = folder.Path() + L"\\" + std::wstring(300, L'n');
    struct Case {
        std::wstring location;
        bool usable;
    } cases[] = {
        {test::FolderOfLength(folder.Path(), 250, 60), true},
        {test::FolderOfLength(folder.Path(), 300, 60), true},
        {test::FolderOfLength(folder.Path(), 1000, 60), true},
        {test::FolderOfLength(folder.Path(), 1000, 60) + L"\\" + std::wstring(300, L'n'), false},
        // Deeper than any log folder is, then too deep or too long to make at all.
        {test::FolderOfLength(folder.Path(), 300, 2), true},
        {test::FolderOfLength(folder.Path(), 600, 2), false},
        {test::FolderOfLength(folder.Path(), 5000, 8), false},
        {test::FolderOfLength(folder.Path(), 30000, 1), false},
        {test::FolderOfLength(folder.Path(), 200000, 60), false},
        {folder / L"a-file", false},
        {test::MissingDrive() + L"\\logs", false},
        {test::ReadOnlyFolder(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.location.size() << " characters: " << test::Narrow(c.location.substr(0, 80)));
        WriteSettings("ChangeLogLocation=1\r\nLogLocation=" + test::Narrow(c.location) + "\r\n");
        FrmMain& f = Start();
        const std::wstring expected = c.usable ? c.location + L"\\" : Defaults();
        EXPECT_EQ(f.State.LogFolder, expected);
        EXPECT_EQ(f.TextLogPath.Text(), expected);
        f.AddToLog(L"192.0.2.1");
        EXPECT_NE(test::ReadBytes(LongPathForm(f.DayLogPath())).find("192.0.2.1\r\n"), std::string::npos);
        f.Unload();
        form.reset();
        test::RemoveTree(LongPathForm(Defaults()));
    }
}

TEST_F(StartupTest, BlankOrMissingStoredLocationFallsBackToDefault)
{
    for (const char* location : {"LogLocation=\"   \"\r\n", ""}) {
        WriteSettings(std::string("ChangeLogLocation=1\r\n") + location);
        FrmMain& f = Start();
        EXPECT_EQ(f.State.LogFolder, Defaults()) << location;
        EXPECT_EQ(f.TextLogPath.Text(), Defaults()) << location;
        f.Unload();
        form.reset();
    }
}

TEST_F(StartupTest, CheckBoxesTakeOnlyWholeNumbers)
{
    WriteSettings("StartWithWindows=1\r\nChangeLogLocation=yes\r\n");
    FrmMain& f = Start();
    EXPECT_EQ(f.Check1.Value(), 1);
    EXPECT_EQ(f.CheckChangeLogLocation.Value(), 0);
}

TEST_F(StartupTest, StartupSwitchHidesTheWindowInAnyCase)
{
    for (const wchar_t* args : {L"/STARTUP", L"\\startup", L"-StartUp"}) {
        seams.commandLine = args;
        FrmMain& f = Start();
        EXPECT_FALSE(IsWindowVisible(f.hWnd())) << args;
        EXPECT_TRUE(f.Timer1.Enabled()) << "the program runs on, hidden";
        f.Unload();
        form.reset();
    }
    for (const wchar_t* args : {L"/startup x", L"startup", L""}) {
        seams.commandLine = args;
        FrmMain& f = Start();
        EXPECT_TRUE(IsWindowVisible(f.hWnd())) << args;
        f.Unload();
        form.reset();
    }
}

TEST_F(StartupTest, WindowIsABorderlessRoundedBoxWithTheVersionedTitle)
{
    FrmMain& f = Start();
    RECT r;
    GetWindowRect(f.hWnd(), &r);
    EXPECT_EQ(r.right - r.left, 750);
    EXPECT_EQ(r.bottom - r.top, 470);

    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(f.hWnd(), rgn), ERROR);
    EXPECT_TRUE(PtInRegion(rgn, 375, 235));
    EXPECT_FALSE(PtInRegion(rgn, 0, 0)) << "corners are rounded";
    EXPECT_FALSE(PtInRegion(rgn, 749, 469));
    EXPECT_TRUE(PtInRegion(rgn, 5, 235));
    DeleteObject(rgn);

    LONG_PTR style = GetWindowLongPtrW(f.hWnd(), GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_EQ(style & WS_THICKFRAME, 0);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
    HMENU sys = GetSystemMenu(f.hWnd(), FALSE);
    EXPECT_EQ(GetMenuState(sys, 0x7000, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(GetMenuState(sys, 0x7030, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));

    EXPECT_EQ(rt::WindowText(f.hWnd()), L"Vantorel - Ostrevi");
    EXPECT_EQ(f.TitelBar1.Caption(), L"Vantorel - Ostrevi v" + std::to_wstring(OSTREVI_MAJOR) + L"." +
                                         std::to_wstring(OSTREVI_MINOR) + L"." + std::to_wstring(OSTREVI_REVISION));
    EXPECT_EQ(f.TitelBar1.Width(), f.Width()) << "the bar spans the window";
}

TEST_F(StartupTest, TitleBarCloseBoxOnlyHides)
{
    FrmMain& f = Start();
    RECT box = f.TitelBar1.CloseBoxRect();
    LPARAM at = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    SendMessageW(f.TitelBar1.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_TRUE(test::PumpQueued());
    EXPECT_FALSE(IsWindowVisible(f.hWnd()));
    EXPECT_TRUE(f.IsLoaded()) << "the program goes on in the notification area";
    EXPECT_FALSE(f.State.IsExiting);
}

TEST_F(StartupTest, DateValuesComeFromTheLocale)
{
    FrmMain& f = Start();
    EXPECT_FALSE(f.State.DateSeparator.empty());
    EXPECT_EQ(f.State.DateSeparator.find(L'\0'), std::wstring::npos) << "the separator characters alone";
    EXPECT_EQ(f.State.TodayText, CurrentDateText());
    EXPECT_NE(f.State.TodayText.find(f.State.DateSeparator), std::wstring::npos);
    (void)f;
}

TEST_F(StartupTest, ExitStopsTimerHidesAndUnloadsEveryForm)
{
    FrmMain& f = Start();
    HWND hwnd = f.hWnd();
    ASSERT_TRUE(f.Timer1.Enabled());
    struct Watch {
        FrmMain* form;
        bool timerStoppedBeforeHide;
    } watch{&f, false};
    // The exit hides the window after stopping the timer: observe the state as the window hides.
    SetWindowSubclass(
        hwnd,
        [](HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) -> LRESULT {
            if (msg == WM_SHOWWINDOW && wp == FALSE) {
                auto* w = reinterpret_cast<Watch*>(data);
                w->timerStoppedBeforeHide = !w->form->Timer1.Enabled();
            }
            return DefSubclassProc(h, msg, wp, lp);
        },
        1, reinterpret_cast<DWORD_PTR>(&watch));
    int quits = test::QuitCount();
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(test::PumpUntil([&] { return !f.IsLoaded(); }));
    EXPECT_TRUE(test::PumpQueued());
    EXPECT_TRUE(f.State.IsExiting);
    EXPECT_TRUE(watch.timerStoppedBeforeHide);
    EXPECT_FALSE(f.Timer1.Enabled());
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(rt::Form::Forms().empty());
    EXPECT_EQ(test::QuitCount(), quits + 1) << "the message loop ends by itself";
}

TEST_F(StartupTest, LoadAfterExitHasBegunGoesStraightBackToExit)
{
    form = std::make_unique<FrmMain>(seams);
    form->State.IsExiting = true;
    form->Load();
    form->ShowAfterLoad();
    FrmMain& f = *form;
    test::PumpUntil([&] { return !f.IsLoaded(); }, 2000);
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_FALSE(f.Timer1.Enabled());
}
