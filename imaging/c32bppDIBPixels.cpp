// Pixels out of and into the bitmap object: one pixel, rectangles in the callers' layouts, the
// BMP bytes, and copies into another object.
#include "imaging/DibPixels.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

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
    try {
        out.bytes.assign(rowLength * static_cast<std::size_t>(rect->height), 0);
    } catch (const std::bad_alloc&) {
        outStream = PixelArray(); // a failure leaves no output
        return false;
    }
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

void c32bppDIB::CopyImageTo(c32bppDIB& target, int newWidth, int newHeight, bool CopyOriginalFormat)
{
    if (!dib_)
        return;
    if (&target == this) {
        // Into itself: the new picture is made apart, as resizing would drop the pixels it reads.
        const std::unique_ptr<c32bppDIB> copy = CopyImageTo(newWidth, newHeight, false);
        if (copy) {
            std::vector<std::uint8_t> source = std::move(sourceBytes_);
            copy->CopyImageTo(*this, 0, 0, false);
            sourceBytes_ = std::move(source);
        }
        return;
    }
    const std::int64_t w = newWidth == 0 ? width_ : newWidth, h = newHeight == 0 ? height_ : newHeight;
    const std::int64_t width = std::llabs(w), height = std::llabs(h);
    target.gdiToken_ = gdiToken_;
    if (target.width_ != width || target.height_ != height || !target.dib_) {
        if (!target.InitializeDIB(width, height))
            return;
    } else {
        // A target of the right size already holds a picture, which the draws below would blend over.
        target.EraseDIB();
    }
    target.alpha_ = alpha_;
    target.imageType_ = imageType_;
    if (CopyOriginalFormat)
        target.SetSourceBytes(sourceBytes_);
    GdiFlush();
    if (w == width_ && h == height_) {
        std::memcpy(target.bits_, bits_, static_cast<std::size_t>(scanWidth()) * static_cast<std::size_t>(height_));
        return;
    }

    // AlphaBlend of Windows 98 and ME stretches badly: not for copies.
    const bool win9xBlend = (flags_ & capWin9x) && (flags_ & capUseAlphaBlend);
    if (win9xBlend)
        flags_ &= ~std::uint32_t{capUseAlphaBlend};
    const int signedWidth = static_cast<int>(w), signedHeight = static_cast<int>(h);
    bool drawn = false;
    if (isGDIplusEnabled() && !(isAlphaBlendFriendly() && !highQuality_)) {
        const bool targetSelected = target.prevBitmap_ != nullptr, selfSelected = prevBitmap_ != nullptr;
        HDC dc = target.LoadDIBinDC(true);
        if (dc && LoadDIBinDC(true))
            drawn = cGDIPlus().RenderThroughGDIplus(*this, dc, 0, 100, 0, 0, signedWidth, signedHeight, 0, 0, width_,
                                                    height_, highQuality_, -1, gdiToken_, 0);
        if (!selfSelected)
            LoadDIBinDC(false);
        if (!targetSelected)
            target.LoadDIBinDC(false);
    }
    // When GDI+ cannot, the own pipeline makes the copy.
    if (!drawn) {
        int srcX = 0, srcY = 0, dw = signedWidth, dh = signedHeight;
        float light = 0;
        std::optional<Scaler> unused;
        const PixelRect whole{0, 0, target.width_, target.height_};
        if (w < 0 || h < 0) {
            if (width == width_ && height == height_) {
                c32bppDIB none;
                MirrorForRender(srcX, srcY, width_, height_, dw, dh, none, &target, light);
            } else {
                // The mirror writes at the picture's own size; the scaler brings it to the target's.
                c32bppDIB mirrored;
                if (MirrorForRender(srcX, srcY, width_, height_, dw, dh, mirrored, nullptr, light))
                    ResampleToSize(unused, mirrored, &target, 0, 0, 0, 0, whole, dw, dh, light);
            }
        } else if (!isAlphaBlendFriendly() || highQuality_) {
            ResampleToSize(unused, c32bppDIB(), &target, 0, 0, 0, 0, whole, dw, dh, light);
        } else {
            Render(nullptr, 0, 0, signedWidth, signedHeight, 0, 0, 0, 0, 100, true, false, &target, -1, 0, 0, false);
        }
    }
    if (win9xBlend)
        flags_ |= capUseAlphaBlend;
}

std::unique_ptr<c32bppDIB> c32bppDIB::CopyImageTo(int newWidth, int newHeight, bool CopyOriginalFormat)
{
    if (!dib_)
        return nullptr;
    auto copy = std::make_unique<c32bppDIB>(flags_);
    copy->isGDIplusEnabled(isGDIplusEnabled());
    copy->highQuality_ = highQuality_;
    CopyImageTo(*copy, newWidth, newHeight, CopyOriginalFormat);
    if (!copy->dib_)
        return nullptr;
    return copy;
}

bool c32bppDIB::SaveToStream(std::vector<std::uint8_t>& outStream) const
{
    const auto view = PixelsOf(*this);
    if (!view)
        return false;
    // The caller's bytes go first, leaving their memory to the new ones; a failure leaves none.
    std::vector<std::uint8_t>().swap(outStream);
    try {
        outStream = BmpFileBytes(*view, alpha_);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) { // past what a 32-bit process can index
        return false;
    }
    return !outStream.empty();
}

} // namespace imaging
