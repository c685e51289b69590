// The button's input: the host's mouse, keyboard and focus notifications turned into the
// drawn state and the ten events, the pop-up menu mode, and the hooks on the button's own
// window (mouse leave) and on its form (activation).
#include "skin/dcButton.h"

#include "runtime/Form.h"
#include "runtime/Menu.h"
#include "runtime/Runtime.h"

#include <vector>

namespace skin {

using State = ButtonState;

namespace {
int MouseButtonsOf(WPARAM wp)
{
    int buttons = 0;
    if (wp & MK_LBUTTON)
        buttons |= rt::vbLeftButton;
    if (wp & MK_RBUTTON)
        buttons |= rt::vbRightButton;
    if (wp & MK_MBUTTON)
        buttons |= rt::vbMiddleButton;
    return buttons;
}

BOOL CALLBACK CollectTabStop(HWND hwnd, LPARAM lp)
{
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

// The previous or next visible, enabled tab stop of the form, in creation order, wrapping.
HWND NextTabStop(HWND root, HWND from, bool previous)
{
    std::vector<HWND> all, stops;
    EnumChildWindows(root, &CollectTabStop, reinterpret_cast<LPARAM>(&all));
    for (HWND child : all) {
        LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if (child == from || ((style & WS_TABSTOP) && IsWindowVisible(child) && IsWindowEnabled(child)))
            stops.push_back(child);
    }
    for (std::size_t i = 0; i < stops.size(); ++i) {
        if (stops[i] != from)
            continue;
        const std::size_t count = stops.size();
        return stops[previous ? (i + count - 1) % count : (i + 1) % count];
    }
    return nullptr;
}
} // namespace

bool dcButton::CursorOverButton() const
{
    POINT pt{};
    GetCursorPos(&pt);
    return hWnd() && WindowFromPoint(pt) == hWnd();
}

void dcButton::TakeCapture()
{
    if (hWnd() && GetCapture() != hWnd())
        SetCapture(hWnd());
}

void dcButton::RequestMouseLeave()
{
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof(tme);
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = hWnd();
    TrackMouseEvent(&tme);
}

LRESULT dcButton::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    const float x = static_cast<float>(rt::MouseX(lp)), y = static_cast<float>(rt::MouseY(lp));
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        ::SetFocus(hWnd());
        TakeCapture();
        HostMouseDown(rt::ButtonFromMessage(msg), rt::ShiftFromMouseFlags(wp), x, y);
        return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        ::SetFocus(hWnd());
        HostDblClick();
        return 0;
    case WM_MOUSEMOVE:
        HostMouseMove(MouseButtonsOf(wp), rt::ShiftFromMouseFlags(wp), x, y);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        const int button = rt::ButtonFromMessage(msg);
        RECT client;
        GetClientRect(hWnd(), &client);
        const bool inside = PtInRect(&client, POINT{rt::MouseX(lp), rt::MouseY(lp)}) != FALSE;
        const bool pressedHere = button == rt::vbLeftButton && mouseHeld_;
        HostMouseUp(button, rt::ShiftFromMouseFlags(wp), x, y);
        // The host's own capture ends with the last button unless Space still holds it.
        if (!mouseHeld_ && !keyHeld_)
            ReleaseCaptureIfHeld();
        // Click only for a left press that began here and ended inside.
        if (pressedHere && inside)
            HostClick();
        return 0;
    }
    case WM_KEYDOWN:
        HostKeyDown(static_cast<int>(wp), rt::ShiftFromKeys());
        return 0;
    case WM_SYSKEYDOWN:
        if (wp == VK_SPACE) {
            HostKeyDown(VK_SPACE, rt::ShiftFromKeys());
            return 0;
        }
        break;
    case WM_KEYUP:
        HostKeyUp(static_cast<int>(wp), rt::ShiftFromKeys());
        return 0;
    case WM_SYSKEYUP:
        if (wp == VK_SPACE) {
            HostKeyUp(VK_SPACE, rt::ShiftFromKeys());
            return 0;
        }
        break;
    case WM_CHAR:
        HostKeyPress(static_cast<int>(wp));
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
        HostGotFocus();
        return 0;
    case WM_KILLFOCUS:
        HostLostFocus();
        return 0;
    case WM_SHOWWINDOW:
        if (wp)
            isHidden_ = false;
        else
            HostHide();
        break;
    default:
        break;
    }
    return rt::UserControl::WndProc(msg, wp, lp);
}

void dcButton::HostMouseDown(int button, int shift, float x, float y)
{
    lastButton_ = button;
    if (button == rt::vbLeftButton) {
        hasFocus_ = pressActive_ = mouseHeld_ = true;
        if (!keyHeld_) {
            Redraw(State::Pressed, false);
        } else if (!mouseOver_) {
            mouseHeld_ = false;
            Redraw(State::Normal, false);
            mouseHeld_ = true;
        }
    }
    if (!popupMode_) {
        MouseDown.Raise(button, shift, x, y);
    } else if (skipNextPopup_) {
        popupActive_ = skipNextPopup_ = false;
    } else {
        ShowButtonPopup();
    }
}

