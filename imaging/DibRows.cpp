#include "imaging/DibRows.h"

namespace imaging {

bool ReadDibRows(HDC dc, HBITMAP bmp, int width, int rows, int bits, void* into)
{
    struct {
        BITMAPINFOHEADER head;
        RGBQUAD colours[2]; // a 1-bit request gets its two colours here
    } info{};
    info.head.biSize = sizeof(info.head);
    info.head.biWidth = width;
    info.head.biHeight = rows;
    info.head.biPlanes = 1;
    info.head.biBitCount = static_cast<WORD>(bits);
    info.head.biCompression = BI_RGB;
    return GetDIBits(dc, bmp, 0, static_cast<UINT>(rows), into, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) ==
           rows;
}

} // namespace imaging
