// What an image control does about the shared hover when the mouse is hit-tested over it or its
// hover poll ticks. Only one control of a window holds the hover; who holds it now decides.
#pragma once

namespace aic {

enum class HoverHolder { None, This, Other };

struct HoverSteps {
    // Clear the shared holder, so that the control holding it hears ReleaseMouseCapture.
    bool release = false;
    // Take the hover: raise MouseEnter and arm the poll.
    bool capture = false;
    // Arm the one-shot poll again.
    bool rearm = false;

    friend bool operator==(const HoverSteps&, const HoverSteps&) = default;
};

// The point under the mouse was tested against the hit area.
HoverSteps HoverOnHitTest(HoverHolder holder, bool hit);
// The poll fired; `inside` is whether the cursor still lies on this control's hit area.
HoverSteps HoverOnPoll(HoverHolder holder, bool inside);

} // namespace aic
