// Any arguments of the drawing entry, and the own pipeline run with what it makes of them into
// plain buffers of exactly their size: nothing is read or written outside them, and no colour
// of the 32-bit target rises above its alpha.
#include "imaging/core/Blend.h"
#include "imaging/core/Effects.h"
#include "imaging/core/Lightness.h"
#include "imaging/core/RenderPlan.h"
#include "imaging/core/Resample.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace imaging;

namespace {

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

std::vector<std::uint8_t> Premultiplied(FuzzedDataProvider& in, int w, int h)
{
    std::vector<std::uint8_t> px = in.ConsumeBytes<std::uint8_t>(static_cast<std::size_t>(w) * h * 4);
    px.resize(static_cast<std::size_t>(w) * h * 4);
    for (std::size_t i = 0; i < px.size(); i += 4)
        for (int c = 0; c < 3; ++c)
            px[i + c] = std::min(px[i + c], px[i + 3]);
    return px;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    auto coordinate = [&]() -> std::int64_t {
        return in.ConsumeBool() ? in.ConsumeIntegral<std::int32_t>() : in.ConsumeIntegralInRange(-70, 70);
    };
    const int width = in.ConsumeIntegralInRange(0, 24), height = in.ConsumeIntegralInRange(0, 24);
    RenderRequest r;
    r.destX = coordinate(), r.destY = coordinate(), r.destWidth = coordinate(), r.destHeight = coordinate();
    r.srcX = coordinate(), r.srcY = coordinate(), r.srcWidth = coordinate(), r.srcHeight = coordinate();
    r.opacity = coordinate();
    r.grayScale = in.ConsumeIntegralInRange(-1, 8);
    r.light = in.ConsumeFloatingPoint<float>();
    r.angle = in.ConsumeFloatingPoint<float>();
    r.centerOnDestXY = in.ConsumeBool();
    const bool weighted = in.ConsumeBool();
    const RenderContext context{width, height, true, in.ConsumeBool(), in.ConsumeBool(), in.ConsumeBool(), weighted};
    const RenderPlan p = PlanRender(r, context);
    if (p.path == RenderPath::Refused || p.path == RenderPath::Nothing)
        return 0;
    Check(p.srcX >= 0 && p.srcY >= 0 && p.srcWidth >= 1 && p.srcHeight >= 1 && p.srcX + p.srcWidth <= width &&
          p.srcY + p.srcHeight <= height && p.percent >= 1 && p.percent <= 100 && p.light >= -100 && p.light <= 100);

    // The own pipeline as the drawing entry runs it.
    std::vector<std::uint8_t> image = Premultiplied(in, width, height), mirrored;
    const Lightness light(p.light);
    PixelView source = *PixelView::Packed(image, width, height);
    int srcX = p.srcX, srcY = p.srcY;
    bool lightDone = false;
    if (p.mirrored) {
        mirrored.resize(static_cast<std::size_t>(p.srcWidth) * p.srcHeight * 4);
        const PixelView copy = *PixelView::Packed(mirrored, p.srcWidth, p.srcHeight);
        Check(MirrorRect(source, {p.srcX, p.srcY, p.srcWidth, p.srcHeight}, p.destWidth < 1, p.destHeight < 0, copy));
        light.Apply(mirrored);
        source = copy, srcX = srcY = 0, lightDone = true;
    }
    const int targetWidth = in.ConsumeIntegralInRange(0, 40), targetHeight = in.ConsumeIntegralInRange(0, 40);
    std::vector<std::uint8_t> target = Premultiplied(in, targetWidth, targetHeight);
    const std::size_t stride = (static_cast<std::size_t>(targetWidth) * 3 + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> target24(stride * targetHeight);
    PixelRect visible;
    if (VisiblePart(p.destX, p.destY, std::abs(p.destWidth), std::abs(p.destHeight), {0, 0, targetWidth, targetHeight},
                    visible) != Visibility::Shown)
        return 0;
    const auto scaler = Scaler::Make(source, {srcX, srcY, p.srcWidth, p.srcHeight}, std::abs(p.destWidth),
                                     std::abs(p.destHeight), visible, weighted);
    Check(scaler.has_value());
    const Blender blender(p.opacityByte, r.grayScale);
    const Lightness rows(lightDone ? 0 : p.light);
    const int x = p.destX + visible.x, y = p.destY + visible.y;
    const PixelView view = *PixelView::Packed(target, targetWidth, targetHeight);
    Check(DrawScaled(*scaler, rows, blender, view, x, y));
    Check(DrawScaled(*scaler, rows, blender, *Bgr24View::Over(target24, targetWidth, targetHeight, stride), x, y));
    for (std::size_t i = 0; i < target.size(); i += 4)
        Check(std::max({target[i], target[i + 1], target[i + 2]}) <= target[i + 3]);
    return 0;
}
