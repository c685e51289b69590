// Whether a decoded 32-bpp picture has transparency, and whether its colours are already
// premultiplied; optionally brings the pixels into the engine's convention.
#pragma once

#include "imaging/core/PixelView.h"

namespace imaging {

// ImageType codes of the bitmap object.
enum ImageTypeCode : int {
    imgNone = -1,
    imgBlank = 0,
    imgBitmap = 1,
    imgMetafile = 2,
    imgIcon = 3,
    imgEnhMetafile = 4,
    imgCursor = 5,
    imgBitmapStraightAlpha = 6,
    imgBitmapPremultiplied = 7,
    imgIconAlpha = 8,
    imgGIF = 9,
    imgPNG = 10,
    imgPNGicon = 11,
    imgCursorAlpha = 12,
    imgCheckerBoard = 64,
};

struct AlphaAnalysis {
    int imageType = imgBitmap; // 1 opaque, 6 straight alpha, 7 premultiplied
    bool hasAlpha = false;
    bool allTransparent = false; // every pixel had alpha 0 (reported as opaque)
};

// `imageTypeIn` -1 skips the scan: the picture counts as opaque. With `premultiply` an opaque
// answer sets every alpha to 255 and a straight answer premultiplies the colours.
AlphaAnalysis AnalyseAlphaChannel(const PixelView& pixels, bool premultiply, int imageTypeIn);

} // namespace imaging
