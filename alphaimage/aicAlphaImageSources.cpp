// Every way a picture gets into the control and out of it: the loads (each into a fresh
// picture object, taken only on success), clearing, the pixels and file bytes, the size the
// picture is drawn at, and the steps the image source page calls.
#include "alphaimage/aicAlphaImage.h"

#include "alphaimage/core/ImageScales.h"

namespace aic {

std::shared_ptr<imaging::c32bppDIB> aicAlphaImage::NewImage() const
{
    auto fresh = std::make_shared<imaging::c32bppDIB>(image_->CapabilityFlags());
    fresh->isGDIplusEnabled(image_->isGDIplusEnabled());
    fresh->isAlphaBlendFriendly(image_->isAlphaBlendFriendly());
    fresh->HighQualityInterpolation(image_->HighQualityInterpolation());
    fresh->gdiToken(image_->gdiToken());
    // Every repaint draws from it: a memory DC made and freed for each draw would cost more than
    // the draw.
    fresh->ManageOwnDC(true);
    return fresh;
}

bool aicAlphaImage::HasRealPicture() const
{
    const int type = image_->ImageType();
    return type != imaging::imgBlank && type != imaging::imgNone && type != imaging::imgCheckerBoard;
}

void aicAlphaImage::ResolveWanted(IconWanted& wanted) const
{
    if (wanted.height < 1)
        wanted.height = ScaleHeight();
    if (wanted.width < 1)
        wanted.width = ScaleWidth();
    if (wanted.bitDepth < 1)
        wanted.bitDepth = 32;
}

bool aicAlphaImage::TakeLoaded(bool loaded, std::shared_ptr<imaging::c32bppDIB> fresh, bool keptAsBmp)
{
    if (!loaded || !fresh->Handle())
        return false;
    // A picture drawn in from a handle has no file of its own: its BMP bytes stand for one.
    std::vector<std::uint8_t> bmp;
    if (keptAsBmp && KeepOriginalFormat() && fresh->SaveToStream(bmp))
        fresh->SetSourceBytes(bmp);
    image_ = std::move(fresh);
    ApplyLoadedImage();
    return true;
}

void aicAlphaImage::ApplyLoadedImage()
{
    image_->MirrorImage((mirror_ & 1) != 0, (mirror_ & 2) != 0);
    if (maskApplied_) {
        if (image_->Alpha()) {
            // A picture with alpha of its own takes no mask.
            maskApplied_ = false;
            maskSource_ = 0;
            PropertyChanged(L"MaskUsed");
        } else {
            if (maskSource_ >= 2 && maskSource_ <= 5)
                maskInUse_ = CornerColor(*image_, maskSource_);
            ApplyMask();
        }
    }
    if (InversedImage())
        image_->MakeImageInverse();
    ApplySize();
}

bool aicAlphaImage::LoadImage_FromArray(std::span<const std::uint8_t> inStream, IconWanted& wanted)
{
    ResolveWanted(wanted);
    auto fresh = NewImage();
    const bool loaded =
        fresh->LoadPicture_Stream(inStream, wanted.width, wanted.height, 0, 0, KeepOriginalFormat(), wanted.bitDepth);
    return TakeLoaded(loaded, std::move(fresh), false);
}

bool aicAlphaImage::LoadImage_FromArray(std::span<const std::uint8_t> inStream, const IconWanted& wanted)
{
    IconWanted used = wanted;
    return LoadImage_FromArray(inStream, used);
}

bool aicAlphaImage::LoadImage_FromFile(const std::wstring& FileName, IconWanted& wanted)
{
    ResolveWanted(wanted);
    auto fresh = NewImage();
    const bool loaded =
        fresh->LoadPicture_File(FileName, wanted.width, wanted.height, KeepOriginalFormat(), wanted.bitDepth);
    return TakeLoaded(loaded, std::move(fresh), false);
}

bool aicAlphaImage::LoadImage_FromFile(const std::wstring& FileName, const IconWanted& wanted)
{
    IconWanted used = wanted;
    return LoadImage_FromFile(FileName, used);
}

bool aicAlphaImage::LoadImage_FromStdPicture(IPicture* stdPic)
{
    auto fresh = NewImage();
    const bool loaded = fresh->LoadPicture_StdPicture(stdPic);
    return TakeLoaded(loaded, std::move(fresh), true);
}

bool aicAlphaImage::LoadImage_FromClipboard()
{
    auto fresh = NewImage();
    const bool loaded = fresh->LoadPicture_ClipBoard();
    return TakeLoaded(loaded, std::move(fresh), true);
}

bool aicAlphaImage::LoadImage_FromHandle(HANDLE Handle)
{
    auto fresh = NewImage();
    const bool loaded = fresh->LoadPicture_ByHandle(Handle);
    return TakeLoaded(loaded, std::move(fresh), true);
}

bool aicAlphaImage::LoadImage_FromResource(HMODULE module, const imaging::ResourceSection& ResSection,
                                           const rt::ResourceName& ResID, IconWanted& wanted)
{
    ResolveWanted(wanted);
    auto fresh = NewImage();
    const bool loaded =
        fresh->LoadPicture_Resource(ResID, ResSection, module, wanted.width, wanted.height, 0, 0, wanted.bitDepth);
    return TakeLoaded(loaded, std::move(fresh), false);
}

bool aicAlphaImage::LoadImage_FromResource(HMODULE module, const imaging::ResourceSection& ResSection,
                                           const rt::ResourceName& ResID, const IconWanted& wanted)
{
    IconWanted used = wanted;
    return LoadImage_FromResource(module, ResSection, ResID, used);
}

bool aicAlphaImage::LoadImage_FromOrignalBytes(IconWanted& wanted)
{
    ResolveWanted(wanted);
    auto fresh = NewImage();
    fresh->SetSourceBytes(image_->SourceBytes());
    const bool loaded = fresh->LoadPicture_FromOrignalFormat(wanted.width, wanted.height, wanted.bitDepth);
    return TakeLoaded(loaded, std::move(fresh), false);
}

bool aicAlphaImage::LoadImage_FromOrignalBytes(const IconWanted& wanted)
{
    IconWanted used = wanted;
    return LoadImage_FromOrignalBytes(used);
}

void aicAlphaImage::ClearImage()
{
    if (props_ & kCacheActive)
        cache_.reset();
    image_->DestroyDIB();
    shadow_.reset();
    if (RunMode()) {
        UpdateHitRegion();
        Refresh();
        return;
    }
    // At design time an empty control shows a checkerboard, which is never stored.
    MakePlaceholder(displayWidth_, displayHeight_);
    ApplySize();
}

bool aicAlphaImage::GetImageBytes(imaging::PixelArray& imgBytes, int& scanWidth, bool asArray2D, bool asBGRformat,
                                  bool asBottomUp, bool asPreMultiplied, bool asFileFormat) const
{
    if (!HasRealPicture())
        return false;
    if (asFileFormat) {
        std::vector<std::uint8_t> bytes;
        const bool made = image_->GetOrginalFormat(bytes) || FileBytesOf(*image_, bytes);
        if (made) {
            const std::size_t size = bytes.size();
            imgBytes = {std::move(bytes), false, size, 1};
        }
        return made;
    }
    scanWidth = image_->scanWidth();
    return image_->GetDIBbits(imgBytes, asArray2D, asBGRformat, true, true, asBottomUp, 0, 0, 0, 0, asPreMultiplied);
}

bool aicAlphaImage::FileBytesOf(const imaging::c32bppDIB& image, std::vector<std::uint8_t>& bytes)
{
    // A picture that neither can encode is still kept, as BMP, rather than lost.
    if ((image.isGDIplusEnabled() || image.isZlibEnabled()) && image.SaveToStream_PNG(bytes))
        return true;
    return image.SaveToStream(bytes);
}

bool aicAlphaImage::SetImageBytes(std::span<const std::uint8_t> imgBytes, bool isBGRformat, bool isBottomUp)
{
    if (image_->ImageType() == imaging::imgNone ||
        !image_->SetDIBbits(imgBytes, isBGRformat, true, true, isBottomUp, 0, 0, 0, 0))
        return false;
    DerivedImageRefresh();
    return true;
}

void aicAlphaImage::GetImageScales(int& Width, int& Height, int ScaleMethod, int desiredWidth, int desiredHeight,
                                   bool asRotatedImage) const
{
    if (!image_->Handle())
        return;
    if (ScaleMethod < 0)
        ScaleMethod = scaleMethod_;
    else if (ScaleMethod > 4)
        ScaleMethod = 4;
    if (ScaleMethod == 4) {
        Width = displayWidth_, Height = displayHeight_;
        return;
    }
    if (desiredWidth < 1)
        desiredWidth = ScaleWidth();
    if (desiredHeight < 1)
        desiredHeight = ScaleHeight();
    const ScaledSize size =
        ScaleImage(image_->Width(), image_->Height(), ScaleMethod, desiredWidth, desiredHeight, asRotatedImage);
    Width = size.width, Height = size.height;
}

bool aicAlphaImage::GetSourceBytes(std::vector<std::uint8_t>& bytes) const
{
    return image_->ImageType() != imaging::imgCheckerBoard && image_->GetOrginalFormat(bytes);
}

void aicAlphaImage::LoadSourceStream(std::span<const std::uint8_t> bytes, int iconWidth, int iconHeight,
                                     int iconBitDepth)
{
    // The page keeps the source's bytes whatever KeepOriginalFormat says, and the control takes
    // the picture's own size.
    auto fresh = NewImage();
    if (!fresh->LoadPicture_Stream(bytes, iconWidth, iconHeight, 0, 0, true, iconBitDepth))
        return;
    image_ = std::move(fresh);
    const int method = scaleMethod_;
    const std::uint32_t autoSize = props_ & kAutoSize;
    props_ |= kAutoSize;
    scaleMethod_ = 3;
    ApplyLoadedImage();
    scaleMethod_ = method;
    props_ = (props_ & ~kAutoSize) | autoSize;
    PropertyChanged(L"ScaleMethod");
}

} // namespace aic
