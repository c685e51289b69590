#include "alphaimage/core/HitShape.h"

#include <algorithm>
#include <cmath>

namespace aic {

Rect FitRect(int iw, int ih, int bw, int bh)
{
    if (iw <= 0 || ih <= 0 || bw <= 0 || bh <= 0)
        return {};
    // Scale by the tighter side; integer maths with 64-bit products cannot overflow here.
    long long w = bw, h = static_cast<long long>(ih) * bw / iw;
    if (h > bh) {
        h = bh;
        w = static_cast<long long>(iw) * bh / ih;
    }
    w = std::max(1LL, w);
    h = std::max(1LL, h);
    int left = static_cast<int>((bw - w) / 2), top = static_cast<int>((bh - h) / 2);
    return Rect{left, top, left + static_cast<int>(w), top + static_cast<int>(h)};
}

HitShape HitShape::Build(std::span<const std::uint8_t> bgra, int w, int h, int stride, int mode)
{
    HitShape s;
    s.mode_ = (mode >= 0 && mode <= 3) ? mode : 0;
    if (w <= 0 || h <= 0)
        return s;
    s.w_ = w;
    s.h_ = h;
    if (s.mode_ == 0) {
        s.box_ = Rect{0, 0, w, h};
        return s;
    }
    if (stride < w * 4 || bgra.size() < static_cast<std::size_t>(stride) * static_cast<std::size_t>(h - 1) +
                                            static_cast<std::size_t>(w) * 4) {
        s.w_ = s.h_ = 0;
        return s;
    }
    s.spans_.assign(static_cast<std::size_t>(h), {0, 0});
    if (s.mode_ == 3)
        s.visible_.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    Rect box{w, h, 0, 0};
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = bgra.data() + static_cast<std::size_t>(stride) * static_cast<std::size_t>(y);
        int first = -1, last = -1;
        for (int x = 0; x < w; ++x) {
            if (row[x * 4 + 3] == 0)
                continue;
            if (first < 0)
                first = x;
            last = x;
            if (s.mode_ == 3)
                s.visible_[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)] = 1;
        }
        if (first < 0)
            continue;
        s.spans_[static_cast<std::size_t>(y)] = {first, last + 1};
        box.left = std::min(box.left, first);
        box.right = std::max(box.right, last + 1);
        box.top = std::min(box.top, y);
        box.bottom = y + 1;
    }
    s.box_ = box.Empty() ? Rect{} : box;
    return s;
}

bool HitShape::Hits(int x, int y) const
{
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return false;
    switch (mode_) {
    case 0:
        return true;
    case 1:
        return box_.Contains(x, y);
    case 2: {
        auto [first, end] = spans_[static_cast<std::size_t>(y)];
        return x >= first && x < end;
    }
    default:
        return visible_[static_cast<std::size_t>(y) * static_cast<std::size_t>(w_) + static_cast<std::size_t>(x)] != 0;
    }
}

} // namespace aic
