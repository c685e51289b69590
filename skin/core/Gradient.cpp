#include "skin/core/Gradient.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace skin {

int Nearest(double v)
{
    if (!std::isfinite(v))
        return 0;
    v = std::clamp(v, -2147483648.0, 2147483647.0);
    // rint follows the current rounding mode; nearest-even is the default and ours.
    return static_cast<int>(std::nearbyint(v));
}

Gradient::Gradient(RgbChannels begin, RgbChannels end, int steps, int divisor) : begin_(begin)
{
    const double n = static_cast<double>(std::max(steps, 1)) * std::max(divisor, 1);
    sr_ = static_cast<float>((begin.r - end.r) / n);
    sg_ = static_cast<float>((begin.g - end.g) / n);
    sb_ = static_cast<float>((begin.b - end.b) / n);
}

RgbChannels Gradient::At(int row) const
{
    auto ch = [row](int b, float s) { return std::clamp(Nearest(b - static_cast<double>(row) * s), 0, 255); };
    return RgbChannels{ch(begin_.r, sr_), ch(begin_.g, sg_), ch(begin_.b, sb_)};
}

void FillVertical(Canvas& canvas, int left, int top, int right, int bottom, RgbChannels begin, RgbChannels end)
{
    Gradient band(begin, end, bottom - top - 1);
    for (int y = top; y < bottom; ++y)
        canvas.Row(left, right, y, band.PixelAt(y - top));
}

} // namespace skin
