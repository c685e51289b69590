#include "imaging/cBMPparser.h"

#include "imaging/Files.h"
#include "imaging/c32bppDIB.h"
#include "imaging/core/BmpReader.h"
#include "imaging/core/PixelLimit.h"
#include "imaging/core/PixelView.h"
#include "imaging/core/SourceSlice.h"

#include "runtime/DibInfo.h"
#include "runtime/Handles.h"
#include "runtime/Runtime.h"

#include <olectl.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace imaging {
namespace {

// How ConvertstdPicTo32bpp got the pixels, which decides how their alpha is read.
enum class Drawn { Kept32, Blitted, Metafile, Picture };

std::span<std::uint8_t> HostBits(const c32bppDIB& host)
{
    return {host.BitsPointer(), static_cast<std::size_t>(host.scanWidth()) * static_cast<std::size_t>(host.Height())};
}

bool LoadDirect(const BmpReader& reader, c32bppDIB& host)
{
    if (!host.InitializeDIB(reader.Width(), reader.Height()))
        return false;
    const auto alpha = reader.DecodeInto(HostBits(host));
    if (!alpha) {
        host.DestroyDIB();
        return false;
    }
    host.SetAlphaState(alpha->hasAlpha);
    host.SetImageType(alpha->imageType);
    return true;
}

// A BMP that the system draws as it stands, straight into the host: no picture object and no
// bitmap of its own between the two, which held the whole picture a second time.
bool DrawInto(const BmpReader& reader, c32bppDIB& host)
{
    const auto info = reader.InfoBytes();
    if (info.empty() || !host.InitializeDIB(reader.Width(), reader.Height()))
        return false;
    std::vector<std::uint32_t> header((info.size() + 3) / 4); // as aligned as the structure
    std::memcpy(header.data(), info.data(), info.size());
    const HDC dc = host.LoadDIBinDC(true);
    const bool drawn =
        dc && SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(host.Width()), static_cast<DWORD>(host.Height()), 0, 0, 0,
                                static_cast<UINT>(host.Height()), reader.PixelBytes().data(),
                                reinterpret_cast<const BITMAPINFO*>(header.data()), DIB_RGB_COLORS) != 0;
    host.LoadDIBinDC(false);
    const auto pixels = PixelView::Packed(HostBits(host), host.Width(), host.Height());
    if (!drawn || !pixels) {
        host.DestroyDIB();
        return false;
    }
    AnalyseAlphaChannel(*pixels, true, imgNone);
    host.SetAlphaState(false);
    host.SetImageType(PICTYPE_BITMAP);
    return true;
}

// A 32-bit bitmap, section or not, read through GDI, which keeps the fourth byte and hands the
// rows over bottom-up: GetObject gives a top-down section a positive height, so its own memory
// cannot tell which way its rows run.
bool Copy32(HDC dc, HBITMAP bitmap, c32bppDIB& host)
{
    BITMAPINFO info = rt::DibInfo(host.Width(), host.Height(), 32);
    return GetDIBits(dc, bitmap, 0, static_cast<UINT>(host.Height()), host.BitsPointer(), &info, DIB_RGB_COLORS) != 0;
}

// False when nothing was copied: a bitmap still selected into another DC (the caller's) cannot
// be selected here, and the host would keep its blank pixels.
bool Blit(HDC dc, HBITMAP bitmap, const c32bppDIB& host)
{
    const rt::UniqueDC memory(CreateCompatibleDC(dc));
    const HGDIOBJ old = memory ? SelectObject(memory.get(), bitmap) : nullptr;
    if (!old)
        return false;
    const bool copied = BitBlt(dc, 0, 0, host.Width(), host.Height(), memory.get(), 0, 0, SRCCOPY) != FALSE;
    SelectObject(memory.get(), old);
    return copied;
}

// The system's drawing leaves a painted pixel's fourth byte below 255: what a metafile did not
// paint is still the opaque white laid down first, and becomes clear.
bool ClearUnpainted(const PixelView& pixels)
{
    bool cleared = false;
    for (int y = 0; y < pixels.Height(); ++y) {
        const auto row = pixels.Row(y);
        for (std::size_t i = 0; i < row.size(); i += 4) {
            if (row[i + 3] == 255) {
                std::fill_n(row.subspan(i, 4).begin(), 4, std::uint8_t{0});
                cleared = true;
            } else {
                row[i + 3] = 255;
            }
        }
    }
    return cleared;
}

// The frame (HIMETRIC) in an enhanced metafile's header; none when it is empty or unreadable.
std::optional<std::pair<long, long>> EnhMetafileFrame(IPicture* picture)
{
    OLE_HANDLE handle = 0;
    ENHMETAHEADER header{};
    if (FAILED(picture->get_Handle(&handle)) ||
        !GetEnhMetaFileHeader(static_cast<HENHMETAFILE>(LongToHandle(static_cast<LONG>(handle))), sizeof header,
                              &header))
        return std::nullopt;
    const std::int64_t width = std::int64_t{header.rclFrame.right} - header.rclFrame.left;
    const std::int64_t height = std::int64_t{header.rclFrame.bottom} - header.rclFrame.top;
    if (width <= 0 || height <= 0 || width > LONG_MAX || height > LONG_MAX)
        return std::nullopt;
    return std::pair(static_cast<long>(width), static_cast<long>(height));
}

} // namespace

