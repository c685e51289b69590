#include "skin/CaptionFont.h"

#include "skin/core/Gradient.h"

#include <cwchar>

namespace skin {

LOGFONTW CaptionLogFont(const CaptionFontSpec& spec, int dpi)
{
    LOGFONTW lf{};
    // A positive height asks for the cell height, not the character height.
    lf.lfHeight = MulDiv(Nearest(static_cast<double>(Nearest(spec.size)) * 1.5), dpi, 96);
    lf.lfWidth = MulDiv(spec.width, dpi, 96);
    lf.lfWeight = spec.bold ? 800 : 0;
    lf.lfCharSet = ANSI_CHARSET;
    lf.lfQuality = spec.antialiased ? ANTIALIASED_QUALITY : NONANTIALIASED_QUALITY;
    wcsncpy(lf.lfFaceName, spec.face.c_str(), LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
    return lf;
}

rt::Gdi<HFONT> CreateCaptionFont(const CaptionFontSpec& spec, int dpi)
{
    LOGFONTW lf = CaptionLogFont(spec, dpi);
    return rt::Gdi<HFONT>(CreateFontIndirectW(&lf));
}

} // namespace skin
