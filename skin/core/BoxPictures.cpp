#include "skin/core/BoxPictures.h"

#include <algorithm>

namespace skin {
namespace {

constexpr RgbChannels kGlyph{255, 255, 255};
constexpr RgbChannels kGlyphDisabled{140, 140, 140};
constexpr RgbChannels kCloseHover{200, 48, 48};
constexpr RgbChannels kHover{90, 124, 180};
constexpr RgbChannels kPlate{60, 72, 100};
constexpr RgbChannels kEdge{20, 24, 40};

class Painter {
public:
    explicit Painter(BoxPicture& p) : p_(p) {}
    void Dot(int x, int y, RgbChannels c)
    {
        if (x < 0 || y < 0 || x >= p_.width || y >= p_.height)
            return;
        const auto i = static_cast<std::size_t>(y) * p_.width + x;
        p_.pixels[i] = ToPixel(c);
        p_.opaque[i] = true;
    }
    void Box(int l, int t, int r, int b, RgbChannels c)
    {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                Dot(x, y, c);
    }
    void Frame(int l, int t, int r, int b, RgbChannels c, int pen)
    {
        Box(l, t, r, t + pen, c);
        Box(l, b - pen, r, b, c);
        Box(l, t, l + pen, b, c);
        Box(r - pen, t, r, b, c);
    }
    // A diagonal of `pen`-wide squares from (x0, y0) over `len` steps, dx = ±1, dy = 1.
    void Diagonal(int x0, int y0, int len, int dx, RgbChannels c, int pen)
    {
        for (int k = 0; k < len; ++k)
            Box(x0 + dx * k, y0 + k, x0 + dx * k + pen, y0 + k + pen, c);
    }

private:
    BoxPicture& p_;
};

} // namespace

DesignSize BoxDesignSize(int set)
{
    static constexpr DesignSize sizes[kBoxSets] = {{16, 16}, {26, 18}, {20, 14}};
    return sizes[std::clamp(set, 0, kBoxSets - 1)];
}

BoxPicture DrawBoxPicture(TitleBox box, int set, BoxState state, int dpi)
{
    set = std::clamp(set, 0, kBoxSets - 1);
    const DesignSize ds = BoxDesignSize(set);
    BoxPicture p;
    p.width = AtDpi(ds.w, dpi);
    p.height = AtDpi(ds.h, dpi);
    p.pixels.assign(static_cast<std::size_t>(p.width) * p.height, 0);
    p.opaque.assign(p.pixels.size(), false);
    Painter paint(p);

    const RgbChannels glyph = state == BoxState::Disabled ? kGlyphDisabled : kGlyph;
    const RgbChannels hover = box == TitleBox::Close ? kCloseHover : kHover;
    // Set 0 is bare glyphs with a hover plate; sets 1 and 2 are framed plates.
    if (set == 0) {
        if (state == BoxState::Hover)
            paint.Box(0, 0, p.width, p.height, hover);
    } else {
        paint.Box(0, 0, p.width, p.height, state == BoxState::Hover ? hover : kPlate);
        paint.Frame(0, 0, p.width, p.height, kEdge, 1);
    }

    // The glyph sits in a square centred on the picture.
    const int side = std::min(p.width, p.height) - 2 * AtDpi(4, dpi);
    const int l = (p.width - side) / 2, t = (p.height - side) / 2;
    const int pen = std::max(1, AtDpi(2, dpi));
    switch (box) {
    case TitleBox::Close:
        paint.Diagonal(l, t, side - pen + 1, 1, glyph, pen);
        paint.Diagonal(l + side - pen, t, side - pen + 1, -1, glyph, pen);
        break;
    case TitleBox::Max:
        paint.Frame(l, t, l + side, t + side, glyph, 1);
        paint.Box(l, t, l + side, t + pen, glyph);
        break;
    case TitleBox::Min:
        paint.Box(l, t + side - pen, l + side, t + side, glyph);
        break;
    }
    return p;
}

} // namespace skin
