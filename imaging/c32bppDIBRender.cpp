// Render, the one drawing entry, and the own pipeline behind it: mirror, scale, blend.
#include "imaging/c32bppDIB.h"

#include "imaging/DibPixels.h"
#include "imaging/cGDIPlus.h"
#include "imaging/core/Effects.h"
#include "imaging/core/Lightness.h"
#include "imaging/core/RenderPlan.h"
#include "runtime/Handles.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace imaging {

namespace {

// The host's pixels, or the DC's clip box; none when the DC has no clip box.
std::optional<PixelRect> TargetBounds(HDC dc, const c32bppDIB* host)
{
    if (host)
        return PixelRect{0, 0, host->Width(), host->Height()};
    RECT box{};
    if (GetClipBox(dc, &box) == ERROR)
        return std::nullopt;
    return PixelRect{box.left, box.top, box.right - box.left, box.bottom - box.top};
}

// The 24-bit DIB section, selected into a screen-compatible memory DC, that a blend onto a DC
// works in, in its top-left corner. A fresh one costs more than the blend itself under Wine,
// whose new pages are slow to touch, so one of up to kKeptPixels stays for the next draw (one
// surface: the engine draws on the user-interface thread only); larger draws make their own.
struct BlendSurface {
    static constexpr std::int64_t kKeptPixels = 1 << 20;

    BlendSurface() = default;
    BlendSurface(const BlendSurface&) = delete;
    BlendSurface& operator=(const BlendSurface&) = delete;
    ~BlendSurface() { Release(); }

    void Release()
    {
        if (previous)
            SelectObject(dc.get(), previous);
        previous = nullptr;
        bitmap.reset();
        dc.reset();
        bits = nullptr;
        width = height = 0;
    }
    bool Reserve(int w, int h)
    {
        if (dc && w <= width && h <= height)
            return true;
        // Grows to hold both the old and the new size, unless that passes what is kept.
        int newWidth = std::max(w, width), newHeight = std::max(h, height);
        if (std::int64_t{newWidth} * newHeight > kKeptPixels)
            newWidth = w, newHeight = h;
        Release();
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), newWidth, newHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        dc.reset(CreateCompatibleDC(nullptr));
        bitmap = rt::Gdi<HBITMAP>(dc ? CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr);
        if (!bitmap || !bits) {
            Release();
            return false;
        }
        previous = SelectObject(dc.get(), bitmap.get());
        width = newWidth, height = newHeight;
        return true;
    }
    std::optional<Bgr24View> Rows() const
    {
        const auto stride = static_cast<std::size_t>(RowBytesForDepth(24, width));
        return Bgr24View::Over({static_cast<std::uint8_t*>(bits), stride * static_cast<std::size_t>(height)}, width,
                               height, stride);
    }

    rt::UniqueDC dc;
    rt::Gdi<HBITMAP> bitmap;
    HGDIOBJ previous = nullptr;
    void* bits = nullptr;
    int width = 0, height = 0;
};

BlendSurface& KeptSurface()
{
    static BlendSurface surface;
    return surface;
}

// A bitmap selected into its own DC for one draw; its earlier selection is restored after.
class SelectedForDraw {
public:
    SelectedForDraw(c32bppDIB* dib, bool wasSelected) : dib_(dib), wasSelected_(wasSelected)
    {
        dc_ = dib_ ? dib_->LoadDIBinDC(true) : nullptr;
    }
    ~SelectedForDraw()
    {
        if (dib_ && !wasSelected_)
            dib_->LoadDIBinDC(false);
    }
    SelectedForDraw(const SelectedForDraw&) = delete;
    SelectedForDraw& operator=(const SelectedForDraw&) = delete;
    HDC dc() const { return dc_; }

private:
    c32bppDIB* dib_;
    bool wasSelected_;
    HDC dc_ = nullptr;
};

} // namespace

bool c32bppDIB::Render(HDC destinationDC, int destX, int destY, int destWidth, int destHeight, int SrcX, int SrcY,
                       int srcWidth, int srcHeight, int Opacity, bool /*Blend*/, bool SetHalfTone,
                       c32bppDIB* destHostDIB, int grayScale, float LightAdjustment, float Angle, bool CenterOnDestXY)
{
    const RenderRequest request{destX, destY, destWidth, destHeight, SrcX, SrcY, srcWidth, srcHeight, Opacity,
                                grayScale, LightAdjustment, Angle, CenterOnDestXY, SetHalfTone};
    return Render(destinationDC, request, destHostDIB);
}

