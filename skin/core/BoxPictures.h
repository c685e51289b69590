// The pictures of the title bar's caption boxes, drawn in code: close, maximise and minimise,
// each hover, normal and disabled, in three sets of sizes.
#pragma once

#include "skin/core/Canvas.h"
#include "skin/core/TitleLayout.h"

#include <cstdint>
#include <vector>

namespace skin {

// A picture's state, by its number in the picture index (set × 10 + state).
enum class BoxState : std::uint8_t { Hover = 1, Normal = 2, Disabled = 3 };

// Picture sets: 0 square 16 × 16, 1 wide 26 × 18, 2 flat 20 × 14 (96-DPI sizes).
constexpr int kBoxSets = 3;
struct DesignSize {
    int w, h;
};
DesignSize BoxDesignSize(int set);

struct BoxPicture {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;   // 0x00RRGGBB, rows top first
    std::vector<bool> opaque;    // the mask: false lets the bar show through
};

// `set` is 0 to 2; `dpi` scales the design size.
BoxPicture DrawBoxPicture(TitleBox box, int set, BoxState state, int dpi);

} // namespace skin
