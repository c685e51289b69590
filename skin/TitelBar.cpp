#include "skin/TitelBar.h"

#include "runtime/Form.h"
#include "runtime/Handles.h"
#include "runtime/Runtime.h"

namespace {
constexpr COLORREF kBand = RGB(38, 64, 112);
constexpr COLORREF kBandLight = RGB(70, 104, 160);
constexpr COLORREF kText = RGB(255, 255, 255);
constexpr COLORREF kCloseHover = RGB(200, 48, 48);
constexpr COLORREF kMinHover = RGB(90, 124, 180);
constexpr int kBoxSize = 18;
constexpr int kBoxGap = 4;

void FillSolid(HDC dc, const RECT& r, COLORREF colour)
{
    rt::Gdi<HBRUSH> brush(CreateSolidBrush(colour));
    FillRect(dc, &r, brush.get());
}
} // namespace

TitelBar::TitelBar(std::wstring name, CloseAction closeAction)
    : rt::UserControl(std::move(name), L"TitelBar"), closeAction_(closeAction)
{
}

void TitelBar::InitProperties() { caption_ = Name(); }

void TitelBar::ReadProperties(const rt::PropertyBag& bag)
{
    caption_ = bag.ReadString(L"Caption", L"");
    fontName_ = bag.ReadString(L"Font", L"");
    if (fontName_.size() >= LF_FACESIZE)
        fontName_.clear();
}

void TitelBar::WriteProperties(rt::PropertyBag& bag) const
{
    bag.WriteString(L"Caption", caption_, L"");
    bag.WriteString(L"Font", fontName_, L"");
}

void TitelBar::SetCaption(const std::wstring& text)
{
    caption_ = text;
    PropertyChanged(L"Caption");
    Refresh();
}

RECT TitelBar::CloseBoxRect() const
{
    int w = ScaleWidth(), h = ScaleHeight();
    int box = Scaled(kBoxSize), gap = Scaled(kBoxGap);
    int top = (h - box) / 2;
    return RECT{w - gap - box, top, w - gap, top + box};
}

RECT TitelBar::MinBoxRect() const
{
    RECT r = CloseBoxRect();
    OffsetRect(&r, -Scaled(kBoxSize + kBoxGap), 0);
    return r;
}

TitelBar::Box TitelBar::HitBox(POINT pt) const
{
    RECT close = CloseBoxRect(), min = MinBoxRect();
    if (PtInRect(&close, pt))
        return Box::Close;
    if (PtInRect(&min, pt))
        return Box::Min;
    return Box::None;
}

void TitelBar::Paint(HDC dc, int w, int h)
{
    TRIVERTEX v[2] = {{0, 0, static_cast<COLOR16>(GetRValue(kBandLight) << 8), static_cast<COLOR16>(GetGValue(kBandLight) << 8),
                       static_cast<COLOR16>(GetBValue(kBandLight) << 8), 0},
                      {w, h, static_cast<COLOR16>(GetRValue(kBand) << 8), static_cast<COLOR16>(GetGValue(kBand) << 8),
                       static_cast<COLOR16>(GetBValue(kBand) << 8), 0}};
    GRADIENT_RECT gr{0, 1};
    if (!GradientFill(dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_V))
        FillSolid(dc, RECT{0, 0, w, h}, kBand);

    LOGFONTW lf = rt::CaptionFontAt(Dpi());
    lf.lfWeight = FW_BOLD;
    if (!fontName_.empty())
        wcsncpy_s(lf.lfFaceName, LF_FACESIZE, fontName_.c_str(), _TRUNCATE);
    rt::Gdi<HFONT> font(CreateFontIndirectW(&lf));
    rt::Selected sel(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kText);
    RECT text{Scaled(8), 0, MinBoxRect().left - Scaled(4), h};
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);

    RECT min = MinBoxRect(), close = CloseBoxRect();
    if (hover_ == Box::Min)
        FillSolid(dc, min, kMinHover);
    if (hover_ == Box::Close)
        FillSolid(dc, close, kCloseHover);
    rt::Gdi<HPEN> pen(CreatePen(PS_SOLID, Scaled(2), kText));
    rt::Selected selPen(dc, pen.get());
    const int inset = Scaled(5), base = Scaled(6);
    MoveToEx(dc, min.left + inset, min.bottom - base, nullptr);
    LineTo(dc, min.right - inset, min.bottom - base);
    MoveToEx(dc, close.left + inset, close.top + inset, nullptr);
    LineTo(dc, close.right - inset, close.bottom - inset);
    MoveToEx(dc, close.right - inset, close.top + inset, nullptr);
    LineTo(dc, close.left + inset, close.bottom - inset);
}

void TitelBar::SetHover(Box box)
{
    if (hover_ == box)
        return;
    hover_ = box;
    Refresh();
}

void TitelBar::CloseForm()
{
    // Leave no capture or hover behind: the form may be hidden for a long time.
    ReleaseCapture();
    tracking_ = false;
    SetHover(Box::None);
    rt::Form* form = Parent();
    if (!form)
        return;
    if (closeAction_ == CloseAction::HideForm)
        form->Hide();
    else
        form->Unload();
    rt::YieldToOtherMessages();
}

LRESULT TitelBar::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_LBUTTONDOWN: {
        POINT pt{rt::MouseX(lp), rt::MouseY(lp)};
        Box box = HitBox(pt);
        if (box == Box::Close) {
            CloseForm();
        } else if (box == Box::Min) {
            ReleaseCapture();
            SetHover(Box::None);
            if (rt::Form* form = Parent())
                ShowWindow(form->hWnd(), SW_MINIMIZE);
        } else if (rt::Form* form = Parent()) {
            // Let the window manager move the form as if its caption were pressed.
            ReleaseCapture();
            SendMessageW(form->hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
        }
        return 0;
    }
    case WM_MOUSEMOVE: {
        if (!tracking_) {
            TRACKMOUSEEVENT tme{};
            tme.cbSize = sizeof(tme);
            tme.dwFlags = TME_LEAVE;
            tme.hwndTrack = hWnd();
            tracking_ = TrackMouseEvent(&tme) != FALSE;
        }
        SetHover(HitBox(POINT{rt::MouseX(lp), rt::MouseY(lp)}));
        return 0;
    }
    case WM_MOUSELEAVE:
        tracking_ = false;
        SetHover(Box::None);
        return 0;
    default:
        return rt::UserControl::WndProc(msg, wp, lp);
    }
}
