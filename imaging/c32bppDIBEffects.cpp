// Effects the image control applies after loading: inversion, a colour made transparent, mirroring.
#include "imaging/c32bppDIB.h"

#include "imaging/DibPixels.h"
#include "imaging/core/Effects.h"

namespace imaging {

bool c32bppDIB::MakeImageInverse()
{
    const auto pixels = PixelsOf(*this);
    if (!pixels)
        return false;
    GdiFlush();
    InvertColours(*pixels);
    return true;
}

bool c32bppDIB::MakeTransparent(std::uint32_t TransparentColor, bool revert)
{
    const auto pixels = PixelsOf(*this);
    if (!pixels)
        return false;
    const std::uint8_t key[4] = {static_cast<std::uint8_t>(TransparentColor >> 16),
                                 static_cast<std::uint8_t>(TransparentColor >> 8),
                                 static_cast<std::uint8_t>(TransparentColor), 255};
    GdiFlush();
    if (!revert) {
        if (ClearPixelsOf(*pixels, key)) {
            alpha_ = true;
            if (imageType_ == imgBitmap)
                imageType_ = imgBitmapPremultiplied;
        }
        return true;
    }
    FillClearPixels(*pixels, key);
    alpha_ = AnalyseAlphaChannel(*pixels, false, imgBlank).hasAlpha;
    if (!alpha_ && (imageType_ == imgBitmapStraightAlpha || imageType_ == imgBitmapPremultiplied))
        imageType_ = imgBitmap;
    return true;
}

bool c32bppDIB::MirrorImage(bool MirrorAxisX, bool MirrorAxisY)
{
    const auto pixels = PixelsOf(*this);
    if (!pixels || (!MirrorAxisX && !MirrorAxisY))
        return false;
    GdiFlush();
    MirrorInPlace(*pixels, MirrorAxisX, MirrorAxisY);
    return true;
}

} // namespace imaging
