// Rounded window regions for forms and controls.
#pragma once

#include <windows.h>

namespace rt {
class Control;
}

namespace vantorel {

// Clips `hwnd` to a rounded rectangle from (left, top) to (right, bottom) with a 7 by 7
// corner ellipse (at 96 DPI, scaled to the window's); the window owns the region from then on.
void RoundRegion(HWND hwnd, int left, int top, int right, int bottom);
// The same over a control's own size in pixels, from (origin, origin).
void RoundControl(const rt::Control& control, int origin);

} // namespace vantorel
