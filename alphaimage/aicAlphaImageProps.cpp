// The control's properties: what each let accepts, what a change does to the picture and its
// derived images, and the name it announces to the host.
#include "alphaimage/aicAlphaImage.h"

#include "alphaimage/cCrossComm.h"
#include "alphaimage/core/PropertyRules.h"

#include <cmath>

namespace aic {

void aicAlphaImage::SetAutoRedraw(bool value)
{
    if (value == AutoRedraw())
        return;
    props_ ^= kAutoRedraw;
    // The cache is made by the next refresh or resize.
    if (RunMode()) {
        props_ = value ? props_ | kCacheActive : props_ & ~kCacheActive;
        if (!value)
            cache_.reset();
    }
    PropertyChanged(L"AutoRedraw");
}

void aicAlphaImage::SetHitTest(int value)
{
    if (value < 0 || value > 3 || value == hitTest_)
        return;
    hitTest_ = value;
    UpdateHitRegion();
    PropertyChanged(L"HitTest");
}

void aicAlphaImage::SetMaskColor(std::uint32_t value)
{
    if (maskApplied_ && maskSource_ == 1) {
        UndoMask(*image_);
        const std::uint32_t colour = ResolveColor(value) ^ (InversedImage() ? 0xFFFFFFu : 0u);
        image_->MakeTransparent(colour, false);
        maskInUse_ = value;
        DerivedImageRefresh();
    }
    maskColor_ = value;
    PropertyChanged(L"MaskColor");
}

void aicAlphaImage::SetMaskUsed(int value)
{
    // A mask is for a picture without alpha of its own (or one whose alpha is the mask).
    if ((image_->Alpha() && !maskApplied_) || value < 0 || value > 5 || value == maskSource_ ||
        image_->ImageType() == imaging::imgCheckerBoard)
        return;
    if (maskApplied_)
        UndoMask(*image_);
    maskApplied_ = value != 0;
    if (maskApplied_) {
        // The colour in use is always that of the picture without inversion; a pixel picked
        // from an inverted picture is inverted back for it.
        const bool inverted = InversedImage();
        std::uint32_t transparent = 0;
        if (value == 1) {
            maskInUse_ = maskColor_;
            transparent = ResolveColor(maskColor_) ^ (inverted ? 0xFFFFFFu : 0u);
        } else {
            const std::uint32_t picked = CornerColor(*image_, value);
            maskInUse_ = inverted ? picked ^ 0xFFFFFFu : picked;
            transparent = inverted ? picked : ResolveColor(picked);
        }
        image_->MakeTransparent(transparent, false);
    }
    DerivedImageRefresh();
    maskSource_ = value;
    PropertyChanged(L"MaskUsed");
}

void aicAlphaImage::SetInversedImage(bool value)
{
    if (value == InversedImage())
        return;
    props_ ^= kInversed;
    image_->MakeImageInverse();
    PropertyChanged(L"InversedImage");
    // The hit region stays: inversion changes no alpha.
    UpdateRenderCache(false, false);
    Refresh();
}

void aicAlphaImage::SetAutoSize(bool value)
{
    if (value == AutoSize())
        return;
    props_ ^= kAutoSize;
    ApplySize();
    PropertyChanged(L"AutoSize");
}

void aicAlphaImage::SetScaleMethod(int value)
{
    if (value == scaleMethod_)
        return;
    scaleMethod_ = value;
    ApplySize();
    PropertyChanged(L"ScaleMethod");
}

void aicAlphaImage::SetStretchQuality(bool value)
{
    if (value == StretchQuality())
        return;
    props_ ^= kStretchQuality;
    image_->HighQualityInterpolation(value);
    Refresh();
    PropertyChanged(L"StretchQuality");
}

void aicAlphaImage::SetOpacity(int value)
{
    opacity_ = NormalOpacity(value);
    PropertyChanged(L"Opacity");
    Refresh();
}

void aicAlphaImage::SetMirror(int value)
{
    if (value < 0 || value > 3)
        return;
    ApplyMirrorChange(*image_, value);
    mirror_ = value;
    DerivedImageRefresh();
    PropertyChanged(L"Mirror");
}

void aicAlphaImage::SetKeepOriginalFormat(bool value)
{
    if (value == KeepOriginalFormat())
        return;
    props_ ^= kKeepOriginal;
    PropertyChanged(L"KeepOriginalFormat");
}

void aicAlphaImage::SetGrayScale(int value)
{
    if (value < 0 || value > 8 || value == grayMode_ + 1)
        return;
    grayMode_ = value - 1;
    Refresh();
    PropertyChanged(L"GrayScale");
}

void aicAlphaImage::SetRotateEnabled(bool value)
{
    if (value == RotateEnabled())
        return;
    props_ ^= kRotate;
    ApplySize();
    PropertyChanged(L"RotateEnabled");
}

void aicAlphaImage::SetRotation(int value)
{
    const int angle = NormalRotation(value);
    if (angle == rotation_)
        return;
    rotation_ = angle;
    // Kept silently while rotation is off.
    if (RotateEnabled()) {
        DerivedImageRefresh();
        PropertyChanged(L"Rotation");
    }
}

void aicAlphaImage::SetEnabled(bool enabled)
{
    if (enabled == Enabled())
        return;
    rt::UserControl::SetEnabled(enabled);
    if (RunMode()) {
        if (crossComm_) {
            if (enabled)
                crossComm_->AddRef(this);
            else
                crossComm_->RemoveRef(this);
        }
        UpdateHitRegion();
    }
    PropertyChanged(L"Enabled");
}

void aicAlphaImage::SetShadowEnabled(bool value)
{
    if (value == ShadowEnabled())
        return;
    props_ ^= kShadow;
    UpdateShadowImage();
    PropertyChanged(L"ShadowEnabled");
    Refresh();
}

void aicAlphaImage::SetShadowColor(std::uint32_t value)
{
    if (value == shadowColor_)
        return;
    shadowColor_ = value;
    UpdateShadowImage();
    PropertyChanged(L"ShadowColor");
    Refresh();
}

void aicAlphaImage::SetShadowOffsetX(int value)
{
    if (value == shadowX_)
        return;
    shadowX_ = value;
    if (ShadowEnabled())
        Refresh();
    PropertyChanged(L"ShadowOffsetX");
}

void aicAlphaImage::SetShadowOffsetY(int value)
{
    if (value == shadowY_)
        return;
    shadowY_ = value;
    if (ShadowEnabled())
        Refresh();
    PropertyChanged(L"ShadowOffsetY");
}

void aicAlphaImage::SetShadowDepth(int value)
{
    if (value < 0 || value > 10 || value == shadowDepth_)
        return;
    shadowDepth_ = value;
    UpdateShadowImage();
    PropertyChanged(L"ShadowDepth");
    Refresh();
}

void aicAlphaImage::SetShadowOpacity(int value)
{
    if (value < 0 || value > 100 || value == shadowOpacity_)
        return;
    shadowOpacity_ = value;
    if (ShadowEnabled())
        Refresh();
    PropertyChanged(L"ShadowOpacity");
}

void aicAlphaImage::SetMousePointer(int value)
{
    // The user control takes the standard pointers and the custom one; it refuses any other.
    if ((value >= 0 && value <= 15) || value == vbCustom)
        mousePointer_ = value;
    PropertyChanged(L"MousePointer");
}

void aicAlphaImage::SetMouseIcon(HCURSOR cursor)
{
    if (cursor != ownMouseIcon_.get())
        ownMouseIcon_.reset();
    mouseIcon_ = cursor;
    PropertyChanged(L"MouseIcon");
}

void aicAlphaImage::SetOLEDropMode(int value)
{
    // A user control is an OLE drop target by hand (1) or not at all (0).
    if (value == 0 || value == 1)
        oleDropMode_ = value;
    UpdateDropTarget();
    PropertyChanged(L"OLEDropMode");
}

void aicAlphaImage::SetIntensityOffset(float value)
{
    if (!(value >= -100 && value <= 100) || value == intensity_)
        return;
    intensity_ = value;
    PropertyChanged(L"IntensityOffset");
    Refresh();
}

int aicAlphaImage::ImageType() const
{
    if (!HasRealPicture())
        return 0;
    if (KeepOriginalFormat())
        return image_->ImageType();
    if (image_->isGDIplusEnabled() || image_->isZlibEnabled())
        return imaging::imgPNG;
    return image_->Alpha() ? imaging::imgBitmapPremultiplied : imaging::imgBitmap;
}

void aicAlphaImage::OffsetShadow(int X, int Y)
{
    shadowX_ = X;
    shadowY_ = Y;
    if (ShadowEnabled())
        Refresh();
}

void aicAlphaImage::OffsetImage(bool SetOffsets, int& X, int& Y, int& ShadowX, int& ShadowY)
{
    if (!SetOffsets) {
        X = offsetX_, Y = offsetY_, ShadowX = shadowX_, ShadowY = shadowY_;
        return;
    }
    offsetX_ = X, offsetY_ = Y;
    if (ShadowX != 0)
        shadowX_ = ShadowX;
    if (ShadowY != 0)
        shadowY_ = ShadowY;
    // What is hit moves with the picture, by as far as the picture moved.
    UpdateHitRegion();
    Refresh();
}

} // namespace aic
