// PNG bytes come from files and from icon entries: any bytes must be walked and decoded without
// reading or writing outside them, with our inflate and without, and give the sizes they report.
#include "imaging/core/PngReader.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    imaging::PngPicture picture;
    const auto load = imaging::DecodePng(std::span<const std::uint8_t>(data, size), picture);
    if (load == imaging::PngLoad::Decoded &&
        picture.pixels.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 4)
        __builtin_trap();
    for (std::size_t i = 0; i < picture.pixels.size(); i += 4) // premultiplied: no colour above its alpha
        if (picture.pixels[i] > picture.pixels[i + 3] || picture.pixels[i + 1] > picture.pixels[i + 3] ||
            picture.pixels[i + 2] > picture.pixels[i + 3])
            __builtin_trap();
    return 0;
}
