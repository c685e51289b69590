#include "imaging/core/PixelExport.h"

#include "imaging/core/Sizes.h"

#include <algorithm>
#include <cstring>

namespace imaging {

namespace {

bool Inside(const PixelView& picture, const PixelRect& r)
{
    return r.x >= 0 && r.y >= 0 && r.width >= 1 && r.height >= 1 &&
           std::int64_t{r.x} + r.width <= picture.Width() && std::int64_t{r.y} + r.height <= picture.Height();
}

// Room for the rectangle's rows, each of the full row length.
bool Fits(std::size_t available, const PixelLayout& layout, const PixelRect& r)
{
    const auto row = static_cast<std::uint64_t>(LayoutRowBytes(layout, r.width));
    return row != 0 && static_cast<std::uint64_t>(r.height) <= available / row;
}

void PutLE(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

} // namespace

std::int64_t LayoutRowBytes(const PixelLayout& layout, int width)
{
    if (width < 1)
        return 0;
    if (layout.bits32)
        return std::int64_t{width} * 4;
    return layout.wordAligned ? RowBytesForDepth(24, width) : std::int64_t{width} * 3;
}

std::optional<PixelRect> ClipToPicture(int pictureWidth, int pictureHeight, int x, int y, int width, int height)
{
    if (x < 0 || y < 0 || x >= pictureWidth || y >= pictureHeight || width < 0 || height < 0)
        return std::nullopt;
    const std::int64_t w = width == 0 ? pictureWidth : width, h = height == 0 ? pictureHeight : height;
    return PixelRect{x, y, static_cast<int>(std::min<std::int64_t>(w, std::int64_t{pictureWidth} - x)),
                     static_cast<int>(std::min<std::int64_t>(h, std::int64_t{pictureHeight} - y))};
}

std::uint8_t Unpremultiply(std::uint8_t c, std::uint8_t a)
{
    if (a == 0)
        return 0;
    return static_cast<std::uint8_t>(std::min(255u, c * 255u / a));
}

std::uint32_t PixelColour(std::span<const std::uint8_t, 4> pixel, bool premultiplied)
{
    std::uint32_t b = pixel[0], g = pixel[1], r = pixel[2];
    const std::uint8_t a = pixel[3];
    if (!premultiplied && a != 0 && a != 255) {
        b = Unpremultiply(pixel[0], a);
        g = Unpremultiply(pixel[1], a);
        r = Unpremultiply(pixel[2], a);
    }
    return r | g << 8 | b << 16;
}

bool ExportPixels(const PixelView& picture, PixelRect rect, const PixelLayout& layout, bool premultiplied,
                  std::span<std::uint8_t> out)
{
    if (!Inside(picture, rect) || !Fits(out.size(), layout, rect))
        return false;
    const auto rowBytes = static_cast<std::size_t>(LayoutRowBytes(layout, rect.width));
    const std::size_t size = layout.bits32 ? 4 : 3;
    const bool asHeld = layout.bgr && layout.bits32 && premultiplied;
    for (int j = 0; j < rect.height; ++j) {
        const std::uint8_t* in = picture.RowFromTop(rect.y + j).data() + std::size_t(rect.x) * 4;
        std::uint8_t* o = out.data() + static_cast<std::size_t>(layout.bottomUp ? rect.height - 1 - j : j) * rowBytes;
        if (asHeld) {
            std::memcpy(o, in, std::size_t(rect.width) * 4);
            continue;
        }
        for (int x = 0; x < rect.width; ++x, in += 4, o += size) {
            const std::uint8_t a = in[3];
            std::uint8_t c[3] = {in[0], in[1], in[2]};
            if (!premultiplied && a != 255)
                for (auto& v : c)
                    v = Unpremultiply(v, a);
            o[0] = layout.bgr ? c[0] : c[2];
            o[1] = c[1];
            o[2] = layout.bgr ? c[2] : c[0];
            if (layout.bits32)
                o[3] = a;
        }
    }
    return true;
}

bool ImportPixels(std::span<const std::uint8_t> in, const PixelLayout& layout, const PixelView& picture,
                  PixelRect rect)
{
    if (!Inside(picture, rect) || !Fits(in.size(), layout, rect))
        return false;
    const auto rowBytes = static_cast<std::size_t>(LayoutRowBytes(layout, rect.width));
    const std::size_t size = layout.bits32 ? 4 : 3;
    for (int j = 0; j < rect.height; ++j) {
        std::uint8_t* o = picture.RowFromTop(rect.y + j).data() + std::size_t(rect.x) * 4;
        const std::uint8_t* i = in.data() + static_cast<std::size_t>(layout.bottomUp ? rect.height - 1 - j : j) * rowBytes;
        if (layout.bgr && layout.bits32) {
            std::memcpy(o, i, std::size_t(rect.width) * 4);
            continue;
        }
        for (int x = 0; x < rect.width; ++x, o += 4, i += size) {
            o[0] = layout.bgr ? i[0] : i[2];
            o[1] = i[1];
            o[2] = layout.bgr ? i[2] : i[0];
            if (layout.bits32)
                o[3] = i[3];
        }
    }
    return true;
}

std::vector<std::uint8_t> BmpFileBytes(const PixelView& picture, bool hasAlpha)
{
    constexpr std::size_t kHeader = 54;
    const PixelLayout layout{true, hasAlpha, true, true};
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(LayoutRowBytes(layout, picture.Width()));
    const std::uint64_t image = rowBytes * static_cast<std::uint64_t>(picture.Height());
    if (image == 0 || image > UINT32_MAX - kHeader)
        return {};
    std::vector<std::uint8_t> out(kHeader + image, 0);
    out[0] = 'B';
    out[1] = 'M';
    PutLE(out, 2, static_cast<std::uint32_t>(image + kHeader), 4);
    PutLE(out, 10, kHeader, 4);
    PutLE(out, 14, 40, 4);
    PutLE(out, 18, static_cast<std::uint32_t>(picture.Width()), 4);
    PutLE(out, 22, static_cast<std::uint32_t>(picture.Height()), 4);
    PutLE(out, 26, 1, 2);
    PutLE(out, 28, hasAlpha ? 32 : 24, 2);
    PutLE(out, 34, static_cast<std::uint32_t>(image), 4);
    const PixelRect whole{0, 0, picture.Width(), picture.Height()};
    if (!ExportPixels(picture, whole, layout, true, std::span(out).subspan(kHeader)))
        return {};
    return out;
}

} // namespace imaging
