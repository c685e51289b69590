// The folder picker with the shell's real dialog: a timer finds the dialog of this thread
// while it runs its modal loop, looks at it and presses OK or Cancel with messages.
#include "tests/monitor/settings/SettingsFixture.h"

#include "monitor/FolderBrowser.h"
#include "monitor/ModMain.h"
#include "runtime/Form.h"
#include "runtime/Runtime.h"

#include <commctrl.h>

using namespace vantorel;
using namespace vantorel::ostrevi;

namespace {

struct DialogDriver {
    int button = IDOK;
    bool seen = false;
    bool hasEdit = false;
    bool hasTitle = false;
    bool hasNewFolder = false;
    std::wstring title;
    std::wstring selected; // the tree's selected item when the dialog came up
    std::wstring expected; // the item the start folder should select
    UINT_PTR timer = 0;
    int ticks = 0;
};
DialogDriver g_driver;

HWND FindThreadDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM out) -> BOOL {
            wchar_t cls[32] = {};
            GetClassNameW(w, cls, 32);
            if (std::wstring(cls) == L"#32770" && IsWindowVisible(w)) {
                *reinterpret_cast<HWND*>(out) = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

BOOL CALLBACK LookAtChild(HWND child, LPARAM)
{
    wchar_t cls[64] = {};
    GetClassNameW(child, cls, 64);
    std::wstring c = cls;
    if (_wcsicmp(cls, L"Edit") == 0 && IsWindowVisible(child))
        g_driver.hasEdit = true;
    if (_wcsicmp(cls, L"Static") == 0 && !g_driver.title.empty() && rt::WindowText(child) == g_driver.title)
        g_driver.hasTitle = true;
    if (_wcsicmp(cls, L"Button") == 0 && rt::WindowText(child) == L"&Make New Folder" && IsWindowVisible(child))
        g_driver.hasNewFolder = true;
    if (c == WC_TREEVIEWW) {
        HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(child, TVM_GETNEXTITEM, TVGN_CARET, 0));
        wchar_t text[260] = {};
        TVITEMW tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = text;
        tv.cchTextMax = 260;
        if (item && SendMessageW(child, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)))
            g_driver.selected = text;
    }
    return TRUE;
}

// Runs on each tick of the dialog's own modal loop, never pumping messages itself: a nested
// pump could run in the middle of the dialog's own work.
void CALLBACK DriveDialog(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dialog = FindThreadDialog();
    if (!dialog)
        return;
    g_driver.seen = true;
    ++g_driver.ticks;
    EnumChildWindows(dialog, &LookAtChild, 0);
    // Wait for the folder expected (at most 5 s), or a few ticks when none is.
    bool settled = g_driver.expected.empty() ? g_driver.ticks >= 3 : g_driver.selected == g_driver.expected;
    if (!settled && g_driver.ticks < 50)
        return;
    KillTimer(nullptr, id);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(g_driver.button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, g_driver.button)));
}

// Arms the driver before a call that opens the dialog.
void PressWhenOpen(int button, const std::wstring& title, const std::wstring& expected = L"")
{
    g_driver = {};
    g_driver.button = button;
    g_driver.title = title;
    g_driver.expected = expected;
    g_driver.timer = SetTimer(nullptr, 0, 100, &DriveDialog);
}

void Disarm() { KillTimer(nullptr, g_driver.timer); }

// Wine's shell keeps what it learnt of a folder for the life of the process, and its walk
// down to a start folder stops at a folder changed since; every test writes into the
// temporary folder. So the start folders live in a tree of their own, made once before the
// first dialog, beside the temporary folder.
class PickerFolders : public ::testing::Environment {
public:
    static std::wstring Path(const std::wstring& name) { return Base() + L"\\" + name; }

    void SetUp() override
    {
        CreateDirectoryW(Base().c_str(), nullptr);
        for (const wchar_t* name : {L"Start Here", L"kept", L"picked"})
            CreateDirectoryW(Path(name).c_str(), nullptr);
    }
    void TearDown() override { test::RemoveTree(Base()); }

private:
    static std::wstring Base()
    {
        wchar_t windows[MAX_PATH] = {};
        GetWindowsDirectoryW(windows, MAX_PATH);
        return std::wstring(windows, 3) + L"vantorel-picker-" + std::to_wstring(GetCurrentProcessId());
    }
};
const auto* const g_pickerFolders = ::testing::AddGlobalTestEnvironment(new PickerFolders);

class PickerHost : public rt::Form {
public:
    PickerHost() : rt::Form(L"PickerHost", L"Picker host", 6000, 4000) {}
    FolderBrowser Picker{L"Picker"};

protected:
    void CreateControls() override { Picker.Create(*this, hWnd(), {0, 0, 0, 0}); }
};

