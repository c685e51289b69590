// Ostrevi's main form: the connection list, the day's log, the settings panel and the
// skinned frame.
#pragma once

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

    rt::TextBox TextDateSep{L"TextDateSep"};
    rt::Timer Timer1{L"Timer1", 1000};

    std::unique_ptr<CFormBorder> FormBorder;
    int TickCounter = 0;

    // The notification-area icon; present from start-up to ExitProgram.
    void HideTrayIcon() {}

protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_Unload() override;

private:
    void CheckChangeLogLocation_Click();
    // Makes the log-folder box's text a folder path and LogFolder follow it.
    void NormaliseLogPath();
};
