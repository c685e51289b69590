// One notification-area icon: added, changed and deleted through Shell_NotifyIconW, with its
// hover text, an information balloon on request, and the shell's callbacks decoded into
// mouse events. The callbacks reach the window given as PictureBox, whose owner passes them
// to PictureBoxCallback. A shown icon has a hidden window, whose object this is.
#pragma once

#include "runtime/Event.h"
#include "runtime/Window.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace vantorel::ostrevi {

class clsSysTrayIcon : private rt::Window {
public:
    clsSysTrayIcon();
    ~clsSysTrayIcon();
    clsSysTrayIcon(const clsSysTrayIcon&) = delete;
    clsSysTrayIcon& operator=(const clsSysTrayIcon&) = delete;

    // The message with which the shell reports mouse activity over the icon to PictureBox.
    static constexpr UINT kCallbackMessage = WM_APP + 0x140;

    HWND PictureBox() const { return pictureBox_; }
    void SetPictureBox(HWND hwnd);
    // The icon handle is not owned.
    HICON Icon() const { return icon_; }
    void SetIcon(HICON icon);
    bool ShowToolTip() const { return showToolTip_; }
    void SetShowToolTip(bool value);
    void CloseTooltip();
    std::wstring ToolTip() const { return toolTip_; }
    void SetToolTip(const std::wstring& text);
    std::wstring ToolTipTitle() const { return toolTipTitle_; }
    void SetToolTipTitle(const std::wstring& text);
    // (Re)adds the icon when a picture box and an icon are set.
    void ShowIcon();
    // Deletes the icon and its hidden window.
    void UnloadIcon();
    // Decodes a callback forwarded to the hidden window: no Click, Shift 0.
    void ProcessMessage(WPARAM wp, LPARAM lp);
    // Raises TaskbarCreated when `text` is exactly "modSysTrayIcon".
    void TriggerTaskbarEvent(const std::wstring& text);

    // The picture box's callback: `mouseMessage` is the shell's lParam, `shift` the keys held.
    void PictureBoxCallback(UINT mouseMessage, int shift);

    // True from a successful add until the delete.
    bool IconDisplayed() const { return displayed_; }
    HWND HiddenWindow() const { return hWnd(); }

    // Button, Shift, X, Y (the cursor's screen position).
    rt::Event<int, int, int, int> Click;
    rt::Event<int, int, int, int> DblClick;
    rt::Event<int, int, int, int> MouseDown;
    rt::Event<int, int, int, int> MouseMove;
    rt::Event<int, int, int, int> MouseUp;
    rt::Event<> TaskbarCreated;

private:
    void Add(HWND hwnd, HICON icon);
    void Decode(UINT mouseMessage, int button, int shift, bool withClick);
    bool Modify();
    // The hidden window's class, window and procedure (modSysTrayIcon.cpp).
    void CreateHiddenWindow();
    void DestroyHiddenWindow();
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

    NOTIFYICONDATAW data_{};
    bool displayed_ = false;
    HWND pictureBox_ = nullptr;
    HICON icon_ = nullptr;
    bool showToolTip_ = false;
    std::wstring toolTip_;
    std::wstring toolTipTitle_;
};

} // namespace vantorel::ostrevi
