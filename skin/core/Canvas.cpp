#include "skin/core/Canvas.h"

#include <algorithm>
#include <cstdlib>

namespace skin {

void Canvas::Fill(Pixel p)
{
    for (int y = 0; y < h_; ++y)
        std::fill_n(px_.begin() + static_cast<std::ptrdiff_t>(Index(0, y)), w_, p);
}

void Canvas::Row(int x1, int x2, int y, Pixel p)
{
    if (y < 0 || y >= h_ || x1 == x2)
        return;
    // The end point is left out: x2 - 1 going right, x2 + 1 going left.
    int lo = x1 < x2 ? x1 : x2 + 1;
    int hi = x1 < x2 ? x2 - 1 : x1;
    lo = std::max(lo, 0);
    hi = std::min(hi, w_ - 1);
    if (lo <= hi)
        std::fill_n(px_.begin() + static_cast<std::ptrdiff_t>(Index(lo, y)), hi - lo + 1, p);
}

void Canvas::Line(int x1, int y1, int x2, int y2, Pixel p)
{
    if (y1 == y2) {
        Row(x1, x2, y1, p);
        return;
    }
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    // Bresenham, stopping one step short of the end point.
    while (x1 != x2 || y1 != y2) {
        Set(x1, y1, p);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x1 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y1 += sy;
        }
    }
}

} // namespace skin
