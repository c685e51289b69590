// Drop-file blocks come from other programs, and pictures bring their own sizes and strides:
// neither may make the engine read outside the bytes it was given.
#include "imaging/core/AlphaAnalysis.h"
#include "imaging/core/AlphaRects.h"
#include "imaging/core/DropFiles.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    (void)imaging::CheckDropFiles({data, size});
    if (size < 4)
        return 0;
    const int w = data[0] % 48, h = data[1] % 48, style = 1 + data[3] % 2;
    const std::size_t stride = static_cast<std::size_t>(w) * 4 + (data[2] % 4) * 4;
    std::vector<std::uint8_t> pixels(data + 4, data + size);
    auto view = imaging::PixelView::Over(pixels, w, h, stride);
    if (!view)
        return 0;
    for (auto r : imaging::AlphaRects(*view, static_cast<imaging::RegionStyle>(style)))
        if (r.left < 0 || r.right > w || r.left >= r.right || r.top < 0 || r.bottom != r.top + 1 || r.bottom > h)
            __builtin_trap();
    if (auto box = imaging::AlphaBoundingBox(*view); box && (box->right > w || box->bottom > h))
        __builtin_trap();
    (void)imaging::AnalyseAlphaChannel(*view, data[2] & 1, data[2] & 2 ? -1 : 0);
    return 0;
}
