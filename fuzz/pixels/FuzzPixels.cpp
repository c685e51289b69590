// The rotation, the shadow and the export and import layouts take sizes, windows and arrays
// from their callers: none of them may reach outside the bytes they were given, and turned
// premultiplied pixels keep their colour within their alpha.
#include "imaging/core/DropShadow.h"
#include "imaging/core/PixelExport.h"
#include "imaging/core/Rotate.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

int Signed(const std::uint8_t* d, int range) { return static_cast<int>(static_cast<std::int8_t>(d[0])) % range; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 16)
        return 0;
    const int w = 1 + data[0] % 24, h = 1 + data[1] % 24;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * h * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 16 + i < size ? data[16 + i] : static_cast<std::uint8_t>(i);
    for (std::size_t i = 0; i < pixels.size(); i += 4)
        for (int c = 0; c < 3; ++c)
            pixels[i + c] = std::min(pixels[i + c], pixels[i + 3]);
    const auto source = *imaging::PixelView::Packed(pixels, w, h);

    // A window that may leave the picture, any destination size and angle.
    const imaging::RotationWindow window{Signed(data + 2, 30), Signed(data + 3, 30), Signed(data + 4, 30),
                                         Signed(data + 5, 30)};
    const std::int64_t dw = Signed(data + 6, 40), dh = Signed(data + 7, 40);
    const std::int64_t side = imaging::RotationSquareSide(dw, dh);
    std::vector<std::uint8_t> square(static_cast<std::size_t>(side * side * 4));
    float angle;
    std::memcpy(&angle, data + 8, 4);
    if (side > 0) {
        const auto view = *imaging::PixelView::Packed(square, static_cast<int>(side), static_cast<int>(side));
        if (imaging::RotateIntoSquare(source, window, dw, dh, imaging::WholeDegrees(angle), data[12] & 1, view))
            for (std::size_t i = 0; i < square.size(); i += 4)
                if (square[i] > square[i + 3] || square[i + 1] > square[i + 3] || square[i + 2] > square[i + 3])
                    __builtin_trap();
    }

    const int margin = imaging::ShadowMargin(Signed(data + 13, 16));
    std::vector<std::uint8_t> shadow(static_cast<std::size_t>(w + 2 * margin) * (h + 2 * margin) * 4);
    (void)imaging::BlurShadow(source, margin, 0x102030, *imaging::PixelView::Packed(shadow, w + 2 * margin, h + 2 * margin));

    // A rectangle as callers name it, and an array of any length in any layout.
    const imaging::PixelLayout layout{(data[12] & 2) != 0, (data[12] & 4) != 0, (data[12] & 8) != 0, (data[12] & 16) != 0};
    if (const auto rect = imaging::ClipToPicture(w, h, Signed(data + 2, 30), Signed(data + 3, 30), Signed(data + 4, 30),
                                                 Signed(data + 5, 30))) {
        std::vector<std::uint8_t> array(data[14] * 8u + data[15]);
        (void)imaging::ExportPixels(source, *rect, layout, data[12] & 32, array);
        (void)imaging::ImportPixels(array, layout, source, *rect);
    }
    (void)imaging::BmpFileBytes(source, data[12] & 64);
    return 0;
}
