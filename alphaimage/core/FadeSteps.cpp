#include "alphaimage/core/FadeSteps.h"

#include <algorithm>
#include <cstdlib>

namespace aic {

std::optional<Fade> StartFade(int opacity, int finalOpacity, int stepPercent, int intervalMs)
{
    const int target = std::clamp(finalOpacity, 0, 100);
    if (stepPercent == 0 || target == opacity)
        return std::nullopt;
    // The magnitude in 64 bits: the smallest int has no positive counterpart.
    const long long magnitude = std::min<long long>(std::llabs(static_cast<long long>(stepPercent)), 100);
    const int step = static_cast<int>(magnitude);
    return Fade{target < opacity ? -step : step, target, std::max(intervalMs, 10)};
}

FadeTick NextFadeTick(int opacity, const Fade& fade)
{
    const int next = opacity + fade.step;
    const bool ended = fade.step < 0 ? next <= fade.target : next >= fade.target;
    return ended ? FadeTick{fade.target, true} : FadeTick{next, false};
}

} // namespace aic
