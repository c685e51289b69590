#include "skin/core/ButtonLayout.h"

#include <algorithm>

namespace skin {

namespace {
void Offset(Rect& r, int dx, int dy)
{
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
}
void MoveTo(Rect& r, int left, int top) { Offset(r, left - r.left, top - r.top); }

// The picture above or below the caption, both centred across.
void PlaceStacked(const LayoutInput& input, Rect& caption, Rect& picture)
{
    const int width = input.width, height = input.height;
    const bool hasCaption = input.hasCaption;
    Offset(picture, (width - input.pictureW) / 2, 0);
    MoveTo(caption, caption.left, 0);
    auto centreDown = [&] { Offset(picture, 0, (height - input.pictureH) / 2); };
    switch (input.alignment) {
    case PictureAlignment::Bottom:
        Offset(picture, 0, height - input.pictureH - input.marginY);
        if (hasCaption) {
            Offset(caption, 0, picture.top - caption.bottom);
            const int spare = caption.top - input.marginY;
            if (spare > 1)
                Offset(caption, 0, -(spare / 2));
        }
        break;
    case PictureAlignment::BelowCaption:
        if (!hasCaption) {
            centreDown();
        } else {
            Offset(picture, 0, caption.bottom);
            const int spare = (height - picture.bottom) / 2;
            Offset(picture, 0, spare);
            Offset(caption, 0, spare);
        }
        break;
    case PictureAlignment::Top:
        Offset(picture, 0, input.marginY);
        if (hasCaption) {
            Offset(caption, 0, picture.bottom);
            const int spare = height - caption.bottom - input.marginY;
            if (spare > 1)
                Offset(caption, 0, spare / 2);
        }
        break;
    default: // above the caption
        if (!hasCaption) {
            centreDown();
        } else {
            Offset(caption, 0, picture.bottom);
            const int spare = (height - caption.bottom) / 2;
            Offset(caption, 0, spare);
            Offset(picture, 0, spare);
        }
        break;
    }
}

// The picture left or right of the caption, both centred down; 2 pixels apart.
void PlaceSideBySide(const LayoutInput& input, Rect& caption, Rect& picture)
{
    const int width = input.width;
    const bool hasCaption = input.hasCaption;
    const int gap = hasCaption ? 2 : 0;
    Offset(picture, 0, (input.height - input.pictureH) / 2);
    MoveTo(caption, 0, caption.top);
    auto centreAcross = [&] { Offset(picture, (width - input.pictureW) / 2, 0); };
    switch (input.alignment) {
    case PictureAlignment::Left:
        Offset(picture, input.marginX, 0);
        if (hasCaption) {
            Offset(caption, picture.right + gap, 0);
            const int spare = width - input.marginX - caption.right;
            if (spare > 1)
                Offset(caption, spare / 2, 0);
        }
        break;
    case PictureAlignment::LeftOfCaption:
        if (!hasCaption) {
            centreAcross();
        } else {
            Offset(caption, picture.right + gap, 0);
            const int spare = (width - caption.right) / 2;
            Offset(caption, spare, 0);
            Offset(picture, spare, 0);
        }
        break;
    case PictureAlignment::Right:
        Offset(picture, width - input.pictureW - input.marginX, 0);
        if (hasCaption) {
            Offset(caption, picture.left - caption.right - gap, 0);
            const int spare = caption.left - input.marginX;
            if (spare > 1)
                Offset(caption, -(spare / 2), 0);
        }
        break;
    default: // right of the caption
        if (!hasCaption) {
            centreAcross();
        } else {
            Offset(picture, caption.right + gap, 0);
            const int spare = (width - picture.right) / 2;
            Offset(caption, spare, 0);
            Offset(picture, spare, 0);
        }
        break;
    }
}
} // namespace

ButtonLayout LayoutCaptionAndPicture(const LayoutInput& input)
{
    const int width = input.width, height = input.height;
    ButtonLayout out;
    out.focusRect = Rect{input.marginX, input.marginY, width - input.marginX, height - input.marginY};
    Rect caption = input.hasCaption ? input.measuredCaption : Rect{};
    Offset(caption, (width - caption.right) / 2, (height - caption.bottom) / 2);
    out.captionRect = caption;
    out.pictureRect = input.previousPicture;
    if (!input.hasPicture)
        return out;

    Rect picture{0, 0, input.pictureW, input.pictureH};
    switch (input.alignment) {
    case PictureAlignment::Centre:
        Offset(picture, (width - input.pictureW) / 2, (height - input.pictureH) / 2);
        break;
    case PictureAlignment::Bottom:
    case PictureAlignment::BelowCaption:
    case PictureAlignment::Top:
    case PictureAlignment::AboveCaption:
        PlaceStacked(input, caption, picture);
        break;
    case PictureAlignment::Left:
    case PictureAlignment::LeftOfCaption:
    case PictureAlignment::Right:
    case PictureAlignment::RightOfCaption:
        PlaceSideBySide(input, caption, picture);
        break;
    default:
        break;
    }
    out.pictureRect = picture;
    out.captionRect = caption;
    return out;
}

std::vector<Rgb> VerticalGradientRows(Rgb c1, Rgb c2, float& percent, int top, int bottom)
{
    bottom = std::max(bottom, top);
    percent = std::clamp(percent, 0.0f, 100.0f);
    Channels a = SplitRGB(c1), b = SplitRGB(c2);
    Channels mid{RoundHalfEven(a.red + (b.red - a.red) * 0.5), RoundHalfEven(a.green + (b.green - a.green) * 0.5),
                 RoundHalfEven(a.blue + (b.blue - a.blue) * 0.5)};
    float s = static_cast<float>(top) + static_cast<float>(bottom - top - 1) * percent / 100.0f;
    if (s == 0.0f)
        s = 1.0f;
    percent = s;
    std::vector<Rgb> rows;
    rows.reserve(static_cast<std::size_t>(bottom - top + 1));
    for (int y = top; y <= bottom; ++y) {
        Channels from = a, to = mid;
        double t;
        if (s >= static_cast<float>(y))
            t = y / static_cast<double>(s);
        else {
            from = mid;
            to = b;
            t = (y - static_cast<double>(s)) / (bottom - static_cast<double>(s));
        }
        rows.push_back(MakeRGB(RoundHalfEven(from.red + (to.red - from.red) * t),
                               RoundHalfEven(from.green + (to.green - from.green) * t),
                               RoundHalfEven(from.blue + (to.blue - from.blue) * t)));
    }
    return rows;
}

std::vector<Rgb> ShineRows(Rgb top, Rgb bottom, int rows)
{
    std::vector<Rgb> out;
    if (rows <= 0)
        return out;
    Channels a = SplitRGB(top), b = SplitRGB(bottom);
    for (int i = 0; i < rows; ++i) {
        double t = static_cast<double>(i) / rows;
        out.push_back(MakeRGB(RoundHalfEven(a.red + (b.red - a.red) * t), RoundHalfEven(a.green + (b.green - a.green) * t),
                              RoundHalfEven(a.blue + (b.blue - a.blue) * t)));
    }
    return out;
}

std::vector<Point> BuildOutline(int w, int h, int ew, int eh, ButtonShape shape,
                                const std::function<bool(int, int)>& inside)
{
    const int bandHeight = std::clamp(RoundHalfEven(eh / 2.0), 0, RoundHalfEven(h / 2.0));
    const int bandWidth = std::clamp(RoundHalfEven(ew / 2.0), 0, RoundHalfEven(w / 2.0));
    std::vector<Point> points;
    auto scanLeft = [&](int y) {
        int x = bandWidth;
        while (x >= 0 && inside(x, y))
            --x;
        return x;
    };
    auto scanRight = [&](int y) {
        int x = w - bandWidth;
        while (x <= w - 1 && inside(x, y))
            ++x;
        return x;
    };
    if (SquareOnLeft(shape)) {
        points.push_back({0, 0});
        points.push_back({0, h - 1});
    } else {
        for (int y = 0; y < bandHeight; ++y) {
            int x = scanLeft(y);
            points.push_back({x + 1, y});
            if (x > 0)
                points.push_back({x, y + 1});
        }
        for (int y = h - bandHeight; y <= h - 1; ++y) {
            int x = scanLeft(y);
            if (x > 0)
                points.push_back({x, y - 1});
            points.push_back({x + 1, y});
        }
    }
    if (SquareOnRight(shape)) {
        points.push_back({w - 1, h - 1});
        points.push_back({w - 1, 0});
    } else {
        for (int y = h - 1; y >= h - bandHeight + 1; --y) {
            int x = scanRight(y);
            points.push_back({x - 1, y});
            points.push_back({x, y - 1});
        }
        for (int y = bandHeight; y >= 0; --y) {
            int x = scanRight(y);
            points.push_back({x, y + 1});
            points.push_back({x - 1, y});
        }
    }
    if (!points.empty())
        points.push_back(points.front());
    return points;
}

std::uint8_t BlendChannel(std::uint8_t back, std::uint8_t front, float opacity)
{
    return static_cast<std::uint8_t>(
        std::clamp(RoundHalfEven(back + (front - back) * static_cast<double>(opacity)), 0, 255));
}

void ComposePicture(std::uint8_t* picture, const std::uint8_t* background, int w, int h, int stride, Rgb key,
                    Rgb solid, float opacity)
{
    if (solid == kNoColor && key == kNoColor && opacity == 1.0f)
        return;
    const Channels s = SplitRGB(solid == kNoColor ? 0 : solid);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* p = picture + static_cast<std::ptrdiff_t>(y) * stride;
        const std::uint8_t* b = background + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < w; ++x, p += 3, b += 3) {
            Rgb rgb = MakeRGB(p[2], p[1], p[0]);
            if (key != kNoColor && rgb == key) {
                p[0] = b[0];
                p[1] = b[1];
                p[2] = b[2];
            } else if (solid != kNoColor) {
                p[0] = static_cast<std::uint8_t>(s.blue);
                p[1] = static_cast<std::uint8_t>(s.green);
                p[2] = static_cast<std::uint8_t>(s.red);
            } else if (opacity != 1.0f) {
                for (int c = 0; c < 3; ++c)
                    p[c] = BlendChannel(b[c], p[c], opacity);
            }
        }
    }
}

} // namespace skin
