// The settings panel of the main form: the port and interval boxes, the log location with
// its folder picker, and the start-at-log-on box with the log-on task behind it. Each
// control writes its setting to Settings.ini the moment the user changes it.
#include "monitor/FrmMain.h"

#include "monitor/ModMain.h"
#include "monitor/Modini.h"
#include "common/core/NumberKeyFilter.h"
#include "common/core/TextHandling.h"
#include "runtime/Runtime.h"

namespace vantorel::ostrevi {

namespace {
constexpr const wchar_t* kSection = L"main";
} // namespace

void FrmMain::ConnectSettingsHandlers()
{
    // The picker shows nothing; its hidden window only owns the dialog.
    FolderBrowserMain.Create(*this, hWnd(), {0, 0, 0, 0});

    TextPort.GotFocus.Connect([this] { TextNumber_GotFocus(TextPort); });
    TextPort.KeyPress.Connect([this](int& key) { TextNumber_KeyPress(TextPort, key); });
    TextPort.KeyUp.Connect([this](int, int) { TextNumber_KeyUp(TextPort, L"Port"); });
    TextTime.GotFocus.Connect([this] { TextNumber_GotFocus(TextTime); });
    TextTime.KeyPress.Connect([this](int& key) { TextNumber_KeyPress(TextTime, key); });
    TextTime.KeyUp.Connect([this](int, int) { TextNumber_KeyUp(TextTime, L"Time"); });
    TextLogPath.LostFocus.Connect([this] { TextLogPath_LostFocus(); });
    ButtonBrowse.Click.Connect([this] { ButtonBrowse_Click(); });
    Check1.Click.Connect([this] { Check1_Click(); });
    CheckChangeLogLocation.Click.Connect([this] { CheckChangeLogLocation_Click(); });
}

void FrmMain::TextNumber_GotFocus(rt::TextBox& box)
{
    // The whole text is selected, so typing replaces it.
    SendMessageW(box.hWnd(), EM_SETSEL, 0, static_cast<LPARAM>(box.Text().size()));
}

void FrmMain::TextNumber_KeyPress(rt::TextBox& box, int& key) { key = FilterNumberKey(key, box.Text()); }

// Every key release writes the box, whatever the key and whether the filter dropped it.
void FrmMain::TextNumber_KeyUp(rt::TextBox& box, const wchar_t* key)
{
    WriteIni(kSection, key, box.Text(), SettingsPath());
    rt::YieldToOtherMessages();
}

bool FrmMain::SwitchLogFolder(const std::wstring& folder)
{
    // Only a folder where files can be written is taken. Start-up creates the one it settles
    // on; later the first save that needs it does, so no stray folders are left behind.
    if (!FolderIsUsable(folder, IsLoading()))
        return false;
    State.LogFolder = folder;
    return true;
}

bool FrmMain::NormaliseLogPath()
{
    std::wstring text = TextLogPath.Text();
    // Blanks stay: a text ending in a blank gets the backslash after it.
    if (!text.empty() && text.back() != L'\\' && !TrimBlanks(text).empty())
        TextLogPath.SetText(text + L"\\");
    rt::YieldToOtherMessages();
    if (TrimBlanks(TextLogPath.Text()).empty()) {
        State.LogFolder = DefaultLogFolder();
        rt::YieldToOtherMessages();
        TextLogPath.SetText(State.LogFolder);
    } else if (!SwitchLogFolder(TextLogPath.Text())) {
        // Refused, like a log-on task that failed: the box goes back to the folder in use.
        TextLogPath.SetText(State.LogFolder);
        return false;
    }
    return true;
}

void FrmMain::TextLogPath_LostFocus()
{
    // Windows going away during the exit take the focus with them; that is no user's edit.
    if (State.IsExiting || IsUnloading())
        return;
    bool taken = NormaliseLogPath();
    rt::YieldToOtherMessages();
    rt::YieldToOtherMessages();
    if (taken)
        WriteIni(kSection, L"LogLocation", TextLogPath.Text(), SettingsPath());
    rt::YieldToOtherMessages();
}

void FrmMain::ButtonBrowse_Click()
{
    FolderBrowserMain.SetEditBox(false);
    FolderBrowserMain.SetMakeNewFolderButton(true);
    FolderBrowserMain.SetIncludeFiles(false);
    FolderBrowserMain.SetIncludeUrls(false);
    FolderBrowserMain.SetTitle(L"Choose Folder To Store Logs");
    // An empty box keeps the folder chosen last.
    if (!TextLogPath.Text().empty())
        FolderBrowserMain.SetFolderPath(TextLogPath.Text());
    if (!FolderBrowserMain.BrowseFolder())
        return;
    TextLogPath.SetText(FolderBrowserMain.FolderPath());
    bool taken = NormaliseLogPath();
    rt::YieldToOtherMessages();
    if (taken)
        WriteIni(kSection, L"LogLocation", TextLogPath.Text(), SettingsPath());
    rt::YieldToOtherMessages();
}

// Runs when the user toggles the box, with the mouse or with Space. Start-up sets the box
// from the settings file without registering or removing anything.
void FrmMain::Check1_Click()
{
    if (IsLoading() || check1Busy_)
        return;
    check1Busy_ = true;
    int wanted = Check1.Value();
    bool done = wanted == 1 ? CreateStartup() : DeleteStartup();
    rt::YieldToOtherMessages();
    // The box and the setting show what the scheduler holds: a refused operation puts the
    // box back and keeps the stored value. Setting the box here raises Click; the busy flag
    // turns that away, and also a toggle made while the operation ran.
    Check1.SetValue(done ? wanted : 1 - wanted);
    if (done)
        WriteIni(kSection, L"StartWithWindows", wanted, SettingsPath());
    rt::YieldToOtherMessages();
    check1Busy_ = false;
}

void FrmMain::CheckChangeLogLocation_Click()
{
    int value = CheckChangeLogLocation.Value();
    WriteIni(kSection, L"ChangeLogLocation", value, SettingsPath());
    if (value == 1) {
        TextLogPath.SetEnabled(true);
        ButtonBrowse.SetEnabled(true);
        NormaliseLogPath();
        rt::YieldToOtherMessages();
    } else {
        // The box's text and the stored location stay for the next time it is checked.
        TextLogPath.SetEnabled(false);
        ButtonBrowse.SetEnabled(false);
        State.LogFolder = DefaultLogFolder();
    }
    rt::YieldToOtherMessages();
}

bool FrmMain::CreateStartup()
{
    TaskResult r = UsesOlderTaskScheduler(State.OSVersion) ? olderScheduler_.CreateTask(rt::AppPath())
                                                     : RegisterStartupTask(rt::AppPath());
    rt::YieldToOtherMessages();
    return r.Succeeded();
}

bool FrmMain::DeleteStartup()
{
    TaskResult r = UsesOlderTaskScheduler(State.OSVersion) ? olderScheduler_.DeleteTask() : DeleteStartupTask();
    rt::YieldToOtherMessages();
    return r.Succeeded();
}

} // namespace vantorel::ostrevi
