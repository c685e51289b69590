// The engine's BMP reader, last of its own readers: an uncompressed 32-bit BMP is copied straight
// into the host so that its alpha survives; any other BMP, and any other data the system's picture
// loader knows (JPEG, metafiles), becomes a picture object drawn into the host. The drawing serves
// picture objects and GDI bitmap handles handed in directly as well. Failures are quiet.
#pragma once

#include <windows.h>

#include <ocidl.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace imaging {

class c32bppDIB;

class cBMPparser {
public:
    // The picture in `streamLength` bytes of `inStream` from `streamOffset`. False when those bytes
    // leave the array, when a BMP holds no picture we can show (its headers, colour table or rows
    // lie outside the bytes, or its size is nothing or past the pixel limit), when the data may
    // not go to the picture loader (MayGoToSystemDecoders), or when neither the direct copy nor
    // the picture loader makes a picture.
    bool LoadStream(std::span<const std::uint8_t> inStream, c32bppDIB& cHost, std::size_t streamOffset,
                    std::size_t streamLength);
    // stdPic may be null; then `handle` (a GDI bitmap) is drawn. bitCount as read, or 0.
    // Neither the picture nor the bitmap is taken over. On failure (a picture past the pixel
    // limit, a bitmap still selected into another DC) the host holds no picture.
    bool ConvertstdPicTo32bpp(IPicture* stdPic, HBITMAP handle, c32bppDIB& cHost, int bitCount);

private:
    // HIMETRIC (hundredths of a millimetre) to the display's pixels, to the nearest, halves to
    // even; none when the extent in twips passes 32 bits.
    static std::optional<int> HimetricToPixels(long value, bool horizontal);
};

} // namespace imaging
