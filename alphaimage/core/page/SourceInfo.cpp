#include "alphaimage/core/page/SourceInfo.h"

#include "imaging/core/AlphaAnalysis.h"

#include <cmath>
#include <cstdio>
#include <iterator>

namespace aic {

namespace {

// A number at the start of a text as the old Val() reads it: blanks anywhere are skipped, an
// optional sign, digits and a fraction, up to the first other character.
double LeadingNumber(std::wstring_view text)
{
    double value = 0;
    double scale = 0; // non-zero once past the decimal point
    bool negative = false;
    bool started = false;
    for (wchar_t c : text) {
        if (c == L' ' || c == L'\t' || c == L'\n' || c == L'\r')
            continue;
        if (!started && (c == L'-' || c == L'+')) {
            negative = c == L'-';
            started = true;
            continue;
        }
        started = true;
        if (c == L'.' && scale == 0) {
            scale = 1;
            continue;
        }
        if (c < L'0' || c > L'9')
            break;
        // Far beyond any icon size; the bound keeps the conversion below defined.
        if (value > 1e9)
            break;
        if (scale == 0) {
            value = value * 10 + (c - L'0');
        } else {
            scale /= 10;
            value += (c - L'0') * scale;
        }
    }
    return negative ? -value : value;
}

int WholeNumber(std::wstring_view text)
{
    // Half to the even neighbour, as every conversion of this system rounds.
    return static_cast<int>(std::nearbyint(LeadingNumber(text)));
}

std::wstring_view Part(std::wstring_view text, std::size_t from, std::size_t count)
{
    return from < text.size() ? text.substr(from, count) : std::wstring_view();
}

std::wstring ThreeDigits(int value)
{
    wchar_t buf[16];
    std::swprintf(buf, std::size(buf), L"%03d", value);
    return buf;
}

std::wstring ColourPart(std::int32_t colours)
{
    switch (static_cast<std::uint32_t>(colours)) {
    case 0xFF000000u: return L"True Color}";
    case 0xFFFFFFFFu: return L"True Color Alpha}";
    case 0x00FFFF00u: return L"High Color}";
    default: return std::to_wstring(colours) + L" colors}";
    }
}

} // namespace

std::wstring FormatLine(int width, int height, int imageType, bool alpha)
{
    std::wstring line = std::to_wstring(width) + L" x " + std::to_wstring(height) + L" - ";
    switch (imageType) {
    case imaging::imgBitmap: return line + L"Bitmap or JPG file";
    case imaging::imgMetafile:
    case imaging::imgEnhMetafile: return line + L"Windows Meta File";
    case imaging::imgBitmapStraightAlpha:
    case imaging::imgBitmapPremultiplied: return line + L"Alpha Bitmap";
    case imaging::imgGIF: return line + (alpha ? L"Transparent GIF" : L"GIF file");
    case imaging::imgPNG: return line + L"PNG file";
    default: return line;
    }
}

std::wstring IconEntryText(const IconEntry& e)
{
    return ThreeDigits(e.width) + L"x" + ThreeDigits(e.height) + L" {" + std::to_wstring(e.bitDepth) + L" bit, " +
           ColourPart(e.colorCount);
}

std::vector<IconListItem> IconEntryList(std::span<const IconEntry> entries)
{
    std::vector<IconListItem> list;
    for (const IconEntry& e : entries) {
        long long key = static_cast<long long>(e.width) * e.height + e.bitDepth;
        // In front of the first greater key: after those equal to it.
        auto at = list.begin();
        while (at != list.end() && at->key <= key)
            ++at;
        list.insert(at, IconListItem{IconEntryText(e), key});
    }
    return list;
}

IconChoice ReadIconChoice(std::wstring_view text)
{
    IconChoice choice;
    choice.width = WholeNumber(Part(text, 0, 3));
    choice.height = WholeNumber(Part(text, 4, 3));
    std::size_t brace = text.find(L'{');
    if (brace != std::wstring_view::npos)
        choice.bitDepth = WholeNumber(Part(text, brace + 1, 3));
    return choice;
}

std::wstring ImageFileFilter(bool gdiPlus)
{
    using namespace std::string_literals;
    std::wstring first = L"*.gif;*.bmp;*.jpg;*.jpeg;*.ico;*.cur;*.wmf;*.emf;*.png"s + (gdiPlus ? L";*.tiff" : L"");
    std::wstring filter = L"Image Files\0"s + first + L'\0' + L"Bitmaps\0*.bmp\0"s + L"GIFs\0*.gif\0"s +
                          L"Icons and Cursors\0*.ico;*.cur\0"s + L"JPGs\0*.jpg;*.jpeg\0"s +
                          L"Meta Files\0*.wmf;*.emf\0"s + L"PNGs\0*.png\0"s;
    if (gdiPlus)
        filter += L"Tiff\0*.tiff\0"s;
    return filter + L"All Files\0*.*\0"s;
}

} // namespace aic
