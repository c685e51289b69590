#include "skin/PanelFx.h"

#include <windowsx.h>

namespace skin {

namespace {
// The host's mouse arguments: buttons 1 left, 2 right, 4 middle; Shift 1, Ctrl 2, Alt 4.
int ButtonsOf(WPARAM wp)
{
    return ((wp & MK_LBUTTON) ? 1 : 0) | ((wp & MK_RBUTTON) ? 2 : 0) | ((wp & MK_MBUTTON) ? 4 : 0);
}

int ShiftOf(WPARAM wp)
{
    return ((wp & MK_SHIFT) ? 1 : 0) | ((wp & MK_CONTROL) ? 2 : 0) | ((GetKeyState(VK_MENU) < 0) ? 4 : 0);
}

int ButtonOfMessage(UINT msg)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        return 1;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP:
        return 2;
    default:
        return 4;
    }
}
} // namespace

void PanelFx::OnMouse(UINT msg, WPARAM wp, LPARAM lp)
{
    const float x = static_cast<float>(GET_X_LPARAM(lp)), y = static_cast<float>(GET_Y_LPARAM(lp));
    const int shift = ShiftOf(wp);
    const int area = PanelOrTitle(y);
    switch (msg) {
    case WM_MOUSEMOVE: {
        const int buttons = ButtonsOf(wp);
        MouseMove.Raise(buttons, shift, x, y, area);
        if (buttons == 1 && area == 0 && allowDraging_ && hWnd()) {
            HWND target = allowParentDraging_ ? GetParent(hWnd()) : hWnd();
            // The system's move loop follows the mouse from where it is until the button is released.
            ReleaseCapture();
            SendMessageW(target, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        }
        return;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (!(wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && GetCapture() == hWnd())
            ReleaseCapture();
        MouseUp.Raise(ButtonOfMessage(msg), shift, x, y, area);
        return;
    default: {
        // A press keeps the mouse until its release, as the host's controls do.
        SetCapture(hWnd());
        const int button = ButtonOfMessage(msg);
        MouseDown.Raise(button, shift, x, y, area);
        if (button == 1)
            (PanelOrTitle(y) == 0 ? TileClick : PanelClick).Raise();
        return;
    }
    }
}

LRESULT PanelFx::ChildBackground(HDC childDC, HWND child)
{
    if (childBrushStale_ || !childBrush_) {
        childBrush_.reset(BackBitmap() ? CreatePatternBrush(BackBitmap()) : nullptr);
        childBrushStale_ = false;
    }
    if (!childBrush_)
        return 0;
    // The brush tiles from the child's origin: shift it so the child shows the panel behind it.
    POINT at{0, 0};
    MapWindowPoints(child, hWnd(), &at, 1);
    SetBrushOrgEx(childDC, -at.x, -at.y, nullptr);
    wchar_t cls[8] = {};
    GetClassNameW(child, cls, 8);
    if (lstrcmpiW(cls, L"Edit") == 0)
        // A read-only or disabled box repaints its text over itself: it needs an opaque colour.
        SetBkColor(childDC, GetPixel(BackDC(), at.x, at.y));
    else
        SetBkMode(childDC, TRANSPARENT);
    return reinterpret_cast<LRESULT>(childBrush_.get());
}

LRESULT PanelFx::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
        OnMouse(msg, wp, lp);
        return 0;
    case WM_CTLCOLORSTATIC: {
        LRESULT reflected = 0;
        if (rt::Reflectable::Reflect(msg, wp, lp, reflected))
            return reflected;
        if (LRESULT brush = ChildBackground(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)))
            return brush;
        break;
    }
    default:
        break;
    }
    return rt::UserControl::WndProc(msg, wp, lp);
}

} // namespace skin
