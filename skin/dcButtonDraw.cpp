// The button's drawing primitives. Each creates the GDI objects it needs and gives them
// back before it returns; lines, frames and fills use the DC's own pen and brush colours,
// so the per-row gradients create no objects at all, and the pen is selected once a paint.
#include "skin/dcButton.h"

#include "runtime/DibInfo.h"
#include "runtime/Handles.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace skin {

using Effect = SpecialEffect;
using State = ButtonState;
using Style = ButtonStyle;

namespace {
COLORREF Ref(Rgb colour) { return static_cast<COLORREF>(colour) & 0xFFFFFF; }

// The window font as a GDI font for one drawing step, its points at the button's DPI.
HFONT MakeFont(int dpi, const ButtonFont& font)
{
    LOGFONTW logFont{};
    logFont.lfHeight = -skin::RoundHalfEven(static_cast<double>(font.size) * dpi / 72.0);
    logFont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = font.italic;
    logFont.lfUnderline = font.underline;
    logFont.lfStrikeOut = font.strikethru;
    logFont.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(logFont.lfFaceName, font.name.c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectW(&logFont);
}

} // namespace

HFONT dcButton::CaptionFont()
{
    // Made once for the font and the surface's DPI, not again for every caption drawn.
    const int dpi = Dpi();
    if (!captionFont_ || !(captionFontOf_ == font_) || captionFontDpi_ != dpi) {
        if (GetCurrentObject(dc_, OBJ_FONT) == captionFont_.get())
            SelectObject(dc_, GetStockObject(SYSTEM_FONT));
        captionFont_.reset(MakeFont(dpi, font_));
        captionFontOf_ = font_;
        captionFontDpi_ = dpi;
    }
    return captionFont_.get();
}

void dcButton::LayoutCaptionAndPicture(int marginY, int marginX)
{
    needsLayout_ = false;
    skin::LayoutInput input;
    input.width = width_;
    input.height = height_;
    input.marginY = marginY;
    input.marginX = marginX;
    input.hasCaption = !caption_.empty();
    if (input.hasCaption) {
        RECT measured{0, 0, width_, height_};
        rt::Selected font(dc_, CaptionFont());
        DrawTextW(dc_, caption_.c_str(), static_cast<int>(caption_.size()), &measured, DT_CALCRECT | DT_NOCLIP | DT_WORDBREAK | DT_CENTER);
        input.measuredCaption = skin::Rect{0, 0, measured.right, measured.bottom};
    }
    input.hasPicture = pictureNormal_ != nullptr;
    input.pictureW = pictureSizeW_;
    input.pictureH = pictureSizeH_;
    input.alignment = pictureAlignment_;
    input.previousPicture = pictureRect_;
    skin::ButtonLayout layout = skin::LayoutCaptionAndPicture(input);
    focusRect_ = layout.focusRect;
    captionRect_ = layout.captionRect;
    pictureRect_ = layout.pictureRect;
}

void dcButton::ApplyButtonRegion(int ew, int eh)
{
    const int width = width_, height = height_;
    // Setting a region makes the system lay the window out and repaint it: only on a change.
    // The capsule styles stroke the region's outline.
    const bool outlined = buttonStyle_ == Style::Capsule || buttonStyle_ == Style::RoundedTopShine ||
                          buttonStyle_ == Style::CapsuleWideShine;
    const RegionKey key{width, height, ew, eh, buttonShape_, outlined};
    if (key == regionKey_)
        return;
    rt::Gdi<HRGN> region(CreateRoundRectRgn(0, 0, width + 1, height + 1, ew, eh));
    if (!region)
        return;
    const int half = skin::RoundHalfEven(width / 2.0);
    if (skin::SquareOnLeft(buttonShape_)) {
        rt::Gdi<HRGN> square(CreateRectRgn(0, 0, half, height + 1));
        CombineRgn(region.get(), region.get(), square.get(), RGN_OR);
    }
    if (skin::SquareOnRight(buttonShape_)) {
        rt::Gdi<HRGN> square(CreateRectRgn(half, 0, width + 1, height + 1));
        CombineRgn(region.get(), region.get(), square.get(), RGN_OR);
    }
    if (outlined) {
        HRGN shape = region.get();
        outlinePoints_ = skin::BuildOutline(width, height, ew, eh, buttonShape_,
                                            [shape](int x, int y) { return PtInRegion(shape, x, y) != FALSE; });
    }
    // The window owns the region once it accepts it.
    if (SetWindowRgn(hWnd(), region.get(), TRUE)) {
        region.release();
        regionKey_ = key;
    }
}

void dcButton::VerticalGradient(Rgb c1, Rgb c2, float percent, int left, int top, int right, int bottom)
{
    if (right == -1)
        right = width_ - 1;
    if (bottom == -1)
        bottom = height_ - 1;
    right = std::max(right, left);
    auto rows = skin::VerticalGradientRows(c1, c2, percent, top, bottom);
    for (int y = top; y <= std::max(bottom, top); ++y) {
        Rgb colour = rows[static_cast<std::size_t>(y - top)];
        if (left == right) {
            if (!FillPixels(colour, left, y, left, y))
                SetPixelV(dc_, left, y, Ref(colour));
        } else
            DrawLine(colour, left, y, right, y);
    }
}

void dcButton::CapsuleShine(Rgb topColour, Rgb bottomColour)
{
    const skin::Rect area = focusRect_;
    const int rows = area.bottom - area.top + 1;
    if (rows <= 0)
        return;
    int span = area.right - area.left + 1, left = area.left;
    const int top = area.top;
    if (skin::SquareOnLeft(buttonShape_)) {
        span = area.left + span;
        left = 0;
    }
    if (skin::SquareOnRight(buttonShape_))
        span = area.left + span;
    auto colours = skin::ShineRows(topColour, bottomColour, rows);
    rt::Gdi<HRGN> shape(CreateRoundRectRgn(0, 0, span, rows, rows, span));
    if (!shape)
        return;
    const int half = skin::RoundHalfEven(span / 2.0);
    if (skin::SquareOnLeft(buttonShape_)) {
        rt::Gdi<HRGN> extra(CreateRoundRectRgn(0, 0, half, rows, 0, 0));
        CombineRgn(shape.get(), shape.get(), extra.get(), RGN_OR);
    }
    if (skin::SquareOnRight(buttonShape_)) {
        rt::Gdi<HRGN> extra(CreateRoundRectRgn(half, 0, span, rows, 0, 0));
        CombineRgn(shape.get(), shape.get(), extra.get(), RGN_OR);
    }
    for (int row = 0; row < rows; ++row) {
        int first = 0;
        while (first < span && !PtInRegion(shape.get(), first, row))
            ++first;
        if (first >= span)
            continue;
        int last = first + 1;
        while (last < span && PtInRegion(shape.get(), last, row))
            ++last;
        if (last >= span)
            continue;
        DrawLine(colours[static_cast<std::size_t>(row)], left + first, top + row, left + last, top + row);
    }
}

bool dcButton::FillPixels(Rgb colour, int left, int top, int right, int bottom)
{
    if (dc_ != BackDC() || !BackBits())
        return false;
    const COLORREF ref = Ref(colour);
    const std::uint32_t pixel = (ref & 0xFFu) << 16 | (ref & 0xFF00u) | (ref >> 16 & 0xFFu);
    auto* bits = static_cast<std::uint32_t*>(BackBits());
    const int fromX = std::max(left, 0), toX = std::min(right, width_ - 1);
    const int fromY = std::max(top, 0), toY = std::min(bottom, height_ - 1);
    for (int y = fromY; y <= toY; ++y)
        for (int x = fromX; x <= toX; ++x)
            bits[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] = pixel;
    return true;
}

void dcButton::DrawLine(Rgb colour, int x1, int y1, int x2, int y2)
{
    // Rows and columns (the gradients draw one a row) go straight into the control's own
    // top-down 32-bit pixels, the same pixels the pen would set, without a GDI call each.
    if (((y1 == y2 && x1 <= x2) || (x1 == x2 && y1 <= y2)) && FillPixels(colour, x1, y1, x2, y2))
        return;
    // The end point is drawn too.
    if (x2 == x1)
        ++y2;
    if (y2 == y1)
        ++x2;
    // Paint selects the DC pen once; each line only sets its colour.
    SetDCPenColor(dc_, Ref(colour));
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
}

void dcButton::DrawFrame(Rgb colour, int left, int top, int right, int bottom)
{
    // The outline's four sides, straight into the pixels like the lines.
    if (right - 1 >= left && bottom - 1 >= top && FillPixels(colour, left, top, right - 1, top)) {
        FillPixels(colour, left, bottom - 1, right - 1, bottom - 1);
        FillPixels(colour, left, top, left, bottom - 1);
        FillPixels(colour, right - 1, top, right - 1, bottom - 1);
        return;
    }
    rt::Selected brush(dc_, GetStockObject(NULL_BRUSH));
    SetDCPenColor(dc_, Ref(colour));
    Rectangle(dc_, left, top, right, bottom);
}

void dcButton::DrawOutline(Rgb colour)
{
    if (outlinePoints_.empty())
        return;
    std::vector<POINT> points;
    points.reserve(outlinePoints_.size());
    for (const skin::Point& point : outlinePoints_)
        points.push_back(POINT{point.x, point.y});
    SetDCPenColor(dc_, Ref(colour));
    Polyline(dc_, points.data(), static_cast<int>(points.size()));
}

void dcButton::FillButton(Rgb colour)
{
    rt::Selected brush(dc_, GetStockObject(DC_BRUSH));
    SetDCBrushColor(dc_, Ref(colour));
    PatBlt(dc_, 0, 0, width_, height_, PATCOPY);
}

void dcButton::DrawEdgeRect(int left, int top, int right, int bottom, UINT edge)
{
    RECT box{left, top, right, bottom};
    DrawEdge(dc_, &box, edge, BF_RECT | BF_SOFT);
}

void dcButton::FillChecker(Rgb c1, Rgb c2, int left, int top, int w, int h)
{
    rt::Gdi<HBRUSH> brush;
    {
        rt::UniqueDC memory(CreateCompatibleDC(dc_));
        rt::Gdi<HBITMAP> pattern(CreateCompatibleBitmap(dc_, 2, 2));
        if (!memory || !pattern)
            return;
        {
            rt::Selected selected(memory.get(), pattern.get());
            SetPixelV(memory.get(), 0, 0, Ref(c1));
            SetPixelV(memory.get(), 1, 1, Ref(c1));
            SetPixelV(memory.get(), 1, 0, Ref(c2));
            SetPixelV(memory.get(), 0, 1, Ref(c2));
        }
        brush.reset(CreatePatternBrush(pattern.get()));
    }
    if (!brush)
        return;
    rt::Selected selected(dc_, brush.get());
    PatBlt(dc_, left, top, w, h, PATCOPY);
}

void dcButton::DrawCaptionText(Rgb colour, int dx, int dy)
{
    if (caption_.empty())
        return;
    RECT box{captionRect_.left + dx, captionRect_.top + dy, captionRect_.right + dx, captionRect_.bottom + dy};
    // The font stays selected in the control's own DC from one caption to the next: selecting
    // it again would make GDI look it up each time.
    HFONT font = CaptionFont();
    const bool own = dc_ == BackDC();
    HGDIOBJ old = GetCurrentObject(dc_, OBJ_FONT);
    if (old != font)
        SelectObject(dc_, font);
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, Ref(colour));
    DrawTextW(dc_, caption_.c_str(), static_cast<int>(caption_.size()), &box, DT_NOCLIP | DT_WORDBREAK | DT_CENTER);
    if (!own && old != font)
        SelectObject(dc_, old);
}

