#include "common/WindowShape.h"

#include "runtime/Control.h"
#include "runtime/Runtime.h"

namespace vantorel {

void RoundRegion(HWND hwnd, int left, int top, int right, int bottom)
{
    if (!hwnd)
        return;
    const int corner = rt::ScaleDesign(7, rt::DpiOf(hwnd));
    HRGN rgn = CreateRoundRectRgn(left, top, right, bottom, corner, corner);
    if (rgn && !SetWindowRgn(hwnd, rgn, TRUE))
        DeleteObject(rgn);
}

void RoundControl(const rt::Control& control, int origin)
{
    RoundRegion(control.hWnd(), origin, origin, rt::PixelsFromTwipsX(control.Width()),
                rt::PixelsFromTwipsY(control.Height()));
}

} // namespace vantorel
