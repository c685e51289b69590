// The title bar under the mouse: hover tracking with the capture and a 25 ms poll, dragging
// the form, the box presses, and the events the surface passes on.
#include "runtime/Form.h"
#include "runtime/Runtime.h"
#include "skin/TitelBar.h"

namespace skin {
namespace {

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMs = 25;
// Posted by a close-box press: the form is hidden or unloaded once the press has returned,
// so an unload cannot free the bar under its own handler.
constexpr UINT kCloseMessage = WM_APP + 0x15;

int ButtonOf(WPARAM wp)
{
    return (wp & MK_LBUTTON ? 1 : 0) | (wp & MK_RBUTTON ? 2 : 0) | (wp & MK_MBUTTON ? 4 : 0);
}

int ShiftOf(WPARAM wp)
{
    return (wp & MK_SHIFT ? 1 : 0) | (wp & MK_CONTROL ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

int KeyShift()
{
    return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
           (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

} // namespace

void TitelBar::Resized() { Resize.Raise(); }

bool TitelBar::IsCursorInside() const
{
    POINT pt{};
    if (!GetCursorPos(&pt) || !ScreenToClient(hWnd(), &pt))
        return false;
    // Both far edges count as inside.
    return pt.x >= 0 && pt.y >= 0 && pt.x <= ScaleWidth() && pt.y <= ScaleHeight();
}

void TitelBar::StopTracking()
{
    KillTimer(hWnd(), kPollTimer);
    hover_ = Hover::Idle;
    if (GetCapture() == hWnd())
        ReleaseCapture();
}

void TitelBar::BoxMove(TitleBox box)
{
    StopTracking();
    if (enabled_[Index(box)])
        SetBoxState(box, BoxState::Hover);
}

void TitelBar::BoxDown(TitleBox box)
{
    StopTracking();
    // A box drawn as disabled does nothing.
    if (!enabled_[Index(box)])
        return;
    rt::Form* form = Parent();
    if (!form || !form->hWnd())
        return;
    HWND fw = form->hWnd();
    switch (box) {
    case TitleBox::Min:
        ShowWindow(fw, SW_MINIMIZE);
        break;
    case TitleBox::Max:
        ShowWindow(fw, IsIconic(fw) || IsZoomed(fw) ? SW_RESTORE : SW_MAXIMIZE);
        break;
    case TitleBox::Close:
        PostMessageW(hWnd(), kCloseMessage, 0, 0);
        break;
    }
}

void TitelBar::DoCloseAction()
{
    rt::Form* form = Parent();
    if (!form)
        return;
    if (closeAction_ == CloseAction::HideForm)
        form->Hide();
    else
        form->Unload();
}

void TitelBar::SurfaceMove(int button, int shift, float x, float y)
{
    // Back to the normal picture for each enabled box, now that the mouse is off them.
    for (TitleBox b : {TitleBox::Close, TitleBox::Max, TitleBox::Min})
        if (enabled_[Index(b)])
            SetBoxState(b, BoxState::Normal);
    if (hover_ == Hover::Idle && IsCursorInside()) {
        if (GetCapture() != hWnd())
            SetCapture(hWnd());
        hover_ = Hover::Tracking;
        SetTimer(hWnd(), kPollTimer, kPollMs, nullptr);
    }
    if (button == 1) {
        StopTracking();
        leftDownOnSurface_ = false;
        // The system moves the form as if its caption were pressed, until the button is up;
        // the move starts from where the cursor was for this message.
        if (rt::Form* form = Parent())
            SendMessageW(form->hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, static_cast<LPARAM>(GetMessagePos()));
    }
    MouseMove.Raise(button, shift, x, y);
}

LRESULT TitelBar::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_MOUSEMOVE: {
        const float x = static_cast<float>(rt::MouseX(lp)), y = static_cast<float>(rt::MouseY(lp));
        if (auto box = HitBox(Places(), show_[kClose], show_[kMax], show_[kMin], x, y))
            BoxMove(*box);
        else
            SurfaceMove(ButtonOf(wp), ShiftOf(wp), x, y);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        float x = static_cast<float>(rt::MouseX(lp)), y = static_cast<float>(rt::MouseY(lp));
        if (auto box = HitBox(Places(), show_[kClose], show_[kMax], show_[kMin], x, y)) {
            BoxDown(*box);
            return 0;
        }
        if (GetCapture() != hWnd())
            SetCapture(hWnd());
        hover_ = Hover::Idle;
        leftDownOnSurface_ = msg == WM_LBUTTONDOWN;
        int button = msg == WM_LBUTTONDOWN ? 1 : msg == WM_RBUTTONDOWN ? 2 : 4, shift = ShiftOf(wp);
        MouseDown.Raise(button, shift, x, y);
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        float x = static_cast<float>(rt::MouseX(lp)), y = static_cast<float>(rt::MouseY(lp));
        hover_ = Hover::Idle;
        KillTimer(hWnd(), kPollTimer);
        if (GetCapture() == hWnd())
            ReleaseCapture();
        int button = msg == WM_LBUTTONUP ? 1 : msg == WM_RBUTTONUP ? 2 : 4, shift = ShiftOf(wp);
        MouseUp.Raise(button, shift, x, y);
        if (msg == WM_LBUTTONUP && std::exchange(leftDownOnSurface_, false))
            Click.Raise();
        return 0;
    }
    case WM_LBUTTONDBLCLK:
        DblClick.Raise();
        return 0;
    case WM_TIMER:
        if (wp == kPollTimer) {
            if (!IsCursorInside())
                StopTracking();
            return 0;
        }
        break;
    case WM_KEYDOWN:
    case WM_KEYUP: {
        int key = static_cast<int>(wp), shift = KeyShift();
        (msg == WM_KEYDOWN ? KeyDown : KeyUp).Raise(key, shift);
        return 0;
    }
    case WM_CHAR: {
        int ch = static_cast<int>(wp);
        KeyPress.Raise(ch);
        return 0;
    }
    case kCloseMessage:
        DoCloseAction();
        return 0;
    default:
        break;
    }
    return rt::UserControl::WndProc(msg, wp, lp);
}

} // namespace skin
