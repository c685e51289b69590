#include "alphaimage/core/HoverState.h"

namespace aic {

HoverSteps HoverOnHitTest(HoverHolder holder, bool hit)
{
    switch (holder) {
    case HoverHolder::This:
        return {.release = !hit};
    case HoverHolder::Other:
        // The other control's exit comes before this one's enter.
        return {.release = true, .capture = hit};
    case HoverHolder::None:
        break;
    }
    return {.capture = hit};
}

HoverSteps HoverOnPoll(HoverHolder holder, bool inside)
{
    // A poll that outlived its hover (another control took it) just stops.
    if (holder != HoverHolder::This)
        return {};
    return inside ? HoverSteps{.rearm = true} : HoverSteps{.release = true};
}

} // namespace aic
