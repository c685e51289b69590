// The repaint of the title bar: background, icon, caption and frame, then the boxes.
#include "skin/CaptionFont.h"
#include "skin/TitelBar.h"
#include "skin/core/Gradient.h"

#include <algorithm>
#include <cstring>

namespace skin {
namespace {

Canvas CanvasOf(void* bits, int w, int h)
{
    return Canvas(std::span<Pixel>(static_cast<Pixel*>(bits), static_cast<std::size_t>(w) * h), w, h);
}

RgbChannels Split(TitelBar::OleColor c) { return FromColorRef(TitelBar::GetRealColor(c)); }

COLORREF ToColorRef(RgbChannels c) { return RGB(c.r, c.g, c.b); }

SIZE TextSize(HDC dc, const std::wstring& text)
{
    SIZE s{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &s);
    return s;
}

void TextAt(HDC dc, int x, int y, const std::wstring& text)
{
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

} // namespace

void TitelBar::Paint(HDC dc, int w, int h)
{
    void* bits = BackBits();
    if (!bits)
        return;
    GdiFlush();
    Canvas canvas = CanvasOf(bits, w, h);
    canvas.Fill(ToPixel(Split(backColor_)));
    foreColor_ = captionColor_;
    SetTBX_();
    SetVerlauf(w, h);
    SetImageI(dc);
    Shadow(dc);
    GdiFlush();
    BSetBorder(w, h);
    face_.assign(static_cast<Pixel*>(bits), static_cast<Pixel*>(bits) + static_cast<std::size_t>(w) * h);
    DrawBoxes();
}

void TitelBar::SetVerlauf(int w, int h)
{
    Canvas canvas = CanvasOf(BackBits(), w, h);
    BackgroundDesign s;
    s.style = static_cast<BarStyle>(style_);
    s.cover = cover_;
    s.border = Border();
    s.v1Begin = Split(v1Begin_);
    s.v1End = Split(v1End_);
    s.v2Begin = Split(v2Begin_);
    s.v2End = Split(v2End_);
    s.high = Split(high_);
    s.dark = Split(dark_);
    s.showClose = show_[kClose];
    s.showMin = show_[kMin];
    s.minBox = place_[kMin];
    s.closeBox = place_[kClose];
    s.dpi = Dpi();
    PaintBackground(canvas, s);
    if (!dashBack_)
        return;
    int textWidth = 0;
    {
        rt::Gdi<HFONT> font = CreateCaptionFont({font_.name, font_.size, font_.bold, true}, Dpi());
        rt::Selected sel(BackDC(), font.get());
        textWidth = TextSize(BackDC(), caption_).cx;
    }
    GdiFlush();
    CutPill(canvas, textWidth, Border(), Dpi());
}

SIZE TitelBar::IconSize() const
{
    const PicturePtr& p = pictureButton_;
    return p ? SIZE{Scaled(p->Width()), Scaled(p->Height())} : SIZE{0, 0};
}

std::optional<float> TitelBar::IconRight() const
{
    if (!pictureButton_ || !pictureButton_->Handle())
        return std::nullopt;
    return static_cast<float>(Scaled(picturePosX_) + IconSize().cx);
}

void TitelBar::SetImageI(HDC dc)
{
    const PicturePtr& p = pictureButton_;
    if (!p || !p->Handle())
        return;
    const int w = ScaleWidth(), h = ScaleHeight();
    const SIZE size = IconSize();
    const auto mode = static_cast<skin::PicturePosMode>(picturePosMode_);
    // A centred place is stored back, in design units, as the property's value.
    if (mode == skin::PicturePosMode::CentreAcross || mode == skin::PicturePosMode::Centre)
        picturePosX_ = static_cast<std::int16_t>(MulDiv(Nearest((w - size.cx) / 2.0), 96, Dpi()));
    if (mode == skin::PicturePosMode::CentreDown || mode == skin::PicturePosMode::Centre)
        picturePosY_ = static_cast<std::int16_t>(MulDiv(Nearest((h - size.cy) / 2.0), 96, Dpi()));
    const int x = Scaled(picturePosX_), y = Scaled(picturePosY_);
    if (p->Type() == Picture::kIcon) {
        DrawIconEx(dc, x, y, static_cast<HICON>(p->Handle()), size.cx, size.cy, 0, nullptr, DI_NORMAL);
        return;
    }
    rt::UniqueDC source(CreateCompatibleDC(dc));
    if (!source)
        return;
    rt::Selected sel(source.get(), static_cast<HBITMAP>(p->Handle()));
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, x, y, size.cx, size.cy, source.get(), 0, 0, p->Width(), p->Height(), SRCCOPY);
}

void TitelBar::Shadow(HDC dc)
{
    int depth = Scaled(depth_);
    const RgbChannels shadow = Split(captionShadow_), back = Split(captionBack_);
    // The outline's colour never is 0: bit 16 marks it as set.
    const bool outlined = captionBorder_;
    const COLORREF outline = GetRealColor(captionBorderColor_) | 0x10000;
    if (depth > 0 && outlined)
        ++depth;
    const COLORREF text = GetRealColor(foreColor_);
    SetBkMode(dc, TRANSPARENT);

    TextOrigin at;
    {
        // Layers: regular weight, not antialiased, so the steps keep hard edges.
        rt::Gdi<HFONT> font = CreateCaptionFont({font_.name, font_.size, false, false}, Dpi());
        if (!font)
            return;
        rt::Selected sel(dc, font.get());
        const SIZE size = TextSize(dc, caption_);
        CaptionPlaceDesign s;
        s.posX = captionPosX_;
        s.posY = captionPosY_;
        s.barWidth = ScaleWidth();
        s.barHeight = ScaleHeight();
        s.textWidth = size.cx;
        s.textHeight = size.cy;
        s.border = Border();
        s.depth = depth;
        s.iconRight = IconRight();
        s.dpi = Dpi();
        at = PlaceCaption(s);
        for (int i = depth; i >= 1; --i) {
            SetTextColor(dc, ToColorRef(LayerColour(back, shadow, depth, i)));
            for (TextOrigin o : LayerOffsets(i, sides_))
                TextAt(dc, at.x + o.x, at.y + o.y, caption_);
        }
    }
    rt::Gdi<HFONT> font = CreateCaptionFont({font_.name, font_.size, font_.bold, true}, Dpi());
    if (!font)
        return;
    rt::Selected sel(dc, font.get());
    if (outlined) {
        SetTextColor(dc, outline);
        for (TextOrigin o : OutlineOffsets())
            TextAt(dc, at.x + o.x, at.y + o.y, caption_);
    }
    SetTextColor(dc, text);
    TextAt(dc, at.x, at.y, caption_);
}

void TitelBar::BSetBorder(int w, int h)
{
    if (border_ == 0)
        return;
    Canvas canvas = CanvasOf(BackBits(), w, h);
    DrawFrame(canvas, Split(high_), Split(dark_));
}

} // namespace skin