void dcButton::HostMouseMove(int button, int shift, float x, float y)
{
    if (CursorOverButton()) {
        mouseOver_ = true;
        if (!keyHeld_)
            Redraw(pressActive_ ? State::Pressed : State::Hot, false);
        else if (mouseHeld_)
            Redraw(State::Pressed, false);
        if (!mouseEntered_) {
            mouseEntered_ = true;
            RequestMouseLeave();
            MouseEnter.Raise();
        } else {
            MouseMove.Raise(button, shift, x, y);
        }
    } else if (mouseOver_) {
        mouseOver_ = false;
        if (!keyHeld_ && !mouseHeld_)
            Redraw(State::Normal, false);
        MouseLeave.Raise();
        skipNextPopup_ = false;
    } else {
        if (mouseHeld_)
            Redraw(State::Hot, false);
        skipNextPopup_ = false;
    }
}

void dcButton::HostMouseUp(int button, int shift, float x, float y)
{
    if (!(button == rt::vbLeftButton || skipNextPopup_ || popupMode_))
        return;
    mouseHeld_ = false;
    pressActive_ = keyHeld_;
    if (keyHeld_ && !mouseOver_)
        Redraw(State::Pressed, false);
    else if (lastButton_ == 8)
        Redraw(mouseOver_ ? State::Hot : State::Normal, false);
    ReleaseCaptureIfHeld();
    if (popupMode_) {
        if (!mouseOver_)
            Redraw(State::Normal, false);
        popupActive_ = skipNextPopup_ = false;
        return;
    }
    MouseUp.Raise(button, shift, x, y);
}

void dcButton::HostClick()
{
    // A disabled button gives no click, whichever path asks for one.
    if (pressActive_ || lastButton_ != 1 || !enabled_)
        return;
    mouseHeld_ = keyHeld_ = false;
    if (checkBoxMode_)
        value_ = !value_;
    if (mouseOver_)
        Redraw(State::Hot, checkBoxMode_);
    else
        Redraw(State::Normal, true);
    if (!popupMode_)
        Click.Raise();
    if (!checkBoxMode_)
        value_ = false;
}

void dcButton::HostDblClick()
{
    if (lastButton_ != rt::vbLeftButton)
        return;
    pressActive_ = mouseHeld_ = true;
    Redraw(State::Pressed, false);
    lastButton_ = 8;
    TakeCapture();
    if (!popupMode_)
        DblClick.Raise();
    else if (skipNextPopup_)
        skipNextPopup_ = false;
    else
        ShowButtonPopup();
}

void dcButton::HostKeyDown(int keyCode, int shift)
{
    if (keyCode == VK_SPACE) {
        if (shift != rt::vbAltMask) {
            pressActive_ = keyHeld_ = true;
            TakeCapture();
            if (!mouseHeld_)
                Redraw(State::Pressed, false);
        }
        KeyDown.Raise(keyCode, shift);
        return;
    }
    if (keyCode >= VK_LEFT && keyCode <= VK_DOWN) {
        // The focus moves at once here, and its loss ends the press: remember it first.
        const bool held = keyHeld_;
        if (shift == 0) {
            HWND root = GetAncestor(hWnd(), GA_ROOT);
            if (HWND next = NextTabStop(root, hWnd(), keyCode == VK_LEFT || keyCode == VK_UP))
                ::SetFocus(next);
        }
        if (held) {
            ReleaseCaptureIfHeld();
            rt::YieldToOtherMessages();
            lastButton_ = 1;
            HostClick();
        }
        return;
    }
    if (keyHeld_) {
        pressActive_ = keyHeld_ = false;
        ReleaseCaptureIfHeld();
        Redraw(mouseOver_ ? State::Hot : State::Normal, false);
    }
    KeyDown.Raise(keyCode, shift);
}

void dcButton::HostKeyUp(int keyCode, int shift)
{
    if (keyCode != VK_SPACE) {
        KeyUp.Raise(keyCode, shift);
        return;
    }
    pressActive_ = mouseHeld_;
    if (keyHeld_) {
        keyHeld_ = false;
        if (!popupMode_) {
            lastButton_ = 1;
            HostClick();
        } else if (!skipNextPopup_) {
            ShowButtonPopup();
            popupActive_ = false;
        }
    }
    if (pressActive_)
        TakeCapture();
    else
        ReleaseCaptureIfHeld();
    if (popupMode_)
        return;
    KeyUp.Raise(keyCode, shift);
}

void dcButton::HostKeyPress(int keyAscii) { KeyPress.Raise(keyAscii); }

void dcButton::HostAccessKeyPress(int keyAscii)
{
    if (!enabled_)
        return;
    if (keyHeld_)
        ReleaseCaptureIfHeld();
    if (checkBoxMode_ && (keyAscii == 13 || keyAscii == 27))
        return;
    pressActive_ = false;
    lastButton_ = 1;
    if (!popupMode_) {
        HostClick();
    } else if (keyAscii != 27 && !skipNextPopup_) {
        ShowButtonPopup();
        pressActive_ = mouseHeld_ = popupActive_ = keyHeld_ = false;
    }
}

