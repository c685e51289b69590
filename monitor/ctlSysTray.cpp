#include "monitor/ctlSysTray.h"

#include "runtime/Form.h"
#include "runtime/Runtime.h"

namespace vantorel::ostrevi {

ctlSysTray::ctlSysTray(std::wstring name) : rt::Control(std::move(name))
{
    msysIcon.Click.Connect([this](int b, int s, int x, int y) { Click.Raise(b, s, x, y); });
    msysIcon.DblClick.Connect([this](int b, int s, int x, int y) { DblClick.Raise(b, s, x, y); });
    msysIcon.MouseDown.Connect([this](int b, int s, int x, int y) { MouseDown.Raise(b, s, x, y); });
    msysIcon.MouseMove.Connect([this](int b, int s, int x, int y) { MouseMove.Raise(b, s, x, y); });
    msysIcon.MouseUp.Connect([this](int b, int s, int x, int y) { MouseUp.Raise(b, s, x, y); });
    msysIcon.TaskbarCreated.Connect([this] { OnTaskbarCreated(); });
}

ctlSysTray::~ctlSysTray()
{
    *alive_ = false;
    msysIcon.UnloadIcon();
}

void ctlSysTray::Create(rt::Form& form, HWND container, const rt::PropertyBag* design)
{
    PlaceOn(form);
    const wchar_t* cls = rt::RegisterClassOnce(L"VantorelTrayHook", &Window::StaticProc, 0);
    // Never visible: it only receives the shell's callbacks.
    CreateWindowOf(cls, 0, WS_CHILD, 0, 0, 32, 32, container, L"picHook");
    msysIcon.SetPictureBox(hWnd());
    autoReload_ = true;
    rt::PropertyBag none;
    const rt::PropertyBag& bag = design ? *design : none;
    int iconId = static_cast<int>(bag.ReadInt(L"Icon", 0, 0, 0xFFFF));
    if (iconId) {
        designIcon_.reset(static_cast<HICON>(LoadImageW(rt::Instance(), MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0)));
        msysIcon.SetIcon(designIcon_.get());
    }
    msysIcon.SetToolTip(bag.ReadString(L"ToolTip", Name()));
    autoReload_ = bag.ReadBool(L"AutoReload", true);
    // Kept by the control only; the icon object's balloon switch waits for a run-time set.
    showToolTip_ = bag.ReadBool(L"ShowToolTip", false);
}

void ctlSysTray::WriteTo(rt::PropertyBag& bag) const
{
    bag.WriteString(L"ToolTip", msysIcon.ToolTip(), Name());
    bag.WriteBool(L"AutoReload", autoReload_, true);
    bag.WriteBool(L"ShowToolTip", showToolTip_, false);
}

void ctlSysTray::SetIcon(HICON icon)
{
    msysIcon.SetIcon(icon);
    if (icon != designIcon_.get())
        designIcon_.reset();
}

void ctlSysTray::SetShowToolTip(bool value)
{
    showToolTip_ = value;
    msysIcon.SetShowToolTip(value);
}

void ctlSysTray::Reload()
{
    msysIcon.UnloadIcon();
    msysIcon.ShowIcon();
}

void ctlSysTray::Unload()
{
    msysIcon.UnloadIcon();
    rt::Control::Unload();
}

void ctlSysTray::OnTaskbarCreated()
{
    // Re-adding destroys the hidden window whose procedure is running now: wait until it
    // has returned.
    rt::Defer([this, alive = alive_] {
        if (!*alive)
            return;
        // An icon hidden meanwhile (the exit) stays hidden.
        if (autoReload_ && msysIcon.HiddenWindow())
            Reload();
        TaskbarCreated.Raise();
    });
}

LRESULT ctlSysTray::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == clsSysTrayIcon::kCallbackMessage) {
        msysIcon.PictureBoxCallback(static_cast<UINT>(LOWORD(lp)), rt::ShiftFromKeys());
        return 0;
    }
    return Window::WndProc(msg, wp, lp);
}

} // namespace vantorel::ostrevi
