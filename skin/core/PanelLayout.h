// The titled panel's arithmetic, free of the platform: which area a point is in, the
// rectangles of each paint step, where the caption goes, gradient vertex channels and
// pattern tiling.
#pragma once

#include <cstdint>

namespace skin {

enum class PanelAlignment : int { Left = 0, Centre = 1, Right = 2 };
enum class PanelBackground : int { Solid = 0, Gradient = 1, Pattern = 2 };
enum class PanelGradientDir : int { Horizontal = 0, Vertical = 1 };

// 0 for the title band, 1 for the body: y exactly 0 is the band even when it has no height.
int PanelAreaOf(double y, int tileHeight);

struct PanelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PanelRect&) const = default;
};

// Rectangles of a w x h panel whose band is tileHeight high (right and bottom exclusive).
struct PanelRects {
    PanelRect region, titleFrame, titleFill, bodyFrame, bodyFill, outline;
};
PanelRects PanelRectsOf(int w, int h, int tileHeight);

// The caption's top-left corner. `pad` is the 4-pixel gap at the panel's DPI; the icon's
// own x position does not move a left caption.
int PanelCaptionX(PanelAlignment alignment, int w, int textWidth, bool iconShown, int iconWidth, int pad);
int PanelCaptionY(int tileHeight, int textHeight);

// A gradient vertex channel: the colour byte in the high half of 16 bits.
std::uint16_t PanelVertexChannel(std::uint8_t byte);

// The texel of a w x h pattern, tiled from the surface's origin, that covers (x, y).
struct PanelTexel {
    int x = 0, y = 0;
};
PanelTexel PanelPatternTexel(int x, int y, int w, int h);

} // namespace skin
