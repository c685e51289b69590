#include "skin/PanelFx.h"

#include "runtime/Handles.h"
#include "runtime/Runtime.h"

namespace {
constexpr COLORREF kBody = RGB(244, 246, 250);
constexpr COLORREF kTitleTop = RGB(92, 124, 178);
constexpr COLORREF kTitleBottom = RGB(48, 76, 128);
constexpr COLORREF kFrame = RGB(48, 76, 128);
constexpr COLORREF kTitleText = RGB(255, 255, 255);
} // namespace

PanelFx::PanelFx(std::wstring name) : rt::UserControl(std::move(name), L"PanelFx") {}

void PanelFx::InitProperties() { title_ = Name(); }

void PanelFx::ReadProperties(const rt::PropertyBag& bag)
{
    title_ = bag.ReadString(L"TitleCaption", L"");
    roundEdge_ = static_cast<int>(bag.ReadInt(L"RoundEdge", 0, 0, 255));
    ApplyRegion();
}

void PanelFx::WriteProperties(rt::PropertyBag& bag) const
{
    bag.WriteString(L"TitleCaption", title_, L"");
    bag.WriteInt(L"RoundEdge", roundEdge_, 0);
}

void PanelFx::SetRoundEdge(int value)
{
    if (value < 0 || value > 255)
        return;
    roundEdge_ = value;
    PropertyChanged(L"RoundEdge");
    ApplyRegion();
    Refresh();
}

void PanelFx::SetTitleCaption(const std::wstring& text)
{
    title_ = text;
    PropertyChanged(L"TitleCaption");
    Refresh();
}

void PanelFx::Resized() { ApplyRegion(); }

void PanelFx::ApplyRegion()
{
    if (!hWnd())
        return;
    int w = ScaleWidth(), h = ScaleHeight();
    if (roundEdge_ <= 0) {
        SetWindowRgn(hWnd(), nullptr, TRUE);
        return;
    }
    const int edge = Scaled(roundEdge_);
    HRGN rgn = CreateRoundRectRgn(0, 0, w + 1, h + 1, edge, edge);
    // The window owns the region once it is set.
    if (rgn && !SetWindowRgn(hWnd(), rgn, TRUE))
        DeleteObject(rgn);
}

void PanelFx::Paint(HDC dc, int w, int h)
{
    {
        rt::Gdi<HBRUSH> body(CreateSolidBrush(kBody));
        RECT all{0, 0, w, h};
        FillRect(dc, &all, body.get());
    }
    TRIVERTEX v[2] = {{0, 0, static_cast<COLOR16>(GetRValue(kTitleTop) << 8), static_cast<COLOR16>(GetGValue(kTitleTop) << 8),
                       static_cast<COLOR16>(GetBValue(kTitleTop) << 8), 0},
                      {w, Scaled(kTitleHeight), static_cast<COLOR16>(GetRValue(kTitleBottom) << 8),
                       static_cast<COLOR16>(GetGValue(kTitleBottom) << 8), static_cast<COLOR16>(GetBValue(kTitleBottom) << 8), 0}};
    GRADIENT_RECT gr{0, 1};
    GradientFill(dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_V);

    LOGFONTW lf = rt::MessageFontAt(Dpi());
    lf.lfWeight = FW_BOLD;
    rt::Gdi<HFONT> font(CreateFontIndirectW(&lf));
    rt::Selected sel(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kTitleText);
    RECT text{Scaled(8), 0, w - Scaled(8), Scaled(kTitleHeight)};
    DrawTextW(dc, title_.c_str(), static_cast<int>(title_.size()), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);

    rt::Gdi<HBRUSH> frame(CreateSolidBrush(kFrame));
    if (roundEdge_ > 0) {
        const int edge = Scaled(roundEdge_);
        rt::Gdi<HRGN> outline(CreateRoundRectRgn(0, 0, w, h, edge, edge));
        FrameRgn(dc, outline.get(), frame.get(), 1, 1);
    } else {
        RECT all{0, 0, w, h};
        FrameRect(dc, &all, frame.get());
    }
}

LRESULT PanelFx::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_CTLCOLORSTATIC) {
        LRESULT reflected = 0;
        if (rt::Reflectable::Reflect(msg, wp, lp, reflected))
            return reflected;
        if (!bodyBrush_)
            bodyBrush_.reset(CreateSolidBrush(kBody));
        SetBkColor(reinterpret_cast<HDC>(wp), kBody);
        return reinterpret_cast<LRESULT>(bodyBrush_.get());
    }
    return rt::UserControl::WndProc(msg, wp, lp);
}
