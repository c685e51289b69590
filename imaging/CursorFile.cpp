#include "imaging/CursorFile.h"

#include "imaging/DibPixels.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cICOparser.h"
#include "imaging/core/PixelExport.h"

#include "runtime/DibInfo.h"

namespace imaging {

bool SaveCursorToStream(HCURSOR cursor, std::vector<std::uint8_t>& outStream)
{
    ICONINFO info{};
    if (!cursor || !GetIconInfo(cursor, &info))
        return false;
    const rt::Gdi<HBITMAP> mask(info.hbmMask), colour(info.hbmColor); // only the hot spot is wanted here
    c32bppDIB picture;
    if (!cICOparser().ConvertstdPicTo32bpp(cursor, picture))
        return false;
    const auto pixels = PixelsOf(picture);
    std::vector<std::uint8_t> bytes =
        pixels ? CursorFileBytes(*pixels, static_cast<int>(info.xHotspot), static_cast<int>(info.yHotspot))
               : std::vector<std::uint8_t>();
    if (bytes.empty())
        return false;
    outStream = std::move(bytes);
    return true;
}

rt::UniqueIcon LoadCursorFromStream(std::span<const std::uint8_t> inStream)
{
    cICOparser reader;
    c32bppDIB picture;
    if (!reader.LoadStream(inStream, 0, 0, &picture, 0, inStream.size(), 32, {}) || !picture.Handle())
        return {};
    const int w = picture.Width(), h = picture.Height();
    // Cursors take straight alpha, bottom row first as the bitmap's rows lie.
    PixelArray straight;
    if (!picture.GetDIBbits(straight, false, true, true, false, true, 0, 0, 0, 0, false))
        return {};
    const BITMAPINFO colourInfo = rt::DibInfo(w, h, 32);
    void* bits = nullptr;
    const rt::WindowDC screen(nullptr);
    const rt::Gdi<HBITMAP> colour(CreateDIBSection(screen.get(), &colourInfo, DIB_RGB_COLORS, &bits, nullptr, 0));
    const rt::Gdi<HBITMAP> mask(CreateBitmap(w, h, 1, 1, nullptr));
    if (!colour || !bits || !mask)
        return {};
    std::copy(straight.bytes.begin(), straight.bytes.end(), static_cast<std::uint8_t*>(bits));
    struct {
        BITMAPINFOHEADER head;
        RGBQUAD colours[2];
    } maskInfo{rt::DibInfo(w, h, 1).bmiHeader, {{0, 0, 0, 0}, {255, 255, 255, 0}}};
    const std::vector<std::uint8_t> maskRows = AndMaskRows(*PixelsOf(picture));
    if (SetDIBits(screen.get(), mask.get(), 0, static_cast<UINT>(h), maskRows.data(),
                  reinterpret_cast<BITMAPINFO*>(&maskInfo), DIB_RGB_COLORS) != h)
        return {};
    const POINT hot = reader.HotSpot(reader.LoadedEntry());
    ICONINFO info{FALSE, static_cast<DWORD>(hot.x), static_cast<DWORD>(hot.y), mask.get(),
                  colour.get()};
    return rt::UniqueIcon(CreateIconIndirect(&info));
}

} // namespace imaging
