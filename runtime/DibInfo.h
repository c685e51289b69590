// The header of an uncompressed device-independent bitmap, as the GDI calls that create, read
// and write one take it.
#pragma once

#include <windows.h>

namespace rt {

// A `bits`-per-pixel BI_RGB bitmap `width` pixels wide: a positive `height` stores the bottom
// row first, a negative one the top row first. A depth of 8 or less takes its colour table after
// the header, in a structure of the caller's.
inline BITMAPINFO DibInfo(int width, int height, int bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bits);
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

} // namespace rt
