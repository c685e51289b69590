// Size and byte arithmetic shared by the bitmap object, the readers and the writer. All of it
// is done in 64 bits, so that a picture's dimensions from outside data cannot wrap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace imaging {

// Bytes of a 32-bpp bitmap of width × |height| pixels; none for a width below 1, a height of
// 0 or INT_MIN, or when the size passes 2^31 - 1 (GDI's and the readers' signed limit).
std::optional<std::size_t> DibByteSize(std::int64_t width, std::int64_t height);

// Row length of a device-independent bitmap of `bits` per pixel, rounded up to 4 bytes;
// negative widths count as 0.
std::int64_t RowBytesForDepth(std::uint8_t bits, std::int32_t width);

constexpr std::uint32_t SwapByteOrder32(std::uint32_t v)
{
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

// CapabilityFlags bits of the bitmap object.
enum CapabilityFlag : std::uint32_t {
    capUseAlphaBlend = 1,
    capGdiPlus = 2,
    capHasAlphaBlend = 8,
    capWin9x = 16,
    capNoAlphaBlendNoGdiPlus = 32,
};

// The flags a system of this platform id (1: Windows 9x), version and service pack earns.
std::uint32_t CapabilityFlagsFor(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor,
                                 std::uint32_t servicePackMajor);

} // namespace imaging
