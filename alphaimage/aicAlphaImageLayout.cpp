// Where the picture goes in the control and how it is drawn there: the display size and
// origin, AutoSize, the render cache and the shadow image, painting through the engine's
// Render, and the small pixel steps the properties share (undoing a mask, a change of mirror).
#include "alphaimage/aicAlphaImage.h"

#include "alphaimage/core/ImageScales.h"
#include "runtime/Form.h"

#include <algorithm>

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
    const int sw = ScaleWidth(), sh = ScaleHeight();
    ResizeHandling();
    // A control whose size changed was repainted by the resize.
    if (sw == ScaleWidth() && sh == ScaleHeight())
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
        // The cache holds the picture at full opacity, without grey and light, which painting
        // adds; the image offset too is painting's.
        if (HDC dc = cache_->LoadDIBinDC(true)) {
            const int w = displayWidth_, h = displayHeight_;
            if (RotateEnabled()) {
                cache_->SetAlphaState(true);
                image_->Render(dc, cache_->Width() / 2, cache_->Height() / 2, w, h, 0, 0, 0, 0, 100, true, true,
                               cache_.get(), -1, 0, static_cast<float>(rotation_), true);
            } else {
                // Margins the picture leaves uncovered are transparent, whatever the picture's own alpha.
                const bool covers = originX_ <= 0 && originY_ <= 0 && originX_ + w >= cache_->Width() &&
                                    originY_ + h >= cache_->Height();
                cache_->SetAlphaState(image_->Alpha() || !covers);
                image_->Render(dc, originX_, originY_, w, h, 0, 0, 0, 0, 100, true, false, cache_.get(), -1, 0, 0,
                               false);
            }
        }
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
    if (actualSize_ && !RotateEnabled() && image_->Height() <= kShadowKeptAbove && image_->Width() <= kShadowKeptAbove) {
        shadow_.reset(); // painting makes it on the fly
    } else if (cache_) {
        shadow_ = cache_->CreateDropShadow(shadowDepth_, colour);
    } else if (RotateEnabled()) {
        const auto scaled = image_->CopyImageTo(w, h, false);
        shadow_ = scaled ? scaled->CreateDropShadow(shadowDepth_, colour) : nullptr;
    } else {
        imaging::c32bppDIB drawn(image_->CapabilityFlags());
        drawn.gdiToken(image_->gdiToken());
        if (drawn.InitializeDIB(w, h))
            image_->Render(nullptr, 0, 0, w, h, 0, 0, 0, 0, 100, true, true, &drawn, -1, 0, 0, false);
        shadow_ = drawn.CreateDropShadow(shadowDepth_, colour);
    }
    if (shadow_) {
        shadow_->gdiToken(image_->gdiToken());
        // Selected in its own DC from one paint to the next: a DC made for each paint costs 0.1 ms.
        shadow_->LoadDIBinDC(true);
    }
}

// Where the picture has alpha the container shows through: a drawn container's backing bitmap,
// else the container's class background.
void aicAlphaImage::PaintContainerBackground(HDC dc, int w, int h) const
{
    HWND container = GetParent(hWnd());
    wchar_t cls[64] = {};
    if (container && GetClassNameW(container, cls, 64) && std::wstring(cls) == L"VantorelUserControl") {
        auto* window = reinterpret_cast<rt::Window*>(GetWindowLongPtrW(container, GWLP_USERDATA));
        auto* drawn = dynamic_cast<rt::UserControl*>(window);
        if (drawn && drawn->BackDC()) {
            POINT origin{0, 0};
            MapWindowPoints(hWnd(), container, &origin, 1);
            BitBlt(dc, 0, 0, w, h, drawn->BackDC(), origin.x, origin.y, SRCCOPY);
            return;
        }
    }
    RECT all{0, 0, w, h};
    auto brush = container ? reinterpret_cast<HBRUSH>(GetClassLongPtrW(container, GCLP_HBRBACKGROUND)) : nullptr;
    FillRect(dc, &all, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
}

void aicAlphaImage::Paint(HDC dc, int sw, int sh)
{
    PaintContainerBackground(dc, sw, sh);
    const int w = displayWidth_, h = displayHeight_;
    if (w < 0)
        return;
    RECT clip{};
    GetClipBox(dc, &clip);
    const RECT picture = RotateEnabled() ? RECT{originX_, originY_, originX_ + rotationExtent_, originY_ + rotationExtent_}
                                         : RECT{originX_, originY_, originX_ + w, originY_ + h};
    RECT shown{};
    if (!IntersectRect(&shown, &picture, &clip))
        return; // nor its shadow
    const int l = shown.left, t = shown.top, cw = shown.right - shown.left, ch = shown.bottom - shown.top;
    const float angle = static_cast<float>(rotation_);
    // The picture stays selected in its own DC from one paint to the next.
    (cache_ ? cache_.get() : image_.get())->LoadDIBinDC(true);

    if (ShadowEnabled()) {
        const int opacity = shadowOpacity_ * opacity_ / 100;
        if (!shadow_) {
            image_->RenderDropShadow_JIT(dc, shadowX_ + (sw - image_->Width()) / 2, shadowY_ + (sh - image_->Height()) / 2,
                                         shadowDepth_, ResolveColor(shadowColor_), opacity);
        } else if (RotateEnabled()) {
            shadow_->Render(dc, shadowX_ + sw / 2, shadowY_ + sh / 2, w, h, 0, 0, 0, 0, opacity, true, true, nullptr,
                            grayMode_, 0, angle, true);
        } else {
            shadow_->Render(dc, shadowX_ + (sw - shadow_->Width()) / 2, shadowY_ + (sh - shadow_->Height()) / 2, 0, 0,
                            0, 0, 0, 0, opacity, true, false, nullptr, -1, 0, 0, false);
        }
    }

    if (cache_) {
        cache_->Render(dc, l + offsetX_, t + offsetY_, cw, ch, l, t, cw, ch, opacity_, true, true, nullptr, grayMode_,
                       intensity_, 0, false);
    } else if (RotateEnabled()) {
        image_->Render(dc, offsetX_ + sw / 2, offsetY_ + sh / 2, w, h, 0, 0, 0, 0, opacity_, true, true, nullptr,
                       grayMode_, intensity_, angle, true);
    } else if (actualSize_) {
        image_->Render(dc, l + offsetX_, t + offsetY_, cw, ch, l - originX_, t - originY_, cw, ch, opacity_, true, true,
                       nullptr, grayMode_, intensity_, 0, false);
    } else {
        image_->Render(dc, originX_ + offsetX_, originY_ + offsetY_, w, h, 0, 0, 0, 0, opacity_, true, true, nullptr,
                       grayMode_, intensity_, 0, false);
    }
}

} // namespace aic
