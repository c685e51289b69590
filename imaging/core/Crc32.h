// CRC-32 of PNG chunks (ISO 3309, reflected 0xEDB88320), our own so checks never depend on zlib.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace imaging {

// Continues `crc` (0 to start) over `data`; the result is the finished CRC.
// Long data are folded by carry-less multiplies where the processor has them.
std::uint32_t Crc32(std::span<const std::uint8_t> data, std::uint32_t crc = 0);
// The same by tables alone, as Crc32 runs where the processor has no carry-less multiply.
std::uint32_t Crc32BySlices(std::span<const std::uint8_t> data, std::uint32_t crc = 0);

} // namespace imaging
