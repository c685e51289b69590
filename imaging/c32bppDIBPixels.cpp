// Pixels out of and into the bitmap object: one pixel, rectangles in the callers' layouts, the
// BMP bytes, and copies into another object.
#include "imaging/DibPixels.h"
#include "imaging/c32bppDIB.h"

namespace imaging {

std::uint32_t c32bppDIB::GetPixel(int X, int Y, std::uint8_t* AlphaValue, bool asPreMultiplied) const
{
    if (AlphaValue)
        *AlphaValue = 0;
    const auto view = PixelsOf(*this);
    if (!view || X < 0 || Y < 0 || X >= width_ || Y >= height_)
        return 0xFFFFFFFFu;
    const std::span<const std::uint8_t, 4> pixel(view->RowFromTop(Y).data() + std::size_t(X) * 4, 4);
    if (AlphaValue)
        *AlphaValue = pixel[3];
    return PixelColour(pixel, asPreMultiplied);
}

bool c32bppDIB::GetDIBbits(PixelArray& outStream, bool as2dArray, bool asBGRformat, bool as32bpp,
                           bool asWordAligned, bool asBottomUp, int X, int Y, int Width, int Height,
                           bool asPreMultiplied) const
{
    const auto view = PixelsOf(*this);
    if (!view)
        return false;
    const auto rect = ClipToPicture(width_, height_, X, Y, Width, Height);
    if (!rect)
        return false;
    const PixelLayout layout{asBGRformat, as32bpp, asWordAligned, asBottomUp};
    const auto rowLength = static_cast<std::size_t>(LayoutRowBytes(layout, rect->width));
    PixelArray out;
    out.bytes.assign(rowLength * static_cast<std::size_t>(rect->height), 0);
    out.twoDimensional = as2dArray;
    out.rowLength = rowLength;
    out.rows = static_cast<std::size_t>(rect->height);
    if (!ExportPixels(*view, *rect, layout, asPreMultiplied, out.bytes))
        return false;
    outStream = std::move(out);
    return true;
}

bool c32bppDIB::SetDIBbits(std::span<const std::uint8_t> inStream, bool isBGRformat, bool is32bpp,
                           bool isWordAligned, bool isBottomUp, int dstX, int dstY, int dstWidth, int dstHeight)
{
    const auto view = PixelsOf(*this);
    if (!view || inStream.empty())
        return false;
    const auto rect = ClipToPicture(width_, height_, dstX, dstY, dstWidth, dstHeight);
    if (!rect)
        return false;
    const PixelLayout layout{isBGRformat, is32bpp, isWordAligned, isBottomUp};
    // The array must hold the picture's full height of rows, also for a shorter rectangle.
    const auto rowLength = static_cast<std::uint64_t>(LayoutRowBytes(layout, rect->width));
    if (inStream.size() / rowLength < static_cast<std::uint64_t>(height_))
        return false;
    if (!ImportPixels(inStream, layout, *view, *rect))
        return false;
    alpha_ = AnalyseAlphaChannel(*view, true, imgBlank).hasAlpha;
    return true;
}

bool c32bppDIB::SaveToStream(std::vector<std::uint8_t>& outStream) const
{
    const auto view = PixelsOf(*this);
    if (!view)
        return false;
    outStream = BmpFileBytes(*view, alpha_);
    return !outStream.empty();
}

} // namespace imaging
