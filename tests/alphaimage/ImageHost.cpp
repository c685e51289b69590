#include "tests/alphaimage/ImageHost.h"

#include "imaging/cGDIPlus.h"

namespace test {

aic::aicAlphaImage& ImageHost::Add(const rt::PropertyBag* design, bool runMode, HWND container, rt::Bounds bounds)
{
    if (!hWnd())
        Load();
    auto& image = *images_.emplace_back(std::make_unique<aic::aicAlphaImage>(L"Image" + std::to_wstring(images_.size())));
    image.SetAmbientUserMode(runMode);
    image.Create(*this, container ? container : hWnd(), bounds, design);
    return image;
}

void Picture(imaging::c32bppDIB& dib, int w, int h, bool opaque)
{
    Bytes rows;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool clear = !opaque && (x + y) % 3 == 0;
            const auto c = static_cast<std::uint8_t>(clear ? 0 : 255);
            rows.insert(rows.end(), {static_cast<std::uint8_t>(c & (40 * x)), static_cast<std::uint8_t>(c & (50 * y)),
                                     static_cast<std::uint8_t>(c & 0x99), c});
        }
    dib.InitializeDIB(w, h);
    dib.SetDIBbits(rows, true, true, true, true);
}

Bytes PictureBmp(int w, int h, bool opaque)
{
    imaging::c32bppDIB dib;
    Picture(dib, w, h, opaque);
    Bytes bytes;
    dib.SaveToStream(bytes);
    return bytes;
}

Bytes PicturePng(int w, int h)
{
    imaging::c32bppDIB dib;
    Picture(dib, w, h);
    Bytes bytes;
    imaging::cGDIPlus().SaveToPNG(L"", bytes, dib, {});
    return bytes;
}

Bytes PixelsOf(const imaging::c32bppDIB& dib)
{
    imaging::PixelArray out;
    dib.GetDIBbits(out, false, true, true, false, true);
    return out.bytes;
}

} // namespace test
