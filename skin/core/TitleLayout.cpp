#include "skin/core/TitleLayout.h"

#include "skin/core/Gradient.h"

namespace skin {

BoxPlaces LayOutBoxes(const BoxLayoutDesign& s)
{
    BoxPlaces p{s.close, s.max, s.min};
    // Gaps are whole design lengths, scaled once: 3 + 3 scaled apart would round twice.
    const float six = static_cast<float>(AtDpi(6, s.dpi));
    float gap = six, drop = 0;
    if (s.style == BarStyle::Plate) {
        gap = static_cast<float>(AtDpi(3, s.dpi)) + s.close.width;
        drop = static_cast<float>(AtDpi(2, s.dpi));
    } else if (s.style == BarStyle::Stacked) {
        gap = static_cast<float>(AtDpi(9, s.dpi));
        drop = static_cast<float>(AtDpi(2, s.dpi));
    }
    float x = static_cast<float>(Nearest(s.barWidth));
    auto place = [&](BoxPlace& b, float g) {
        b.left = x - b.width - g;
        b.top = (s.barHeight - b.height) / 2 + drop;
    };
    if (s.showClose) {
        place(p.close, gap);
        x = static_cast<float>(Nearest(p.close.left));
        gap = six;
    }
    if (s.showMax) {
        place(p.max, gap);
        x = static_cast<float>(Nearest(p.max.left));
    }
    if (s.showMin)
        place(p.min, six);
    return p;
}

std::optional<TitleBox> HitBox(const BoxPlaces& p, bool showClose, bool showMax, bool showMin, float x, float y)
{
    auto in = [x, y](const BoxPlace& b) {
        return b.left < x && x < b.left + b.width && b.top < y && y < b.top + b.height;
    };
    if (showClose && in(p.close))
        return TitleBox::Close;
    if (showMin && in(p.min))
        return TitleBox::Min;
    if (showMax && in(p.max))
        return TitleBox::Max;
    return std::nullopt;
}

TextOrigin PlaceCaption(const CaptionPlaceDesign& s)
{
    const int six = AtDpi(6, s.dpi);
    TextOrigin o{six, 0};
    if (s.iconRight)
        o.x = Nearest(*s.iconRight + six);
    switch (static_cast<CaptionAlignY>(s.posY)) {
    case CaptionAlignY::Centre:
        o.y = Nearest((s.barHeight - s.textHeight) / 2.0);
        break;
    case CaptionAlignY::AboveFrame:
        o.y = (s.barHeight - s.textHeight - s.border) / 2;
        break;
    case CaptionAlignY::Bottom:
        o.y = s.barHeight - s.textHeight - s.border;
        break;
    default:
        o.y = 0;
        break;
    }
    switch (static_cast<CaptionAlignX>(s.posX)) {
    case CaptionAlignX::Left:
        o.x = s.border + 1;
        break;
    case CaptionAlignX::Centre:
        o.x = Nearest((s.barWidth - s.textWidth) / 2.0);
        break;
    case CaptionAlignX::Right:
        o.x = s.barWidth - s.textWidth - s.border - 1 - s.depth;
        break;
    default:
        break;
    }
    return o;
}

std::vector<TextOrigin> LayerOffsets(int i, Sides s)
{
    std::vector<TextOrigin> out;
    if (s.top && s.bottom && s.left && s.right) {
        for (int k = -i; k <= i; ++k) {
            out.push_back({k, i});
            out.push_back({k, -i});
            out.push_back({i, k});
            out.push_back({-i, -k});
        }
    } else if (s.bottom && s.right) {
        out.push_back({i, i});
    } else if (s.top && s.left) {
        out.push_back({-i, -i});
    } else {
        if (s.bottom)
            out.push_back({0, i});
        if (s.top)
            out.push_back({0, -i});
        if (s.right)
            out.push_back({i, 0});
        if (s.left)
            out.push_back({-i, 0});
    }
    return out;
}

RgbChannels LayerColour(RgbChannels back, RgbChannels shadow, int depth, int i)
{
    auto ch = [&](int b, int s) {
        return Nearest(static_cast<double>(b) / depth * i + static_cast<double>(s) / depth * (depth - i));
    };
    return RgbChannels{ch(back.r, shadow.r), ch(back.g, shadow.g), ch(back.b, shadow.b)};
}

std::vector<TextOrigin> OutlineOffsets()
{
    return {{1, 0}, {1, 1}, {1, -1}, {-1, 0}, {-1, -1}, {-1, 1}, {0, -1}, {0, 1}};
}

} // namespace skin
