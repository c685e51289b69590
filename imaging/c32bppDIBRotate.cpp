// Rotated drawing: GDI+ turns the picture about the destination's centre; without it, the
// picture is turned into a transparent square that is then drawn unrotated, centred there.
#include "imaging/c32bppDIB.h"

#include "imaging/DibPixels.h"
#include "imaging/cGDIPlus.h"
#include "imaging/core/Rotate.h"

#include <climits>

namespace imaging {

bool c32bppDIB::RenderRotated(HDC destinationDC, float Angle, int destX, int destY, int destWidth, int destHeight,
                              int SrcX, int SrcY, int srcWidth, int srcHeight, int opacity, c32bppDIB* destHostDIB,
                              int grayScale, float LightAdjustment)
{
    if (!dib_)
        return false;
    // GDI+ failing falls through to the own rotation.
    if (isGDIplusEnabled() &&
        cGDIPlus().RenderThroughGDIplus(*this, destinationDC, Angle, opacity, destX, destY, destWidth, destHeight,
                                        SrcX, SrcY, srcWidth, srcHeight, highQuality_, grayScale, gdiToken_,
                                        LightAdjustment))
        return true;

    // A mirrored size reaches back from its corner.
    std::int64_t left = destX, top = destY;
    if (destWidth < 0)
        left += destWidth;
    if (destHeight < 0)
        top += destHeight;

    c32bppDIB working;
    const bool mirror = destWidth < 1 || destHeight < 1;
    if (mirror && !MirrorForRender(SrcX, SrcY, srcWidth, srcHeight, destWidth, destHeight, working, nullptr,
                                   LightAdjustment))
        return false;
    if (!mirror && LightAdjustment != 0) {
        AdjustLightness(this, LightAdjustment, working);
        if (!working.dib_)
            return false;
    }
    const c32bppDIB& source = working.dib_ ? working : *this;
    const auto pixels = PixelsOf(source);
    if (!pixels || srcWidth < 1 || srcHeight < 1)
        return false;
    // The window's rows counted from the bottom, as they lie in memory.
    const RotationWindow window{SrcX, source.height_ - srcHeight - SrcY, srcWidth, srcHeight};

    const std::int64_t side = RotationSquareSide(destWidth, destHeight);
    c32bppDIB square(flags_);
    if (side < 1 || !square.InitializeDIB(side, side))
        return false;
    square.isGDIplusEnabled(isGDIplusEnabled());
    square.highQuality_ = highQuality_;
    square.gdiToken_ = gdiToken_;
    const auto into = PixelsOf(square);
    GdiFlush();
    if (!into || !RotateIntoSquare(*pixels, window, destWidth, destHeight, WholeDegrees(Angle), highQuality_, *into))
        return false;

    left += destWidth / 2 - side / 2;
    top += destHeight / 2 - side / 2;
    if (left < INT_MIN || left > INT_MAX || top < INT_MIN || top > INT_MAX)
        return false;
    return square.Render(destinationDC, static_cast<int>(left), static_cast<int>(top), 0, 0, 0, 0, 0, 0, opacity, true,
                         destHostDIB == nullptr, destHostDIB, grayScale, 0, 0, false);
}

} // namespace imaging
