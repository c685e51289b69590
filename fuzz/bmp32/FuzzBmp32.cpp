// Picture bytes come from files and stored properties: any bytes must be taken without
// reading outside them, and a picture read must match the sizes it reports.
#include "alphaimage/core/Bmp32.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto img = aic::ReadBmp32(std::span<const std::uint8_t>(data, size));
    if (img && img->pixels.size() != static_cast<std::size_t>(img->width) * static_cast<std::size_t>(img->height) * 4)
        __builtin_trap();
    return 0;
}
