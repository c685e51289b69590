#include "skin/PanelFx.h"

#include "runtime/Handles.h"
#include "runtime/Runtime.h"

#include <olectl.h>

namespace skin {

namespace {
// A value that names no colour is drawn in this yellow.
constexpr COLORREF kUntranslatable = 0x0000FFFF;

COLORREF TranslateColor(PanelFx::OleColor colour)
{
    COLORREF rgb = 0;
    if (OleTranslateColor(colour, nullptr, &rgb) != S_OK)
        return kUntranslatable;
    return rgb & 0xFFFFFF;
}

RECT ToRect(const PanelRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// Fills the rectangle (fill) or draws its one-pixel frame.
void DrawRect(HDC dc, const PanelRect& r, PanelFx::OleColor colour, bool fill)
{
    rt::Gdi<HBRUSH> brush(CreateSolidBrush(TranslateColor(colour)));
    if (!brush)
        return;
    RECT rc = ToRect(r);
    if (fill)
        FillRect(dc, &rc, brush.get());
    else
        FrameRect(dc, &rc, brush.get());
}

TRIVERTEX Vertex(LONG x, LONG y, PanelFx::OleColor colour)
{
    const COLORREF rgb = TranslateColor(colour);
    return TRIVERTEX{x, y, PanelVertexChannel(GetRValue(rgb)), PanelVertexChannel(GetGValue(rgb)),
                     PanelVertexChannel(GetBValue(rgb)), 0};
}

void DrawGradientRect(HDC dc, const PanelRect& r, PanelFx::OleColor start, PanelFx::OleColor end,
                      PanelGradientDir dir)
{
    TRIVERTEX v[2] = {Vertex(r.left, r.top, start), Vertex(r.right, r.bottom, end)};
    GRADIENT_RECT mesh{0, 1};
    GradientFill(dc, v, 2, &mesh, 1, dir == PanelGradientDir::Vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

// Tiles the picture's bitmap from the surface's origin; an icon or no picture fills nothing.
void DrawPattern(HDC dc, const PanelRect& r, const PicturePtr& picture)
{
    if (!picture || picture->Type() != Picture::kBitmap)
        return;
    rt::Gdi<HBRUSH> brush(CreatePatternBrush(static_cast<HBITMAP>(picture->Handle())));
    if (!brush)
        return;
    SetBrushOrgEx(dc, 0, 0, nullptr);
    RECT rc = ToRect(r);
    FillRect(dc, &rc, brush.get());
}

struct AreaFill {
    PanelFx::OleColor solid, start, end;
    PanelGradientDir dir;
    const PicturePtr& pattern;
};

void FillArea(HDC dc, const PanelRect& r, PanelBackground style, const AreaFill& f)
{
    switch (style) {
    case PanelBackground::Solid:
        DrawRect(dc, r, f.solid, true);
        break;
    case PanelBackground::Gradient:
        DrawGradientRect(dc, r, f.start, f.end, f.dir);
        break;
    case PanelBackground::Pattern:
        DrawPattern(dc, r, f.pattern);
        break;
    }
}

// The caption's font at `dpi`: the ambient message font with the panel's face, size and styles.
HFONT CreatePanelFont(const PanelFont& font, int dpi)
{
    LOGFONTW lf = rt::MessageFontAt(dpi);
    if (!font.name.empty())
        lstrcpynW(lf.lfFaceName, font.name.c_str(), LF_FACESIZE);
    if (font.size > 0)
        lf.lfHeight = -MulDiv(static_cast<int>(font.size * 100 + 0.5f), dpi, 7200);
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfUnderline = font.underline;
    lf.lfStrikeOut = font.strikethru;
    return CreateFontIndirectW(&lf);
}
} // namespace

void PanelFx::Paint(HDC dc, int w, int h)
{
    // The children take their background from this picture: their brush is made anew.
    childBrushStale_ = true;
    const int th = Scaled(tileHeight_);
    const PanelRects r = PanelRectsOf(w, h, th);

    RECT all{0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetBkColor(dc, 0);

    DrawRect(dc, r.titleFrame, borderColor_, false);
    FillArea(dc, r.titleFill, style_, {tileBackColor_, titleStart_, titleEnd_, titleDir_, titleBitmap_});
    DrawRect(dc, r.bodyFrame, borderColor_, false);
    FillArea(dc, r.bodyFill, style_, {panelBackColor_, panelStart_, panelEnd_, panelDir_, panelBitmap_});

    {
        rt::Gdi<HPEN> pen(CreatePen(PS_SOLID, 1, TranslateColor(borderColor_)));
        if (pen) {
            rt::Selected usePen(dc, pen.get());
            rt::Selected hollow(dc, GetStockObject(NULL_BRUSH));
            const int edge = Scaled(roundEdge_);
            RoundRect(dc, r.outline.left, r.outline.top, r.outline.right, r.outline.bottom, edge, edge);
        }
    }

    iconShown_ = !hideIcon_ && DrawIcon(dc);
    if (!title_.empty())
        DrawTitleCaption(dc, w);
}

bool PanelFx::DrawIcon(HDC dc)
{
    if (!titleIcon_)
        return false;
    const int x = Scaled(iconX_), y = Scaled(iconY_), cx = Scaled(iconWidth_), cy = Scaled(iconHeight_);
    if (titleIcon_->Type() == Picture::kIcon)
        return DrawIconEx(dc, x, y, static_cast<HICON>(titleIcon_->Handle()), cx, cy, 0, nullptr, DI_NORMAL) != FALSE;
    rt::UniqueDC mem(CreateCompatibleDC(dc));
    if (!mem)
        return false;
    rt::Selected bmp(mem.get(), titleIcon_->Handle());
    SetStretchBltMode(dc, COLORONCOLOR);
    return StretchBlt(dc, x, y, cx, cy, mem.get(), 0, 0, titleIcon_->Width(), titleIcon_->Height(), SRCCOPY) != FALSE;
}

void PanelFx::DrawTitleCaption(HDC dc, int w)
{
    rt::Gdi<HFONT> font(CreatePanelFont(font_, Dpi()));
    if (!font)
        return;
    rt::Selected useFont(dc, font.get());
    SetTextColor(dc, TranslateColor(titleForeColor_));
    SetBkMode(dc, TRANSPARENT);
    SIZE text{};
    if (!GetTextExtentPoint32W(dc, title_.c_str(), static_cast<int>(title_.size()), &text))
        return;
    const int x = PanelCaptionX(alignment_, w, text.cx, iconShown_, Scaled(iconWidth_), Scaled(4));
    const int y = PanelCaptionY(Scaled(tileHeight_), text.cy);
    TextOutW(dc, x, y, title_.c_str(), static_cast<int>(title_.size()));
}

} // namespace skin