bool c32bppDIB::Render(HDC destinationDC, const RenderRequest& request, c32bppDIB* destHostDIB)
{
    // Drawing into itself would read pixels the draw is writing, and select one bitmap into two
    // DCs: it draws from a copy.
    if (destHostDIB == this && dib_) {
        c32bppDIB copy(flags_);
        if (!copy.InitializeDIB(width_, height_))
            return false;
        GdiFlush();
        std::memcpy(copy.bits_, bits_, static_cast<std::size_t>(scanWidth()) * static_cast<std::size_t>(height_));
        copy.flags_ = flags_;
        copy.highQuality_ = highQuality_;
        copy.gdiToken_ = gdiToken_;
        copy.alpha_ = alpha_;
        copy.imageType_ = imageType_;
        return copy.Render(destinationDC, request, this);
    }

    const bool hostUsable = destHostDIB && destHostDIB->dib_;
    const RenderContext context{dib_ ? width_ : 0, dib_ ? height_ : 0, destinationDC != nullptr || hostUsable,
                                gdiToken_.Running(), isGDIplusEnabled(), isAlphaBlendFriendly(), highQuality_};
    const RenderPlan plan = PlanRender(request, context);
    if (plan.path == RenderPath::Refused || plan.path == RenderPath::Nothing)
        return plan.path == RenderPath::Nothing;
    if (destHostDIB && !hostUsable)
        return false;

    if (plan.path != RenderPath::Own) {
        // Every other way draws on a DC: the host's own stands in for the destination.
        const SelectedForDraw host(destHostDIB, destHostDIB && destHostDIB->prevBitmap_);
        HDC target = destHostDIB ? host.dc() : destinationDC;
        if (!target)
            return false;
        if (plan.path == RenderPath::Rotated)
            return RenderRotated(target, plan.angle, plan.destX, plan.destY, plan.destWidth, plan.destHeight, plan.srcX,
                                 plan.srcY, plan.srcWidth, plan.srcHeight, plan.percent, destHostDIB,
                                 request.grayScale, plan.light);
        if (plan.path == RenderPath::GdiPlus)
            return cGDIPlus().RenderThroughGDIplus(*this, target, 0, plan.percent, plan.destX, plan.destY,
                                                   plan.destWidth, plan.destHeight, plan.srcX, plan.srcY,
                                                   plan.srcWidth, plan.srcHeight, highQuality_, request.grayScale,
                                                   gdiToken_, plan.light);
        const SelectedForDraw self(this, prevBitmap_ != nullptr);
        if (!self.dc())
            return false;
        const bool halftone = request.setHalfTone && !(flags_ & capWin9x);
        const int oldMode = halftone ? SetStretchBltMode(target, HALFTONE) : 0;
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(plan.opacityByte),
                                  static_cast<BYTE>(alpha_ ? AC_SRC_ALPHA : 0)};
        const bool drawn = AlphaBlend(target, plan.destX, plan.destY, plan.destWidth, plan.destHeight, self.dc(),
                                      plan.srcX, plan.srcY, plan.srcWidth, plan.srcHeight, blend) != FALSE;
        if (oldMode)
            SetStretchBltMode(target, oldMode);
        return drawn;
    }

    // The own pipeline writes the host's pixels directly and needs no DC of this image.
    int srcX = plan.srcX, srcY = plan.srcY, width = plan.destWidth, height = plan.destHeight;
    float light = plan.light;
    c32bppDIB working;
    if (plan.mirrored && !MirrorForRender(srcX, srcY, plan.srcWidth, plan.srcHeight, width, height, working, nullptr, light))
        return false;
    const auto bounds = TargetBounds(destinationDC, destHostDIB);
    PixelRect visible;
    if (!bounds)
        return false;
    switch (VisiblePart(plan.destX, plan.destY, std::abs(width), std::abs(height), *bounds, visible)) {
    case Visibility::Refused: return false;
    case Visibility::Hidden: return true;
    case Visibility::Shown: break;
    }
    std::optional<Scaler> source;
    if (!ResampleToSize(source, working, nullptr, srcX, srcY, plan.srcWidth, plan.srcHeight, visible, width, height,
                        light))
        return false;
    return BlendOntoTarget(destinationDC, *source, plan.destX + visible.x, plan.destY + visible.y, plan.opacityByte,
                           destHostDIB, request.grayScale, light);
}

