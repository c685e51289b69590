// Icon bytes come from stored properties: any bytes must be taken without reading outside
// them, and an image read must hold all its header describes, so that writing it again
// gives a file that reads back the same.
#include "skin/core/IconFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto img = skin::ReadIconFile(std::span<const std::uint8_t>(data, size));
    if (!img)
        return 0;
    const std::vector<std::uint8_t> again = skin::WriteIconFile(img->bytes);
    const auto back = skin::ReadIconFile(again);
    if (!back || back->width != img->width || back->height != img->height || !std::ranges::equal(back->bytes, img->bytes))
        __builtin_trap();
    return 0;
}
