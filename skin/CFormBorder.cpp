#include "skin/CFormBorder.h"

#include "runtime/Form.h"

namespace skin {

CFormBorder::~CFormBorder() { Detach(); }

void CFormBorder::Detach()
{
    if (client_) {
        client_->MouseDown.Disconnect(downId_);
        client_->MouseUp.Disconnect(upId_);
        client_ = nullptr;
    }
}

void CFormBorder::SetClient(rt::Form* form)
{
    hwnd_ = nullptr;
    if (!form)
        return;
    Detach();
    client_ = form;
    hwnd_ = form->hWnd();
    downId_ = form->MouseDown.Connect([this](int button, int, int, int) { OnMouseDown(button); });
    upId_ = form->MouseUp.Connect([this](int button, int, int, int) { OnMouseUp(button); });
}

LONG_PTR CFormBorder::Style() const { return hwnd_ ? GetWindowLongPtrW(hwnd_, GWL_STYLE) : 0; }
LONG_PTR CFormBorder::ExStyle() const { return hwnd_ ? GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) : 0; }

void CFormBorder::SetStyleBit(LONG_PTR bits, bool on)
{
    if (!hwnd_)
        return;
    LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    style = on ? (style | bits) : (style & ~bits);
    SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
    Redraw();
}

void CFormBorder::SetExStyleBit(LONG_PTR bits, bool on)
{
    if (!hwnd_)
        return;
    LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    style = on ? (style | bits) : (style & ~bits);
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, style);
    Redraw();
}

bool CFormBorder::ControlBox() const { return (Style() & WS_SYSMENU) != 0; }
void CFormBorder::SetControlBox(bool value) { SetStyleBit(WS_SYSMENU, value); }

bool CFormBorder::MaxButton() const { return (Style() & WS_MAXIMIZEBOX) != 0; }
void CFormBorder::SetMaxButton(bool value)
{
    SetStyleBit(WS_MAXIMIZEBOX, value);
    EnableMenuItem(SC_MAXIMIZE, value);
}

bool CFormBorder::MinButton() const { return (Style() & WS_MINIMIZEBOX) != 0; }
void CFormBorder::SetMinButton(bool value)
{
    SetStyleBit(WS_MINIMIZEBOX, value);
    EnableMenuItem(SC_MINIMIZE, value);
}

bool CFormBorder::Moveable() const
{
    HMENU menu = hwnd_ ? GetSystemMenu(hwnd_, FALSE) : nullptr;
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_STATE;
    // With no Move item (or no client) the read fails and the zeroed state reads as movable.
    if (menu)
        GetMenuItemInfoW(menu, static_cast<UINT>(FindMenuPosition(SC_MOVE)), TRUE, &mii);
    return mii.fState == 0;
}
void CFormBorder::SetMoveable(bool value) { EnableMenuItem(SC_MOVE, value); }

bool CFormBorder::Sizeable() const { return (Style() & WS_THICKFRAME) != 0; }
void CFormBorder::SetSizeable(bool value)
{
    EnableMenuItem(SC_SIZE, value);
    SetStyleBit(WS_THICKFRAME, value);
}

bool CFormBorder::ShowInTaskbar() const { return (ExStyle() & WS_EX_APPWINDOW) != 0; }
void CFormBorder::SetShowInTaskbar(bool value)
{
    // The task bar notices the change only while the window is hidden.
    LockWindowUpdate(hwnd_);
    ShowWindow(hwnd_, SW_HIDE);
    SetExStyleBit(WS_EX_APPWINDOW, value);
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    LockWindowUpdate(nullptr);
}

bool CFormBorder::Titlebar() const { return (Style() & WS_CAPTION) != 0; }
void CFormBorder::SetTitlebar(bool value) { SetStyleBit(WS_CAPTION, value); }

bool CFormBorder::ToolWindow() const { return (ExStyle() & WS_EX_TOOLWINDOW) != 0; }
void CFormBorder::SetToolWindow(bool value) { SetExStyleBit(WS_EX_TOOLWINDOW, value); }

bool CFormBorder::TopMost() const { return (ExStyle() & WS_EX_TOPMOST) != 0; }
void CFormBorder::SetTopMost(bool value)
{
    SetWindowPos(hwnd_, value ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool CFormBorder::WhatsThisButton() const { return (ExStyle() & WS_EX_CONTEXTHELP) != 0; }
void CFormBorder::SetWhatsThisButton(bool value) { SetExStyleBit(WS_EX_CONTEXTHELP, value); }

void CFormBorder::Redraw()
{
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
}

int CFormBorder::FindMenuPosition(LONG id) const
{
    HMENU menu = hwnd_ ? GetSystemMenu(hwnd_, FALSE) : nullptr;
    if (!menu)
        return -1;
    int count = GetMenuItemCount(menu);
    UINT renumbered = static_cast<UINT>(id) & ~0x8000u;
    for (int i = 0; i < count; ++i) {
        UINT itemId = GetMenuItemID(menu, i);
        if (itemId == static_cast<UINT>(id) || itemId == renumbered)
            return i;
    }
    return -1;
}

void CFormBorder::EnableMenuItem(LONG menuItem, bool enabled)
{
    int pos = FindMenuPosition(menuItem);
    if (pos < 0)
        return;
    HMENU menu = GetSystemMenu(hwnd_, FALSE);
    wchar_t text[80] = {};
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE | MIIM_DATA;
    mii.dwTypeData = text;
    mii.cch = 80;
    GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &mii);
    mii.fMask = MIIM_STATE | MIIM_ID;
    // A disabled item carries its identifier with bit 15 cleared (0xF030 becomes 0x7030), so
    // the system no longer acts on it; the position search accepts both forms.
    mii.fState = enabled ? 0 : MFS_GRAYED;
    mii.wID = enabled ? static_cast<UINT>(menuItem) : (static_cast<UINT>(menuItem) & ~0x8000u);
    SetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &mii);
}

void CFormBorder::RemoveMenuItem(LONG menuItem)
{
    HMENU menu = hwnd_ ? GetSystemMenu(hwnd_, FALSE) : nullptr;
    if (menuItem == SC_MINIMIZE)
        SetMinButton(false);
    else if (menuItem == SC_MAXIMIZE)
        SetMaxButton(false);
    else if (menuItem == SC_CLOSE) {
        int close = FindMenuPosition(SC_CLOSE);
        if (menu && close > 0)
            RemoveMenu(menu, static_cast<UINT>(close - 1), MF_BYPOSITION);
    }
    int pos = FindMenuPosition(menuItem);
    if (menu && pos >= 0)
        RemoveMenu(menu, static_cast<UINT>(pos), MF_BYPOSITION);
}

bool CFormBorder::ShowSysMenu(LONG x, LONG y)
{
    if (x < -32768 || x > 32767 || y < -32768 || y > 32767)
        return false;
    LPARAM lp = MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y)));
    SendMessageW(hwnd_, 0x0313, 0, lp);
    return true;
}

void CFormBorder::OnMouseDown(int button)
{
    if (button == 1 && autoDrag_) {
        ReleaseCapture();
        SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    }
}

void CFormBorder::OnMouseUp(int button)
{
    POINT pt{};
    GetCursorPos(&pt);
    if (button == 2 && autoSysMenu_)
        ShowSysMenu(pt.x, pt.y);
}

} // namespace skin
