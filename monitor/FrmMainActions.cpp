// What the user does with a listed address, the tray icon's menu and handlers, the link
// images and the rounded shapes of the main window's controls.
#include "assets/resource_ids.h"
#include "monitor/FrmMain.h"
#include "monitor/ModMain.h"
#include "common/LinkImages.h"
#include "common/PageOpen.h"
#include "common/WindowShape.h"
#include "common/core/Ipv4Text.h"
#include "runtime/Resources.h"
#include "runtime/Runtime.h"

#include <shellapi.h>

#include <cstring>

namespace vantorel::ostrevi {

namespace {

// Empties the clipboard and puts `text` there, only when there is an address to put.
void CopyAddress(HWND owner, const std::wstring& text)
{
    if (text.empty())
        return;
    rt::UniqueGlobal mem(GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t)));
    if (!mem)
        return;
    void* p = GlobalLock(mem.get());
    if (!p)
        return;
    std::memcpy(p, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(mem.get());
    // No clipboard access: the step is skipped.
    if (!OpenClipboard(owner))
        return;
    EmptyClipboard();
    // The clipboard owns the memory once it took it.
    if (SetClipboardData(CF_UNICODETEXT, mem.get()))
        mem.release();
    CloseClipboard();
}

void StartBrennix(HWND owner, const std::wstring& parameters)
{
    const std::wstring exe = rt::AppPath() + L"\\Brennix.exe";
    ShellExecuteW(owner, L"open", exe.c_str(), parameters.c_str(), L"", SW_SHOWNORMAL);
}

// Brennix takes its whole command line as the address: only a dotted IPv4 address goes.
void SendToBrennix(HWND owner, const std::wstring& address)
{
    if (IsDottedIPv4(address))
        StartBrennix(owner, address);
}

void FindLocation(HWND owner, const std::wstring& address, ShellOpenFunction open)
{
    if (IsDottedIPv4(address))
        OpenPage(owner, kIpLocationPage + address, open);
}

} // namespace

void FrmMain::CreateActionControls()
{
    HWND form = hWnd();
    HWND bar = TitelBar1.hWnd();

    rt::PropertyBag logo = ImageDesign(IDP_LOGO, false);
    // The logo's clear margin is the bar's, as a link image's is.
    logo.Set(L"HitTest", std::int64_t{3});
    aicAlphaImage1.Create(*this, bar, {300, 3, 110, 22}, &logo);

    struct Link {
        aic::aicAlphaImage& image;
        int resourceId;
        int x;
    };
    const Link links[] = {{aicAlphaImage4, IDP_LINK_WEB, 590}, {aicAlphaImage5, IDP_LINK_GUIDE, 616},
                          {aicAlphaImage6, IDP_LINK_HELP, 642}};
    for (const Link& l : links)
        CreateLinkImage(l.image, *this, bar, {l.x, 3, 22, 22}, l.resourceId);
    aicAlphaImage4.Click.Connect([this](int b) { aicAlphaImage4_Click(b); });
    aicAlphaImage5.Click.Connect([this](int b) { aicAlphaImage5_Click(b); });
    aicAlphaImage6.Click.Connect([this](int b) { aicAlphaImage6_Click(b); });

    HWND p3 = PanelFx3.hWnd();
    rt::PropertyBag donate = ImageDesign(IDP_DONATE, false);
    ImageDonate.Create(*this, p3, {388, 30, 62, 22}, &donate);
    ImageDonate.Click.Connect([this](int) { ImageDonate_Click(); });
    LabelDonate.Create(*this, p3, {388, 56, 66, 30}, L"Support Vantorel");

    rt::PropertyBag tray;
    tray.Set(L"Icon", std::int64_t{IDI_OSTREVI_TRAY});
    tray.Set(L"ToolTip", std::wstring(L"SysTrayMain"));
    tray.Set(L"ShowToolTip", std::int64_t{1});
    SysTrayMain.Create(*this, form, &tray);
    SysTrayMain.Click.Connect([this](int b, int s, int x, int y) { SysTrayMain_Click(b, s, x, y); });
    SysTrayMain.DblClick.Connect([this](int b, int s, int x, int y) { SysTrayMain_DblClick(b, s, x, y); });
    SysTrayMain.MouseMove.Connect([this](int b, int s, int x, int y) { SysTrayMain_MouseMove(b, s, x, y); });

    mMenu.Add(L"MenuShow", L"Show Vantorel - Ostrevi").Click.Connect([this] { MenuShow_Click(); });
    mMenu.Add(L"Line1", L"-");
    mMenu.Add(L"MenuOpenBrennix", L"Open Brennix").Click.Connect([this] { MenuOpenBrennix_Click(); });
    mMenu.Add(L"Line4", L"-");
    mMenu.Add(L"MenuExit", L"Exit && Close Program").Click.Connect([this] { MenuExit_Click(); });

    MenuList.Add(L"MenuCopyIP", L"Copy IP to Clipboard").Click.Connect([this] { MenuCopyIP_Click(); });
    MenuList.Add(L"line2", L"-");
    MenuList.Add(L"MenuBrennix", L"Send to Brennix").Click.Connect([this] { MenuBrennix_Click(); });
    MenuList.Add(L"Line5", L"-");
    MenuList.Add(L"MenuFindIPLocation", L"Find IP Address Location").Click.Connect([this] {
        MenuFindIPLocation_Click();
    });

    MenuList2.Add(L"MenuCopyIP2", L"Copy IP to Clipboard").Click.Connect([this] { MenuCopyIP2_Click(); });
    MenuList2.Add(L"Line3", L"-");
    MenuList2.Add(L"MenuBrennix2", L"Send to Brennix").Click.Connect([this] { MenuBrennix2_Click(); });
    MenuList2.Add(L"Line6", L"-");
    MenuList2.Add(L"MenuFindIPLocation2", L"Find IP Address Location").Click.Connect([this] {
        MenuFindIPLocation2_Click();
    });

    List1.MouseUp.Connect([this](int b, int s, int x, int y) { List1_MouseUp(b, s, x, y); });
    ListViewNetstats.MouseUp.Connect([this](int b, int sh, int x, int y) { ListViewNetstats_MouseUp(b, sh, x, y); });
    List1.MenuKey.Connect([this](int x, int y) { List1_MenuKey(x, y); });
    ListViewNetstats.MenuKey.Connect([this](int x, int y) { ListViewNetstats_MenuKey(x, y); });
}