bool cBMPparser::LoadStream(std::span<const std::uint8_t> inStream, c32bppDIB& cHost, std::size_t streamOffset,
                            std::size_t streamLength)
{
    // A slice that leaves the array is not data we were given.
    if (streamOffset > inStream.size() || streamLength > inStream.size() - streamOffset)
        return false;
    const auto slice = inStream.subspan(streamOffset, streamLength);
    BmpReader reader;
    const BmpLoad load = reader.ReadHeader(slice);
    if (load == BmpLoad::Refused)
        return false;
    if (load == BmpLoad::Direct ? LoadDirect(reader, cHost) : DrawInto(reader, cHost))
        return true;
    if (cHost.Handle() || !MayGoToSystemDecoders(slice, rt::ScreenDpiX(), rt::ScreenDpiY()))
        return false;
    const rt::ComPtr<IPicture> picture = BytesToPictureObject(slice);
    return picture && ConvertstdPicTo32bpp(picture.get(), nullptr, cHost, reader.BitCount());
}

bool cBMPparser::ConvertstdPicTo32bpp(IPicture* stdPic, HBITMAP handle, c32bppDIB& cHost, int /*bitCount*/)
{
    SHORT type = PICTYPE_BITMAP;
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    BITMAP bitmap{};
    int cx = 0, cy = 0;
    if (!stdPic) {
        if (!handle || GetObjectType(handle) != OBJ_BITMAP || GetObjectW(handle, sizeof bitmap, &bitmap) == 0)
            return false;
        cx = bitmap.bmWidth;
        cy = std::abs(bitmap.bmHeight);
    } else {
        if (FAILED(stdPic->get_Type(&type)) || type == PICTYPE_NONE || type == PICTYPE_UNINITIALIZED ||
            FAILED(stdPic->get_Width(&hmWidth)) || FAILED(stdPic->get_Height(&hmHeight)))
            return false;
        // Some systems' picture of an enhanced-metafile handle reports no size (Wine's does);
        // the metafile's own header holds it.
        if (type == PICTYPE_ENHMETAFILE && (hmWidth == 0 || hmHeight == 0)) {
            if (const auto frame = EnhMetafileFrame(stdPic)) {
                hmWidth = frame->first;
                hmHeight = frame->second;
            }
        }
        const auto w = HimetricToPixels(hmWidth, true), h = HimetricToPixels(hmHeight, false);
        if (!w || !h || !FitsPixelLimit(*w, *h))
            return false;
        cx = *w;
        cy = *h;
    }
    if (!cHost.InitializeDIB(cx, cy))
        return false;
    const HDC dc = cHost.LoadDIBinDC(true);
    if (!dc) {
        cHost.DestroyDIB();
        return false;
    }

    Drawn drawn = Drawn::Picture;
    bool rendered = true;
    if (!stdPic) {
        if (bitmap.bmBitsPixel == 32 && Copy32(dc, handle, cHost)) {
            drawn = Drawn::Kept32;
        } else {
            rendered = Blit(dc, handle, cHost);
            drawn = Drawn::Blitted;
        }
    } else {
        if (type == PICTYPE_METAFILE || type == PICTYPE_ENHMETAFILE) {
            std::ranges::fill(HostBits(cHost), std::uint8_t{255});
            drawn = Drawn::Metafile;
        }
        // The source rectangle runs from the picture's top edge downwards, in HIMETRIC.
        rendered = SUCCEEDED(stdPic->Render(dc, 0, 0, cx, cy, 0, hmHeight, hmWidth, -hmHeight, nullptr));
    }
    cHost.LoadDIBinDC(false);
    const auto pixels = PixelView::Packed(HostBits(cHost), cHost.Width(), cHost.Height());
    if (!rendered || !pixels) {
        cHost.DestroyDIB(); // a blank bitmap is no picture
        return false;
    }

    bool hasAlpha = false;
    int imageType = type;
    switch (drawn) {
    case Drawn::Kept32: {
        const AlphaAnalysis alpha = AnalyseAlphaChannel(*pixels, true, imgBlank);
        hasAlpha = alpha.hasAlpha;
        imageType = alpha.imageType;
        break;
    }
    case Drawn::Metafile: hasAlpha = ClearUnpainted(*pixels); break;
    case Drawn::Blitted:
    case Drawn::Picture: AnalyseAlphaChannel(*pixels, true, imgNone); break;
    }
    cHost.SetAlphaState(hasAlpha);
    cHost.SetImageType(imageType);
    return true;
}

std::optional<int> cBMPparser::HimetricToPixels(long value, bool horizontal)
{
    const std::int64_t twips = std::int64_t{value} * 1440;
    if (twips > INT_MAX || twips < INT_MIN)
        return std::nullopt;
    const rt::WindowDC screen(nullptr);
    const int perInch = GetDeviceCaps(screen.get(), horizontal ? LOGPIXELSX : LOGPIXELSY);
    if (perInch <= 0)
        return std::nullopt;
    const double twipsPerPixel = 1440.0 / perInch;
    return static_cast<int>(std::nearbyint(static_cast<double>(twips) / 2540.0 / twipsPerPixel));
}

} // namespace imaging