void dcButton::HostGotFocus()
{
    hasFocus_ = true;
    if (!pressActive_)
        Redraw(State::Normal, false);
}

void dcButton::HostLostFocus()
{
    hasFocus_ = pressActive_ = mouseHeld_ = keyHeld_ = false;
    ReleaseCaptureIfHeld();
    if (enabled_ && formActive_)
        Redraw(State::Normal, true);
}

void dcButton::HostHide()
{
    isHidden_ = true;
    // A hidden button keeps no press and no capture.
    if (mouseHeld_ || keyHeld_) {
        ReleaseCaptureIfHeld();
        pressActive_ = mouseHeld_ = keyHeld_ = false;
    }
}

void dcButton::AmbientChanged(const std::wstring& name)
{
    displayAsDefault_ = AmbientDisplayAsDefault();
    if (name != L"DisplayAsDefault")
        return;
    pressActive_ = mouseHeld_ = keyHeld_ = false;
    if (enabled_ && !mouseOver_ && !hasFocus_)
        Redraw(state_, true);
}

void dcButton::ShowButtonPopup()
{
    popupActive_ = true;
    const int width = width_, height = height_;
    const UINT givenFlags = static_cast<UINT>(popupFlags_);
    int x = 0, y = 0;
    UINT flags = givenFlags;
    switch (popupAlign_) {
    case 0: y = height; break;
    case 1: flags = givenFlags | TPM_RIGHTALIGN; break;
    case 2: y = height; flags = givenFlags | TPM_RIGHTALIGN; break;
    case 3: x = width; break;
    case 4: x = width; y = height; break;
    case 5: flags = givenFlags | TPM_BOTTOMALIGN; break;
    case 6: flags = givenFlags | TPM_BOTTOMALIGN | TPM_RIGHTALIGN; break;
    case 7: x = width; flags = givenFlags | TPM_BOTTOMALIGN; break;
    default:
        popupActive_ = false;
        return;
    }
    Redraw(State::Pressed, false);
    if (popupMenu_) {
        POINT pt{x, y};
        ClientToScreen(hWnd(), &pt);
        popupMenu_->Popup(GetAncestor(hWnd(), GA_ROOT), pt, flags, popupDefault_);
    }
    if (CursorOverButton()) {
        skipNextPopup_ = true;
    } else {
        pressActive_ = mouseHeld_ = mouseOver_ = keyHeld_ = false;
        Redraw(State::Normal, false);
        popupActive_ = skipNextPopup_ = false;
    }
}

void dcButton::HookWindows()
{
    if (!hWnd() || hooks_.IsHooked(hWnd()))
        return;
    hooks_.Subclass(hWnd());
    hooks_.WatchMessage(hWnd(), WM_MOUSELEAVE, skin::kHookAfter);
    // The hosting form within three parent levels.
    HWND form = nullptr;
    HWND ancestor = GetParent(hWnd());
    for (int level = 0; level < 3 && ancestor; ++level, ancestor = GetParent(ancestor)) {
        if (Parent() && ancestor == Parent()->hWnd()) {
            form = ancestor;
            break;
        }
    }
    if (!form)
        return;
    hooks_.Subclass(form);
    // A button placed on a form that is already active would otherwise wait for the next
    // activation before it draws its focus.
    formActive_ = GetActiveWindow() == form;
    const bool mdiChild = (GetWindowLongPtrW(form, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
    hooks_.WatchMessage(form, mdiChild ? WM_NCACTIVATE : WM_ACTIVATE, skin::kHookAfter);
}

void dcButton::SubclassCallback(bool, bool&, LRESULT&, HWND hwnd, UINT msg, WPARAM wp, LPARAM, LONG_PTR&)
{
    if (msg == WM_ACTIVATE || msg == WM_NCACTIVATE) {
        // WM_ACTIVATE carries the minimised flag in its high word: only the low word tells.
        formActive_ = msg == WM_ACTIVATE ? LOWORD(wp) != WA_INACTIVE : wp != 0;
        if (formActive_) {
            if (enabled_ && (hasFocus_ || displayAsDefault_))
                Redraw(State::Normal, true);
            return;
        }
        const bool keptFocus = hasFocus_;
        const bool force = mouseOver_ || hasFocus_ || displayAsDefault_;
        if (mouseHeld_ || keyHeld_)
            ReleaseCaptureIfHeld();
        hasFocus_ = pressActive_ = mouseHeld_ = mouseOver_ = keyHeld_ = displayAsDefault_ = false;
        if (enabled_)
            Redraw(State::Normal, force);
        displayAsDefault_ = AmbientDisplayAsDefault();
        hasFocus_ = keptFocus;
        return;
    }
    if (msg == WM_MOUSELEAVE && hwnd == hWnd()) {
        mouseOver_ = mouseEntered_ = false;
        if (popupMode_) {
            if (popupActive_) {
                popupActive_ = false;
                skipNextPopup_ = true;
                return;
            }
            skipNextPopup_ = false;
        }
        if (keyHeld_)
            return;
        if (enabled_)
            Redraw(State::Normal, lastButton_ == 1);
        MouseLeave.Raise();
    }
}

} // namespace skin