void FrmMain::RoundControls()
{
    for (skin::PanelFx* p : {&PanelFx1, &PanelFx2, &PanelFx3})
        p->SetRoundEdge(7);
    for (const rt::Control* c : std::initializer_list<const rt::Control*>{&TextPort, &TextTime, &TextLogPath, &List1})
        RoundControl(*c, 1);
    RoundControl(ListViewNetstats, 0);
}

std::wstring FrmMain::SelectedConnectionAddress() const
{
    int index = ListViewNetstats.SelectedIndex();
    return index < 0 ? std::wstring() : ListViewNetstats.ItemText(index, 1);
}

namespace {

POINT CursorPoint()
{
    POINT pt{};
    GetCursorPos(&pt);
    return pt;
}

POINT ScreenPoint(const rt::Control& control, int x, int y)
{
    POINT pt{x, y};
    ClientToScreen(control.hWnd(), &pt);
    return pt;
}

} // namespace

void FrmMain::ShowListMenu(const rt::Menu& menu, std::wstring& held, const std::wstring& address, POINT screen)
{
    if (address.empty() || State.IsExiting || !hWnd())
        return;
    held = address;
    menu.Popup(hWnd(), screen);
    held.clear();
}

void FrmMain::ListViewNetstats_MouseUp(int button, int, int, int)
{
    // The address is taken now: a scan may rebuild the list before the menu's command runs.
    std::wstring address = SelectedConnectionAddress();
    rt::YieldToOtherMessages();
    if (button == rt::vbRightButton)
        ShowListMenu(MenuList, listMenuAddress_, address, CursorPoint());
}

void FrmMain::List1_MouseUp(int button, int, int, int)
{
    std::wstring address = List1.SelectedText();
    rt::YieldToOtherMessages();
    if (button == rt::vbRightButton)
        ShowListMenu(MenuList2, list2MenuAddress_, address, CursorPoint());
}

void FrmMain::ListViewNetstats_MenuKey(int x, int y)
{
    ShowListMenu(MenuList, listMenuAddress_, SelectedConnectionAddress(), ScreenPoint(ListViewNetstats, x, y));
}

void FrmMain::List1_MenuKey(int x, int y)
{
    ShowListMenu(MenuList2, list2MenuAddress_, List1.SelectedText(), ScreenPoint(List1, x, y));
}

void FrmMain::MenuCopyIP_Click() { CopyAddress(hWnd(), listMenuAddress_); }
void FrmMain::MenuBrennix_Click() { SendToBrennix(hWnd(), listMenuAddress_); }
void FrmMain::MenuFindIPLocation_Click() { FindLocation(hWnd(), listMenuAddress_, seams_.pageOpener); }
void FrmMain::MenuCopyIP2_Click() { CopyAddress(hWnd(), list2MenuAddress_); }
void FrmMain::MenuBrennix2_Click() { SendToBrennix(hWnd(), list2MenuAddress_); }
void FrmMain::MenuFindIPLocation2_Click() { FindLocation(hWnd(), list2MenuAddress_, seams_.pageOpener); }

void FrmMain::MenuShow_Click()
{
    Show();
    if (hWnd())
        SetFocus(hWnd());
}

void FrmMain::MenuOpenBrennix_Click() { StartBrennix(hWnd(), L""); }

void FrmMain::MenuExit_Click()
{
    State.IsExiting = true;
    // The icon goes at once, even when the unload waits for a running scan to return. The
    // window is not shown on the way out: it would only flash before the unload hides it.
    SysTrayMain.Hide();
    Unload();
}

void FrmMain::aicAlphaImage4_Click(int) { OpenPage(hWnd(), kMakerHomePage, seams_.pageOpener); }
void FrmMain::aicAlphaImage5_Click(int) { OpenPage(hWnd(), kMakerIpSecGuidePage, seams_.pageOpener); }
void FrmMain::aicAlphaImage6_Click(int) { OpenPage(hWnd(), kMakerHelpPage, seams_.pageOpener); }
void FrmMain::ImageDonate_Click() { OpenPage(hWnd(), kMakerDonatePage, seams_.pageOpener); }

void FrmMain::SysTrayMain_Click(int button, int, int, int)
{
    if (button != rt::vbRightButton || !hWnd())
        return;
    SwitchToThisWindow(hWnd(), FALSE);
    rt::YieldToOtherMessages();
    if (!hWnd() || State.IsExiting)
        return;
    mMenu.Popup(hWnd());
    rt::YieldToOtherMessages();
}

void FrmMain::SysTrayMain_DblClick(int button, int, int, int)
{
    if (button != rt::vbLeftButton)
        return;
    Show();
    if (hWnd())
        SetFocus(hWnd());
    rt::YieldToOtherMessages();
}

void FrmMain::SysTrayMain_MouseMove(int, int, int, int)
{
    SysTrayMain.SetToolTip(Caption() + L"\r\n" + Label1.Caption() + L"\r\n" + L"Logged " + Label2.Caption());
    rt::YieldToOtherMessages();
}

} // namespace vantorel::ostrevi
