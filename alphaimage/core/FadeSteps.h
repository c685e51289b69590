// The arithmetic of an image control's fade: the fade FadeInOut asks for, and each tick's
// opacity, which never passes the target.
#pragma once

#include <optional>

namespace aic {

struct Fade {
    int step = 0;     // signed percent per tick
    int target = 0;   // 0..100
    int interval = 0; // milliseconds, at least 10
};

// The fade from `opacity` to `finalOpacity` (clamped to 0..100); none when the step is 0 or
// the target is where the opacity already is.
std::optional<Fade> StartFade(int opacity, int finalOpacity, int stepPercent, int intervalMs);

struct FadeTick {
    int opacity = 0;
    bool ended = false;
};
FadeTick NextFadeTick(int opacity, const Fade& fade);

} // namespace aic
