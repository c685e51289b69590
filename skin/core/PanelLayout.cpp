#include "skin/core/PanelLayout.h"

#include <cmath>

namespace skin {

int PanelAreaOf(double y, int tileHeight) { return (y > 0 && y >= tileHeight) ? 1 : 0; }

namespace {
// Nearest integer, halves to even, as the host rounds.
int RoundHalfEven(double v) { return static_cast<int>(std::nearbyint(v)); }
} // namespace

PanelRects PanelRectsOf(int w, int h, int th)
{
    PanelRects r;
    r.region = {0, 0, w, h};
    r.titleFrame = {1, 1, w, th};
    r.titleFill = {0, 1, w - 1, th - 1};
    r.bodyFrame = {0, th - 1, w, h};
    r.bodyFill = {1, th, w - 1, h - 1};
    r.outline = {0, 0, w - 1, h - 1};
    return r;
}

int PanelCaptionX(PanelAlignment alignment, int w, int textWidth, bool iconShown, int iconWidth, int pad)
{
    switch (alignment) {
    case PanelAlignment::Left:
        return iconShown ? iconWidth + pad : pad;
    case PanelAlignment::Centre:
        // Integer division truncates towards zero, so a caption wider than the panel starts left of it.
        return (w - textWidth) / 2 - pad;
    case PanelAlignment::Right:
        return w - textWidth - pad;
    }
    return 0;
}

int PanelCaptionY(int tileHeight, int textHeight) { return RoundHalfEven(tileHeight * 0.4 - textHeight * 0.4); }

std::uint16_t PanelVertexChannel(std::uint8_t byte) { return static_cast<std::uint16_t>(byte << 8); }

PanelTexel PanelPatternTexel(int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0)
        return {};
    return {((x % w) + w) % w, ((y % h) + h) % h};
}

} // namespace skin
