#include "skin/dcButton.h"

#include "runtime/Form.h"
#include "runtime/Handles.h"
#include "runtime/Runtime.h"

#include <cwctype>

namespace {
constexpr COLORREF kFace = RGB(232, 236, 244);
constexpr COLORREF kFacePressed = RGB(196, 208, 228);
constexpr COLORREF kEdge = RGB(48, 76, 128);
constexpr COLORREF kText = RGB(16, 24, 40);
constexpr COLORREF kDisabledText = RGB(150, 150, 150);
} // namespace

dcButton::dcButton(std::wstring name) : rt::UserControl(std::move(name), L"dcButton") {}

dcButton::~dcButton()
{
    if (accessKeyId_ && Parent())
        Parent()->AccessKey.Disconnect(accessKeyId_);
}

void dcButton::InitProperties()
{
    caption_ = Name();
    HookForm();
}

void dcButton::ReadProperties(const rt::PropertyBag& bag)
{
    caption_ = bag.ReadString(L"Caption", L"");
    HookForm();
}

void dcButton::WriteProperties(rt::PropertyBag& bag) const { bag.WriteString(L"Caption", caption_, L""); }

void dcButton::HookForm()
{
    if (accessKeyId_ || !Parent())
        return;
    accessKeyId_ = Parent()->AccessKey.Connect([this](wchar_t ch, bool& handled) {
        wchar_t key = AccessKeyChar();
        if (handled || key == 0 || static_cast<wchar_t>(std::towupper(ch)) != key)
            return;
        if (!hWnd() || !IsWindowEnabled(hWnd()) || !IsWindowVisible(hWnd()))
            return;
        handled = true;
        RaiseClick();
    });
}

wchar_t dcButton::AccessKeyChar() const
{
    for (std::size_t i = 0; i + 1 < caption_.size(); ++i) {
        if (caption_[i] != L'&')
            continue;
        if (caption_[i + 1] == L'&') {
            ++i;
            continue;
        }
        return static_cast<wchar_t>(std::towupper(caption_[i + 1]));
    }
    return 0;
}

void dcButton::SetCaption(const std::wstring& text)
{
    caption_ = text;
    PropertyChanged(L"Caption");
    Refresh();
}

void dcButton::SetEnabled(bool enabled)
{
    if (!enabled) {
        // A button disabled while pressed gives its capture back.
        if (GetCapture() == hWnd())
            ReleaseCapture();
        mouseDown_ = spaceDown_ = false;
        pressed_ = false;
    }
    rt::UserControl::SetEnabled(enabled);
    Refresh();
}

void dcButton::SetPressed(bool pressed)
{
    if (pressed_ != pressed) {
        pressed_ = pressed;
        Refresh();
    }
}

void dcButton::RaiseClick()
{
    if (!hWnd() || !IsWindowEnabled(hWnd()))
        return;
    Click.Raise();
}

void dcButton::Paint(HDC dc, int w, int h)
{
    bool enabled = hWnd() && IsWindowEnabled(hWnd());
    RECT all{0, 0, w, h};
    {
        rt::Gdi<HBRUSH> face(CreateSolidBrush(pressed_ ? kFacePressed : kFace));
        FillRect(dc, &all, face.get());
        rt::Gdi<HBRUSH> edge(CreateSolidBrush(kEdge));
        FrameRect(dc, &all, edge.get());
    }
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    rt::Gdi<HFONT> font(CreateFontIndirectW(&ncm.lfMessageFont));
    rt::Selected sel(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled ? kText : kDisabledText);
    RECT text = all;
    if (pressed_)
        OffsetRect(&text, 1, 1);
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (focused_ && enabled) {
        RECT ring{3, 3, w - 3, h - 3};
        DrawFocusRect(dc, &ring);
    }
}

LRESULT dcButton::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
        ::SetFocus(hWnd());
        SetCapture(hWnd());
        mouseDown_ = true;
        SetPressed(true);
        return 0;
    case WM_MOUSEMOVE:
        if (mouseDown_) {
            RECT r;
            GetClientRect(hWnd(), &r);
            SetPressed(PtInRect(&r, POINT{rt::MouseX(lp), rt::MouseY(lp)}) != FALSE);
        }
        return 0;
    case WM_LBUTTONUP: {
        if (!mouseDown_)
            return 0;
        mouseDown_ = false;
        if (GetCapture() == hWnd())
            ReleaseCapture();
        SetPressed(false);
        RECT r;
        GetClientRect(hWnd(), &r);
        if (PtInRect(&r, POINT{rt::MouseX(lp), rt::MouseY(lp)}))
            RaiseClick();
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != hWnd()) {
            mouseDown_ = false;
            SetPressed(spaceDown_);
        }
        return 0;
    case WM_KEYDOWN:
        if (wp == VK_SPACE && !spaceDown_) {
            spaceDown_ = true;
            SetPressed(true);
        }
        return 0;
    case WM_KEYUP:
        if (wp == VK_SPACE && spaceDown_) {
            spaceDown_ = false;
            SetPressed(false);
            RaiseClick();
        }
        return 0;
    case WM_GETDLGCODE:
        return DLGC_BUTTON;
    case WM_SETFOCUS:
        focused_ = true;
        Refresh();
        return 0;
    case WM_KILLFOCUS:
        focused_ = false;
        spaceDown_ = false;
        SetPressed(false);
        Refresh();
        return 0;
    case WM_ENABLE:
        Refresh();
        return 0;
    default:
        return rt::UserControl::WndProc(msg, wp, lp);
    }
}
