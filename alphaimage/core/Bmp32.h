// An uncompressed 32-bit BMP copied straight into pixels, so that its alpha channel survives
// (the system's picture loader drops it).
#pragma once

#include "alphaimage/core/Pixels.h"

#include <cstdint>
#include <optional>
#include <span>

namespace aic {

// The picture of a "BM" file of 32 bits a pixel without compression, brought into the
// premultiplied convention: straight alpha is multiplied in, a picture whose alpha is zero
// throughout is opaque. Nothing for any other data, or a file shorter than its header says.
std::optional<PremultipliedImage> ReadBmp32(std::span<const std::uint8_t> bytes);

} // namespace aic
