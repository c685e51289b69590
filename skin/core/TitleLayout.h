// Geometry of the title bar: where the caption boxes go, which box the mouse is over, where
// the caption text starts and at which offsets its extrusion layers and outline are drawn.
#pragma once

#include "skin/core/Canvas.h"
#include "skin/core/TitleBackground.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace skin {

enum class TitleBox { Close, Max, Min };

struct BoxLayoutDesign {
    BarStyle style = BarStyle::RisingInsetStriped;
    float barWidth = 0;
    float barHeight = 0;
    bool showClose = true, showMax = false, showMin = true;
    // Current places; a hidden box keeps its place, a shown one gets a new one.
    BoxPlace close, max, min;
    int dpi = 96;
};

struct BoxPlaces {
    BoxPlace close, max, min;
};

// Lays the shown boxes out from the right edge.
BoxPlaces LayOutBoxes(const BoxLayoutDesign& design);

// The shown box strictly containing (x, y), tested close, minimise, maximise.
std::optional<TitleBox> HitBox(const BoxPlaces& places, bool showClose, bool showMax, bool showMin, float x, float y);

// Caption placement modes, by their stored numbers.
enum class CaptionAlignX : std::int32_t { AfterIcon = 0, Left = 1, Centre = 2, Right = 3 };
enum class CaptionAlignY : std::int32_t { Centre = 0, Top = 1, AboveFrame = 2, Bottom = 3 };

struct CaptionPlaceDesign {
    std::int32_t posX = 0, posY = 2;
    int barWidth = 0, barHeight = 0;
    int textWidth = 0, textHeight = 0;
    int border = 0;
    int depth = 0;                      // extrusion depth after the outline's extra layer
    std::optional<float> iconRight;     // icon's left plus its width, when there is an icon
    int dpi = 96;
};
struct TextOrigin {
    int x = 0, y = 0;
    bool operator==(const TextOrigin&) const = default;
};
TextOrigin PlaceCaption(const CaptionPlaceDesign& design);

struct Sides {
    bool top = false, bottom = true, left = false, right = true;
};
// Offsets from the caption origin at which layer `i` of the extrusion is drawn, in order.
std::vector<TextOrigin> LayerOffsets(int i, Sides sides);
// Colour of layer `i` of `depth`: the back colour outermost, towards the shadow colour inside.
RgbChannels LayerColour(RgbChannels back, RgbChannels shadow, int depth, int i);
// The eight offsets of the one-pixel outline, in drawing order.
std::vector<TextOrigin> OutlineOffsets();

} // namespace skin
