// Brennix's main form: the address box and block button, the block history, the guide
// button and the skinned frame.
#pragma once

#include "alphaimage/aicAlphaImage.h"
#include "blocker/BatchFile.h"
#include "blocker/ModMain.h"
#include "common/AddressList.h"
#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "skin/CFormBorder.h"
#include "skin/PanelFx.h"
#include "skin/TitelBar.h"
#include "skin/dcButton.h"

#include <memory>
#include <string>

namespace vantorel::brennix {

class FrmMain : public rt::Form {
public:
    explicit FrmMain(Seams seams = {});
    ~FrmMain() override;

    ProgramState State;

    // The form's window is 6735 by 5655 twips.
    static constexpr int kWidthTwips = 6735;
    static constexpr int kHeightTwips = 5655;

    skin::TitelBar TitelBar1{L"TitelBar1", skin::TitelBar::CloseAction::UnloadForm};
    skin::PanelFx PanelFx1{L"PanelFx1"};
    rt::Label Label1{L"Label1"};
    rt::TextBox TextIP{L"TextIP"};
    skin::dcButton ButtonBrennix{L"ButtonBrennix"};
    skin::PanelFx PanelFx2{L"PanelFx2"};
    rt::ListBox List1{L"List1"};
    // List1's addresses by value, with the history file they are saved to.
    AddressList History{List1};
    rt::Label Label11{L"Label11"};
    skin::dcButton dcButton1{L"dcButton1"};
    rt::Label LabelDonate{L"LabelDonate"};
    // The logo, and the link images that open the maker's pages.
    aic::aicAlphaImage aicAlphaImage1{L"aicAlphaImage1"};
    aic::aicAlphaImage aicAlphaImage4{L"aicAlphaImage4"};
    aic::aicAlphaImage aicAlphaImage5{L"aicAlphaImage5"};
    aic::aicAlphaImage aicAlphaImage6{L"aicAlphaImage6"};
    aic::aicAlphaImage ImageDonate{L"ImageDonate"};

    std::unique_ptr<skin::CFormBorder> FormBorder;

    // Adds `address` to the history list and file unless the list holds it already.
    void AddToLog(const std::wstring& address, rt::ListBox& list);
    // Rounds the panels and clips the list box and the address box to rounded rectangles.
    void RoundControls();

    // The block action of the block button.
    void ButtonBrennix_Click();
    // Runs between each batch file's writing and its check; tests only.
    BatchWrittenHook BatchWritten = nullptr;

protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_Unload() override;

private:
    void TextIP_GotFocus();
    void TextIP_KeyPress(int& key);
    void dcButton1_Click();

    const Seams seams_;
};

} // namespace vantorel::brennix
