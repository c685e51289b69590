// Ostrevi's main form: the connection list, the day's log, the settings panel and the
// skinned frame.
#pragma once

#include "monitor/FolderBrowser.h"
#include "monitor/ModTask.h"
#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "runtime/Timer.h"
#include "skin/CFormBorder.h"
#include "skin/PanelFx.h"
#include "skin/TitelBar.h"
#include "skin/dcButton.h"

#include <memory>

class FrmMain : public rt::Form {
public:
    FrmMain();
    ~FrmMain() override;

    // The form's window is 11250 by 7050 twips.
    static constexpr int kWidthTwips = 11250;
    static constexpr int kHeightTwips = 7050;

    TitelBar TitelBar1{L"TitelBar1", TitelBar::CloseAction::HideForm};
    PanelFx PanelFx1{L"PanelFx1"};
    PanelFx PanelFx2{L"PanelFx2"};
    PanelFx PanelFx3{L"PanelFx3"};

    rt::Label Label5{L"Label5"};
    rt::Label Label1{L"Label1"};
    rt::ListBox List1{L"List1"};
    rt::Label Label3{L"Label3"};
    rt::Label Label4{L"Label4"};
    rt::Label Label2{L"Label2"};

    rt::Label Label6{L"Label6"};
    rt::TextBox TextPort{L"TextPort"};
    rt::Label Label7{L"Label7"};
    rt::Label Label9{L"Label9"};
    rt::TextBox TextTime{L"TextTime"};
    rt::Label Label8{L"Label8"};
    rt::CheckBox Check1{L"Check1"};
    rt::CheckBox CheckChangeLogLocation{L"CheckChangeLogLocation"};
    rt::Label Label10{L"Label10"};
    rt::TextBox TextLogPath{L"TextLogPath"};
    dcButton ButtonBrowse{L"ButtonBrowse"};

    rt::Label Label11{L"Label11"};
    rt::Label Label12{L"Label12"};
    rt::Label Label13{L"Label13"};
    rt::Label Label14{L"Label14"};

    FolderBrowser FolderBrowserMain{L"FolderBrowserMain"};

    rt::TextBox TextDateSep{L"TextDateSep"};
    rt::Timer Timer1{L"Timer1", 1000};

    std::unique_ptr<CFormBorder> FormBorder;
    int TickCounter = 0;

    // The notification-area icon; present from start-up to ExitProgram.
    void HideTrayIcon() {}

    // Register and remove the log-on task; true when the scheduler did what was asked.
    bool CreateStartup();
    bool DeleteStartup();

protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_Unload() override;

private:
    // The settings panel (FrmMainSettings.cpp): the folder picker and the panel's handlers.
    void ConnectSettingsHandlers();
    void TextNumber_GotFocus(rt::TextBox& box);
    void TextNumber_KeyPress(rt::TextBox& box, int& key);
    void TextNumber_KeyUp(rt::TextBox& box, const wchar_t* key);
    void TextLogPath_LostFocus();
    void ButtonBrowse_Click();
    void Check1_Click();
    void CheckChangeLogLocation_Click();
    // Makes the log-folder box's text a folder path and LogFolder follow it.
    void NormaliseLogPath();
    // LogFolder takes `folder` and the folder is created, so the next save lands there.
    void SwitchLogFolder(const std::wstring& folder);

    OlderTaskScheduler olderScheduler_;
    bool check1Busy_ = false;
};