void dcButton::DrawCaptionWithEffect(Rgb colour, Rgb base, int dx, int dy)
{
    if (specialEffect_ != Effect::None) {
        Rgb light = skin::ShiftColor(base, 0.1f), dark = skin::ShiftColor(base, -0.1f);
        switch (specialEffect_) {
        case Effect::Raised:
            DrawCaptionText(dark, dx + 1, dy + 1);
            DrawCaptionText(light, dx - 1, dy - 1);
            break;
        case Effect::Sunken:
            DrawCaptionText(dark, dx - 1, dy - 1);
            DrawCaptionText(light, dx + 1, dy + 1);
            break;
        case Effect::Shadow:
            DrawCaptionText(dark, dx + 1, dy + 1);
            break;
        default:
            break;
        }
    }
    DrawCaptionText(colour, dx, dy);
}

void dcButton::DrawPictureWithEffect(Rgb base, int dx, int dy, Rgb solid)
{
    if (!pictureNormal_)
        return;
    skin::PicturePtr chosen;
    if (pictureHot_ && state_ == State::Hot)
        chosen = pictureHot_;
    else if (state_ == State::Pressed || value_)
        chosen = pictureDown_ ? pictureDown_ : pictureHot_;
    if (!chosen)
        chosen = pictureNormal_;
    if (specialEffect_ != Effect::None) {
        Rgb light = skin::ShiftColor(base, 0.1f), dark = skin::ShiftColor(base, -0.1f);
        switch (specialEffect_) {
        case Effect::Raised:
            DrawButtonPicture(chosen, dx + 1, dy + 1, dark);
            DrawButtonPicture(chosen, dx - 1, dy - 1, light);
            break;
        case Effect::Sunken:
            DrawButtonPicture(chosen, dx - 1, dy - 1, dark);
            DrawButtonPicture(chosen, dx + 1, dy + 1, light);
            break;
        case Effect::Shadow:
            DrawButtonPicture(chosen, dx + 1, dy + 1, dark);
            break;
        default:
            break;
        }
    }
    DrawButtonPicture(chosen, dx, dy, solid);
}

