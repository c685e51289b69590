// A bitmap's rows as the system hands them out, for the readers that take pictures from handles.
#pragma once

#include <windows.h>

namespace imaging {

// The bottom `rows` rows of `bmp` as a bottom-up DIB of `bits` a pixel (1, 24 or 32) into `into`,
// which holds them at their 4-byte-aligned stride; false when the system cannot give them all.
bool ReadDibRows(HDC dc, HBITMAP bmp, int width, int rows, int bits, void* into);

} // namespace imaging
