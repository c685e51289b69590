// Rotated drawing: GDI+ turns the picture about the destination's centre.
#include "imaging/c32bppDIB.h"

#include "imaging/cGDIPlus.h"

namespace imaging {

bool c32bppDIB::RenderRotated(HDC destinationDC, float Angle, int destX, int destY, int destWidth, int destHeight,
                              int SrcX, int SrcY, int srcWidth, int srcHeight, int opacity, c32bppDIB* /*destHostDIB*/,
                              int grayScale, float LightAdjustment)
{
    if (!isGDIplusEnabled())
        return false;
    return cGDIPlus().RenderThroughGDIplus(*this, destinationDC, Angle, opacity, destX, destY, destWidth, destHeight,
                                           SrcX, SrcY, srcWidth, srcHeight, highQuality_, grayScale, gdiToken_,
                                           LightAdjustment);
}

} // namespace imaging
