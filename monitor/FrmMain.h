// Ostrevi's main form: the connection list, the day's log, the settings panel and the
// skinned frame.
#pragma once

#include "alphaimage/aicAlphaImage.h"
#include "monitor/ModList.h"
#include "monitor/ModMain.h"
#include "monitor/ModNetStats.h"
#include "monitor/ctlSysTray.h"
#include "monitor/FolderBrowser.h"
#include "monitor/ModTask.h"
#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "runtime/ListView.h"
#include "runtime/Menu.h"
#include "runtime/Timer.h"
#include "skin/CFormBorder.h"
#include "skin/PanelFx.h"
#include "skin/TitelBar.h"
#include "skin/dcButton.h"

#include <memory>
#include <string>
#include <vector>

namespace vantorel::ostrevi {

class FrmMain : public rt::Form {
public:
    explicit FrmMain(Seams seams = {});
    ~FrmMain() override;

    ProgramState State;

    // The form's window is 11250 by 7050 twips.
    static constexpr int kWidthTwips = 11250;
    static constexpr int kHeightTwips = 7050;

    skin::TitelBar TitelBar1{L"TitelBar1", skin::TitelBar::CloseAction::HideForm};
    skin::PanelFx PanelFx1{L"PanelFx1"};
    skin::PanelFx PanelFx2{L"PanelFx2"};
    skin::PanelFx PanelFx3{L"PanelFx3"};

    rt::ListView ListViewNetstats{L"ListViewNetstats"};
    rt::Label Label5{L"Label5"};
    rt::Label Label1{L"Label1"};
    rt::ListBox List1{L"List1"};
    rt::Label Label3{L"Label3"};
    rt::Label Label4{L"Label4"};
    rt::Label Label2{L"Label2"};
    // List1's addresses kept beside it, so a known address is found without a walk.
    DayList DayAddresses{List1};

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
    skin::dcButton ButtonBrowse{L"ButtonBrowse"};

    rt::Label Label11{L"Label11"};
    rt::Label Label12{L"Label12"};
    rt::Label Label13{L"Label13"};
    rt::Label Label14{L"Label14"};

    FolderBrowser FolderBrowserMain{L"FolderBrowserMain"};

    rt::TextBox TextDateSep{L"TextDateSep"};
    rt::Timer Timer1{L"Timer1", 1000};

    // The logo, the three link images and the donation image with its note.
    aic::aicAlphaImage aicAlphaImage1{L"aicAlphaImage1"};
    aic::aicAlphaImage aicAlphaImage4{L"aicAlphaImage4"};
    aic::aicAlphaImage aicAlphaImage5{L"aicAlphaImage5"};
    aic::aicAlphaImage aicAlphaImage6{L"aicAlphaImage6"};
    aic::aicAlphaImage ImageDonate{L"ImageDonate"};
    rt::Label LabelDonate{L"LabelDonate"};

    // The notification-area icon; present from start-up to ExitProgram.
    ctlSysTray SysTrayMain{L"SysTrayMain"};

    // Pop-up menus: the tray icon's, the connection list's and the day's list's.
    rt::Menu mMenu{L"mMenu", L"Menu"};
    rt::Menu MenuList{L"MenuList", L"List Menu"};
    rt::Menu MenuList2{L"MenuList2", L"List Menu 2"};

    std::unique_ptr<skin::CFormBorder> FormBorder;
    int TickCounter = 0;

    // Rounded shapes of the panels, boxes and lists; called once by start-up.
    void RoundControls();

    // Handlers of the address actions, the link images and the tray icon (FrmMainActions.cpp).
    void ListViewNetstats_MouseUp(int button, int shift, int x, int y);
    void List1_MouseUp(int button, int shift, int x, int y);
    // The menu key or Shift+F10 on a list: its menu opens at the selected row.
    void ListViewNetstats_MenuKey(int x, int y);
    void List1_MenuKey(int x, int y);
    void MenuCopyIP_Click();
    void MenuBrennix_Click();
    void MenuFindIPLocation_Click();
    void MenuCopyIP2_Click();
    void MenuBrennix2_Click();
    void MenuFindIPLocation2_Click();
    void MenuShow_Click();
    void MenuOpenBrennix_Click();
    void MenuExit_Click();
    void aicAlphaImage4_Click(int button);
    void aicAlphaImage5_Click(int button);
    void aicAlphaImage6_Click(int button);
    void ImageDonate_Click();
    void SysTrayMain_Click(int button, int shift, int x, int y);
    void SysTrayMain_DblClick(int button, int shift, int x, int y);
    void SysTrayMain_MouseMove(int button, int shift, int x, int y);

    // The remote address of the connection list's selected item, empty without one. The
    // connection list hooks in here.
    std::wstring SelectedConnectionAddress() const;

    // Adds the address to the day's list when it is not there yet, and saves the day's file.
    void AddToLog(const std::wstring& address);
    // Sizes every column to the larger of its title and its widest entry.
    void AutoSizeListView(rt::ListView& list);
    // The log folder + the day's file name for today's text.
    std::wstring DayLogPath() const;
    // Logs the remote address of every listed connection: the new ones join the day's list
    // and the day's file is saved once. A save that failed earlier is tried again here.
    void LogListedAddresses();
    // Appends the day's unsaved addresses to its file; the exit's last try calls it too.
    void SaveDayLog();

    // A scan's table is being read; the list follows when the read is done.
    bool ScanRunning() const { return tableReader_.Running(); }

    // Register and remove the log-on task; true when the scheduler did what was asked.
    bool CreateStartup();
    bool DeleteStartup();

protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_Unload() override;

private:
    // Menus, link images and tray icon of the design, with their handlers connected.
    void CreateActionControls();
    // The address a list menu was opened for: its commands act on this one, whatever a
    // scan does to the list while the menu is open.
    std::wstring listMenuAddress_;
    std::wstring list2MenuAddress_;
    // Pops `menu` up at `screen` for `address`, which `held` keeps while the menu runs.
    void ShowListMenu(const rt::Menu& menu, std::wstring& held, const std::wstring& address, POINT screen);
    void CreateScanControls();
    void Timer1_Tick();
    // The table read of a scan is done: the list, the day's log, the columns and the count.
    void ScanTableRead();
    void RefreshScanLabels();
    TcpTableReader tableReader_{State.Table, [this](bool) { ScanTableRead(); }};
    std::wstring scanPort_;
    void LogNewAddresses(const std::vector<std::wstring>& fresh);

    // The settings panel (FrmMainSettings.cpp): the folder picker and the panel's handlers.
    void ConnectSettingsHandlers();
    void TextNumber_GotFocus(rt::TextBox& box);
    void TextNumber_KeyPress(rt::TextBox& box, int& key);
    void TextNumber_KeyUp(rt::TextBox& box, const wchar_t* key);
    void TextLogPath_LostFocus();
    void ButtonBrowse_Click();
    void Check1_Click();
    void CheckChangeLogLocation_Click();
    // Makes the log-folder box's text a folder path and the log folder follow it; false when the
    // folder was refused and the box went back to the folder in use.
    bool NormaliseLogPath();
    // The log folder becomes `folder` when files can be written there; false (and the log
    // folder as it was) otherwise.
    bool SwitchLogFolder(const std::wstring& folder);

    const Seams seams_;
    OlderTaskScheduler olderScheduler_;
    bool check1Busy_ = false;
};

} // namespace vantorel::ostrevi
