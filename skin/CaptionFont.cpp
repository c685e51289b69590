#include "skin/CaptionFont.h"

#include "skin/core/Gradient.h"

#include <cwchar>
#include <sstream>

namespace skin {

std::wstring FontText::ToText() const
{
    std::wostringstream text;
    text << name << L';' << size << L';' << bold << L';' << italic << L';' << underline << L';' << strikethru;
    return text.str();
}

std::optional<FontText> FontText::Parse(const std::wstring& text)
{
    std::wistringstream fields(text);
    FontText font;
    if (!std::getline(fields, font.name, L';'))
        return std::nullopt;
    wchar_t sep = 0;
    int bold = 0, italic = 0, underline = 0, strikethru = 0;
    if (!(fields >> font.size >> sep >> bold >> sep >> italic >> sep >> underline >> sep >> strikethru))
        return std::nullopt;
    font.bold = bold != 0;
    font.italic = italic != 0;
    font.underline = underline != 0;
    font.strikethru = strikethru != 0;
    return font;
}

LOGFONTW CaptionLogFont(const CaptionFontDesign& design, int dpi)
{
    LOGFONTW lf{};
    // A positive height asks for the cell height, not the character height.
    lf.lfHeight = MulDiv(Nearest(static_cast<double>(Nearest(design.size)) * 1.5), dpi, 96);
    lf.lfWidth = MulDiv(design.width, dpi, 96);
    lf.lfWeight = design.bold ? 800 : 0;
    lf.lfCharSet = ANSI_CHARSET;
    lf.lfQuality = design.antialiased ? ANTIALIASED_QUALITY : NONANTIALIASED_QUALITY;
    wcsncpy(lf.lfFaceName, design.face.c_str(), LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
    return lf;
}

rt::Gdi<HFONT> CreateCaptionFont(const CaptionFontDesign& design, int dpi)
{
    LOGFONTW lf = CaptionLogFont(design, dpi);
    return rt::Gdi<HFONT>(CreateFontIndirectW(&lf));
}

} // namespace skin
