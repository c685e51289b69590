// Any pixels the engine may hold, with or without alpha and under any filter setting, must make
// a PNG that our reader takes back: opaque and transparent pixels exactly, partly transparent
// colours within one below what they were (or at their alpha, where they were above it).
// Input: width (1 byte), flags (bit 0 alpha, bits 1 to 4 the filter setting), then BGRA pixels.
#include "imaging/core/PngReader.h"
#include "imaging/core/PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 6)
        return 0;
    const int width = data[0] % 64 + 1;
    const bool alpha = data[1] & 1;
    const std::span<const std::uint8_t> bgra(data + 2, size - 2);
    const int height = static_cast<int>(bgra.size() / 4 / static_cast<std::size_t>(width));
    if (height == 0)
        return 0;
    imaging::PngWriteOptions options;
    options.filterSetting = (data[1] >> 1) % 9 - 1;
    const imaging::PngWriteServices services{
        [](std::span<std::uint8_t> to, std::span<const std::uint8_t> from) -> std::optional<std::size_t> {
            uLongf n = to.size();
            if (compress2(to.data(), &n, from.data(), from.size(), 9) != Z_OK)
                return std::nullopt;
            return n;
        },
        nullptr, nullptr};
    std::vector<std::uint8_t> png;
    if (!imaging::WritePng({bgra, width, height, alpha}, options, services, png))
        __builtin_trap();
    imaging::PngPicture back;
    if (imaging::DecodePng(png, back) != imaging::PngLoad::Decoded || back.width != width || back.height != height)
        __builtin_trap();
    for (std::size_t i = 0; i < back.pixels.size(); i += 4) {
        const int a = alpha ? bgra[i + 3] : 255;
        for (std::size_t k = 0; k < 4; ++k) {
            const int c = k == 3 ? a : a == 0 ? 0 : std::min<int>(bgra[i + k], a);
            const int got = back.pixels[i + k];
            if (got > c || got < (a == 0 || a == 255 || k == 3 ? c : c - 1))
                __builtin_trap();
        }
    }
    return 0;
}
