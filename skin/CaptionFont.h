// Caption fonts of the drawn controls: a face, a size in points and a weight, made into a GDI
// font whose cell height is the size × 1.5 design pixels at the window's DPI.
#pragma once

#include "runtime/Handles.h"

#include <string>

namespace skin {

struct CaptionFontSpec {
    std::wstring face;
    float size = 8.25f; // points
    bool bold = false;
    bool antialiased = true;
    int width = 0; // average character width in design pixels; 0 lets the font choose
};

// The face is cut to the 31 characters a LOGFONT holds, terminator kept.
LOGFONTW CaptionLogFont(const CaptionFontSpec& spec, int dpi);
rt::Gdi<HFONT> CreateCaptionFont(const CaptionFontSpec& spec, int dpi);

} // namespace skin
