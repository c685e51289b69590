#include "alphaimage/core/ImageScales.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace aic {

int RoundHalfEven(double value)
{
    if (!(value > INT_MIN))
        return INT_MIN;
    if (!(value < INT_MAX))
        return INT_MAX;
    return static_cast<int>(std::nearbyint(value)); // the default rounding mode ties to even
}

namespace {

int Saturated(std::int64_t value) { return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX)); }

} // namespace

Span CentredSpan(int room, int extent)
{
    const std::int64_t middle = room / 2, half = (std::int64_t{extent} + 1) / 2;
    return {Saturated(middle - half), Saturated(middle + half)};
}

Span PlacedSpan(int offset, int room, int placedBy, int size)
{
    const std::int64_t start = offset + (std::int64_t{room} - placedBy) / 2;
    return {Saturated(start), Saturated(start + size)};
}

int RotationExtent(int width, int height)
{
    const double w = width, h = height;
    return RoundHalfEven(std::sqrt(w * w + h * h));
}

ScaledSize ScaleImage(int imageWidth, int imageHeight, int scaleMethod, int desiredWidth, int desiredHeight,
                      bool rotated)
{
    const int w = imageWidth, h = imageHeight;
    if (scaleMethod == 3)
        return {w, h};
    // The factors are single precision; the products are rounded from them.
    auto scaled = [](float factor, int side) { return RoundHalfEven(static_cast<double>(factor) * side); };
    if (!rotated) {
        if (scaleMethod == 1)
            return {desiredWidth, desiredHeight};
        const float xr = static_cast<float>(static_cast<double>(desiredWidth) / w);
        const float yr = static_cast<float>(static_cast<double>(desiredHeight) / h);
        float r = yr < xr ? yr : xr;
        if (scaleMethod == 2 && r > 1)
            r = 1;
        return {scaled(r, w), scaled(r, h)};
    }
    const int diagonal = RotationExtent(w, h);
    const float fx = static_cast<float>(static_cast<double>(w) / diagonal);
    const float fy = static_cast<float>(static_cast<double>(h) / diagonal);
    if (scaleMethod == 1)
        return {scaled(fx, desiredWidth), scaled(fy, desiredHeight)};
    const int side = desiredHeight >= desiredWidth ? desiredWidth : desiredHeight;
    ScaledSize size{scaled(fx, side), scaled(fy, side)};
    if (scaleMethod == 2 && (w < size.width || h < size.height))
        size = {w, h};
    return size;
}

} // namespace aic
