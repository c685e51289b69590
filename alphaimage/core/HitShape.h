// Which points of an image control belong to its picture: built from the alpha of the
// pixels as drawn, by the control's HitTest mode.
#pragma once

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace aic {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Empty() const { return right <= left || bottom <= top; }
};

// Where a picture of iw by ih pixels is drawn in a box of bw by bh: scaled to fit the box
// with its shape kept, centred. Empty when either size is not positive.
Rect FitRect(int iw, int ih, int bw, int bh);

// HitTest modes: 0 the whole control, 1 the bounding box of the visible pixels, 2 one span
// per row from the first to the last visible pixel, 3 the visible pixels themselves.
class HitShape {
public:
    HitShape() = default;
    // `bgra` holds w by h pixels, top row first, 4 bytes each with alpha last, rows `stride`
    // bytes apart. A short buffer or bad sizes give a shape that nothing hits (modes 1-3).
    static HitShape Build(std::span<const std::uint8_t> bgra, int w, int h, int stride, int mode);

    bool Hits(int x, int y) const;
    int Mode() const { return mode_; }
    Rect Bounds() const { return box_; }

private:
    int w_ = 0, h_ = 0, mode_ = 0;
    Rect box_;
    std::vector<std::pair<int, int>> spans_; // per row: first visible x, one past the last
    std::vector<std::uint8_t> visible_;      // per pixel, mode 3
};

} // namespace aic
