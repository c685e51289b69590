#include "imaging/core/PixelView.h"

namespace imaging {

std::optional<PixelView> PixelView::Over(std::span<std::uint8_t> bytes, int width, int height, std::size_t stride)
{
    if (width < 0 || height < 0)
        return std::nullopt;
    const auto rowBytes = static_cast<std::uint64_t>(width) * 4;
    if (height > 0 && stride < rowBytes)
        return std::nullopt;
    // The last row needs only its pixels, not a whole stride.
    const std::uint64_t rows = height == 0 ? 0 : static_cast<std::uint64_t>(height - 1);
    if (rows != 0 && stride > (UINT64_MAX - rowBytes) / rows)
        return std::nullopt;
    const std::uint64_t need = height == 0 ? 0 : stride * rows + rowBytes;
    if (need > bytes.size())
        return std::nullopt;
    return PixelView(bytes, width, height, stride);
}

} // namespace imaging
