// The control's mouse: the hit test that lets presses on transparent pixels through to what lies
// behind, the button and move events, and the hover shared by the image controls of a window,
// polled by a one-shot timer of the control's own window.
#include "alphaimage/aicAlphaImage.h"

#include "alphaimage/cCrossComm.h"
#include "alphaimage/core/HoverState.h"

#include <windowsx.h>

namespace aic {

namespace {

constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT_PTR kFadeTimer = 2;
constexpr UINT kHoverPollMs = 100;

} // namespace

bool aicAlphaImage::HitsClientPoint(int x, int y) const
{
    const POINT p{x, y};
    return hitRegion_ ? PtInRegion(hitRegion_.get(), x, y) != FALSE : PtInRect(&hitRect_, p) != FALSE;
}

void aicAlphaImage::ReleaseMouseCapture()
{
    if (hoverPolling_) {
        KillTimer(hWnd(), kHoverTimer);
        hoverPolling_ = false;
    }
    MouseExit.Raise();
}

bool aicAlphaImage::HitTestPoint(int x, int y)
{
    const bool hit = HitsClientPoint(x, y);
    if (!RunMode() || !Enabled() || !crossComm_)
        return hit;
    ICrossComm* const me = this;
    const ICrossComm* const cap = crossComm_->CapturedControl();
    const HoverSteps steps =
        HoverOnHitTest(cap == me ? HoverHolder::This : cap ? HoverHolder::Other : HoverHolder::None, hit);
    if (steps.release)
        crossComm_->CapturedControl(nullptr);
    if (steps.capture) {
        POINT cursor{}, origin{};
        GetCursorPos(&cursor);
        ClientToScreen(hWnd(), &origin);
        hoverOffset_ = POINT{cursor.x - origin.x - x, cursor.y - origin.y - y};
        crossComm_->CapturedControl(me);
        MouseEnter.Raise();
        // The handler may have handed the hover on already.
        if (crossComm_->CapturedControl() == me && hWnd())
            hoverPolling_ = SetTimer(hWnd(), kHoverTimer, kHoverPollMs, nullptr) != 0;
    }
    return hit;
}

void aicAlphaImage::HoverTimerProc()
{
    KillTimer(hWnd(), kHoverTimer);
    hoverPolling_ = false;
    if (!crossComm_)
        return;
    ICrossComm* const me = this;
    bool inside = false;
    POINT cursor{};
    // Asking which window is under the cursor hit-tests this one too, which may end the hover
    // itself; the holder is read after it.
    if (crossComm_->CapturedControl() == me && GetCursorPos(&cursor) && WindowFromPoint(cursor) == hWnd()) {
        POINT origin{};
        ClientToScreen(hWnd(), &origin);
        inside = HitsClientPoint(cursor.x - origin.x - hoverOffset_.x, cursor.y - origin.y - hoverOffset_.y);
    }
    const ICrossComm* const cap = crossComm_->CapturedControl();
    const HoverSteps steps =
        HoverOnPoll(cap == me ? HoverHolder::This : cap ? HoverHolder::Other : HoverHolder::None, inside);
    if (steps.rearm)
        hoverPolling_ = SetTimer(hWnd(), kHoverTimer, kHoverPollMs, nullptr) != 0;
    if (steps.release)
        crossComm_->CapturedControl(nullptr);
}

void aicAlphaImage::StopTimers()
{
    if (hWnd()) {
        KillTimer(hWnd(), kHoverTimer);
        KillTimer(hWnd(), kFadeTimer);
    }
    hoverPolling_ = false;
    fade_.step = 0;
}

// One timer repeats at the fade's interval from its first step to its last: the steps keep to
// their schedule however long each takes, and a step makes no call to arm or stop a timer.
void aicAlphaImage::FadeInOut(int FinalOpacity, int FadeStepPercent, int FadeDelayInterval)
{
    if (fade_.step != 0) {
        KillTimer(hWnd(), kFadeTimer);
        fade_.step = 0;
    }
    if (const auto fade = StartFade(opacity_, FinalOpacity, FadeStepPercent, FadeDelayInterval)) {
        fade_ = *fade;
        FadeTimerProc();
        if (fade_.step != 0 && hWnd())
            SetTimer(hWnd(), kFadeTimer, static_cast<UINT>(fade_.interval), nullptr);
    }
}

void aicAlphaImage::FadeTimerProc()
{
    if (fade_.step == 0) {
        if (hWnd())
            KillTimer(hWnd(), kFadeTimer);
        return;
    }
    const FadeTick tick = NextFadeTick(opacity_, fade_);
    if (tick.ended) {
        fade_.step = 0;
        if (hWnd())
            KillTimer(hWnd(), kFadeTimer);
    }
    SetOpacity(tick.opacity);
    if (tick.ended)
        FadeTerminated.Raise(opacity_);
}

void aicAlphaImage::ButtonDown(int button, int shift, int x, int y)
{
    // A press outside the picture belongs to what lies behind it, not to this control.
    if (!HitsClientPoint(x, y))
        return;
    buttonWord_ |= button;
    pressed_ |= button;
    SetCapture(hWnd());
    MouseDown.Raise(button, shift, static_cast<float>(x), static_cast<float>(y));
}

// A double click is one click: its second press raises DblClick in place of MouseDown, and its
// release MouseUp without a Click, so a handler of Click alone acts once.
void aicAlphaImage::SecondPress(int button, int x, int y)
{
    if (!HitsClientPoint(x, y))
        return;
    pressed_ |= button;
    secondPress_ |= button;
    SetCapture(hWnd());
    DblClick.Raise(buttonWord_ / 16);
}

void aicAlphaImage::ButtonUp(int button, int shift, int x, int y)
{
    if (!(pressed_ & button))
        return;
    const bool second = (secondPress_ & button) != 0;
    pressed_ &= ~button;
    secondPress_ &= ~button;
    buttonWord_ &= 0xF;
    if ((buttonWord_ & button) == button)
        buttonWord_ |= button * 16;
    if (!pressed_ && GetCapture() == hWnd())
        ReleaseCapture();
    MouseUp.Raise(button, shift, static_cast<float>(x), static_cast<float>(y));
    if (!second && HitsClientPoint(x, y))
        Click.Raise(buttonWord_ / 16);
}

bool aicAlphaImage::MouseMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    result = 0;
    switch (msg) {
    case WM_NCHITTEST: {
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ScreenToClient(hWnd(), &p);
        // Outside the hit area the mouse goes on to the window behind, in this thread.
        result = HitTestPoint(p.x, p.y) ? HTCLIENT : HTTRANSPARENT;
        return true;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        ButtonDown(rt::ButtonFromMessage(msg), rt::ShiftFromMouseFlags(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        return true;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        SecondPress(rt::ButtonFromMessage(msg), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        ButtonUp(rt::ButtonFromMessage(msg), rt::ShiftFromMouseFlags(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        return true;
    case WM_MOUSEMOVE: {
        int button = rt::ButtonsFromMouseFlags(wp), shift = rt::ShiftFromMouseFlags(wp);
        MouseMove.Raise(button, shift, static_cast<float>(GET_X_LPARAM(lp)), static_cast<float>(GET_Y_LPARAM(lp)));
        return false; // the tool tip follows the move too
    }
    case WM_TIMER:
        if (wp == kHoverTimer)
            HoverTimerProc();
        else if (wp == kFadeTimer)
            FadeTimerProc();
        else
            return false;
        return true;
    case WM_SHOWWINDOW:
        // Hidden, the control stops its fade and its hover without their events, and leaves
        // the shared hover until it shows again.
        if (!wp)
            StopTimers();
        if (crossComm_ && Enabled() && RunMode()) {
            if (wp)
                crossComm_->AddRef(this);
            else
                crossComm_->RemoveRef(this);
        }
        return false;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != hWnd())
            pressed_ = secondPress_ = 0;
        return true;
    case WM_DESTROY:
        StopTimers();
        return false;
    default:
        return false;
    }
}

} // namespace aic
