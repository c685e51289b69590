#include "imaging/core/RenderPlan.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace imaging {

namespace {

bool FitsInt(std::int64_t v) { return v >= INT_MIN && v <= INT_MAX; }

} // namespace

RenderPlan PlanRender(const RenderRequest& r, const RenderContext& c)
{
    RenderPlan plan;
    const std::int64_t width = c.imageWidth, height = c.imageHeight;
    if (width < 1 || height < 1)
        return plan;
    if (r.opacity <= 0) {
        plan.path = RenderPath::Nothing;
        return plan;
    }
    if (!c.hasTarget)
        return plan;

    std::int64_t destWidth = r.destWidth == 0 ? width : r.destWidth;
    std::int64_t destHeight = r.destHeight == 0 ? height : r.destHeight;
    const std::int64_t srcX = r.srcX < 0 ? 0 : r.srcX, srcY = r.srcY < 0 ? 0 : r.srcY;
    std::int64_t srcWidth = r.srcWidth, srcHeight = r.srcHeight;
    if (srcWidth == 0)
        srcWidth = width;
    else if (srcWidth < 0)
        srcWidth = -srcWidth, destWidth = -destWidth;
    if (srcHeight == 0)
        srcHeight = height;
    else if (srcHeight < 0)
        srcHeight = -srcHeight, destHeight = -destHeight;
    if (srcX >= width || srcY >= height)
        return plan;
    if (srcX + srcWidth > width)
        srcWidth = width - srcX;
    if (srcY + srcHeight > height)
        srcHeight = height - srcY;

    const float angle = std::isfinite(r.angle) ? r.angle : 0.0f;
    const bool rotated = std::fmod(angle, 360.0f) != 0;
    const std::int64_t percent = std::llabs(r.opacity) % 100;
    float light = std::isfinite(r.light) ? r.light : 0.0f;
    if (light > 100 || light < -100)
        light = 0;

    std::int64_t destX = r.destX, destY = r.destY;
    if (r.centerOnDestXY) {
        destX -= rotated ? destWidth / 2 : std::llabs(destWidth / 2);
        destY -= rotated ? destHeight / 2 : std::llabs(destHeight / 2);
    }
    if (!FitsInt(destX) || !FitsInt(destY) || !FitsInt(destWidth) || !FitsInt(destHeight) || destWidth == INT_MIN ||
        destHeight == INT_MIN)
        return plan;

    plan.destX = static_cast<int>(destX), plan.destY = static_cast<int>(destY);
    plan.destWidth = static_cast<int>(destWidth), plan.destHeight = static_cast<int>(destHeight);
    plan.srcX = static_cast<int>(srcX), plan.srcY = static_cast<int>(srcY);
    plan.srcWidth = static_cast<int>(srcWidth), plan.srcHeight = static_cast<int>(srcHeight);
    plan.percent = percent == 0 ? 100 : static_cast<int>(percent);
    plan.opacityByte = plan.percent * 255 / 100;
    plan.light = light;
    plan.angle = angle;
    plan.mirrored = destWidth <= 0 || destHeight < 0;
    plan.scaled = std::llabs(destWidth) != srcWidth || std::llabs(destHeight) != srcHeight;

    if (rotated) {
        plan.path = RenderPath::Rotated;
        return plan;
    }
    const bool alphaBlend = (!c.gdiPlusRunning || !c.gdiPlusEnabled) && c.alphaBlendFriendly && !plan.mirrored &&
                            r.grayScale == -1 && light == 0 && (!plan.scaled || !c.highQuality);
    plan.path = alphaBlend ? RenderPath::AlphaBlend : c.gdiPlusEnabled ? RenderPath::GdiPlus : RenderPath::Own;
    return plan;
}

Visibility VisiblePart(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height, const PixelRect& bounds,
                       PixelRect& part)
{
    if (x + width <= 0 || y + height <= 0)
        return Visibility::Refused;
    const std::int64_t left = std::max<std::int64_t>(x, bounds.x), top = std::max<std::int64_t>(y, bounds.y);
    const std::int64_t right = std::min<std::int64_t>(x + width, std::int64_t{bounds.x} + bounds.width);
    const std::int64_t bottom = std::min<std::int64_t>(y + height, std::int64_t{bounds.y} + bounds.height);
    if (left >= right || top >= bottom)
        return Visibility::Hidden;
    part = {static_cast<int>(left - x), static_cast<int>(top - y), static_cast<int>(right - left),
            static_cast<int>(bottom - top)};
    return Visibility::Shown;
}

} // namespace imaging
