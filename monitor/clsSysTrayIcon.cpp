#include "monitor/clsSysTrayIcon.h"

#include "runtime/Runtime.h"

#include <cwchar>

namespace vantorel::ostrevi {

namespace {

// Copies as much of `text` as fits with its NUL.
template <std::size_t N>
void CopyField(wchar_t (&field)[N], const std::wstring& text)
{
    std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    wmemcpy(field, text.data(), n);
    field[n] = L'\0';
}

constexpr UINT kRestFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

} // namespace

clsSysTrayIcon::clsSysTrayIcon() { ShowIcon(); }

clsSysTrayIcon::~clsSysTrayIcon() { UnloadIcon(); }

bool clsSysTrayIcon::Modify() { return Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE; }

void clsSysTrayIcon::SetPictureBox(HWND hwnd)
{
    pictureBox_ = hwnd;
    if (displayed_) {
        data_.hWnd = hwnd;
        Modify();
    }
}

void clsSysTrayIcon::SetIcon(HICON icon)
{
    icon_ = icon;
    if (displayed_) {
        data_.hIcon = icon;
        Modify();
    }
}

void clsSysTrayIcon::SetToolTip(const std::wstring& text)
{
    toolTip_ = text;
    if (!displayed_)
        return;
    CopyField(data_.szTip, text);
    data_.cbSize = sizeof(data_);
    data_.uID = 1;
    data_.uFlags = kRestFlags;
    Modify();
}

void clsSysTrayIcon::SetShowToolTip(bool value)
{
    showToolTip_ = value;
    if (!displayed_ || !value)
        return;
    CopyField(data_.szTip, toolTip_);
    data_.uFlags = kRestFlags | NIF_INFO;
    data_.dwState = 0;
    data_.dwStateMask = 0;
    CopyField(data_.szInfo, toolTip_);
    CopyField(data_.szInfoTitle, toolTipTitle_);
    data_.dwInfoFlags = NIIF_INFO;
    data_.uTimeout = 30000;
    Modify();
    data_.uFlags = kRestFlags;
}

// The title only waits for the next balloon.
void clsSysTrayIcon::SetToolTipTitle(const std::wstring& text) { toolTipTitle_ = text; }

void clsSysTrayIcon::CloseTooltip()
{
    if (!displayed_)
        return;
    data_.szTip[0] = data_.szInfo[0] = data_.szInfoTitle[0] = L'\0';
    data_.cbSize = sizeof(data_);
    data_.uID = 1;
    data_.uFlags = NIF_TIP | NIF_INFO;
    Modify();
}

void clsSysTrayIcon::ShowIcon()
{
    UnloadIcon();
    if (pictureBox_ && icon_)
        Add(pictureBox_, icon_);
}

void clsSysTrayIcon::Add(HWND hwnd, HICON icon)
{
    if (data_.hWnd || !hwnd || !icon)
        return;
    CreateHiddenWindow();
    data_.cbSize = sizeof(data_);
    data_.hWnd = hwnd;
    data_.uID = 1;
    data_.uFlags = kRestFlags;
    data_.uCallbackMessage = kCallbackMessage;
    data_.hIcon = icon;
    // szTip keeps the last hover text sent while an icon was shown.
    displayed_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
}

void clsSysTrayIcon::UnloadIcon()
{
    if (displayed_) {
        Shell_NotifyIconW(NIM_DELETE, &data_);
        displayed_ = false;
    }
    data_.hWnd = nullptr;
    // A refused add leaves its hidden window too; it goes with the next show or unload.
    DestroyHiddenWindow();
}

void clsSysTrayIcon::TriggerTaskbarEvent(const std::wstring& text)
{
    if (text == L"modSysTrayIcon")
        TaskbarCreated.Raise();
}

void clsSysTrayIcon::PictureBoxCallback(UINT mouseMessage, int shift) { Decode(mouseMessage, 0, shift, true); }

void clsSysTrayIcon::ProcessMessage(WPARAM, LPARAM lp) { Decode(static_cast<UINT>(lp), 0, 0, false); }

void clsSysTrayIcon::Decode(UINT mouseMessage, int button, int shift, bool withClick)
{
    POINT pt{};
    GetCursorPos(&pt);
    const int x = pt.x, y = pt.y;
    auto upThenClick = [&](int b) {
        MouseUp.Raise(b, shift, x, y);
        if (!withClick)
            return;
        rt::YieldToOtherMessages();
        Click.Raise(b, shift, x, y);
    };
    switch (mouseMessage) {
    case WM_MOUSEMOVE: MouseMove.Raise(button, shift, x, y); break;
    case WM_LBUTTONDOWN: MouseDown.Raise(1, shift, x, y); break;
    case WM_LBUTTONUP: upThenClick(1); break;
    case WM_LBUTTONDBLCLK: DblClick.Raise(1, shift, x, y); break;
    case WM_RBUTTONDOWN: MouseDown.Raise(2, shift, x, y); break;
    case WM_RBUTTONUP: upThenClick(2); break;
    case WM_RBUTTONDBLCLK: DblClick.Raise(2, shift, x, y); break;
    case WM_MBUTTONDOWN: MouseDown.Raise(4, shift, x, y); break;
    case WM_MBUTTONUP: upThenClick(4); break;
    case WM_MBUTTONDBLCLK: DblClick.Raise(4, shift, x, y); break;
    default: break;
    }
}

} // namespace vantorel::ostrevi
