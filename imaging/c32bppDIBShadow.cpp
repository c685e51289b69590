// The drop shadow of the bitmap object: its silhouette blurred into a new object, or drawn at once.
#include "imaging/DibPixels.h"
#include "imaging/c32bppDIB.h"
#include "imaging/core/DropShadow.h"

namespace imaging {

std::unique_ptr<c32bppDIB> c32bppDIB::CreateDropShadow(int blurDepth, std::uint32_t Color) const
{
    const auto source = PixelsOf(*this);
    if (!source)
        return nullptr;
    const int margin = ShadowMargin(blurDepth);
    auto shadow = std::make_unique<c32bppDIB>(flags_);
    shadow->gdiToken(gdiToken_);
    if (!shadow->InitializeDIB(std::int64_t{width_} + 2 * margin, std::int64_t{height_} + 2 * margin))
        return nullptr;
    const auto target = PixelsOf(*shadow);
    if (!target || !BlurShadow(*source, margin, Color, *target))
        return nullptr;
    shadow->SetAlphaState(true);
    shadow->SetImageType(imgBitmapPremultiplied);
    return shadow;
}

bool c32bppDIB::RenderDropShadow_JIT(HDC hdc, int X, int Y, int blurDepth, std::uint32_t Color, int Opacity) const
{
    const auto shadow = CreateDropShadow(blurDepth, Color);
    return shadow && shadow->Render(hdc, X, Y, 0, 0, 0, 0, 0, 0, Opacity);
}

} // namespace imaging
