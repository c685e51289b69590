// The control in the form's property bag: a new instance's settings, and every property with
// its key and default read and written, the picture itself under "Image". A stored value passes
// the rules a let applies; one out of range, or not a finite number, takes the key's default.
#include "alphaimage/aicAlphaImage.h"

#include "alphaimage/core/PropertyRules.h"
#include "imaging/CursorFile.h"

#include <climits>
#include <cstdint>

namespace aic {

namespace {

constexpr std::uint32_t kButtonFace = 0x8000000F;
constexpr std::uint32_t kShadowGrey = 0x404040;

int ReadInt(const rt::PropertyBag& bag, const wchar_t* key, int def, int min = INT_MIN, int max = INT_MAX)
{
    return static_cast<int>(bag.ReadInt(key, def, min, max));
}

// OLE colours are stored signed or unsigned: a system colour reads back either way.
std::uint32_t ReadColour(const rt::PropertyBag& bag, const wchar_t* key, std::uint32_t def)
{
    return static_cast<std::uint32_t>(bag.ReadInt(key, def, INT32_MIN, UINT32_MAX));
}

} // namespace

void aicAlphaImage::InitProperties()
{
    FindCrossComm();
    opacity_ = 100;
    grayMode_ = -1;
    scaleMethod_ = 0;
    maskColor_ = kButtonFace;
    props_ = kStretchQuality | kAutoSize;
    shadowColor_ = kShadowGrey;
    shadowDepth_ = 2;
    shadowX_ = 2;
    shadowY_ = 2;
    shadowOpacity_ = 50;
    hitTest_ = mirror_ = rotation_ = maskSource_ = 0;
    maskApplied_ = false;
    maskInUse_ = 0;
    intensity_ = 0;
    image_->HighQualityInterpolation(true);
    ResizeHandling();
}

void aicAlphaImage::ReadProperties(const rt::PropertyBag& bag)
{
    FindCrossComm();
    const rt::PropertyBag::Bytes imageBytes = bag.ReadBytes(L"Image");
    scaleMethod_ = ReadInt(bag, L"Scaler", 0);
    opacity_ = NormalOpacity(ReadInt(bag, L"Opacity", 100));
    mirror_ = ReadInt(bag, L"Mirror", 0, 0, 3);
    rotation_ = NormalRotation(ReadInt(bag, L"Angle", 0));
    grayMode_ = ReadInt(bag, L"GrayScale", -1, -1, 7);
    hitTest_ = ReadInt(bag, L"HitTest", 0, 0, 3);
    // The cache's bit is the run time's own.
    props_ = static_cast<std::uint32_t>(bag.ReadInt(L"Props", 1, INT32_MIN, UINT32_MAX)) & ~kCacheActive;
    maskApplied_ = bag.ReadBool(L"MaskUsed", false);
    maskColor_ = ReadColour(bag, L"MaskColor", kButtonFace);
    maskSource_ = ReadInt(bag, L"MaskSource", 0, 0, 5);
    if (maskApplied_)
        maskInUse_ = ReadColour(bag, L"Mask", kButtonFace);
    // The host's own Enabled: registration with the shared object is the let's.
    rt::UserControl::SetEnabled(bag.ReadBool(L"Enabled", true));
    ownMouseIcon_ = imaging::LoadCursorFromStream(bag.ReadBytes(L"MIcon"));
    mouseIcon_ = ownMouseIcon_.get();
    const int pointer = ReadInt(bag, L"MPointer", 0, INT16_MIN, INT16_MAX);
    mousePointer_ = (pointer >= 0 && pointer <= 15) || pointer == vbCustom ? pointer : 0;
    oleDropMode_ = ReadInt(bag, L"OLEdrop", 0, 0, 1);
    UpdateDropTarget();
    // A negative display width would mean a layout in progress, and nothing would be drawn.
    if (scaleMethod_ == 4) {
        displayWidth_ = ReadInt(bag, L"ScaleCx", 0, 0);
        displayHeight_ = ReadInt(bag, L"ScaleCy", 0, 0);
    }
    shadowColor_ = ReadColour(bag, L"ShadowColor", kShadowGrey);
    shadowDepth_ = ReadInt(bag, L"ShadowDepth", 2, 0, 10);
    shadowX_ = ReadInt(bag, L"ShadowX", 2);
    shadowY_ = ReadInt(bag, L"ShadowY", 2);
    shadowOpacity_ = ReadInt(bag, L"ShadowOpacity", 50, 0, 100);
    intensity_ = static_cast<float>(bag.ReadDouble(L"Intensity", 0, -100, 100));
    image_->HighQualityInterpolation(StretchQuality());

    // Design time keeps the source's bytes, so that a save stores the file as it was.
    auto fresh = NewImage();
    if (fresh->LoadPicture_Stream(imageBytes, ScaleWidth(), ScaleHeight(), 0, 0, !RunMode() || KeepOriginalFormat(),
                                  32)) {
        image_ = std::move(fresh);
        image_->MirrorImage((mirror_ & 1) != 0, (mirror_ & 2) != 0);
        if (maskApplied_)
            ApplyMask(); // the stored colour, not a corner picked again
        if (InversedImage())
            image_->MakeImageInverse();
        if (AutoRedraw() && RunMode()) {
            props_ |= kCacheActive;
            cache_.reset();
            if (!UpdateRenderCache(true, true))
                UpdateHitRegion();
        }
        if (ShadowEnabled())
            UpdateShadowImage();
    } else {
        if (scaleMethod_ == 4)
            scaleMethod_ = 0;
        props_ &= kStretchQuality | kKeepOriginal;
        rotation_ = 0;
        opacity_ = 100;
        mirror_ = 0;
        displayWidth_ = displayHeight_ = 0;
    }
    ResizeHandling();
}

void aicAlphaImage::WriteProperties(rt::PropertyBag& bag) const
{
    bag.WriteBytes(L"Image", StoredImageBytes());
    bag.WriteInt(L"Scaler", scaleMethod_, 0);
    bag.WriteInt(L"Opacity", opacity_, 100);
    bag.WriteInt(L"Mirror", mirror_, 0);
    bag.WriteInt(L"Angle", rotation_, 0);
    bag.WriteBool(L"Enabled", Enabled(), true);
    bag.WriteInt(L"MPointer", static_cast<std::int16_t>(mousePointer_), 0);
    bag.WriteInt(L"OLEdrop", static_cast<std::int16_t>(oleDropMode_), 0);
    std::vector<std::uint8_t> icon;
    if (mouseIcon_)
        imaging::SaveCursorToStream(mouseIcon_, icon);
    bag.WriteBytes(L"MIcon", icon);
    bag.WriteInt(L"GrayScale", grayMode_, -1);
    bag.WriteInt(L"HitTest", hitTest_, 0);
    bag.WriteInt(L"Props", props_ & ~kCacheActive, 1);
    bag.WriteBool(L"MaskUsed", maskApplied_, false);
    bag.WriteInt(L"MaskColor", maskColor_, kButtonFace);
    bag.WriteInt(L"MaskSource", maskSource_, 0);
    if (maskApplied_)
        bag.WriteInt(L"Mask", maskInUse_, kButtonFace);
    bag.WriteInt(L"ShadowColor", shadowColor_, kShadowGrey);
    bag.WriteInt(L"ShadowDepth", shadowDepth_, 2);
    bag.WriteInt(L"ShadowX", shadowX_, 2);
    bag.WriteInt(L"ShadowY", shadowY_, 2);
    bag.WriteInt(L"ShadowOpacity", shadowOpacity_, 50);
    bag.WriteDouble(L"Intensity", intensity_, 0);
    if (scaleMethod_ == 4) {
        bag.WriteInt(L"ScaleCx", displayWidth_, 0);
        bag.WriteInt(L"ScaleCy", displayHeight_, 0);
    }
}

std::vector<std::uint8_t> aicAlphaImage::StoredImageBytes() const
{
    std::vector<std::uint8_t> bytes;
    if (!HasRealPicture())
        return bytes;
    const int type = image_->ImageType();
    const bool drawnIn = type == imaging::imgBitmap || type == imaging::imgBitmapStraightAlpha ||
                         type == imaging::imgBitmapPremultiplied;
    if (!drawnIn && image_->GetOrginalFormat(bytes))
        return bytes; // mirror, mask and inversion are applied again at load
    // The picture itself, as loaded: the three effects are undone on a copy, so the control
    // keeps showing them.
    const auto copy = image_->CopyImageTo(0, 0, false);
    if (!copy)
        return bytes;
    ApplyMirrorChange(*copy, 0);
    if (maskApplied_)
        UndoMask(*copy);
    if (InversedImage())
        copy->MakeImageInverse();
    FileBytesOf(*copy, bytes);
    return bytes;
}

} // namespace aic
