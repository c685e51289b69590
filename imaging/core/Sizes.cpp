#include "imaging/core/Sizes.h"

#include <climits>

namespace imaging {

std::optional<std::size_t> DibByteSize(std::int64_t width, std::int64_t height)
{
    if (width < 1 || height == 0 || height == INT_MIN || width > INT_MAX || height > INT_MAX || height < INT_MIN)
        return std::nullopt;
    const std::int64_t rows = height < 0 ? -height : height;
    const std::int64_t pixels = width * rows; // both factors below 2^31: no 64-bit wrap
    if (pixels > INT_MAX / 4)
        return std::nullopt;
    return static_cast<std::size_t>(pixels * 4);
}

std::int64_t RowBytesForDepth(std::uint8_t bits, std::int32_t width)
{
    if (width <= 0)
        return 0;
    return ((std::int64_t{bits} * width + 31) & ~std::int64_t{31}) / 8;
}

std::uint32_t CapabilityFlagsFor(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor,
                                 std::uint32_t servicePackMajor)
{
    if (platformId == 1)
        return minor != 0 ? std::uint32_t{capHasAlphaBlend | capWin9x} : std::uint32_t{capNoAlphaBlendNoGdiPlus};
    if (major > 4)
        return std::uint32_t{capUseAlphaBlend | capHasAlphaBlend};
    return servicePackMajor < 6 ? std::uint32_t{capNoAlphaBlendNoGdiPlus} : 0u;
}

} // namespace imaging
