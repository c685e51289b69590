// Scaling of a rectangle of premultiplied pixels to another size, by nearest pixel or by a
// two-by-two weighted blend, produced a row at a time and only for the part that is drawn.
#pragma once

#include "imaging/core/Blend.h"
#include "imaging/core/Lightness.h"
#include "imaging/core/PixelView.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace imaging {

// Output pixel (x, y), counted from the bottom like the rows in memory, samples the source at
// px = rect.x + x × rect.width / outWidth and py = bottom + y × rect.height / outHeight, where
// bottom is the rectangle's bottom row. Nearest takes the pixel at (floor(px), floor(py));
// weighted takes columns ix, ix + 1 and rows iy, iy + 1 with 7-bit weights rounded to
// nearest (a neighbour outside the rectangle is never read), and rounds its sums to nearest:
// opaque pictures stay opaque and no colour rises above its alpha. At the same size both are
// exact copies.
class Scaler {
public:
    // None when `rect` is empty or not inside `source`, an output size is below 1, or `window`
    // (the part of the output to produce, top-based) is empty or not inside the output.
    static std::optional<Scaler> Make(const PixelView& source, PixelRect rect, std::int64_t outWidth,
                                      std::int64_t outHeight, PixelRect window, bool weighted);

    int Width() const { return window_.width; }
    int Height() const { return window_.height; }
    // Row `y` of the window (from its top): a view into the source when nothing is scaled, else
    // `scratch` (at least Width() × 4 bytes) filled.
    std::span<const std::uint8_t> Row(int y, std::span<std::uint8_t> scratch) const;

private:
    friend bool DrawScaled(const Scaler&, const Lightness&, const Blender&, const PixelView&, int, int);
    friend struct FusedDraw; // scaled colour draws onto 32-bit pixels, each group of pixels handed to the blend as made
    Scaler(const PixelView& source, PixelRect window) : source_(source), window_(window) {}
    // Weighted rows are made in two passes: the two source rows mixed into `vertical_`, then
    // output pixels [from, from + count) of the row from neighbouring columns of it.
    void Vertical(int y) const;
    void Horizontal(std::size_t from, std::size_t count, std::uint8_t* out) const;
    void Nearest(int y, std::size_t from, std::size_t count, std::uint8_t* out) const;

    PixelView source_;
    PixelRect window_;
    bool weighted_ = false;
    bool identity_ = false;
    int firstColumn_ = 0;                   // source column of the window's first pixel (identity)
    std::vector<int> columns_;              // per output column: source column ix (weighted: less spanFirst_)
    std::vector<std::uint32_t> columnPair_; // weighted: 128 - w | w << 16, w the weight of column ix + 1
    std::vector<int> rows_;                 // per window row from the top: memory row iy
    std::vector<std::uint8_t> rowNext_;     // weight of memory row iy + 1, 0 to 128
    int spanFirst_ = 0, spanColumns_ = 0;   // source columns the window reads
    // Nearest, in groups of eight output columns: each group reads `nearRuns_` runs of eight
    // neighbouring source pixels from `nearBase_` (a column chosen so that the runs stay inside
    // the row), as many as the widest group spans; 0 when that is more than three.
    // `nearOffsets_` holds each column's distance from its group's base.
    std::vector<int> nearBase_;
    std::vector<int> nearOffsets_;
    int nearRuns_ = 0;
    bool sse2_ = false; // the four-pixel loops run
    mutable std::vector<std::uint16_t> vertical_;
};

// Writes the scaler's window into `target` at (x, y) (top-based); false, and nothing written,
// when it does not fit there.
bool ResampleInto(const Scaler& scaler, const PixelView& target, int x, int y);

// The own pipeline's drawing: each row of the scaler's window, light-adjusted when asked, is
// blended onto the target at (x, y) (top-based). False, and nothing drawn, when the window
// does not fit the target there.
bool DrawScaled(const Scaler& scaler, const Lightness& light, const Blender& blender, const PixelView& target, int x,
                int y);
bool DrawScaled(const Scaler& scaler, const Lightness& light, const Blender& blender, const Bgr24View& target, int x,
                int y);

} // namespace imaging
