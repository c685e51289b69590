// Where the picture goes in the control and how it is drawn there: the display size and
// origin, AutoSize, the render cache and the shadow image, painting through the engine's
// Render, and the small pixel steps the properties share (undoing a mask, a change of mirror).
#include "alphaimage/aicAlphaImage.h"

#include "alphaimage/core/ImageScales.h"
#include "runtime/Form.h"

#include <algorithm>
#include <cstdint>

namespace aic {

namespace {

constexpr int kCheckerSize = 12;
constexpr std::uint32_t kCheckerWhite = 0xFFFFFF, kCheckerSilver = 0xC0C0C0;
// Pictures this small at their own size get their shadow made at each paint, not kept.
constexpr int kShadowKeptAbove = 128;

} // namespace

std::uint32_t aicAlphaImage::ResolveColor(std::uint32_t color)
{
    return (color & 0x80000000u) ? GetSysColor(static_cast<int>(color & 0xFF)) : color;
}

std::uint32_t aicAlphaImage::CornerColor(const imaging::c32bppDIB& image, int source)
{
    const int right = image.Width() - 1, bottom = image.Height() - 1;
    const int x = source == 3 || source == 5 ? right : 0;
    const int y = source == 4 || source == 5 ? bottom : 0;
    return image.GetPixel(x, y, nullptr, false);
}

void aicAlphaImage::UndoMask(imaging::c32bppDIB& image) const
{
    // Every wholly transparent pixel takes the masked colour back, opaque: also those that
    // were transparent in the source.
    image.MakeTransparent(ResolveColor(maskInUse_) ^ (InversedImage() ? 0xFFFFFFu : 0u), true);
}

void aicAlphaImage::ApplyMask() { image_->MakeTransparent(ResolveColor(maskInUse_), false); }

void aicAlphaImage::ApplyMirrorChange(imaging::c32bppDIB& image, int newMirror) const
{
    const int change = newMirror ^ mirror_;
    image.MirrorImage((change & 1) != 0, (change & 2) != 0);
}

void aicAlphaImage::MakePlaceholder(int w, int h)
{
    image_->InitializeDIB(w, h);
    image_->CreateCheckerBoard(kCheckerSize, kCheckerWhite, kCheckerSilver);
}

void aicAlphaImage::ResizeHandling()
{
    if (displayWidth_ < 0)
        return; // the control is sizing itself
    const int sw = ScaleWidth(), sh = ScaleHeight();
    if (!image_->Handle() && !RunMode())
        MakePlaceholder(sw, sh);
    GetImageScales(displayWidth_, displayHeight_, scaleMethod_, sw, sh, RotateEnabled());
    const int w = displayWidth_, h = displayHeight_;
    if (RotateEnabled()) {
        rotationExtent_ = RotationExtent(w, h);
        if (scaleMethod_ == 4) {
            originX_ = std::max(0, (sw - w) / 2);
            originY_ = std::max(0, (sh - h) / 2);
        } else {
            // The square that holds every angle may stand out of the control.
            originX_ = (sw - rotationExtent_) / 2;
            originY_ = (sh - rotationExtent_) / 2;
        }
        actualSize_ = false;
    } else {
        originX_ = std::max(0, (sw - w) / 2);
        originY_ = std::max(0, (sh - h) / 2);
        actualSize_ = h == image_->Height() && w == image_->Width();
    }
    // A control without a picture keeps its size.
    if (AutoSize() && image_->Handle() && w > 0 && h > 0) {
        const int wantW = RotateEnabled() ? rotationExtent_ : w, wantH = RotateEnabled() ? rotationExtent_ : h;
        displayWidth_ = -displayWidth_; // what the resize raises returns at once
        originX_ = originY_ = 0;
        SetWindowPos(hWnd(), nullptr, 0, 0, wantW, wantH, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        displayWidth_ = -displayWidth_;
    }
    if (!UpdateRenderCache(true, true))
        UpdateHitRegion();
}

void aicAlphaImage::ApplySize()
{
    // Also when the control sized itself: the repaint its resize raised came while the layout
    // was in progress, and drew no picture.
    ResizeHandling();
    Refresh();
}

void aicAlphaImage::Resized() { ResizeHandling(); }

void aicAlphaImage::DerivedImageRefresh()
{
    if (!UpdateRenderCache(false, true))
        UpdateHitRegion();
    // The shadow was made again by the cache step when it is on.
    Refresh();
}

// The picture as the cache holds it, into `target` of the control's size: at full opacity,
// without grey and light, which painting adds; the image offset too is painting's.
void aicAlphaImage::RenderAsCached(imaging::c32bppDIB& target, HDC dc) const
{
    const int w = displayWidth_, h = displayHeight_;
    if (RotateEnabled()) {
        target.SetAlphaState(true);
        image_->Render(dc,
                       {.destX = target.Width() / 2, .destY = target.Height() / 2, .destWidth = w, .destHeight = h,
                        .angle = static_cast<float>(rotation_), .centerOnDestXY = true},
                       &target);
    } else {
        // Margins the picture leaves uncovered are transparent, whatever the picture's own alpha.
        const bool covers =
            originX_ <= 0 && originY_ <= 0 && originX_ + w >= target.Width() && originY_ + h >= target.Height();
        target.SetAlphaState(image_->Alpha() || !covers);
        image_->Render(
            dc, {.destX = originX_, .destY = originY_, .destWidth = w, .destHeight = h, .setHalfTone = false}, &target);
    }
}

bool aicAlphaImage::UpdateRenderCache(bool resizeCache, bool rebuildHitRegion)
{
    bool rendered = false;
    if (props_ & kCacheActive) {
        const int sw = ScaleWidth(), sh = ScaleHeight();
        if (cache_ && !resizeCache) {
            cache_->EraseDIB();
        } else {
            if (!cache_) {
                cache_ = std::make_unique<imaging::c32bppDIB>(image_->CapabilityFlags());
                cache_->gdiToken(image_->gdiToken());
                cache_->ManageOwnDC(true);
            }
            if (displayWidth_ == 0)
                return false;
            if (cache_->Width() == sw && cache_->Height() == sh)
                cache_->EraseDIB();
            else
                cache_->InitializeDIB(sw, sh);
        }
        if (HDC dc = cache_->LoadDIBinDC(true))
            RenderAsCached(*cache_, dc);
        if (rebuildHitRegion)
            UpdateHitRegion();
        rendered = true;
    }
    if (ShadowEnabled())
        UpdateShadowImage();
    return rendered;
}

void aicAlphaImage::UpdateShadowImage()
{
    if (!ShadowEnabled()) {
        shadow_.reset();
        return;
    }
    const int w = displayWidth_, h = displayHeight_;
    const std::uint32_t colour = ResolveColor(shadowColor_);
    imaging::c32bppDIB drawn(image_->CapabilityFlags());
    drawn.gdiToken(image_->gdiToken());
    if (actualSize_ && !RotateEnabled() && image_->Height() <= kShadowKeptAbove && image_->Width() <= kShadowKeptAbove) {
        shadow_.reset(); // painting makes it on the fly
    } else if (cache_) {
        shadow_ = cache_->CreateDropShadow(shadowDepth_, colour);
    } else if (RotateEnabled()) {
        // The shadow of the picture as drawn, rotated, from a drawing the size of the control as
        // the cache would hold it: painting places either kind alike, without turning it again.
        if (w > 0 && drawn.InitializeDIB(ScaleWidth(), ScaleHeight()))
            RenderAsCached(drawn, nullptr);
        shadow_ = drawn.CreateDropShadow(shadowDepth_, colour);
    } else {
        if (drawn.InitializeDIB(w, h))
            image_->Render(nullptr, {.destWidth = w, .destHeight = h}, &drawn);
        shadow_ = drawn.CreateDropShadow(shadowDepth_, colour);
    }
    if (shadow_) {
        shadow_->gdiToken(image_->gdiToken());
        // Selected in its own DC from one paint to the next: a DC made for each paint costs 0.1 ms.
        shadow_->LoadDIBinDC(true);
    }
}

void aicAlphaImage::NoteContainer(HWND container)
{
    container_ = container;
    drawnContainer_ = rt::UserControl::FromWindow(container);
    containerBrush_ = container && GetClassLongPtrW(container, GCLP_HBRBACKGROUND) != 0;
}

// Where the picture has alpha the container shows through: a drawn container's backing bitmap
// as it stands, else what the container draws of itself, asked to draw into this DC.
void aicAlphaImage::PaintContainerBackground(HDC dc, int w, int h) const
{
    if (!container_)
        return;
    const POINT origin = placeInContainer_;
    if (drawnContainer_ && drawnContainer_->BackDC()) {
        BitBlt(dc, 0, 0, w, h, drawnContainer_->BackDC(), origin.x, origin.y, SRCCOPY);
        return;
    }
    // Where the container draws nothing the last paint must not show through.
    if (!containerBrush_) {
        const RECT all{0, 0, w, h};
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    }
    POINT was{};
    OffsetWindowOrgEx(dc, origin.x, origin.y, &was);
    SendMessageW(container_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageW(container_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    SetWindowOrgEx(dc, was.x, was.y, nullptr);
}

RECT aicAlphaImage::ShadowRect(int sw, int sh) const
{
    if (!ShadowEnabled())
        return RECT{};
    // A kept shadow is placed by its own size; one made on the fly by the picture's, and stands
    // out by its blur.
    const int blur = shadow_ ? 0 : 2 * std::clamp(shadowDepth_, 0, 10);
    const int w = shadow_ ? shadow_->Width() : image_->Width(), h = shadow_ ? shadow_->Height() : image_->Height();
    const Span x = PlacedSpan(shadowX_, sw, w, w + blur), y = PlacedSpan(shadowY_, sh, h, h + blur);
    return RECT{x.start, y.start, x.end, y.end};
}

void aicAlphaImage::Paint(HDC dc, int sw, int sh)
{
    PaintContainerBackground(dc, sw, sh);
    const int w = displayWidth_, h = displayHeight_;
    if (w < 0)
        return;
    RECT clip{};
    GetClipBox(dc, &clip);
    // Turned, the picture is drawn about the control's centre, whatever the image origin (which
    // a held display size keeps inside the control).
    const Span turnedX = CentredSpan(sw, rotationExtent_), turnedY = CentredSpan(sh, rotationExtent_);
    const RECT picture = RotateEnabled() ? RECT{turnedX.start, turnedY.start, turnedX.end, turnedY.end}
                                         : RECT{originX_, originY_, originX_ + w, originY_ + h};
    const RECT shadowArea = ShadowRect(sw, sh);
    RECT shown{}, shaded{};
    const bool pictureShown = IntersectRect(&shown, &picture, &clip) != FALSE;
    if (!pictureShown && (w == 0 || !IntersectRect(&shaded, &shadowArea, &clip)))
        return;
    const int l = shown.left, t = shown.top, cw = shown.right - shown.left, ch = shown.bottom - shown.top;
    // The picture stays selected in its own DC from one paint to the next.
    (cache_ ? cache_.get() : image_.get())->LoadDIBinDC(true);

    if (ShadowEnabled()) {
        const int opacity = shadowOpacity_ * opacity_ / 100;
        if (shadow_) // already turned with the picture when rotated
            shadow_->Render(
                dc, {.destX = shadowArea.left, .destY = shadowArea.top, .opacity = opacity, .setHalfTone = false});
        else
            image_->RenderDropShadow_JIT(dc, shadowArea.left, shadowArea.top, shadowDepth_, ResolveColor(shadowColor_),
                                         opacity);
    }
    if (!pictureShown)
        return; // a size of 0 below would mean the whole picture

    // Opacity, grey and light are painting's; the image offset may take any value.
    imaging::RenderRequest r{.opacity = opacity_, .grayScale = grayMode_, .light = intensity_};
    const std::int64_t ox = offsetX_, oy = offsetY_;
    if (cache_ || actualSize_) { // only the part shown, unscaled
        r.destX = l + ox, r.destY = t + oy, r.destWidth = r.srcWidth = cw, r.destHeight = r.srcHeight = ch;
        r.srcX = cache_ ? l : l - originX_, r.srcY = cache_ ? t : t - originY_;
    } else if (RotateEnabled()) { // about the middle of the control
        r.destX = ox + sw / 2, r.destY = oy + sh / 2, r.destWidth = w, r.destHeight = h;
        r.angle = static_cast<float>(rotation_), r.centerOnDestXY = true;
    } else {
        r.destX = originX_ + ox, r.destY = originY_ + oy, r.destWidth = w, r.destHeight = h;
    }
    (cache_ ? cache_.get() : image_.get())->Render(dc, r);
}

} // namespace aic
