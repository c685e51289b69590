// Run-length BMP data of 4 or 8 bits a pixel drawn into the engine's 32-bit pixels, as the
// system's drawing of them into a blank bitmap leaves it once every pixel is made opaque.
#pragma once

#include <cstdint>
#include <span>

namespace imaging {

// Draws `runs` (the stream a "BM" file of 4- or 8-bit runs holds, `bits` its depth) into `bgra`:
// `width` * 4 bytes a row, bottom row first as the stream gives them; blue, green, red from
// `colourTable` (four bytes an entry) and alpha 255. A pixel the stream skips or clips, or whose
// index lies past the table, is opaque black; so are the pixels painted after the last end of
// line or delta when the data stop without an end of bitmap. False, with nothing written, when
// `bits` is neither depth or `bgra` is not `width` x `height` pixels.
bool DrawBmpRuns(std::span<const std::uint8_t> runs, int bits, std::span<const std::uint8_t> colourTable,
                 std::span<std::uint8_t> bgra, std::uint32_t width, std::uint32_t height);

} // namespace imaging