void dcButton::DrawButtonPicture(const skin::PicturePtr& picture, int dx, int dy, Rgb solid)
{
    if (!picture)
        return;
    skin::Rect target = pictureRect_;
    target.left += dx;
    target.right += dx;
    target.top += dy;
    target.bottom += dy;
    // A picture at its own size is clipped to the button; what the clipping cuts off at the
    // left and top is skipped in the source.
    int skipX = 0, skipY = 0;
    if (pictureSize_ == skin::PictureSize::Own) {
        if (target.left < 0) {
            skipX = -target.left;
            target.left = 0;
        }
        if (target.top < 0) {
            skipY = -target.top;
            target.top = 0;
        }
        target.right = std::min(target.right, width_);
        target.bottom = std::min(target.bottom, height_);
    }
    // Whatever lies outside the surface is not drawn.
    const bool visible = target.right - target.left >= 1 && target.bottom - target.top >= 1 &&
                         std::min(target.right, width_) > std::max(target.left, 0) &&
                         std::min(target.bottom, height_) > std::max(target.top, 0);
    if (!visible)
        return;

    // The surface is the control's own 32-bit top-down bitmap: its pixels are composed in
    // place, which spares copies of background and picture through bitmaps of their own.
    if (dc_ != BackDC() || !BackBits())
        return;
    const bool isBitmap = picture->Type() == skin::Picture::kBitmap;
    // Icons are drawn over the mask colour, which then keys their transparent parts out.
    const Rgb key = (useMaskColor_ || !isBitmap) ? colors_.maskRGB : skin::kNoColor;
    const std::vector<std::uint32_t> source = ReadPicturePixels(*picture, key);
    if (source.empty())
        return;
    ComposeOnSurface(source, picture->Width(), picture->Height(), target, skipX, skipY, key, solid);
}