bool c32bppDIB::MirrorForRender(int& SrcX, int& SrcY, int srcWidth, int srcHeight, int& destWidth, int& destHeight,
                                c32bppDIB& workingCopy, c32bppDIB* target, float& LightAdjustment)
{
    if (destWidth >= 1 && destHeight >= 1)
        return false;
    if (!dib_ || destWidth == INT_MIN || destHeight == INT_MIN)
        return false;
    srcWidth = srcWidth == 0 ? width_ : srcWidth;
    srcHeight = srcHeight == 0 ? height_ : srcHeight;
    c32bppDIB& out = target ? *target : workingCopy;
    if (!target && !workingCopy.InitializeDIB(srcWidth, srcHeight))
        return false;
    const auto from = PixelsOf(*this), into = PixelsOf(out);
    if (!from || !into)
        return false;
    GdiFlush();
    if (!MirrorRect(*from, {SrcX, SrcY, srcWidth, srcHeight}, destWidth < 1, destHeight < 0, *into))
        return false;
    if (!target)
        workingCopy.alpha_ = alpha_;
    SrcX = SrcY = 0;
    destWidth = std::abs(destWidth);
    destHeight = std::abs(destHeight);
    if (LightAdjustment != 0) {
        AdjustLightness(nullptr, LightAdjustment, out);
        LightAdjustment = 0;
    }
    return true;
}

bool c32bppDIB::ResampleToSize(std::optional<Scaler>& scaledCopy, const c32bppDIB& workingCopy, c32bppDIB* target,
                               int SrcX, int SrcY, int srcWidth, int srcHeight, const PixelRect& visible,
                               int& destWidth, int& destHeight, float& LightAdjustment) const
{
    const c32bppDIB& source = workingCopy.dib_ ? workingCopy : *this;
    const auto pixels = PixelsOf(source);
    if (!pixels || destWidth == INT_MIN || destHeight == INT_MIN)
        return false;
    const PixelRect rect{SrcX, SrcY, srcWidth == 0 ? source.width_ : srcWidth,
                         srcHeight == 0 ? source.height_ : srcHeight};
    const PixelRect whole = target ? PixelRect{0, 0, target->width_, target->height_} : visible;
    const std::int64_t outWidth = target ? target->width_ : std::abs(destWidth);
    const std::int64_t outHeight = target ? target->height_ : std::abs(destHeight);
    GdiFlush();
    auto scaler = Scaler::Make(*pixels, rect, outWidth, outHeight, whole, highQuality_);
    if (!scaler)
        return false;
    destWidth = whole.width;
    destHeight = whole.height;
    if (!target) {
        // The light, when asked, is applied to each row of the copy as it is drawn.
        scaledCopy = std::move(scaler);
        return true;
    }
    const auto into = PixelsOf(*target);
    if (!into || !ResampleInto(*scaler, *into, 0, 0))
        return false;
    if (LightAdjustment != 0) {
        AdjustLightness(nullptr, LightAdjustment, *target);
        LightAdjustment = 0;
    }
    return true;
}

bool c32bppDIB::BlendOntoTarget(HDC destinationDC, const Scaler& source, int destX, int destY, int opacityByte,
                                c32bppDIB* destHostDIB, int grayScale, float LightAdjustment) const
{
    const Blender blender(opacityByte, grayScale);
    const Lightness light(LightAdjustment);
    GdiFlush();
    if (destHostDIB) {
        const auto pixels = PixelsOf(*destHostDIB);
        return pixels && DrawScaled(source, light, blender, *pixels, destX, destY);
    }
    // A DC's pixels are reached through a 24-bit copy of the part drawn on.
    const int width = source.Width(), height = source.Height();
    BlendSurface temporary;
    BlendSurface& surface = std::int64_t{width} * height <= BlendSurface::kKeptPixels ? KeptSurface() : temporary;
    if (!surface.Reserve(width, height) ||
        !BitBlt(surface.dc.get(), 0, 0, width, height, destinationDC, destX, destY, SRCCOPY))
        return false;
    GdiFlush();
    const auto rows = surface.Rows();
    if (!rows || !DrawScaled(source, light, blender, *rows, 0, 0))
        return false;
    return BitBlt(destinationDC, destX, destY, width, height, surface.dc.get(), 0, 0, SRCCOPY) != FALSE;
}

void c32bppDIB::AdjustLightness(const c32bppDIB* source, float LightAdjustment, c32bppDIB& copy) const
{
    const Lightness light(LightAdjustment);
    if (source && (!source->dib_ || !copy.InitializeDIB(source->width_, source->height_)))
        return;
    const auto from = PixelsOf(source ? *source : copy), into = PixelsOf(copy);
    if (!from || !into)
        return;
    if (source)
        copy.alpha_ = source->alpha_;
    GdiFlush();
    for (int y = 0; y < into->Height(); ++y)
        light.Apply(from->Row(y), into->Row(y));
}

} // namespace imaging
