// The notification-area icon control of a form: it gives its icon object the window that
// receives the shell's callbacks (picHook), reads the icon and settings from the form's
// design, passes the icon's mouse events on and re-adds the icon after a taskbar rebuild.
#pragma once

#include "monitor/clsSysTrayIcon.h"
#include "runtime/Control.h"
#include "runtime/Event.h"
#include "runtime/Handles.h"
#include "runtime/PropertyBag.h"
#include "runtime/Window.h"

#include <memory>
#include <string>

namespace rt {
class Form;
}

namespace vantorel::ostrevi {

class ctlSysTray : public rt::Control, private rt::Window {
public:
    explicit ctlSysTray(std::wstring name);
    ~ctlSysTray() override;

    // Creates picHook on `container` and reads the design: "Icon" (resource id of an icon of
    // the executable), "ToolTip", "AutoReload", "ShowToolTip".
    void Create(rt::Form& form, HWND container, const rt::PropertyBag* design = nullptr);
    void WriteTo(rt::PropertyBag& bag) const;
    // picHook's window.
    HWND hWnd() const override { return Window::hWnd(); }

    bool AutoReload() const { return autoReload_; }
    void SetAutoReload(bool value) { autoReload_ = value; }
    // The icon handle stays the caller's.
    HICON Icon() const { return msysIcon.Icon(); }
    void SetIcon(HICON icon);
    std::wstring ToolTip() const { return msysIcon.ToolTip(); }
    void SetToolTip(const std::wstring& text) { msysIcon.SetToolTip(text); }
    std::wstring ToolTipTitle() const { return msysIcon.ToolTipTitle(); }
    void SetToolTipTitle(const std::wstring& text) { msysIcon.SetToolTipTitle(text); }
    bool ShowToolTip() const { return showToolTip_; }
    void SetShowToolTip(bool value);
    void CloseTooltip() { msysIcon.CloseTooltip(); }
    void Show() { msysIcon.ShowIcon(); }
    void Hide() { msysIcon.UnloadIcon(); }
    void Reload();

    // The icon goes before picHook does.
    void Unload() override;

    // Whether the shell accepted the icon and it has not been deleted since.
    bool IconDisplayed() const { return msysIcon.IconDisplayed(); }
    HWND HiddenWindow() const { return msysIcon.HiddenWindow(); }

    rt::Event<int, int, int, int> Click;
    rt::Event<int, int, int, int> DblClick;
    rt::Event<int, int, int, int> MouseDown;
    rt::Event<int, int, int, int> MouseMove;
    rt::Event<int, int, int, int> MouseUp;
    rt::Event<> TaskbarCreated;

private:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnTaskbarCreated();

    clsSysTrayIcon msysIcon;
    bool autoReload_ = true;
    bool showToolTip_ = false;
    rt::UniqueIcon designIcon_;
    // Work deferred past the hidden window's handler checks that this control still lives.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace vantorel::ostrevi
