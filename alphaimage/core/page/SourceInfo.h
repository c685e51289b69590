// The texts of the image source page: the line about a loaded picture, the entries of an
// icon or cursor file in the order the entry list shows them, the entry read back from its
// text, and the open dialog's filter.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace aic {

// One entry of an icon or cursor file, as the engine lists them.
struct IconEntry {
    int width = 0;
    int height = 0;
    int bitDepth = 0;
    // 2 to 256 for a colour table; 0xFF000000 true colour, -1 true colour with alpha,
    // 0xFFFF00 high colour.
    std::int32_t colorCount = 0;
};

// "48 x 48 - PNG file": the size and the name of the picture's kind by its ImageType code;
// a kind without a name leaves the text ending in " - ".
std::wstring FormatLine(int width, int height, int imageType, bool alpha);

// "032x032 {32 bit, True Color Alpha}": the size at fixed places, so ReadIconChoice can find
// it again by position.
std::wstring IconEntryText(const IconEntry& entry);

struct IconListItem {
    std::wstring text;
    long long key = 0; // width x height + bit depth
    bool operator==(const IconListItem&) const = default;
};

// The entries as the list shows them: by key, smallest first, equal keys in file order.
std::vector<IconListItem> IconEntryList(std::span<const IconEntry> entries);

struct IconChoice {
    int width = 0;
    int height = 0;
    int bitDepth = 0;
    bool operator==(const IconChoice&) const = default;
};

// Width from characters 1-3 of an entry's text, height from 5-7, bit depth from the three
// after the first "{"; a part that holds no number reads as 0.
IconChoice ReadIconChoice(std::wstring_view entryText);

// Description and pattern pairs for the open dialog, each followed by a NUL; the string's
// own terminator closes the list. "Tiff" is offered only when GDI+ can read it.
std::wstring ImageFileFilter(bool gdiPlus);

} // namespace aic
