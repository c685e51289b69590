// Adler-32, the checksum that closes a zlib stream.
#pragma once

#include <cstdint>
#include <span>

namespace imaging {

// Adler-32 as zlib streams carry it (1 to start).
std::uint32_t Adler32(std::span<const std::uint8_t> data, std::uint32_t adler = 1);

} // namespace imaging
