#include "runtime/UserControl.h"

#include "runtime/DibInfo.h"
#include "runtime/Form.h"
#include "runtime/Runtime.h"

#include <commctrl.h>

#include <iterator>

namespace rt {

namespace {

constexpr wchar_t kWindowClass[] = L"VantorelUserControl";

} // namespace

UserControl::UserControl(std::wstring name, std::wstring typeName)
    : Control(std::move(name)), typeName_(std::move(typeName))
{
}

UserControl::~UserControl()
{
    if (toolTipWnd_)
        DestroyWindow(toolTipWnd_);
    if (backDC_ && backOld_)
        SelectObject(backDC_.get(), backOld_);
}

void UserControl::Create(Form& form, HWND container, Bounds b, const PropertyBag* design)
{
    PlaceOn(form);
    const wchar_t* cls = RegisterClassOnce(kWindowClass, &Window::StaticProc, CS_DBLCLKS);
    dpi_ = DpiOf(container);
    CreateWindowOf(cls, 0, WindowStyle(), Scaled(b.x), Scaled(b.y), Scaled(b.w), Scaled(b.h), container,
                   typeName_.c_str());
    if (design)
        ReadProperties(*design);
    else
        InitProperties();
    Refresh();
}

UserControl* UserControl::FromWindow(HWND hwnd)
{
    wchar_t cls[std::size(kWindowClass)] = {};
    if (!hwnd || !GetClassNameW(hwnd, cls, static_cast<int>(std::size(cls))) || lstrcmpW(cls, kWindowClass) != 0)
        return nullptr;
    return dynamic_cast<UserControl*>(reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
}

bool UserControl::AmbientDisplayAsDefault() const
{
    return Parent() && Parent()->DefaultControl() == this;
}

int UserControl::ScaleWidth() const
{
    RECT r{};
    if (hWnd())
        GetClientRect(hWnd(), &r);
    return r.right;
}

int UserControl::ScaleHeight() const
{
    RECT r{};
    if (hWnd())
        GetClientRect(hWnd(), &r);
    return r.bottom;
}

void UserControl::SetToolTipText(const std::wstring& text)
{
    toolTip_ = text;
    // The tip's window (a top-level window, costly under Wine) waits for the mouse's first
    // visit, so a start-up does not build it before the first paint.
    if (toolTipWnd_)
        UpdateToolTip();
}

void UserControl::UpdateToolTip()
{
    if (!hWnd())
        return;
    if (!toolTipWnd_) {
        toolTipWnd_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                      0, 0, 0, 0, hWnd(), nullptr, Instance(), nullptr);
        if (!toolTipWnd_)
            return;
    }
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hWnd();
    ti.uId = reinterpret_cast<UINT_PTR>(hWnd());
    ti.lpszText = const_cast<wchar_t*>(toolTip_.c_str());
    SendMessageW(toolTipWnd_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    if (!toolTip_.empty())
        SendMessageW(toolTipWnd_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void UserControl::EnsureBacking()
{
    int w = ScaleWidth(), h = ScaleHeight();
    if (w <= 0 || h <= 0)
        return;
    if (backDC_ && backSize_.cx == w && backSize_.cy == h)
        return;
    if (!backDC_) {
        backDC_.reset(CreateCompatibleDC(nullptr));
        if (!backDC_)
            return;
    }
    const BITMAPINFO bi = DibInfo(w, -h, 32);
    void* bits = nullptr;
    Gdi<HBITMAP> bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bmp)
        return;
    HGDIOBJ old = SelectObject(backDC_.get(), bmp.get());
    if (!backOld_)
        backOld_ = old;
    backBitmap_ = std::move(bmp);
    backBits_ = bits;
    backSize_ = SIZE{w, h};
}

void UserControl::Refresh()
{
    if (!hWnd())
        return;
    EnsureBacking();
    if (!backDC_ || !backBitmap_)
        return;
    Paint(backDC_.get(), backSize_.cx, backSize_.cy);
    GdiFlush();
    if (!paintPending_)
        paintPending_ = InvalidateRect(hWnd(), nullptr, FALSE) != FALSE;
}

LRESULT UserControl::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_SHOWWINDOW:
    case WM_WINDOWPOSCHANGED:
        paintPending_ = false; // whatever the system did with the update region, ask again
        break;
    case WM_PAINT: {
        paintPending_ = false;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hWnd(), &ps);
        if (backDC_)
            BitBlt(dc, 0, 0, backSize_.cx, backSize_.cy, backDC_.get(), 0, 0, SRCCOPY);
        EndPaint(hWnd(), &ps);
        return 0;
    }
    case WM_SIZE:
        EnsureBacking();
        Resized();
        Refresh();
        return 0;
    case WM_SYSCHAR:
        if (Parent() && Parent()->RaiseAccessKey(static_cast<wchar_t>(wp)))
            return 0;
        break;
    case WM_SETCURSOR:
        if (!toolTipWnd_ && !toolTip_.empty())
            UpdateToolTip(); // the tip follows the mouse's moves from here on
        if (LOWORD(lp) == HTCLIENT) {
            SetCursor(Cursor());
            return TRUE;
        }
        break;
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

} // namespace rt