std::vector<std::uint32_t> dcButton::ReadPicturePixels(const skin::Picture& picture, Rgb key)
{
    const int pictureW = picture.Width(), pictureH = picture.Height();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(pictureW) * static_cast<std::size_t>(pictureH));
    rt::UniqueDC memory(CreateCompatibleDC(dc_));
    if (!memory || pixels.empty())
        return {};
    BITMAPINFO info = rt::DibInfo(pictureW, -pictureH, 32);
    HBITMAP content = static_cast<HBITMAP>(picture.Handle());
    rt::Gdi<HBITMAP> iconImage;
    if (picture.Type() != skin::Picture::kBitmap) {
        iconImage.reset(CreateCompatibleBitmap(dc_, pictureW, pictureH));
        if (!iconImage)
            return {};
        rt::Selected selected(memory.get(), iconImage.get());
        rt::Selected brush(memory.get(), GetStockObject(DC_BRUSH));
        SetDCBrushColor(memory.get(), Ref(key));
        PatBlt(memory.get(), 0, 0, pictureW, pictureH, PATCOPY);
        DrawIconEx(memory.get(), 0, 0, static_cast<HICON>(picture.Handle()), pictureW, pictureH, 0, nullptr, DI_NORMAL);
        content = iconImage.get();
    }
    if (!GetDIBits(memory.get(), content, 0, static_cast<UINT>(pictureH), pixels.data(), &info, DIB_RGB_COLORS))
        return {};
    GdiFlush();
    return pixels;
}