class FolderPicker : public ::testing::Test {
protected:
    // Wine's first folder dialog of a process may open without the selection asked for
    // while its shell namespace is being built: one dialog is opened and cancelled first.
    static void SetUpTestSuite()
    {
        test::InitControls();
        PickerHost warmUp;
        warmUp.Load();
        warmUp.Picker.SetFolderPath(PickerFolders::Path(L"kept"));
        PressWhenOpen(IDCANCEL, L"", L"kept");
        warmUp.Picker.BrowseFolder();
    }

    void SetUp() override
    {
        test::InitControls();
        host.Load();
        host.Show();
    }
    PickerHost host;
};

TEST_F(FolderPicker, OkReturnsTheStartFolderThatTheCallbackSelected)
{
    const std::wstring start = PickerFolders::Path(L"Start Here");
    FolderBrowser& p = host.Picker;
    p.SetEditBox(false);
    p.SetMakeNewFolderButton(true);
    p.SetIncludeFiles(false);
    p.SetTitle(L"Pick a test folder");
    p.SetFolderPath(start);

    PressWhenOpen(IDOK, p.Title(), L"Start Here");
    EXPECT_TRUE(p.BrowseFolder());
    EXPECT_TRUE(g_driver.seen);
    EXPECT_EQ(g_driver.selected, L"Start Here");
    EXPECT_TRUE(g_driver.hasTitle);
    EXPECT_FALSE(g_driver.hasEdit);
    EXPECT_TRUE(g_driver.hasNewFolder);
    EXPECT_EQ(_wcsicmp(p.FolderPath().c_str(), start.c_str()), 0) << test::Narrow(p.FolderPath());
    // The name ends at its terminator, without the rest of the buffer. (Wine gives the
    // whole path as the display name; Windows the folder's name.)
    EXPECT_EQ(p.DisplayName().find(L'\0'), std::wstring::npos);
    EXPECT_TRUE(p.DisplayName().ends_with(L"Start Here")) << test::Narrow(p.DisplayName());
}

TEST_F(FolderPicker, CancelReturnsFalseAndKeepsThePath)
{
    const std::wstring start = PickerFolders::Path(L"kept");
    FolderBrowser& p = host.Picker;
    p.SetEditBox(true);
    p.SetMakeNewFolderButton(true);
    p.SetIncludeFiles(false);
    p.SetFolderPath(start);
    p.SetDisplayName(L"before");

    PressWhenOpen(IDCANCEL, p.Title(), L"kept");
    EXPECT_FALSE(p.BrowseFolder());
    EXPECT_TRUE(g_driver.seen);
    EXPECT_TRUE(g_driver.hasEdit);
    EXPECT_EQ(g_driver.selected, L"kept");
    EXPECT_EQ(p.FolderPath(), start);
    EXPECT_EQ(p.DisplayName(), L"before");
}

using BrowseButton = SettingsFixture;

TEST_F(BrowseButton, ChosenFolderBecomesTheLogLocationAndIsSaved)
{
    const std::wstring picked = PickerFolders::Path(L"picked");
    WriteSetting(L"ChangeLogLocation", L"1");
    WriteSetting(L"LogLocation", picked);
    FrmMain& f = Start();
    WriteSetting(L"LogLocation", L"stale");

    PressWhenOpen(IDOK, L"Choose Folder To Store Logs", L"picked");
    Click(f.ButtonBrowse.hWnd());
    EXPECT_TRUE(g_driver.seen);
    EXPECT_TRUE(g_driver.hasTitle);
    EXPECT_FALSE(g_driver.hasEdit);
    EXPECT_TRUE(g_driver.hasNewFolder);
    EXPECT_EQ(g_driver.selected, L"picked");
    EXPECT_EQ(_wcsicmp(f.TextLogPath.Text().c_str(), (picked + L"\\").c_str()), 0);
    EXPECT_EQ(_wcsicmp(Ini(L"LogLocation").c_str(), (picked + L"\\").c_str()), 0);
    EXPECT_EQ(f.State.LogFolder, f.TextLogPath.Text());

    // Cancel changes nothing.
    f.TextLogPath.SetText(app / L"other");
    WriteSetting(L"LogLocation", L"unchanged");
    const std::wstring folderBefore = f.State.LogFolder;
    PressWhenOpen(IDCANCEL, L"Choose Folder To Store Logs");
    Click(f.ButtonBrowse.hWnd());
    EXPECT_TRUE(g_driver.seen);
    EXPECT_EQ(f.TextLogPath.Text(), app / L"other");
    EXPECT_EQ(Ini(L"LogLocation"), L"unchanged");
    EXPECT_EQ(f.State.LogFolder, folderBefore);
}

TEST_F(BrowseButton, DoesNothingWhileTheLogLocationIsNotChosen)
{
    FrmMain& f = Start();
    PressWhenOpen(IDCANCEL, L"");
    Click(f.ButtonBrowse.hWnd());
    EXPECT_TRUE(test::PumpQueued());
    EXPECT_FALSE(g_driver.seen);
    EXPECT_FALSE(IniHas(L"LogLocation"));
    Disarm();
}

} // namespace
