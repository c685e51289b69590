#include "imaging/core/Lightness.h"

#include "imaging/core/Blend.h"

#include <algorithm>
#include <cmath>

namespace imaging {

Lightness::Lightness(float percent)
{
    if (!std::isfinite(percent) || percent < -100 || percent > 100)
        percent = 0;
    amount_ = percent / 100.0f * 255.0f;
    for (int a = 0; a < 256; ++a)
        shift_[a] = RoundHalfEven(static_cast<float>(a) * amount_) / 255;
}

void Lightness::Apply(std::span<std::uint8_t> pixels) const { Apply(pixels, pixels); }

void Lightness::Apply(std::span<const std::uint8_t> source, std::span<std::uint8_t> target) const
{
    const std::size_t bytes = std::min(source.size(), target.size()) / 4 * 4;
    const bool lighter = amount_ > 0;
    for (std::size_t i = 0; i < bytes; i += 4) {
        const int a = source[i + 3];
        if (a == 0)
            continue;
        const int m = shift_[a];
        for (int c = 0; c < 3; ++c) {
            const int v = source[i + c] + m;
            target[i + c] = static_cast<std::uint8_t>(lighter ? std::min(v, a) : std::max(v, 0));
        }
        target[i + 3] = static_cast<std::uint8_t>(a);
    }
}

} // namespace imaging
