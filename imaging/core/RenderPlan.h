// The drawing entry's arguments made whole, and the way of drawing chosen from them: pure
// arithmetic, done in 64 bits so that no argument can wrap.
#pragma once

#include "imaging/core/Resample.h"

#include <cstdint>

namespace imaging {

// Render's arguments as the caller gave them.
struct RenderRequest {
    std::int64_t destX = 0, destY = 0, destWidth = 0, destHeight = 0;
    std::int64_t srcX = 0, srcY = 0, srcWidth = 0, srcHeight = 0;
    std::int64_t opacity = 100;
    int grayScale = -1;
    float light = 0;
    float angle = 0;
    bool centerOnDestXY = false;
    bool setHalfTone = true; // a scaled draw through AlphaBlend stretches in HALFTONE mode
};

// What the image and its caller bring to the choice.
struct RenderContext {
    int imageWidth = 0, imageHeight = 0; // 0 when no image is held
    bool hasTarget = false;              // a device context or a host image
    bool gdiPlusRunning = false;         // a GDI+ token is shared with the image
    bool gdiPlusEnabled = false;
    bool alphaBlendFriendly = false;
    bool highQuality = false;
};

enum class RenderPath {
    Refused,    // nothing drawn, False
    Nothing,    // nothing drawn, True (no opacity)
    Rotated,
    AlphaBlend,
    Own,
    GdiPlus,
};

struct RenderPlan {
    RenderPath path = RenderPath::Refused;
    // Destination sizes keep their signs (negative mirrors); the source lies inside the image.
    int destX = 0, destY = 0, destWidth = 0, destHeight = 0;
    int srcX = 0, srcY = 0, srcWidth = 0, srcHeight = 0;
    int percent = 0;     // opacity 1 to 100, for rotation and GDI+
    int opacityByte = 0; // percent × 255 \ 100, for AlphaBlend and the own blend
    float light = 0;     // -100 to 100
    float angle = 0;     // finite
    bool mirrored = false;
    bool scaled = false;
};

// A source origin at or past the image, or a source that clips to nothing, is refused rather
// than read as "the whole image"; so is a destination that leaves the 32-bit range.
RenderPlan PlanRender(const RenderRequest& request, const RenderContext& context);

enum class Visibility {
    Refused, // wholly left of or above the origin: the pipeline's clipping at 0 leaves nothing
    Hidden,  // only outside the target: nothing to draw, and nothing failed
    Shown,
};

// The part of the destination rectangle (x, y, width, height; sizes positive) that lies inside
// the target's `bounds`, in `part`, relative to the rectangle.
Visibility VisiblePart(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height, const PixelRect& bounds,
                       PixelRect& part);

} // namespace imaging
