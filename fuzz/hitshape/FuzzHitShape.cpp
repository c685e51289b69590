// Hit shapes are built from decoded picture pixels with sizes that come with the picture:
// any sizes, stride and buffer length must be taken without reading outside the buffer.
#include "alphaimage/core/HitShape.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 5)
        return 0;
    int w = data[0] % 40, h = data[1] % 40, stride = data[2] % 200, mode = data[3] % 5;
    std::span<const std::uint8_t> pixels(data + 4, size - 4);
    auto shape = aic::HitShape::Build(pixels, w, h, stride, mode);
    for (int y = -1; y <= h; ++y)
        for (int x = -1; x <= w; ++x)
            (void)shape.Hits(x, y);
    aic::Rect r = aic::FitRect(data[0], data[1], data[2], data[3]);
    if (!r.Empty() && (r.left < 0 || r.top < 0 || r.right > data[2] || r.bottom > data[3]))
        __builtin_trap();
    return 0;
}
