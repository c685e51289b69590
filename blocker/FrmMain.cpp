#include "blocker/FrmMain.h"

#include "blocker/ModList.h"
#include "blocker/ModMain.h"
#include "blocker/core/HistoryText.h"
#include "blocker/core/KeyFilter.h"
#include "assets/resource_ids.h"
#include "common/CommandLineArgs.h"
#include "common/LinkImages.h"
#include "common/PageOpen.h"
#include "common/ProgramStart.h"
#include "common/WindowShape.h"
#include "common/core/TextHandling.h"
#include "runtime/Runtime.h"

namespace vantorel::brennix {

namespace {

constexpr const wchar_t* kFormCaption = L"Vantorel - Brennix";

} // namespace

FrmMain::FrmMain(Seams seams)
    : rt::Form(L"FrmMain", kFormCaption, kWidthTwips, kHeightTwips), seams_(std::move(seams))
{
}

FrmMain::~FrmMain() = default;

void FrmMain::CreateControls()
{
    HWND form = hWnd();
    TitelBar1.Create(*this, form, {0, 0, 449, 28}, TitleBarDesign(kFormCaption, L"Verdana"));

    PanelFx1.Create(*this, form, {8, 36, 433, 66}, skin::ProgramPanelDesign(L"Block IP"));
    HWND p1 = PanelFx1.hWnd();
    Label1.Create(*this, p1, {12, 35, 24, 18}, L"IP:");
    TextIP.Create(*this, p1, {40, 32, 266, 23}, L"");
    ButtonBrennix.Create(*this, p1, {316, 31, 106, 25}, rt::PropertyBag::With(L"Caption", L"Block IP"));

    PanelFx2.Create(*this, form, {8, 110, 433, 160}, skin::ProgramPanelDesign(L"Block IP History (0)"));
    List1.Create(*this, PanelFx2.hWnd(), {8, 30, 417, 122}, false, true);

    Label11.Create(*this, form, {12, 280, 300, 44},
                   L"Need to unblock an IP? The following guide will so you how to edit the Windows IP Security to "
                   L"remove IPs added to it from this program.");
    dcButton1.Create(*this, form, {322, 286, 115, 28},
                     rt::PropertyBag::With(L"Caption", L"Open Guide")
                         .Set(L"BackColor", std::int64_t{0x404040})
                         .Set(L"ForeColor", std::int64_t{0xFFFFFF}));
    LabelDonate.Create(*this, form, {12, 332, 355, 32},
                       L"All our programs are completely free. We are 100% advertising and donation supported. ");
    rt::PropertyBag donate = ImageDesign(IDP_DONATE, false);
    ImageDonate.Create(*this, form, {375, 336, 62, 22}, &donate);

    HWND titleBand = TitelBar1.hWnd();
    rt::PropertyBag logo = ImageDesign(IDP_LOGO, false);
    // The logo's clear margin is the bar's, as a link image's is.
    logo.Set(L"HitTest", std::int64_t{3});
    aicAlphaImage1.Create(*this, titleBand, {176, 3, 110, 22}, &logo);
    CreateLinkImage(aicAlphaImage4, *this, titleBand, {300, 3, 22, 22}, IDP_LINK_WEB);
    CreateLinkImage(aicAlphaImage5, *this, titleBand, {326, 3, 22, 22}, IDP_LINK_GUIDE);
    CreateLinkImage(aicAlphaImage6, *this, titleBand, {352, 3, 22, 22}, IDP_LINK_HELP);
    aicAlphaImage4.Click.Connect([this](int) { OpenPage(hWnd(), kMakerHomePage, seams_.pageOpener); });
    aicAlphaImage5.Click.Connect([this](int) { OpenPage(hWnd(), kMakerIpSecGuidePage, seams_.pageOpener); });
    aicAlphaImage6.Click.Connect([this](int) { OpenPage(hWnd(), kMakerHelpPage, seams_.pageOpener); });
    ImageDonate.Click.Connect([this](int) { OpenPage(hWnd(), kMakerDonatePage, seams_.pageOpener); });

    TextIP.GotFocus.Connect([this] { TextIP_GotFocus(); });
    TextIP.KeyPress.Connect([this](int& key) { TextIP_KeyPress(key); });
    ButtonBrennix.Click.Connect([this] { ButtonBrennix_Click(); });
    dcButton1.Click.Connect([this] { dcButton1_Click(); });
}

void FrmMain::Form_Load()
{
    // Data-execution prevention stays on: nothing here writes machine code at run time.
    rt::YieldToOtherMessages();
    if (State.IsExiting) {
        ExitProgram(*this);
        return;
    }
    SetHeight(kHeightTwips);
    SetWidth(kWidthTwips);
    TitelBar1.SetWidth(Width());
    rt::YieldToOtherMessages();

    RoundRegion(hWnd(), 0, 0, rt::PixelsFromTwipsX(Width()), rt::PixelsFromTwipsY(Height()));
    rt::YieldToOtherMessages();
    RoundControls();
    rt::YieldToOtherMessages();

    FormBorder = FixedFormBorder(*this);
    rt::YieldToOtherMessages();

    // The hand-over fills the box unchanged, so the user sees it; the block button checks it.
    const std::wstring args = CommandLineArgs(seams_);
    if (!TrimBlanks(args).empty())
        TextIP.SetText(args);

    ListLoad(History, HistoryPath());
    rt::YieldToOtherMessages();
    PanelFx2.SetTitleCaption(HistoryTitle(static_cast<std::size_t>(List1.ListCount())));

    // File-system redirection stays on for the process; only the console's start needs the
    // 64-bit system folder, and it names it itself. Set after the load's last pass of messages:
    // one of those passes would take the timer while the window is still hidden.
    AfterFirstPaint([this] {
        // WMI takes a good part of a start-up under Wine.
        if (!State.IsExiting && State.OSVersion.empty())
            State.OSVersion = GetOSVersion(seams_.versionQuery);
    });
}

void FrmMain::Form_Unload() { ExitProgram(*this); }

void FrmMain::RoundControls()
{
    rt::YieldToOtherMessages();
    PanelFx1.SetRoundEdge(7);
    PanelFx2.SetRoundEdge(7);
    // The boxes lose their outermost pixel at the top and left.
    RoundControl(List1, 1);
    RoundControl(TextIP, 1);
    rt::YieldToOtherMessages();
}

void FrmMain::TextIP_GotFocus()
{
    // A new address replaces the old one.
    SendMessageW(TextIP.hWnd(), EM_SETSEL, 0, static_cast<LPARAM>(TextIP.Text().size()));
}

void FrmMain::TextIP_KeyPress(int& key)
{
    DWORD start = 0, end = 0;
    SendMessageW(TextIP.hWnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::wstring text = TextIP.Text();
    key = FilterAddressKey({text, static_cast<int>(start), start != end}, key);
}

void FrmMain::dcButton1_Click() { OpenPage(hWnd(), kGuidePage, seams_.pageOpener); }

} // namespace vantorel::brennix
