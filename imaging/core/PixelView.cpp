#include "imaging/core/PixelView.h"

namespace imaging {

bool RowsFit(std::size_t size, int width, int height, std::size_t stride, unsigned pixelBytes)
{
    if (width < 0 || height < 0)
        return false;
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(width) * pixelBytes;
    if (height > 0 && stride < rowBytes)
        return false;
    const std::uint64_t rows = height == 0 ? 0 : static_cast<std::uint64_t>(height - 1);
    if (rows != 0 && stride > (UINT64_MAX - rowBytes) / rows)
        return false;
    const std::uint64_t need = height == 0 ? 0 : stride * rows + rowBytes;
    return need <= size;
}

std::optional<PixelView> PixelView::Over(std::span<std::uint8_t> bytes, int width, int height, std::size_t stride)
{
    if (!RowsFit(bytes.size(), width, height, stride, 4))
        return std::nullopt;
    return PixelView(bytes, width, height, stride);
}

} // namespace imaging
