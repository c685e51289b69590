// Caption fonts of the drawn controls: a face, a size in points and a weight, made into a GDI
// font whose cell height is the size × 1.5 design pixels at the window's DPI.
#pragma once

#include "runtime/Handles.h"

#include <optional>
#include <string>

namespace skin {

struct CaptionFontDesign {
    std::wstring face;
    float size = 8.25f; // points
    bool bold = false;
    bool antialiased = true;
    int width = 0; // average character width in design pixels; 0 lets the font choose
};

// A font as the property bags keep it: "name;size;bold;italic;underline;strikethru".
struct FontText {
    std::wstring name;
    float size = 0; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethru = false;
    bool operator==(const FontText&) const = default;
    std::wstring ToText() const;
    // The six fields of `text`; the caller checks their values.
    static std::optional<FontText> Parse(const std::wstring& text);
};

// The face is cut to the 31 characters a LOGFONT holds, terminator kept.
LOGFONTW CaptionLogFont(const CaptionFontDesign& design, int dpi);
rt::Gdi<HFONT> CreateCaptionFont(const CaptionFontDesign& design, int dpi);

} // namespace skin
