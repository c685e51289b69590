// The eight bytes that open every PNG file: a high-bit byte, the name, and the line endings that
// a text-mode copy would change.
#pragma once

#include <array>
#include <cstdint>

namespace imaging {

inline constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

} // namespace imaging
