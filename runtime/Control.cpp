#include "runtime/Control.h"

#include "runtime/Form.h"
#include "runtime/Runtime.h"

namespace rt {

int ShiftFromKeys()
{
    int shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= vbShiftMask;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= vbCtrlMask;
    if (GetKeyState(VK_MENU) < 0)
        shift |= vbAltMask;
    return shift;
}

int ShiftFromMouseFlags(WPARAM wp)
{
    int shift = 0;
    if (wp & MK_SHIFT)
        shift |= vbShiftMask;
    if (wp & MK_CONTROL)
        shift |= vbCtrlMask;
    if (GetKeyState(VK_MENU) < 0)
        shift |= vbAltMask;
    return shift;
}

int ButtonsFromMouseFlags(WPARAM wp)
{
    return (wp & MK_LBUTTON ? vbLeftButton : 0) | (wp & MK_RBUTTON ? vbRightButton : 0) |
           (wp & MK_MBUTTON ? vbMiddleButton : 0);
}

int ButtonFromMessage(UINT msg)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        return vbLeftButton;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        return vbRightButton;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        return vbMiddleButton;
    default:
        return 0;
    }
}

Control::~Control()
{
    if (form_)
        form_->RemoveControl(this);
}

void Control::PlaceOn(Form& form)
{
    if (form_ == &form)
        return;
    form_ = &form;
    form.AddControl(this);
}

RECT Control::RectInContainer() const
{
    RECT r{};
    HWND h = hWnd();
    if (!h)
        return r;
    GetWindowRect(h, &r);
    HWND parent = GetParent(h);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int Control::Left() const { return TwipsFromPixelsX(RectInContainer().left); }
int Control::Top() const { return TwipsFromPixelsY(RectInContainer().top); }
int Control::Width() const
{
    RECT r = RectInContainer();
    return TwipsFromPixelsX(r.right - r.left);
}
int Control::Height() const
{
    RECT r = RectInContainer();
    return TwipsFromPixelsY(r.bottom - r.top);
}

void Control::Move(int left, int top, int width, int height)
{
    if (HWND h = hWnd())
        MoveWindow(h, PixelsFromTwipsX(left), PixelsFromTwipsY(top), PixelsFromTwipsX(width),
                   PixelsFromTwipsY(height), TRUE);
}

void Control::SetWidth(int twips) { Move(Left(), Top(), twips, Height()); }
void Control::SetHeight(int twips) { Move(Left(), Top(), Width(), twips); }

bool Control::Enabled() const { return hWnd() && IsWindowEnabled(hWnd()); }
void Control::SetEnabled(bool enabled)
{
    if (hWnd())
        EnableWindow(hWnd(), enabled);
}

bool Control::Visible() const { return hWnd() && (GetWindowLongPtrW(hWnd(), GWL_STYLE) & WS_VISIBLE); }
void Control::SetVisible(bool visible)
{
    if (hWnd())
        ShowWindow(hWnd(), visible ? SW_SHOW : SW_HIDE);
}

void Control::SetFocus()
{
    if (hWnd())
        ::SetFocus(hWnd());
}

void Control::Unload()
{
    if (HWND h = hWnd())
        DestroyWindow(h);
}

} // namespace rt