void dcButton::ComposeOnSurface(const std::vector<std::uint32_t>& source, int pictureW, int pictureH,
                                const skin::Rect& target, int skipX, int skipY, Rgb key, Rgb solid)
{
    auto* surface = static_cast<std::uint8_t*>(BackBits());
    const std::size_t surfaceStride = static_cast<std::size_t>(width_) * 4;
    const int visibleLeft = std::max(target.left, 0), visibleTop = std::max(target.top, 0);
    const int visibleRight = std::min(target.right, width_), visibleBottom = std::min(target.bottom, height_);
    const int targetW = target.right - target.left, targetH = target.bottom - target.top;
    // A clipped or edge-touching picture is copied one to one; any other is stretched from its
    // whole image, each target pixel taking the nearest source pixel.
    const int sourceW = (skipX > 0 || target.right == width_) ? targetW : pictureW;
    const int sourceH = (skipY > 0 || target.bottom == height_) ? targetH : pictureH;
    const float opacity = state_ == State::Disabled ? 0.2f : opacity_;
    std::vector<std::uint8_t> pictureRow(static_cast<std::size_t>(visibleRight - visibleLeft) * 3);
    std::vector<std::uint8_t> backRow(pictureRow.size());
    for (int y = visibleTop; y < visibleBottom; ++y) {
        const int sourceY = skipY + static_cast<int>(static_cast<long long>(y - target.top) * sourceH / targetH);
        if (sourceY < 0 || sourceY >= pictureH)
            continue;
        std::uint8_t* surfaceRow = surface + surfaceStride * static_cast<std::size_t>(y);
        for (int x = visibleLeft; x < visibleRight; ++x) {
            const int sourceX = skipX + static_cast<int>(static_cast<long long>(x - target.left) * sourceW / targetW);
            const std::size_t at = static_cast<std::size_t>(x - visibleLeft) * 3;
            const std::uint8_t* back = surfaceRow + static_cast<std::size_t>(x) * 4;
            backRow[at] = back[0];
            backRow[at + 1] = back[1];
            backRow[at + 2] = back[2];
            if (sourceX < 0 || sourceX >= pictureW) {
                // Beyond the picture's own pixels: the background stays.
                pictureRow[at] = back[0];
                pictureRow[at + 1] = back[1];
                pictureRow[at + 2] = back[2];
                continue;
            }
            const std::uint32_t pixel = source[static_cast<std::size_t>(sourceY) * static_cast<std::size_t>(pictureW) +
                                               static_cast<std::size_t>(sourceX)];
            pictureRow[at] = static_cast<std::uint8_t>(pixel & 0xFF);
            pictureRow[at + 1] = static_cast<std::uint8_t>((pixel >> 8) & 0xFF);
            pictureRow[at + 2] = static_cast<std::uint8_t>((pixel >> 16) & 0xFF);
        }
        skin::ComposePicture(pictureRow.data(), backRow.data(), visibleRight - visibleLeft, 1,
                             static_cast<int>(pictureRow.size()), key, solid, opacity);
        for (int x = visibleLeft; x < visibleRight; ++x) {
            const std::size_t at = static_cast<std::size_t>(x - visibleLeft) * 3;
            std::uint8_t* out = surfaceRow + static_cast<std::size_t>(x) * 4;
            out[0] = pictureRow[at];
            out[1] = pictureRow[at + 1];
            out[2] = pictureRow[at + 2];
        }
    }
}

void dcButton::DrawDisabledContent(int offset)
{
    DrawButtonPicture(pictureNormal_, offset, offset, skin::kNoColor);
    DrawCaptionText(colors_.disabledTextColor, offset, offset);
}

void dcButton::DrawContent(Rgb base, int offset)
{
    DrawPictureWithEffect(base, offset, offset, skin::kNoColor);
    DrawCaptionWithEffect(colors_.textColor, base, offset, offset);
}

void dcButton::CornerPixels(Rgb colour)
{
    const int width = width_, height = height_;
    if (!skin::SquareOnLeft(buttonShape_)) {
        DrawPixel(colour, 1, 1);
        DrawPixel(colour, 1, height - 2);
    }
    if (!skin::SquareOnRight(buttonShape_)) {
        DrawPixel(colour, width - 2, 1);
        DrawPixel(colour, width - 2, height - 2);
    }
}

} // namespace skin
