// The title bar under the mouse: hover tracking with a leave notice and a 25 ms poll, dragging
// the form, the box presses, and the events the surface passes on.
//
// Hover never holds the mouse capture: the logo and link images are child windows of the bar,
// and a capture held while the cursor crosses the bar would take every move and click meant
// for them. The capture is held only from a press on the bar's own surface to its release.
#include "runtime/Control.h"
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

bool IsDoubleClick(UINT msg) { return msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK; }

} // namespace

void TitelBar::Resized() { Resize.Raise(); }

bool TitelBar::IsCursorInside() const
{
    POINT pt{};
    if (!GetCursorPos(&pt) || !ScreenToClient(hWnd(), &pt))
        return false;
    return ClientPointInside(pt.x, pt.y);
}

bool TitelBar::ClientPointInside(int x, int y) const
{
    // Both far edges count as inside.
    return x >= 0 && y >= 0 && x <= ScaleWidth() && y <= ScaleHeight();
}

void TitelBar::StartTracking()
{
    hover_ = Hover::Tracking;
    SetTimer(hWnd(), kPollTimer, kPollMs, nullptr);
}

void TitelBar::StopTracking()
{
    KillTimer(hWnd(), kPollTimer);
    hover_ = Hover::Idle;
}

void TitelBar::EndSurfacePress()
{
    surfaceButtons_ = 0;
    clickArmed_ = false;
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
    EndSurfacePress();
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
    // Without the capture a move reaches the bar only over its own surface; with it (a press
    // is held) the point may lie outside.
    if (hover_ == Hover::Idle && ClientPointInside(static_cast<int>(x), static_cast<int>(y)))
        StartTracking();
    if (!leaveArmed_) {
        TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, hWnd(), 0};
        leaveArmed_ = TrackMouseEvent(&t) != FALSE;
    }
    if (button == rt::vbLeftButton && (surfaceButtons_ & rt::vbLeftButton)) {
        StopTracking();
        EndSurfacePress();
        // The system moves the form as if its caption were pressed, until the button is up;
        // the move starts from where the cursor was for this message.
        if (rt::Form* form = Parent())
            SendMessageW(form->hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, static_cast<LPARAM>(GetMessagePos()));
    }
    MouseMove.Raise(button, shift, x, y);
}

void TitelBar::SurfaceDown(UINT msg, WPARAM wp, float x, float y)
{
    if (GetCapture() != hWnd())
        SetCapture(hWnd());
    StopTracking();
    int button = rt::ButtonFromMessage(msg), shift = rt::ShiftFromMouseFlags(wp);
    surfaceButtons_ |= button;
    if (msg == WM_LBUTTONDBLCLK) {
        // The second press of a double click is the double click itself, and no Click follows.
        clickArmed_ = false;
        DblClick.Raise();
        return;
    }
    clickArmed_ = msg == WM_LBUTTONDOWN;
    MouseDown.Raise(button, shift, x, y);
}

void TitelBar::SurfaceUp(UINT msg, WPARAM wp, float x, float y)
{
    int button = rt::ButtonFromMessage(msg), shift = rt::ShiftFromMouseFlags(wp);
    const bool pressedHere = (surfaceButtons_ & button) != 0;
    // A release over a box belongs to the box, unless the press was on the surface.
    if (!pressedHere && HitBox(Places(), show_[kClose], show_[kMax], show_[kMin], x, y))
        return;
    const bool click = button == rt::vbLeftButton && clickArmed_ &&
                       ClientPointInside(static_cast<int>(x), static_cast<int>(y));
    surfaceButtons_ &= ~button;
    if (button == rt::vbLeftButton)
        clickArmed_ = false;
    StopTracking();
    if (!surfaceButtons_ && GetCapture() == hWnd())
        ReleaseCapture();
    MouseUp.Raise(button, shift, x, y);
    if (click)
        Click.Raise();
}

LRESULT TitelBar::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_MOUSEMOVE: {
        const float x = static_cast<float>(rt::MouseX(lp)), y = static_cast<float>(rt::MouseY(lp));
        if (auto box = HitBox(Places(), show_[kClose], show_[kMax], show_[kMin], x, y))
            BoxMove(*box);
        else
            SurfaceMove(rt::ButtonsFromMouseFlags(wp), rt::ShiftFromMouseFlags(wp), x, y);
        return 0;
    }
    case WM_MOUSELEAVE:
        leaveArmed_ = false;
        // Onto one of the bar's own child windows the cursor is still over the bar: the poll
        // goes on until it leaves for good.
        if (hover_ == Hover::Tracking && !IsCursorInside())
            StopTracking();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
        const float x = static_cast<float>(rt::MouseX(lp)), y = static_cast<float>(rt::MouseY(lp));
        // Every press of a box acts, the second of a double click too.
        if (auto box = HitBox(Places(), show_[kClose], show_[kMax], show_[kMin], x, y))
            BoxDown(*box);
        else if (IsDoubleClick(msg) && msg != WM_LBUTTONDBLCLK)
            SurfaceDown(msg == WM_RBUTTONDBLCLK ? WM_RBUTTONDOWN : WM_MBUTTONDOWN, wp, x, y);
        else
            SurfaceDown(msg, wp, x, y);
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        SurfaceUp(msg, wp, static_cast<float>(rt::MouseX(lp)), static_cast<float>(rt::MouseY(lp)));
        return 0;
    case WM_CAPTURECHANGED:
        // A menu or the system's move loop took the mouse: the press ends without a release.
        if (reinterpret_cast<HWND>(lp) != hWnd()) {
            surfaceButtons_ = 0;
            clickArmed_ = false;
        }
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
        int key = static_cast<int>(wp), shift = rt::ShiftFromKeys();
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
