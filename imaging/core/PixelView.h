// A picture's pixel bytes seen as rows: 4 bytes a pixel (blue, green, red, alpha), row 0 the
// first row in memory. The view never reaches past the span it was made over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace imaging {

// A rectangle in a picture's public coordinates: x from the left, y from the top.
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// Whether `height` rows of `width` pixels of `pixelBytes` bytes, `stride` bytes apart, fit in
// `size` bytes; false for a negative size. The last row needs only its pixels, not a whole stride.
bool RowsFit(std::size_t size, int width, int height, std::size_t stride, unsigned pixelBytes);

class PixelView {
public:
    // A view of `height` rows of `width` pixels, rows `stride` bytes apart; none when the rows
    // would not fit in `bytes` or a size is negative.
    static std::optional<PixelView> Over(std::span<std::uint8_t> bytes, int width, int height, std::size_t stride);
    // Rows packed without padding, as the engine's own bitmaps hold them.
    static std::optional<PixelView> Packed(std::span<std::uint8_t> bytes, int width, int height)
    {
        return Over(bytes, width, height, static_cast<std::size_t>(width < 0 ? 0 : width) * 4);
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    std::span<std::uint8_t> Row(int memoryRow) const
    {
        return bytes_.subspan(static_cast<std::size_t>(memoryRow) * stride_, static_cast<std::size_t>(width_) * 4);
    }
    // Row `y` counted from the top of a bottom-up picture.
    std::span<std::uint8_t> RowFromTop(int y) const { return Row(height_ - 1 - y); }

private:
    PixelView(std::span<std::uint8_t> bytes, int width, int height, std::size_t stride)
        : bytes_(bytes), width_(width), height_(height), stride_(stride)
    {
    }
    std::span<std::uint8_t> bytes_;
    int width_;
    int height_;
    std::size_t stride_;
};

} // namespace imaging
