#include "imaging/DibRows.h"

#include "runtime/DibInfo.h"

namespace imaging {

bool ReadDibRows(HDC dc, HBITMAP bmp, int width, int rows, int bits, void* into)
{
    struct {
        BITMAPINFOHEADER head;
        RGBQUAD colours[2]; // a 1-bit request gets its two colours here
    } info{rt::DibInfo(width, rows, bits).bmiHeader, {}};
    return GetDIBits(dc, bmp, 0, static_cast<UINT>(rows), into, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) ==
           rows;
}

} // namespace imaging
